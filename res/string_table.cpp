#include "res/string_table.h"

#include <utility>

#include "res/resource_ids.h"

namespace vaskel::res {
namespace {

constexpr std::pair<int, std::string_view> kStrings[] = {
    {ID_TIP_OF_THE_DAY, "Displays a Tip of the Day."},
    {IDS_TIP_MENU_ITEM, "Ti&p of the Day..."},
    {IDS_TIP_HEADING, "Did you know..."},
    {IDS_TIPS_FILE_MISSING, "Tips file does not exist in the prescribed directory"},
    {IDS_TIPS_FILE_TROUBLE, "Trouble reading the tips file"},
    {IDS_HELP_MENU, "&Help"},
    {IDR_MAINFRAME, "Vaskel\n\nVaskl\n\n\nVaskel.Document\nVaskl Document"},
    {ID_FILE_UNPACK, "Unpack files\nUnpack\nUnpack"},
    {ID_FILE_UNPACK_PROJECT, "Unpack every file and a project that builds the help file again"},
    {ID_HELP_CONTENTS, "Help\nHelp\nHelp"},
    {ID_HELP_HOME_PAGE, "HomePage\nHomePage\nHomePage"},
    {IDS_APP_TITLE, "Vaskel"},
    {IDS_IDLE_MESSAGE, "Ready"},
    {ID_FILE_OPEN, "Open an existing document\nOpen\nOpen"},
    {ID_FILE_MRU_FILE1, "Open this document"},
    {ID_FILE_MRU_FILE1 + 1, "Open this document"},
    {ID_FILE_MRU_FILE1 + 2, "Open this document"},
    {ID_FILE_MRU_FILE4, "Open this document"},
    {ID_APP_ABOUT, "About\nAbout\nAbout"},
    {ID_APP_EXIT, "Quit the application; prompts to save documents\nExit"},
    {ID_INDICATOR_CAPS, "CAP"},
    {ID_INDICATOR_NUM, "NUM"},
    {ID_INDICATOR_SCRL, "SCRL"},
    {ID_VIEW_TOOLBAR, "Show or hide the toolbar\nToggle ToolBar"},
    {ID_VIEW_STATUS_BAR, "Show or hide the status bar\nToggle StatusBar"},
    {IDS_ALL_FILES_FILTER, "All Files (*.*)"},
    {IDS_NEW_DOCUMENT_TITLE, "Untitled"},
    {IDS_UNREGISTER_DONE,
     "System registry entries have been removed and the INI file (if any) was deleted."},
};

// The part of `text` between the `index`th and the next line break.
std::string_view Part(std::string_view text, int index) {
  for (int i = 0; i < index; ++i) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return {};
    text.remove_prefix(end + 1);
  }
  return text.substr(0, text.find('\n'));
}

}  // namespace

std::string_view LoadString(int id) {
  for (const auto& [key, text] : kStrings) {
    if (key == id) return text;
  }
  return {};
}

bool HasString(int id) { return !LoadString(id).empty(); }

std::string_view CommandPrompt(int id) { return Part(LoadString(id), 0); }
std::string_view CommandTooltip(int id) { return Part(LoadString(id), 1); }

std::string_view ButtonLabel(int id) {
  const std::string_view text = LoadString(id);
  const std::size_t last = text.rfind('\n');
  return last == std::string_view::npos ? std::string_view{} : text.substr(last + 1);
}

std::string_view TemplateString(TemplateField field) {
  return Part(LoadString(IDR_MAINFRAME), static_cast<int>(field));
}

}  // namespace vaskel::res
