#include "platform/itss/name_tree.h"

#include <algorithm>
#include <bit>
#include <cstring>
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

std::uint64_t HashChild(std::uint64_t seed, NodeId parent, std::u16string_view name) {
  std::uint64_t hash = seed ^ (std::uint64_t{parent} * kMultiplier) ^ name.size();
  const char16_t* units = name.data();
  std::size_t left = name.size();
  for (; left >= 4; left -= 4, units += 4) {
    std::uint64_t word = 0;
    std::memcpy(&word, units, sizeof word);
    hash = (hash ^ word) * kMultiplier;
    hash ^= hash >> 31;
  }
  std::uint64_t word = 0;
  std::memcpy(&word, units, left * sizeof(char16_t));
  hash = (hash ^ word) * kMultiplier;
  return hash ^ (hash >> 32);
}

bool IsSafeComponent(std::u16string_view component) {
  if (component.empty() || component == u"." || component == u"..") return false;
  if (component.find_first_of(std::u16string_view(u"\\\0", 2)) != std::u16string_view::npos)
    return false;
  // Names the platform would resolve elsewhere (on Windows "C:", "CON", "aux.txt", "x.").
  return !platform::kHasNameRefusals ||
         platform::PlatformNameRefusal(platform::Utf16ToUtf8(component).value_or("")) == nullptr;
}

// Splits a content name (without its leading "/") into components; false if any is unsafe.
bool SplitSafePath(std::u16string_view path, std::vector<std::u16string_view>* components) {
  components->clear();
  while (true) {
    const std::size_t slash = path.find(u'/');
    const std::u16string_view component = path.substr(0, slash);
    if (!IsSafeComponent(component)) return false;
    components->push_back(component);
    if (slash == std::u16string_view::npos) return true;
    path.remove_prefix(slash + 1);
  }
}

}  // namespace

class TreeBuilder {
 public:
  explicit TreeBuilder(NameTree* tree) : tree_(*tree) {}

  // Returns false when the entry's path is unsafe. The name is converted straight into the
  // tree's pool; only the components that become new nodes stay there.
  bool Add(std::string_view utf8_name, std::uint32_t entry) {
    std::u16string& pool = tree_.names_;
    const std::size_t start = pool.size();
    platform::AppendUtf8AsUtf16(utf8_name, &pool);
    std::u16string_view path = std::u16string_view(pool).substr(start);
    // Names without the leading "/" are anomalous; they are taken as relative to the root.
    if (path.starts_with(u'/')) path.remove_prefix(1);
    const bool is_storage = !path.empty() && path.back() == u'/';
    if (is_storage) path.remove_suffix(1);
    if (!SplitSafePath(path, &components_)) {
      pool.resize(start);
      return false;
    }

    const auto existing = ExistingPart(is_storage);
    if (!existing) {
      pool.resize(start);
      return true;
    }
    auto [parent, depth] = *existing;

    // Move the new components' names down over the ones that exist already.
    const std::size_t from = components_[depth].data() - pool.data();
    const std::size_t to = components_.back().data() + components_.back().size() - pool.data();
    const std::size_t shift = from - start;
    std::copy(pool.begin() + from, pool.begin() + to, pool.begin() + start);
    pool.resize(to - shift);
    for (; depth < components_.size(); ++depth) {
      const bool last = depth + 1 == components_.size();
      const auto offset =
          static_cast<std::uint32_t>(components_[depth].data() - pool.data() - shift);
      const bool stream = last && !is_storage;
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
  std::vector<std::u16string_view> components_;
};

NameTree::NameTree() : slots_(kMinSlots), seed_(ProcessSeed()) { nodes_.emplace_back(); }

NameTree NameTree::Build(Directory directory) {
  NameTree tree;
  // UTF-16 takes no more units than UTF-8 takes bytes; room not written costs no memory.
  tree.names_.reserve(directory.names.size());
  tree.nodes_.reserve(directory.entries.size() + 1);
  tree.Reindex(std::bit_ceil(std::max(kMinSlots, 4 * (directory.entries.size() + 1) / 3 + 1)));
  TreeBuilder builder(&tree);
  for (std::uint32_t i = 0; i < directory.entries.size(); ++i) {
    const std::string_view name = directory.name(directory.entries[i]);
    if (name.starts_with("::") || name == "/") continue;
    if (!builder.Add(name, i)) ++tree.unsafe_entries_;
  }
  builder.ListChildren();
  tree.entries_ = std::move(directory.entries);
  return tree;
}

std::optional<NodeId> NameTree::FindChild(NodeId storage, std::u16string_view name) const {
  const NodeId found = slots_[Probe(storage, name)].id;
  if (found == 0) return std::nullopt;
  return found;
}

std::size_t NameTree::Probe(NodeId parent, std::u16string_view name) const {
  const std::uint64_t hash = HashChild(seed_, parent, name);
  const auto tag = static_cast<std::uint32_t>(hash >> 32);
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
    const Slot& entry = slots_[slot];
    if (entry.id == 0) return slot;
    if (entry.tag == tag && nodes_[entry.id].parent == parent && this->name(entry.id) == name) {
      return slot;
    }
  }
}

void NameTree::Index(NodeId id) {
  if (4 * nodes_.size() > 3 * slots_.size()) {
    Reindex(2 * slots_.size());  // indexes `id` too
    return;
  }
  const std::u16string_view key = name(id);
  const auto tag = static_cast<std::uint32_t>(HashChild(seed_, nodes_[id].parent, key) >> 32);
  slots_[Probe(nodes_[id].parent, key)] = {id, tag};
}

void NameTree::Reindex(std::size_t slot_count) {
  slots_.assign(slot_count, Slot{});
  for (NodeId id = 1; id < nodes_.size(); ++id) {
    const std::u16string_view key = name(id);
    const auto tag = static_cast<std::uint32_t>(HashChild(seed_, nodes_[id].parent, key) >> 32);
    slots_[Probe(nodes_[id].parent, key)] = {id, tag};
  }
}

}  // namespace vaskel::itss
