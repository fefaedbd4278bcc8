// Depth-first traversal of a storage tree in enumeration order, for the command-line tools.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/com/storage_interfaces.h"

namespace vaskel::cli {

struct TreeVisitor {
  // `path` is relative to the root, joined with '/', without a trailing '/'.
  std::function<void(const std::string& path)> on_storage;
  std::function<void(IStorage* parent, const std::u16string& name, const std::string& path,
                     std::uint64_t size)>
      on_stream;
};

// Returns false when some storage could not be enumerated or opened (it is then skipped).
bool VisitTree(IStorage* root, const TreeVisitor& visitor);

}  // namespace vaskel::cli
