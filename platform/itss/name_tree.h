// The storage/stream tree presented to callers, built from the content ("/...") entries of the
// directory. Built once at open and read-only afterwards.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/itss/directory.h"

namespace vaskel::itss {

using NodeId = std::uint32_t;

struct StreamLocation {
  std::uint64_t section = 0;
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};

struct TreeNode {
  std::u16string name;
  bool is_storage = false;
  StreamLocation stream;         // streams only
  std::vector<NodeId> children;  // storages only: directory order
  std::vector<NodeId> by_name;   // storages only: children sorted by name, for lookup
};

class NameTree {
 public:
  static constexpr NodeId kRoot = 0;

  NameTree();

  // Presents every safe content entry: "/..." names, and names without either prefix, taken as
  // relative to the root. Not presented: "::" entries (the container's own), the root entry "/",
  // and entries that conflict with an earlier one (a stream where a storage is needed or the
  // other way round, or a repeated name: the first wins). Also not presented, and counted as
  // unsafe: names with an empty, "." or ".." component (the empty name among them), a NUL or a
  // backslash. Invalid UTF-8 bytes become U+FFFD, so such names stay readable.
  static NameTree Build(const std::vector<DirectoryEntry>& entries);

  const TreeNode& node(NodeId id) const { return nodes_[id]; }
  std::size_t node_count() const { return nodes_.size(); }
  std::size_t unsafe_entry_count() const { return unsafe_entries_; }

  // Exact (case-sensitive) lookup among the direct children of a storage.
  std::optional<NodeId> FindChild(NodeId storage, std::u16string_view name) const;

 private:
  std::vector<TreeNode> nodes_;
  std::size_t unsafe_entries_ = 0;
};

}  // namespace vaskel::itss
