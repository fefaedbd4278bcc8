// A storage (folder) of an opened help file.
#pragma once

#include <memory>

#include "platform/com/storage_interfaces.h"
#include "platform/com/stream_locator.h"
#include "platform/itss/itss_archive.h"
#include "platform/itss/ref_counted.h"

namespace vaskel::itss {

class ItssStorage final : public RefCounted<IStorage>, public StreamLocator {
 public:
  ItssStorage(std::shared_ptr<ItssArchive> archive, NodeId node)
      : archive_(std::move(archive)), node_(node) {}

  HRESULT EnumElements(DWORD reserved1, void* reserved2, DWORD reserved3,
                       IEnumSTATSTG** ppenum) override;
  HRESULT OpenStorage(const char16_t* pwcsName, IStorage* pstgPriority, DWORD grfMode,
                      char16_t** snbExclude, DWORD reserved, IStorage** ppstg) override;
  HRESULT OpenStream(const char16_t* pwcsName, void* reserved1, DWORD grfMode, DWORD reserved2,
                     IStream** ppstm) override;

  HRESULT LocateStream(const char16_t* name, StreamExtent* extent) override;
  const void* ContentIdentity() const override { return archive_.get(); }
  std::unique_ptr<ExtentReader> NewExtentReader() override;

  const ItssArchive& archive() const { return *archive_; }

 private:
  const std::shared_ptr<ItssArchive> archive_;
  const NodeId node_;
};

// The component only reads: any request for write access is refused.
bool IsReadOnlyMode(DWORD mode);

}  // namespace vaskel::itss
