#include "cli/storage_tree.h"

#include "platform/com/com_ptr.h"
#include "storage/text_conversion.h"

namespace vaskel::cli {
namespace {

bool VisitLevel(IStorage* storage, const std::string& prefix, const TreeVisitor& visitor) {
  ComPtr<IEnumSTATSTG> elements;
  if (Failed(storage->EnumElements(0, nullptr, 0, elements.Put()))) return false;
  bool complete = true;
  STATSTG stat;
  while (elements->Next(1, &stat, nullptr) == S_OK) {
    const std::string path = prefix + WideToNarrow(stat.pwcsName);
    if (stat.type == STGTY_STORAGE) {
      if (visitor.on_storage) visitor.on_storage(path);
      ComPtr<IStorage> child;
      if (Failed(
              storage->OpenStorage(stat.pwcsName.c_str(), nullptr, 0, nullptr, 0, child.Put()))) {
        complete = false;
        continue;
      }
      complete &= VisitLevel(child.Get(), path + '/', visitor);
    } else if (stat.type == STGTY_STREAM && visitor.on_stream) {
      visitor.on_stream(storage, stat.pwcsName, path, stat.cbSize);
    }
  }
  return complete;
}

}  // namespace

bool VisitTree(IStorage* root, const TreeVisitor& visitor) { return VisitLevel(root, "", visitor); }

}  // namespace vaskel::cli
