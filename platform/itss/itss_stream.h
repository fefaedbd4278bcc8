// A stream (file) of an opened help file, read sequentially from its first byte.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/com/storage_interfaces.h"
#include "platform/itss/itss_archive.h"
#include "platform/itss/ref_counted.h"

namespace vaskel::itss {

class ItssStream final : public RefCounted<IStream> {
 public:
  ItssStream(std::shared_ptr<ItssArchive> archive, NodeId node)
      : archive_(std::move(archive)), node_(node) {}

  HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override;
  HRESULT Stat(STATSTG* pstatstg) override;

 private:
  const std::shared_ptr<ItssArchive> archive_;
  const NodeId node_;
  std::uint64_t position_ = 0;
};

}  // namespace vaskel::itss
