// The desktop's content type for a file name, guessed by GIO from the name alone.
#pragma once

#include <memory>
#include <string>

namespace vaskel {

struct GFreeDeleter {
  void operator()(void* memory) const;
};
using GText = std::unique_ptr<char, GFreeDeleter>;

// Never null; nothing on disk is touched. An unknown name gives the generic binary type.
GText GuessContentType(const std::string& name);

// True for the generic binary type, GIO's answer when no pattern matches the name.
bool IsUnknownContentType(const char* content_type);

}  // namespace vaskel
