// The storage layer's way to tell the user something; the window connects a real message box,
// command-line programs print to standard error.
#pragma once

#include <functional>
#include <string_view>

namespace vaskel {

enum class MessageIcon { kExclamation, kStop, kInformation };
using MessageBoxHandler = std::function<void(std::string_view text, MessageIcon icon)>;

void ShowMessage(std::string_view text, MessageIcon icon);
// Returns the previous handler; an empty handler restores printing to standard error.
MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler);

}  // namespace vaskel
