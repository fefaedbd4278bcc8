#include "platform/itss/name_tree.h"

#include <algorithm>
#include <bit>
#include <random>
#include <utility>

#include "platform/fs/name_rules.h"
#include "platform/text/utf_text.h"

namespace vaskel::itss {
namespace {

constexpr std::size_t kMinSlots = 16;
constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15u;

// Random per process, so that a hostile file cannot pick names that all fall on one slot.
std::uint64_t ProcessSeed() {
  static const std::uint64_t seed = [] {
    std::random_device device;
    return (std::uint64_t{device()} << 32) ^ device();
  }();
  return seed;
}

// Hashes a child's name by its UTF-8 bytes, eight at a time: the same bytes hash alike whether
// they lie in the pool or are encoded from a UTF-16 query.
class NameHash {
 public:
  NameHash(std::uint64_t seed, NodeId parent)
      : hash_(seed ^ (std::uint64_t{parent} * kMultiplier)) {}

  void Add(std::uint8_t byte) {
    word_ |= std::uint64_t{byte} << (8 * (length_ % 8));
    if (++length_ % 8 == 0) Mix();
  }
  void Add(std::string_view bytes) {
    for (const char byte : bytes) Add(static_cast<std::uint8_t>(byte));
  }
  std::uint64_t Finish() {
    Mix();
    hash_ = (hash_ ^ length_) * kMultiplier;
    return hash_ ^ (hash_ >> 32);
  }

 private:
  void Mix() {
    hash_ = (hash_ ^ word_) * kMultiplier;
    hash_ ^= hash_ >> 31;
    word_ = 0;
  }

  std::uint64_t hash_;
  std::uint64_t word_ = 0;
  std::uint64_t length_ = 0;
};

bool IsWellFormedUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    std::size_t length = 1;
    if (static_cast<unsigned char>(text[i]) >= 0x80 && !platform::DecodeUtf8(text, i, &length)) {
      return false;
    }
    i += length;
  }
  return true;
}

// `component` is well-formed UTF-8, so its bytes stand for its characters.
bool IsSafeComponent(std::string_view component) {
  if (component.empty() || component == "." || component == "..") return false;
  if (component.find_first_of(std::string_view("\\\0", 2)) != std::string_view::npos) return false;
  // Names the platform would resolve elsewhere (on Windows "C:", "CON", "aux.txt", "x.").
  return !platform::kHasNameRefusals || platform::PlatformNameRefusal(component) == nullptr;
}

// Splits a content name (without its leading "/") into components; false if any is unsafe.
bool SplitSafePath(std::string_view path, std::vector<std::string_view>* components) {
  components->clear();
  while (true) {
    const std::size_t slash = path.find('/');
    const std::string_view component = path.substr(0, slash);
    if (!IsSafeComponent(component)) return false;
    components->push_back(component);
    if (slash == std::string_view::npos) return true;
    path.remove_prefix(slash + 1);
  }
}

}  // namespace

class TreeBuilder {
 public:
  explicit TreeBuilder(NameTree* tree) : tree_(*tree) {}

  // Returns false when the entry's path is unsafe. New nodes name pieces of the entry's own
  // name in the pool; an ill-formed name is first added to the pool in its well-formed form.
  bool Add(std::uint32_t entry, std::string_view name) {
    std::string& pool = tree_.names_;
    const std::size_t start = pool.size();
    if (!IsWellFormedUtf8(name)) {
      const std::optional<std::string> formed = platform::Utf16ToUtf8(platform::Utf8ToUtf16(name));
      // Offsets stay within 32 bits; only absurd directories of ill-formed names get this far.
      if (!formed || formed->size() > UINT32_MAX - start) return false;
      pool += *formed;
      name = std::string_view(pool).substr(start);
    }
    std::string_view path = name;
    // Names without the leading "/" are anomalous; they are taken as relative to the root.
    if (path.starts_with('/')) path.remove_prefix(1);
    const bool is_storage = !path.empty() && path.back() == '/';
    if (is_storage) path.remove_suffix(1);
    if (!SplitSafePath(path, &components_)) {
      pool.resize(start);
      return false;
    }
    const auto existing = ExistingPart(is_storage);
    if (!existing) {
      pool.resize(start);  // drops a well-formed copy nobody names
      return true;
    }
    auto [parent, depth] = *existing;
    for (; depth < components_.size(); ++depth) {
      const bool stream = depth + 1 == components_.size() && !is_storage;
      const auto offset = static_cast<std::uint32_t>(components_[depth].data() - pool.data());
      parent =
          Create(parent, offset, components_[depth].size(), stream ? entry : TreeNode::kNoEntry);
    }
    return true;
  }

