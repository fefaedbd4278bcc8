// The catalogue walk: one row per stream of the storage tree, depth first in enumeration order.
// It keeps its own stack of open enumerators instead of recursing, so that a hostile file with
// thousands of nested storages cannot exhaust the call stack.
#include <charconv>
#include <unordered_set>
#include <vector>

#include "platform/com/com_ptr.h"
#include "storage/catalogue_list.h"
#include "storage/path_limit.h"
#include "storage/storage_engine.h"
#include "storage/text_conversion.h"
#include "storage/type_and_icon_source.h"

namespace vaskel {
namespace {

// The list shows itself once when this many rows are in, so a large file's first screenful
// appears early although redrawing is off during the walk.
constexpr int kFirstScreenRows = 100;

bool IsHiddenName(std::string_view name) {
  return !name.empty() && (name.front() == '#' || name.front() == '$');
}

// A storage whose elements are being enumerated. The storage is owned elsewhere: by the caller
// (the top one) or by the engine's opened-storage list.
struct Level {
  IStorage* storage;
  ComPtr<IEnumSTATSTG> elements;
  std::size_t prefix_length;  // where this storage's path ends in the shared prefix text
};

bool EnterStorage(IStorage* storage, std::size_t prefix_length, std::vector<Level>& levels) {
  ComPtr<IEnumSTATSTG> elements;
  if (Failed(storage->EnumElements(0, nullptr, 0, elements.Put())) || !elements) return false;
  levels.push_back(Level{storage, std::move(elements), prefix_length});
  return true;
}

}  // namespace

std::int32_t StorageEngine::WalkStorage(CatalogueList& list, TypeAndIconSource& images,
                                        IStorage* storage, std::string prefix) {
  std::int32_t count = 0;
  if (storage == nullptr) return count;

  std::unordered_set<IStorage*> held;
  for (const auto& opened : opened_storages_) held.insert(opened.Get());

  std::vector<Level> levels;
  EnterStorage(storage, prefix.size(), levels);

  STATSTG element;
  std::string type_text;
  char size_digits[24];
  while (!levels.empty()) {
    IStorage* const parent = levels.back().storage;
    ULONG fetched = 0;
    if (levels.back().elements->Next(1, &element, &fetched) != S_OK || fetched != 1) {
      levels.pop_back();
      if (!levels.empty()) prefix.resize(levels.back().prefix_length);
      continue;
    }

    const std::string name = WideToNarrow(element.pwcsName);
    const auto size_end =
        std::to_chars(size_digits, size_digits + sizeof size_digits, element.cbSize).ptr;
    const std::string_view size_text(size_digits, size_end - size_digits);
    // Every element pays the type look-up, skipped ones included, as the row's column needs it.
    type_text = images.TypeName(name);
    if (IsHiddenName(name)) continue;

    if (element.type == STGTY_STORAGE) {
      ComPtr<IStorage> child;
      if (Failed(
              parent->OpenStorage(element.pwcsName.c_str(), nullptr, 0, nullptr, 0, child.Put())) ||
          !child) {
        continue;
      }
      IStorage* const child_storage = child.Get();
      // A storage the list already holds keeps that one reference; ours goes back here.
      if (held.insert(child_storage).second) HoldOpenedStorage(std::move(child));
      const std::size_t parent_length = prefix.size();
      prefix += name;
      prefix += kPathSeparator;
      if (!EnterStorage(child_storage, prefix.size(), levels)) prefix.resize(parent_length);
    } else if (element.type == STGTY_STREAM) {
      const int row = list.GetItemCount();
      const std::int32_t table_index = AppendTableEntry(parent);
      const int icon = images.SmallIconIndex(name);
      list.InsertItem(row, name, icon, table_index);
      ++count;
      list.SetItemText(row, kSizeColumn, size_text);
      list.SetItemText(row, kTypeColumn, type_text);
      list.SetItemText(row, kPathColumn, prefix);
      if (list.GetItemCount() == kFirstScreenRows) {
        list.SetRedraw(true);
        list.RedrawWindow();
        list.SetRedraw(false);
      }
    }
  }
  return count;
}

}  // namespace vaskel
