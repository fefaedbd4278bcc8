#include "res/window_resources.h"

#include <wx/intl.h>
#include <wx/mstream.h>
#include <wx/xml/xml.h>
#include <wx/xrc/xmlres.h>

#include <memory>
#include <utility>

#include "res/embedded_resources.h"
#include "res/resource_ids.h"
#include "res/string_table.h"

namespace vaskel::res {
namespace {

constexpr std::pair<const char*, int> kXrcIds[] = {
    {"IDR_MAINFRAME", IDR_MAINFRAME},
    {"IDD_ABOUTBOX", IDD_ABOUTBOX},
    {"IDD_PLEASE_WAIT", IDD_PLEASE_WAIT},
    {"ID_FILE_OPEN", ID_FILE_OPEN},
    {"ID_FILE_UNPACK", ID_FILE_UNPACK},
    {"ID_FILE_UNPACK_PROJECT", ID_FILE_UNPACK_PROJECT},
    {"ID_FILE_MRU_FILE1", ID_FILE_MRU_FILE1},
    {"ID_APP_EXIT", ID_APP_EXIT},
    {"ID_EDIT_SELECT_ALL", ID_EDIT_SELECT_ALL},
    {"ID_VIEW_TOOLBAR", ID_VIEW_TOOLBAR},
    {"ID_VIEW_STATUS_BAR", ID_VIEW_STATUS_BAR},
    {"ID_HELP_CONTENTS", ID_HELP_CONTENTS},
    {"ID_HELP_EMAIL", ID_HELP_EMAIL},
    {"ID_HELP_HOME_PAGE", ID_HELP_HOME_PAGE},
    {"ID_APP_ABOUT", ID_APP_ABOUT},
    {"IDC_ABOUT_EMAIL", IDC_ABOUT_EMAIL},
    {"IDC_ABOUT_HOME_PAGE", IDC_ABOUT_HOME_PAGE},
    {"IDC_ABOUT_TELEPHONE", IDC_ABOUT_TELEPHONE},
    {"IDR_CONTEXT_MENU", IDR_CONTEXT_MENU},
    {"ID_OPERATE_RUN", ID_OPERATE_RUN},
    {"ID_OPERATE_UNPACK", ID_OPERATE_UNPACK},
    {"IDD_UNPACK", IDD_UNPACK},
    {"IDC_UNPACK_FOLDER", IDC_UNPACK_FOLDER},
    {"IDC_UNPACK_BROWSE", IDC_UNPACK_BROWSE},
    {"IDC_UNPACK_SELECTED", IDC_UNPACK_SELECTED},
    {"IDC_UNPACK_ALL", IDC_UNPACK_ALL},
    {"IDC_UNPACK_USE_PATH", IDC_UNPACK_USE_PATH},
    {"IDD_TIP", IDD_TIP},
    {"IDC_TIP_AREA", IDC_TIP_AREA},
    {"IDC_TIP_SHOW_AT_STARTUP", IDC_TIP_SHOW_AT_STARTUP},
    {"IDC_TIP_NEXT", IDC_TIP_NEXT},
    {"IDC_TIP_TEXT", IDC_TIP_TEXT},
};

constexpr const char* kLayouts[] = {"menu_128.xrc", "about_100.xrc",  "please_wait_136.xrc",
                                    "menu_142.xrc", "unpack_134.xrc", "tip_103.xrc"};

bool LoadLayout(const char* name) {
  const std::span<const unsigned char> bytes = FindEmbeddedResource(name);
  if (bytes.empty()) return false;
  wxMemoryInputStream stream(bytes.data(), bytes.size());
  auto document = std::make_unique<wxXmlDocument>();
  if (!document->Load(stream)) return false;
  // The resource takes the document over.
  return wxXmlResource::Get()->LoadDocument(document.release(), name);
}

}  // namespace

bool LoadWindowResources() {
  static bool loaded = false;
  if (loaded) return true;
  for (const auto& [name, id] : kXrcIds) wxXmlResource::GetXRCID(name, WxId(id));
  wxXmlResource::Get()->InitAllHandlers();
  bool all = true;
  for (const char* layout : kLayouts) all = LoadLayout(layout) && all;
  loaded = all;
  return all;
}

wxImage LoadEmbeddedImage(std::string_view name) {
  const std::span<const unsigned char> bytes = FindEmbeddedResource(name);
  if (bytes.empty()) return {};
  wxMemoryInputStream stream(bytes.data(), bytes.size());
  wxImage image;
  if (!image.LoadFile(stream, wxBITMAP_TYPE_ANY)) return {};
  return image;
}

wxString Translated(std::string_view english) {
  return english.empty() ? wxString() : wxGetTranslation(ToWx(english));
}

// The whole string is one text to translate, so that its parts keep their order and count.
wxString LoadWxString(int id) { return Translated(LoadString(id)); }

wxString CommandPromptText(int id) { return ToWx(Part(LoadWxString(id).utf8_string(), 0)); }
wxString CommandTooltipText(int id) { return ToWx(Part(LoadWxString(id).utf8_string(), 1)); }
wxString ButtonLabelText(int id) { return ToWx(LastPart(LoadWxString(id).utf8_string())); }

wxString TemplateText(TemplateField field) { return Translated(TemplateString(field)); }

}  // namespace vaskel::res
