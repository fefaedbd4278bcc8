// Depth-first traversal of a storage tree in enumeration order, shared by the catalogue and the
// command line. It keeps its own stack of open enumerators instead of recursing, so that a
// hostile file with thousands of nested storages cannot exhaust the call stack.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/com_ptr.h"
#include "platform/com/storage_interfaces.h"

namespace vaskel {

// One element as the walk meets it; valid during the call only.
struct TreeElement {
  IStorage* parent;
  const STATSTG& stat;
  std::string_view name;    // stat.pwcsName as narrow text
  std::string_view folder;  // the parent's path: each storage name followed by the separator
};

class TreeVisitor {
 public:
  // A storage element: true to open it and walk its elements next.
  virtual bool EnterStorage(const TreeElement& element) = 0;
  // The storage just opened for the element EnterStorage accepted, before its elements; the
  // walk holds its own reference only while it walks it.
  virtual void StorageOpened(const ComPtr<IStorage>& /*storage*/) {}
  virtual void Stream(const TreeElement& element) = 0;

 protected:
  ~TreeVisitor() = default;
};

// Walks everything below `root`, whose own path is `folder`; levels of the path are joined by
// `separator`. Returns false when some storage could not be enumerated or opened (it is then
// skipped).
bool WalkTree(IStorage* root, std::string folder, char separator, TreeVisitor& visitor);

}  // namespace vaskel
