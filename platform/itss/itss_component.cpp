#include "platform/itss/itss_component.h"

#include <string>

#include "platform/com/error_info.h"
#include "platform/itss/itss_archive.h"
#include "platform/itss/itss_storage.h"
#include "platform/itss/ref_counted.h"

namespace vaskel::itss {
namespace {

class ItssComponent final : public RefCounted<IITStorage> {
 public:
  HRESULT StgOpenStorage(const char16_t* pwcsName, IStorage*, DWORD grfMode, char16_t**, DWORD,
                         IStorage** ppstgOpen) override {
    SetErrorInfo({});  // a failure below leaves its own
    if (ppstgOpen == nullptr) return STG_E_INVALIDPOINTER;
    *ppstgOpen = nullptr;
    if (pwcsName == nullptr) return STG_E_INVALIDPOINTER;
    if (!IsReadOnlyMode(grfMode)) return STG_E_ACCESSDENIED;
    std::shared_ptr<ItssArchive> archive;
    const HRESULT hr = ItssArchive::Open(pwcsName, &archive);
    if (Failed(hr)) return hr;
    *ppstgOpen = new ItssStorage(std::move(archive), NameTree::kRoot);
    return S_OK;
  }
};

}  // namespace

HRESULT CreateItssComponent(IITStorage** out) {
  if (out == nullptr) return E_POINTER;
  *out = new ItssComponent();
  return S_OK;
}

std::size_t UnsafeEntryCount(IStorage* root) {
  const auto* storage = dynamic_cast<const ItssStorage*>(root);
  return storage ? storage->archive().tree().unsafe_entry_count() : 0;
}

DirectoryLosses DirectoryLossesOf(IStorage* root) {
  const auto* storage = dynamic_cast<const ItssStorage*>(root);
  return storage ? storage->archive().directory_losses() : DirectoryLosses();
}

}  // namespace vaskel::itss
