#include "platform/itss/frame_cache.h"

#include "platform/itss/lzx_decoder.h"

namespace vaskel::itss {

FrameCache::FrameCache(std::size_t capacity) : capacity_(capacity == 0 ? 1 : capacity) {
  slots_.reserve(capacity_);
}

std::uint32_t FrameCache::Lookup(std::uint64_t frame) const {
  // A handful of slots: a linear scan is cheaper than maintaining an index, and the newest slot
  // (the usual hit for consecutive small reads) is checked first.
  if (newest_ != kNone && slots_[newest_].frame == frame) return newest_;
  for (std::uint32_t i = 0; i < slots_.size(); ++i) {
    if (slots_[i].frame == frame) return i;
  }
  return kNone;
}

void FrameCache::Unlink(std::uint32_t slot) {
  Slot& s = slots_[slot];
  if (s.newer != kNone)
    slots_[s.newer].older = s.older;
  else
    newest_ = s.older;
  if (s.older != kNone)
    slots_[s.older].newer = s.newer;
  else
    oldest_ = s.newer;
  s.newer = s.older = kNone;
}

void FrameCache::LinkAsNewest(std::uint32_t slot) {
  Slot& s = slots_[slot];
  s.older = newest_;
  s.newer = kNone;
  if (newest_ != kNone) slots_[newest_].newer = slot;
  newest_ = slot;
  if (oldest_ == kNone) oldest_ = slot;
}

const std::uint8_t* FrameCache::Find(std::uint64_t frame) {
  const std::uint32_t slot = Lookup(frame);
  if (slot == kNone) return nullptr;
  if (slot != newest_) {
    Unlink(slot);
    LinkAsNewest(slot);
  }
  return slots_[slot].bytes.get();
}

std::uint8_t* FrameCache::Insert(std::uint64_t frame) {
  std::uint32_t slot = Lookup(frame);
  if (slot == kNone) {
    if (slots_.size() < capacity_) {
      slot = static_cast<std::uint32_t>(slots_.size());
      slots_.push_back(Slot{std::make_unique_for_overwrite<std::uint8_t[]>(kLzxFrameSize)});
      LinkAsNewest(slot);
    } else {
      slot = oldest_;
    }
  }
  if (slot != newest_) {
    Unlink(slot);
    LinkAsNewest(slot);
  }
  slots_[slot].frame = frame;
  return slots_[slot].bytes.get();
}

void FrameCache::Erase(std::uint64_t frame) {
  const std::uint32_t slot = Lookup(frame);
  if (slot == kNone) return;
  slots_[slot].frame = kNoFrame;
  // An empty slot is the first to be reused.
  Unlink(slot);
  Slot& s = slots_[slot];
  s.newer = oldest_;
  if (oldest_ != kNone) slots_[oldest_].older = slot;
  oldest_ = slot;
  if (newest_ == kNone) newest_ = slot;
}

}  // namespace vaskel::itss
