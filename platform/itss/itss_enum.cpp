#include "platform/itss/itss_enum.h"

#include "platform/text/utf_text.h"

namespace vaskel::itss {

void DescribeNode(const NameTree& tree, NodeId id, STATSTG* stat) {
  const bool is_storage = tree.node(id).is_storage();
  stat->pwcsName.clear();  // reuses the caller's buffer
  platform::AppendUtf8AsUtf16(tree.name(id), &stat->pwcsName);
  stat->type = is_storage ? STGTY_STORAGE : STGTY_STREAM;
  stat->cbSize = is_storage ? 0 : tree.stream(id).length;
}

HRESULT ItssEnum::Next(ULONG celt, STATSTG* rgelt, ULONG* pceltFetched) {
  if (pceltFetched) *pceltFetched = 0;
  if (celt > 0 && rgelt == nullptr) return STG_E_INVALIDPOINTER;
  const NameTree& tree = archive_->tree();
  const std::span<const NodeId> children = tree.children(storage_);
  ULONG fetched = 0;
  while (fetched < celt && next_ < children.size()) {
    DescribeNode(tree, children[next_], &rgelt[fetched]);
    ++next_;
    ++fetched;
  }
  if (pceltFetched) *pceltFetched = fetched;
  return fetched == celt ? S_OK : S_FALSE;
}

}  // namespace vaskel::itss
