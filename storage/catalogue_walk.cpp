// The catalogue walk: one row per stream of the storage tree, depth first in enumeration order.
#include <charconv>
#include <unordered_set>

#include "platform/com/com_ptr.h"
#include "storage/catalogue_list.h"
#include "storage/path_limit.h"
#include "storage/storage_engine.h"
#include "storage/storage_tree_walk.h"
#include "storage/type_and_icon_source.h"

namespace vaskel {
namespace {

// The list shows itself once when this many rows are in, so a large file's first screenful
// appears early although redrawing is off during the walk.
constexpr int kFirstScreenRows = 100;

bool IsHiddenName(std::string_view name) {
  return !name.empty() && (name.front() == '#' || name.front() == '$');
}

class CatalogueRows final : public TreeVisitor {
 public:
  CatalogueRows(StorageEngine& engine, CatalogueList& list, TypeAndIconSource& images,
                std::unordered_set<IStorage*> held)
      : engine_(engine), list_(list), images_(images), held_(std::move(held)) {}

  std::int32_t Count() const { return count_; }

  bool EnterStorage(const TreeElement& element) override {
    // Every element pays the type look-up, skipped ones included, as the row's column needs it.
    images_.TypeName(element.name);
    return !IsHiddenName(element.name);
  }

  void StorageOpened(const ComPtr<IStorage>& storage) override {
    // A storage the engine already holds keeps that one reference.
    if (held_.insert(storage.Get()).second) engine_.HoldOpenedStorage(storage);
  }

  void Stream(const TreeElement& element) override {
    type_text_ = images_.TypeName(element.name);
    if (IsHiddenName(element.name)) return;
    const auto size_end =
        std::to_chars(size_digits_, size_digits_ + sizeof size_digits_, element.stat.cbSize).ptr;
    const int row = list_.GetItemCount();
    const std::int32_t table_index = engine_.AppendTableEntry(element.parent);
    const int icon = images_.SmallIconIndex(element.name);
    list_.InsertItem(row, element.name, icon, table_index);
    ++count_;
    list_.SetItemText(row, kSizeColumn, std::string_view(size_digits_, size_end - size_digits_));
    list_.SetItemText(row, kTypeColumn, type_text_);
    list_.SetItemText(row, kPathColumn, element.folder);
    if (list_.GetItemCount() == kFirstScreenRows) {
      list_.SetRedraw(true);
      list_.RedrawWindow();
      list_.SetRedraw(false);
    }
  }

 private:
  StorageEngine& engine_;
  CatalogueList& list_;
  TypeAndIconSource& images_;
  std::unordered_set<IStorage*> held_;
  std::string type_text_;
  char size_digits_[24] = {};
  std::int32_t count_ = 0;
};

}  // namespace

std::int32_t StorageEngine::WalkStorage(CatalogueList& list, TypeAndIconSource& images,
                                        IStorage* storage, std::string prefix) {
  std::unordered_set<IStorage*> held;
  for (const auto& opened : opened_storages_) held.insert(opened.Get());
  CatalogueRows rows(*this, list, images, std::move(held));
  WalkTree(storage, std::move(prefix), kPathSeparator, rows);
  return rows.Count();
}

}  // namespace vaskel
