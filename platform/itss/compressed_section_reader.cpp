#include "platform/itss/compressed_section_reader.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "platform/com/error_info.h"
#include "platform/itss/checked_math.h"

namespace vaskel::itss {

DecodeStatistics CompressedSectionReader::statistics() const {
  std::lock_guard lock(mutex_);
  return decoder_.statistics();
}

HRESULT CompressedSectionReader::Read(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (out.empty()) return S_OK;
  if (!RangeWithin(offset, out.size(), info_.uncompressed_length)) {
    return FailWith(STG_E_DOCFILECORRUPT, "a read lies outside section 1");
  }
  std::lock_guard lock(mutex_);
  while (!out.empty()) {
    const std::uint64_t frame = offset / kLzxFrameSize;
    const std::size_t within = static_cast<std::size_t>(offset % kLzxFrameSize);
    const std::size_t count = std::min(out.size(), kLzxFrameSize - within);
    const std::uint8_t* bytes = cache_.Find(frame);
    if (!bytes && count == kLzxFrameSize) {
      // Read whole: decoded straight into `out`, as no later read in data order needs it again.
      // A short final frame is cached all the same: reading again the file that ends the
      // section then costs nothing.
      const HRESULT hr = DecodeThrough(frame, out.data());
      if (Failed(hr)) return hr;
    } else {
      if (!bytes) {
        const HRESULT hr = DecodeThrough(frame, nullptr);
        if (Failed(hr)) return hr;
        bytes = cache_.Find(frame);
      }
      std::memcpy(out.data(), bytes + within, count);
    }
    out = out.subspan(count);
    offset += count;
  }
  return S_OK;
}

HRESULT CompressedSectionReader::DecodeThrough(std::uint64_t frame, std::uint8_t* target) {
  decoder_.MoveTowards(frame);
  while (decoder_.next_frame() <= frame) {
    const std::uint64_t current = decoder_.next_frame();
    const bool cached = current != frame || target == nullptr;
    std::uint8_t* const bytes = cached ? cache_.Insert(current) : target;
    const HRESULT hr = decoder_.DecodeNext(bytes);
    if (Failed(hr)) {
      if (cached) cache_.Erase(current);
      return hr;
    }
    if (current == frame) return S_OK;
  }
  return FailWith(STG_E_DOCFILECORRUPT,
                  "frame " + std::to_string(frame) + " of section 1 was not reached");
}

}  // namespace vaskel::itss