  // Lays every storage's children out as one range of the child list, in directory order.
  void ListChildren() {
    std::vector<TreeNode>& nodes = tree_.nodes_;
    for (NodeId id = 1; id < nodes.size(); ++id) ++nodes[nodes[id].parent].children_end;
    std::uint32_t next = 0;
    for (TreeNode& node : nodes) {
      node.children_begin = next;
      next += node.children_end;
      node.children_end = node.children_begin;  // the fill position below
    }
    tree_.children_.resize(next);
    for (NodeId id = 1; id < nodes.size(); ++id) {
      tree_.children_[nodes[nodes[id].parent].children_end++] = id;
    }
  }

 private:
  // The deepest node of the path that exists already and how many components lead to it;
  // nothing when the entry adds no node: a type clash or a repeated name keeps the earlier entry.
  std::optional<std::pair<NodeId, std::size_t>> ExistingPart(bool is_storage) const {
    NodeId parent = NameTree::kRoot;
    for (std::size_t depth = 0; depth < components_.size(); ++depth) {
      const NodeId found = tree_.slots_[tree_.Probe(parent, components_[depth])].id;
      if (found == 0) return std::pair(parent, depth);
      const bool last = depth + 1 == components_.size();
      const bool needs_storage = !last || is_storage;
      if (tree_.nodes_[found].is_storage() != needs_storage || (last && !is_storage)) {
        return std::nullopt;
      }
      parent = found;
    }
    return std::nullopt;
  }

  NodeId Create(NodeId parent, std::uint32_t name_offset, std::size_t name_length,
                std::uint32_t entry) {
    const auto id = static_cast<NodeId>(tree_.nodes_.size());
    TreeNode& node = tree_.nodes_.emplace_back();
    node.name_offset = name_offset;
    node.name_length = static_cast<std::uint32_t>(name_length);
    node.parent = parent;
    node.entry = entry;
    tree_.Index(id);
    return id;
  }

  NameTree& tree_;
  std::vector<std::string_view> components_;
};

NameTree::NameTree() : slots_(kMinSlots), seed_(ProcessSeed()) { nodes_.emplace_back(); }

NameTree NameTree::Build(Directory directory) {
  NameTree tree;
  tree.names_ = std::move(directory.names);
  tree.nodes_.reserve(directory.entries.size() + 1);
  tree.Reindex(std::bit_ceil(std::max(kMinSlots, 4 * (directory.entries.size() + 1) / 3 + 1)));
  TreeBuilder builder(&tree);
  for (std::uint32_t i = 0; i < directory.entries.size(); ++i) {
    const DirectoryEntry& entry = directory.entries[i];
    const auto name = std::string_view(tree.names_).substr(entry.name_offset, entry.name_length);
    if (name.starts_with("::") || name == "/") continue;
    if (!builder.Add(i, name)) ++tree.unsafe_entries_;
  }
  builder.ListChildren();
  tree.entries_ = std::move(directory.entries);
  return tree;
}

std::optional<NodeId> NameTree::FindChild(NodeId storage, std::u16string_view name) const {
  NameHash hash(seed_, storage);
  std::size_t length = 0;
  if (!platform::ForEachUtf8Byte(name, [&](std::uint8_t byte) { hash.Add(byte), ++length; })) {
    return std::nullopt;
  }
  const NodeId found = slots_[Probe(storage, hash.Finish(), [&](std::string_view stored) {
                         if (stored.size() != length) return false;
                         std::size_t at = 0;
                         bool same = true;
                         platform::ForEachUtf8Byte(name, [&](std::uint8_t byte) {
                           same = same && static_cast<std::uint8_t>(stored[at++]) == byte;
                         });
                         return same;
                       })].id;
  if (found == 0) return std::nullopt;
  return found;
}

template <class Equal>
std::size_t NameTree::Probe(NodeId parent, std::uint64_t hash, const Equal& equal) const {
  const auto tag = static_cast<std::uint32_t>(hash >> 32);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const Slot& entry = slots_[slot];
    if (entry.id == 0) return slot;
    if (entry.tag == tag && nodes_[entry.id].parent == parent && equal(this->name(entry.id))) {
      return slot;
    }
  }
}

std::size_t NameTree::Probe(NodeId parent, std::string_view name) const {
  NameHash hash(seed_, parent);
  hash.Add(name);
  return Probe(parent, hash.Finish(), [name](std::string_view stored) { return stored == name; });
}

void NameTree::Index(NodeId id) {
  if (4 * nodes_.size() > 3 * slots_.size()) {
    Reindex(2 * slots_.size());  // places `id` too
  } else {
    Place(id);
  }
}

void NameTree::Reindex(std::size_t slot_count) {
  slots_.assign(slot_count, Slot{});
  for (NodeId id = 1; id < nodes_.size(); ++id) Place(id);
}

void NameTree::Place(NodeId id) {
  NameHash hash(seed_, nodes_[id].parent);
  hash.Add(name(id));
  const std::uint64_t key = hash.Finish();
  const auto free = [](std::string_view) { return false; };
  slots_[Probe(nodes_[id].parent, key, free)] = {id, static_cast<std::uint32_t>(key >> 32)};
}

}  // namespace vaskel::itss
