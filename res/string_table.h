// The string table: texts by resource id, and the fixed texts the program shows. A command's
// string holds up to three parts separated by line breaks: the status-bar prompt, the tooltip
// and, for toolbar buttons, the button label (the part after the last line break).
#pragma once

#include <string_view>
// windows.h's LoadString (a macro for LoadStringW) is not ours.
#undef LoadString

#include "platform/text/translation.h"
// windows.h names its LoadStringW so; the wx headers before this one bring it in.
#ifdef LoadString
#undef LoadString
#endif

namespace vaskel::res {

// Empty when the table has no string of that id.
std::string_view LoadString(int id);
bool HasString(int id);

// The first part: what the status bar shows while the command is highlighted.
std::string_view CommandPrompt(int id);
// The second part; empty when there is none.
std::string_view CommandTooltip(int id);
// The part after the last line break; empty when the string has no line break.
std::string_view ButtonLabel(int id);

// The part of `text` between the `index`th line break and the next one; empty when it has none.
std::string_view Part(std::string_view text, int index);
// The part after the last line break; empty when `text` has no line break.
std::string_view LastPart(std::string_view text);

// The template string's fields, separated by line breaks: window title, document name,
// new-file type name, filter name, filter extension, file type id, file type name.
enum class TemplateField {
  kWindowTitle = 0,
  kDocumentName,
  kFileNewName,
  kFilterName,
  kFilterExtension,
  kFileTypeId,
  kFileTypeName
};
std::string_view TemplateString(TemplateField field);

inline constexpr std::string_view kCantOpenFile = TrNoop("Can't Open this file.");
inline constexpr std::string_view kFailedToOpenDocument = TrNoop("Failed to open document.");
inline constexpr std::string_view kPleaseWait = TrNoop("Processing......Please Wait.");
inline constexpr std::string_view kOpenDialogTitle = TrNoop("Open");
// The Open dialog's filters, help files first.
inline constexpr std::string_view kHelpFilesFilter = TrNoop("Compiled HTML Help files (*.chm)");
inline constexpr std::string_view kAllFilesFilter = TrNoop("All files");
inline constexpr std::string_view kHelpFileName = "VaskelHelp.chm";

}  // namespace vaskel::res
