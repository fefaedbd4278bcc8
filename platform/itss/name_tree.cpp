#include "platform/itss/name_tree.h"

#include <algorithm>
#include <functional>
#include <unordered_map>

#include "platform/fs/name_rules.h"
#include "platform/text/utf_text.h"

namespace vaskel::itss {
namespace {

struct ChildKey {
  NodeId parent;
  std::u16string name;
  bool operator==(const ChildKey&) const = default;
};

struct ChildKeyHash {
  std::size_t operator()(const ChildKey& key) const {
    return std::hash<std::u16string>()(key.name) ^
           (static_cast<std::size_t>(key.parent) * 0x9E3779B97F4A7C15u);
  }
};

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

class TreeBuilder {
 public:
  explicit TreeBuilder(std::vector<TreeNode>* nodes) : nodes_(*nodes) {}

  // Returns false when the entry's path is unsafe.
  bool Add(const DirectoryEntry& entry) {
    const std::u16string name = platform::Utf8ToUtf16(entry.name);
    std::u16string_view path(name);
    // Names without the leading "/" are anomalous; they are taken as relative to the root.
    if (path.starts_with(u'/')) path.remove_prefix(1);
    const bool is_storage = !path.empty() && path.back() == u'/';
    if (is_storage) path.remove_suffix(1);
    if (!SplitSafePath(path, &components_)) return false;

    // Walk the part that exists; a type clash or a repeated name keeps the earlier entry.
    NodeId parent = NameTree::kRoot;
    std::size_t depth = 0;
    for (; depth < components_.size(); ++depth) {
      const auto found = Find(parent, components_[depth]);
      if (!found) break;
      const bool last = depth + 1 == components_.size();
      const bool needs_storage = !last || is_storage;
      if (nodes_[*found].is_storage != needs_storage) return true;
      if (last && !is_storage) return true;
      parent = *found;
    }
    for (; depth < components_.size(); ++depth) {
      const bool last = depth + 1 == components_.size();
      parent = Create(parent, components_[depth], !last || is_storage);
      if (last && !is_storage) {
        nodes_[parent].stream = {entry.section, entry.offset, entry.length};
      }
    }
    return true;
  }

 private:
  std::optional<NodeId> Find(NodeId parent, std::u16string_view name) {
    key_.parent = parent;
    key_.name.assign(name);
    const auto it = index_.find(key_);
    if (it == index_.end()) return std::nullopt;
    return it->second;
  }

  NodeId Create(NodeId parent, std::u16string_view name, bool is_storage) {
    const auto id = static_cast<NodeId>(nodes_.size());
    TreeNode& node = nodes_.emplace_back();
    node.name.assign(name);
    node.is_storage = is_storage;
    nodes_[parent].children.push_back(id);
    index_.emplace(ChildKey{parent, std::u16string(name)}, id);
    return id;
  }

  std::vector<TreeNode>& nodes_;
  std::unordered_map<ChildKey, NodeId, ChildKeyHash> index_;
  std::vector<std::u16string_view> components_;
  ChildKey key_;
};

}  // namespace

NameTree::NameTree() {
  TreeNode& root = nodes_.emplace_back();
  root.is_storage = true;
}

NameTree NameTree::Build(const std::vector<DirectoryEntry>& entries) {
  NameTree tree;
  TreeBuilder builder(&tree.nodes_);
  for (const DirectoryEntry& entry : entries) {
    const std::string_view name = entry.name;
    if (name.starts_with("::") || name == "/") continue;
    if (!builder.Add(entry)) ++tree.unsafe_entries_;
  }
  for (TreeNode& node : tree.nodes_) {
    if (!node.is_storage) continue;
    node.by_name = node.children;
    std::sort(node.by_name.begin(), node.by_name.end(),
              [&](NodeId a, NodeId b) { return tree.nodes_[a].name < tree.nodes_[b].name; });
  }
  return tree;
}

std::optional<NodeId> NameTree::FindChild(NodeId storage, std::u16string_view name) const {
  const std::vector<NodeId>& sorted = nodes_[storage].by_name;
  const auto it =
      std::lower_bound(sorted.begin(), sorted.end(), name, [&](NodeId id, std::u16string_view key) {
        return std::u16string_view(nodes_[id].name) < key;
      });
  if (it == sorted.end() || nodes_[*it].name != name) return std::nullopt;
  return *it;
}

}  // namespace vaskel::itss
