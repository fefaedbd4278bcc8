#include "storage/message_box.h"

#include <cstdio>
#include <string>
#include <utility>

namespace vaskel {
namespace {

MessageBoxHandler& Handler() {
  static MessageBoxHandler handler;
  return handler;
}

}  // namespace

void ShowMessage(std::string_view text, MessageIcon icon) {
  if (const auto& handler = Handler()) {
    handler(text, icon);
  } else {
    std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()), text.data());
  }
}

MessageBoxHandler SetMessageBoxHandler(MessageBoxHandler handler) {
  return std::exchange(Handler(), std::move(handler));
}

}  // namespace vaskel
