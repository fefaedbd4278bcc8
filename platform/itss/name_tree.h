// The storage/stream tree presented to callers, built from the content ("/...") entries of the
// directory. Built once at open and read-only afterwards. Compact, since it is built at every
// open: names are UTF-8 pieces of the directory's own names, children lie in one list, streams
// point at their directory entries, and lookups go through one open-addressing table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
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
  static constexpr std::uint32_t kNoEntry = UINT32_MAX;

  std::uint32_t name_offset = 0;  // into the tree's name pool, in bytes
  std::uint32_t name_length = 0;
  NodeId parent = 0;
  std::uint32_t children_begin = 0;  // storages only: their range of the tree's child list
  std::uint32_t children_end = 0;
  std::uint32_t entry = kNoEntry;  // streams: their directory entry; storages have none

  bool is_storage() const { return entry == kNoEntry; }
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
  // Keeps the directory's entries and names: the streams' locations and the names stay there.
  static NameTree Build(Directory directory);

  const TreeNode& node(NodeId id) const { return nodes_[id]; }
  // Well-formed UTF-8.
  std::string_view name(NodeId id) const {
    return std::string_view(names_).substr(nodes_[id].name_offset, nodes_[id].name_length);
  }
  // A storage's children in directory order.
  std::span<const NodeId> children(NodeId storage) const {
    const TreeNode& node = nodes_[storage];
    return std::span(children_).subspan(node.children_begin,
                                        node.children_end - node.children_begin);
  }
  // Streams only: where the stream's bytes lie.
  StreamLocation stream(NodeId id) const {
    const DirectoryEntry& entry = entries_[nodes_[id].entry];
    return {entry.section, entry.offset, entry.length};
  }
  std::size_t unsafe_entry_count() const { return unsafe_entries_; }

  // Exact (case-sensitive) lookup among the direct children of a storage.
  std::optional<NodeId> FindChild(NodeId storage, std::u16string_view name) const;

 private:
  friend class TreeBuilder;

  // A node's id with bits of its hash, so that probing rarely needs to look at the node.
  struct Slot {
    NodeId id = 0;  // 0: free (the root, id 0, is nobody's child)
    std::uint32_t tag = 0;
  };

  // The slot of the child of `parent` whose name hashes to `hash` and satisfies `equal`:
  // holding its id, or free when there is none.
  template <class Equal>
  std::size_t Probe(NodeId parent, std::uint64_t hash, const Equal& equal) const;
  std::size_t Probe(NodeId parent, std::string_view name) const;
  void Index(NodeId id);  // growing the table when needed
  void Reindex(std::size_t slot_count);
  void Place(NodeId id);  // in the first free slot of its probe sequence

  std::vector<TreeNode> nodes_;
  std::vector<DirectoryEntry> entries_;
  std::string names_;  // the directory's names, then well-formed copies of ill-formed ones
  std::vector<NodeId> children_;
  std::vector<Slot> slots_;  // a power of two in size, at most three quarters full
  std::uint64_t seed_ = 0;
  std::size_t unsafe_entries_ = 0;
};

}  // namespace vaskel::itss
