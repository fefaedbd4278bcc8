#include "res/string_table.h"

#include <utility>

#include "res/resource_ids.h"

namespace vaskel::res {
namespace {

constexpr std::pair<int, std::string_view> kStrings[] = {
    {ID_TIP_OF_THE_DAY, TrNoop("Displays a Tip of the Day.")},
    {IDS_TIP_MENU_ITEM, TrNoop("Ti&p of the Day...")},
    {IDS_TIP_HEADING, TrNoop("Did you know...")},
    {IDS_TIPS_FILE_MISSING, TrNoop("Tips file does not exist in the prescribed directory")},
    {IDS_TIPS_FILE_TROUBLE, TrNoop("Trouble reading the tips file")},
    {IDS_HELP_MENU, TrNoop("&Help")},
    // The template string's parts are translated one by one where they are shown.
    {IDR_MAINFRAME, "Vaskel\n\nVaskl\n\n\nVaskel.Document\nVaskl Document"},
    // TRANSLATORS: a command's string: the status-bar prompt, then after a line break the
    // tooltip, then (toolbar buttons) the button label. Keep the line breaks.
    {ID_FILE_UNPACK, TrNoop("Unpack files\nUnpack\nUnpack")},
    {ID_FILE_UNPACK_PROJECT,
     TrNoop("Unpack every file and a project that builds the help file again")},
    // TRANSLATORS: status-bar prompt, tooltip and toolbar label, one a line.
    {ID_HELP_CONTENTS, TrNoop("Help\nHelp\nHelp")},
    // TRANSLATORS: status-bar prompt, tooltip and toolbar label, one a line.
    {ID_HELP_HOME_PAGE, TrNoop("HomePage\nHomePage\nHomePage")},
    {IDS_APP_TITLE, TrNoop("Vaskel")},
    {IDS_IDLE_MESSAGE, TrNoop("Ready")},
    // TRANSLATORS: status-bar prompt, tooltip and toolbar label, one a line.
    {ID_FILE_OPEN, TrNoop("Open an existing document\nOpen\nOpen")},
    {ID_FILE_MRU_FILE1, TrNoop("Open this document")},
    {ID_FILE_MRU_FILE1 + 1, TrNoop("Open this document")},
    {ID_FILE_MRU_FILE1 + 2, TrNoop("Open this document")},
    {ID_FILE_MRU_FILE4, TrNoop("Open this document")},
    // TRANSLATORS: status-bar prompt, tooltip and toolbar label, one a line.
    {ID_APP_ABOUT, TrNoop("About\nAbout\nAbout")},
    // TRANSLATORS: status-bar prompt, then the tooltip on the next line.
    {ID_APP_EXIT, TrNoop("Quit the application; prompts to save documents\nExit")},
    // TRANSLATORS: status-bar indicators: Caps Lock, Num Lock, Scroll Lock.
    {ID_INDICATOR_CAPS, TrNoop("CAP")},
    {ID_INDICATOR_NUM, TrNoop("NUM")},
    {ID_INDICATOR_SCRL, TrNoop("SCRL")},
    // TRANSLATORS: status-bar prompt, then the tooltip on the next line.
    {ID_VIEW_TOOLBAR, TrNoop("Show or hide the toolbar\nToggle ToolBar")},
    // TRANSLATORS: status-bar prompt, then the tooltip on the next line.
    {ID_VIEW_STATUS_BAR, TrNoop("Show or hide the status bar\nToggle StatusBar")},
    {IDS_ALL_FILES_FILTER, TrNoop("All Files (*.*)")},
    {IDS_NEW_DOCUMENT_TITLE, TrNoop("Untitled")},
    {IDS_UNREGISTER_DONE,
     TrNoop("System registry entries have been removed and the INI file (if any) was deleted.")},
};

}  // namespace

std::string_view Part(std::string_view text, int index) {
  for (int i = 0; i < index; ++i) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return {};
    text.remove_prefix(end + 1);
  }
  return text.substr(0, text.find('\n'));
}

std::string_view LastPart(std::string_view text) {
  const std::size_t last = text.rfind('\n');
  return last == std::string_view::npos ? std::string_view{} : text.substr(last + 1);
}

std::string_view LoadString(int id) {
  for (const auto& [key, text] : kStrings) {
    if (key == id) return text;
  }
  return {};
}

bool HasString(int id) { return !LoadString(id).empty(); }

std::string_view CommandPrompt(int id) { return Part(LoadString(id), 0); }
std::string_view CommandTooltip(int id) { return Part(LoadString(id), 1); }

std::string_view ButtonLabel(int id) { return LastPart(LoadString(id)); }

std::string_view TemplateString(TemplateField field) {
  return Part(LoadString(IDR_MAINFRAME), static_cast<int>(field));
}

}  // namespace vaskel::res
