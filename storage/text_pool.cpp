#include "storage/text_pool.h"

#include <cstring>
#include <functional>

namespace vaskel {
namespace {

constexpr std::size_t kBlockSize = 64 * 1024;
// Texts this long get a block of their own, so a block is never left mostly empty.
constexpr std::size_t kOwnBlockThreshold = kBlockSize / 4;
constexpr std::size_t kInitialSlots = 64;

std::uint32_t HashOf(std::string_view text) {
  const std::size_t full = std::hash<std::string_view>{}(text);
  return static_cast<std::uint32_t>(full ^ (full >> 32));
}

}  // namespace

TextPool::TextPool() { Clear(); }

void TextPool::Clear() {
  spans_.assign(1, std::string_view());
  slots_.assign(kInitialSlots, Slot{});
  blocks_.clear();
  block_used_ = block_size_ = 0;
}

TextPool::Id TextPool::Intern(std::string_view text) {
  if (text.empty()) return kEmpty;
  const std::uint32_t hash = HashOf(text);
  const std::size_t mask = slots_.size() - 1;
  std::size_t index = hash & mask;
  while (slots_[index].id != kEmpty) {
    const Slot& slot = slots_[index];
    if (slot.hash == hash && spans_[slot.id] == text) return slot.id;
    index = (index + 1) & mask;
  }
  const Id id = static_cast<Id>(spans_.size());
  spans_.emplace_back(Store(text), text.size());
  slots_[index] = Slot{id, hash};
  // Keep the table at most half full so probes stay short.
  if (spans_.size() * 2 > slots_.size()) Grow();
  return id;
}

const char* TextPool::Store(std::string_view text) {
  if (text.size() >= kOwnBlockThreshold) {
    // Inserted before the current block so that the current block stays the last one.
    auto own = std::make_unique<char[]>(text.size());
    std::memcpy(own.get(), text.data(), text.size());
    const char* stored = own.get();
    blocks_.insert(blocks_.empty() ? blocks_.end() : blocks_.end() - 1, std::move(own));
    return stored;
  }
  if (blocks_.empty() || block_size_ - block_used_ < text.size()) {
    blocks_.push_back(std::make_unique<char[]>(kBlockSize));
    block_size_ = kBlockSize;
    block_used_ = 0;
  }
  char* stored = blocks_.back().get() + block_used_;
  std::memcpy(stored, text.data(), text.size());
  block_used_ += text.size();
  return stored;
}

void TextPool::Grow() {
  std::vector<Slot> old = std::move(slots_);
  slots_.assign(old.size() * 2, Slot{});
  const std::size_t mask = slots_.size() - 1;
  for (const Slot& slot : old) {
    if (slot.id == kEmpty) continue;
    std::size_t index = slot.hash & mask;
    while (slots_[index].id != kEmpty) index = (index + 1) & mask;
    slots_[index] = slot;
  }
}

}  // namespace vaskel
