#include "platform/itss/itss_storage.h"

#include <string>

#include "platform/itss/itss_enum.h"
#include "platform/itss/itss_stream.h"

namespace vaskel::itss {
namespace {

constexpr DWORD kAccessMask = 0x3;  // STGM_READ 0, STGM_WRITE 1, STGM_READWRITE 2

}  // namespace

bool IsReadOnlyMode(DWORD mode) { return (mode & kAccessMask) == STGM_READ; }

HRESULT ItssStorage::EnumElements(DWORD, void*, DWORD, IEnumSTATSTG** ppenum) {
  if (ppenum == nullptr) return STG_E_INVALIDPOINTER;
  *ppenum = new ItssEnum(archive_, node_);
  return S_OK;
}

HRESULT ItssStorage::OpenStorage(const char16_t* pwcsName, IStorage*, DWORD grfMode, char16_t**,
                                 DWORD, IStorage** ppstg) {
  if (ppstg == nullptr) return STG_E_INVALIDPOINTER;
  *ppstg = nullptr;
  if (pwcsName == nullptr) return STG_E_INVALIDPOINTER;
  if (!IsReadOnlyMode(grfMode)) return STG_E_ACCESSDENIED;
  const auto child = archive_->tree().FindChild(node_, pwcsName);
  if (!child || !archive_->tree().node(*child).is_storage) return STG_E_FILENOTFOUND;
  *ppstg = new ItssStorage(archive_, *child);
  return S_OK;
}

HRESULT ItssStorage::OpenStream(const char16_t* pwcsName, void*, DWORD grfMode, DWORD,
                                IStream** ppstm) {
  if (ppstm == nullptr) return STG_E_INVALIDPOINTER;
  *ppstm = nullptr;
  if (pwcsName == nullptr) return STG_E_INVALIDPOINTER;
  if (!IsReadOnlyMode(grfMode)) return STG_E_ACCESSDENIED;
  const auto child = archive_->tree().FindChild(node_, pwcsName);
  if (!child || archive_->tree().node(*child).is_storage) return STG_E_FILENOTFOUND;
  *ppstm = new ItssStream(archive_, *child);
  return S_OK;
}

}  // namespace vaskel::itss
