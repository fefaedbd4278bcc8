#include "storage/storage_engine.h"

#include <limits>
#include <span>

#include "platform/com/component_factory.h"
#include "platform/com/error_info.h"
#include "platform/text/translation.h"
#include "storage/catalogue_list.h"
#include "storage/message_box.h"
#include "storage/path_limit.h"
#include "storage/text_conversion.h"

namespace vaskel {

StorageEngine::StorageEngine() {
  CoInitialize(nullptr);
  void* component = nullptr;
  const HRESULT hr =
      CoCreateInstance(CLSID_ITStorage, nullptr, CLSCTX_INPROC_SERVER, IID_ITStorage, &component);
  if (Failed(hr)) {
    ShowMessage(Tr("Create CHM Engine Error"), MessageIcon::kExclamation);
    return;
  }
  component_ = ComPtr<IITStorage>::Adopt(static_cast<IITStorage*>(component));
}

StorageEngine::~StorageEngine() {
  root_storage_.Reset();
  component_.Reset();
  name_buffer_.reset();
  // Child storages still held (when no Reset came first) go back after the component.
  Reset();
}

HRESULT StorageEngine::OpenFile(std::string_view path) {
  root_storage_.Reset();
  SetErrorInfo({});  // no reason left from an earlier failure
  if (!component_) return REGDB_E_CLASSNOTREG;
  const char16_t* wide = ToWideName(path);
  if (wide == nullptr) return STG_E_INVALIDNAME;
  // The same before and after: the file opened is the one seen (a rebuild in between is not).
  const auto before = platform::IdentityOfFile(std::string(path));
  const HRESULT result = component_->StgOpenStorage(wide, nullptr, STGM_SHARE_DENY_WRITE, nullptr,
                                                    0, root_storage_.Put());
  const auto after = platform::IdentityOfFile(std::string(path));
  opened_file_ = before == after ? before : std::nullopt;
  ++open_count_;
  return result;
}

const char16_t* StorageEngine::ToWideName(std::string_view text) {
  if (!name_buffer_) name_buffer_ = std::make_unique<char16_t[]>(kPlatformPathLimit);
  const std::span<char16_t> buffer(name_buffer_.get(), kPlatformPathLimit);
  if (!NarrowToWide(text, buffer)) {
    buffer[0] = u'\0';  // never leave a partial name behind
    return nullptr;
  }
  return name_buffer_.get();
}

void StorageEngine::Reset() {
  for (auto& storage : opened_storages_) storage.Reset();
  opened_storages_.clear();
  storage_table_.RemoveAll();
}

std::int32_t StorageEngine::WalkCatalogue(CatalogueList& list, TypeAndIconSource& types) {
  Reset();
  list.SetRedraw(false);
  list.DeleteAllItems();
  return WalkStorage(list, types, GetRootStorage(), std::string());
}

IStorage* StorageEngine::StorageAt(std::intptr_t index) const {
  if (index < 0 || index > std::numeric_limits<std::int32_t>::max()) return nullptr;
  return storage_table_.GetAt(static_cast<std::int32_t>(index));
}

IStorage* StorageEngine::RowStorage(const CatalogueList& list, int row) const {
  return StorageAt(list.GetItemData(row));
}

JobEntry StorageEngine::RowEntry(const CatalogueList& list, int row) const {
  return {ComPtr<IStorage>::Share(RowStorage(list, row)),
          std::string(list.GetItemText(row, kPathColumn)),
          std::string(list.GetItemText(row, kNameColumn))};
}

void StorageEngine::HoldOpenedStorage(ComPtr<IStorage> storage) {
  opened_storages_.push_back(std::move(storage));
}

}  // namespace vaskel
