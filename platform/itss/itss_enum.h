// Enumerates the direct children of a storage in directory order.
#pragma once

#include <cstddef>
#include <memory>

#include "platform/com/storage_interfaces.h"
#include "platform/itss/itss_archive.h"
#include "platform/itss/ref_counted.h"

namespace vaskel::itss {

class ItssEnum final : public RefCounted<IEnumSTATSTG> {
 public:
  ItssEnum(std::shared_ptr<ItssArchive> archive, NodeId storage)
      : archive_(std::move(archive)), storage_(storage) {}

  HRESULT Next(ULONG celt, STATSTG* rgelt, ULONG* pceltFetched) override;

 private:
  const std::shared_ptr<ItssArchive> archive_;
  const NodeId storage_;
  std::size_t next_ = 0;
};

// Fills a STATSTG for one node of the tree.
void DescribeNode(const NameTree& tree, NodeId id, STATSTG* stat);

}  // namespace vaskel::itss
