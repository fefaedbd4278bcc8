#include "platform/itss/itss_stream.h"

#include <span>

#include "platform/com/error_info.h"
#include "platform/itss/itss_enum.h"

namespace vaskel::itss {

HRESULT ItssStream::Read(void* pv, ULONG cb, ULONG* pcbRead) {
  if (pcbRead) *pcbRead = 0;
  SetErrorInfo({});  // a failure below leaves its own
  const StreamLocation stream = archive_->tree().stream(node_);
  const std::uint64_t left = stream.length - position_;
  const auto count = static_cast<ULONG>(left < cb ? left : cb);
  if (count == 0) return S_OK;
  if (pv == nullptr) return STG_E_INVALIDPOINTER;
  const HRESULT hr =
      archive_->ReadStream(stream, position_, std::span(static_cast<std::uint8_t*>(pv), count));
  if (Failed(hr)) return hr;
  position_ += count;
  if (pcbRead) *pcbRead = count;
  return S_OK;
}

HRESULT ItssStream::Stat(STATSTG* pstatstg) {
  if (pstatstg == nullptr) return STG_E_INVALIDPOINTER;
  DescribeNode(archive_->tree(), node_, pstatstg);
  return S_OK;
}

}  // namespace vaskel::itss
