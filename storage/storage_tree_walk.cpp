#include "storage/storage_tree_walk.h"

#include <vector>

#include "storage/text_conversion.h"

namespace vaskel {
namespace {

// A storage whose elements are being enumerated.
struct Level {
  ComPtr<IStorage> storage;
  ComPtr<IEnumSTATSTG> elements;
  std::size_t folder_length;  // where this storage's path ends in the shared folder text
};

bool Enter(ComPtr<IStorage> storage, std::size_t folder_length, std::vector<Level>& levels) {
  ComPtr<IEnumSTATSTG> elements;
  if (Failed(storage->EnumElements(0, nullptr, 0, elements.Put())) || !elements) return false;
  levels.push_back(Level{std::move(storage), std::move(elements), folder_length});
  return true;
}

}  // namespace

bool WalkTree(IStorage* root, std::string folder, char separator, TreeVisitor& visitor) {
  if (root == nullptr) return false;
  std::vector<Level> levels;
  bool complete = Enter(ComPtr<IStorage>::Share(root), folder.size(), levels);
  STATSTG stat;
  while (!levels.empty()) {
    IStorage* const parent = levels.back().storage.Get();
    ULONG fetched = 0;
    if (levels.back().elements->Next(1, &stat, &fetched) != S_OK || fetched != 1) {
      levels.pop_back();
      if (!levels.empty()) folder.resize(levels.back().folder_length);
      continue;
    }
    const std::string name = WideToNarrow(stat.pwcsName);
    const TreeElement element{parent, stat, name, folder};
    if (stat.type == STGTY_STREAM) {
      visitor.Stream(element);
      continue;
    }
    if (stat.type != STGTY_STORAGE || !visitor.EnterStorage(element)) continue;
    ComPtr<IStorage> child;
    if (Failed(parent->OpenStorage(stat.pwcsName.c_str(), nullptr, 0, nullptr, 0, child.Put())) ||
        !child) {
      complete = false;
      continue;
    }
    visitor.StorageOpened(child);
    const std::size_t parent_length = folder.size();
    folder += name;
    folder += separator;
    if (!Enter(std::move(child), folder.size(), levels)) {
      folder.resize(parent_length);
      complete = false;
    }
  }
  return complete;
}

}  // namespace vaskel
