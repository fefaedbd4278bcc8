// The window's resources in wx's forms: XRC layouts and images from the built-in files, texts
// from the string table.
#pragma once

#include <wx/image.h>
#include <wx/string.h>

#include <string_view>

#include "res/string_table.h"

namespace vaskel::res {

// Registers every command and control id under its XRC name, so that loaded menus and dialogs
// carry the program's own numbers, and loads the built-in layouts. Safe to call again.
bool LoadWindowResources();

// A built-in image by file name; not IsOk() when it is missing or cannot be decoded.
wxImage LoadEmbeddedImage(std::string_view name);

// UTF-8 text (the string table, catalogue rows) as a wx string.
inline wxString ToWx(std::string_view text) { return wxString::FromUTF8(text.data(), text.size()); }

// An English source text in the user's language.
wxString Translated(std::string_view english);

// A string-table entry in the user's language.
wxString LoadWxString(int id);
// The parts of a command's string (string_table.h), in the user's language.
wxString CommandPromptText(int id);
wxString CommandTooltipText(int id);
wxString ButtonLabelText(int id);
wxString TemplateText(TemplateField field);

}  // namespace vaskel::res
