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
    const std::uint8_t* bytes = nullptr;
    const HRESULT hr = ObtainFrame(frame, &bytes);
    if (Failed(hr)) return hr;
    const std::size_t count = std::min(out.size(), kLzxFrameSize - within);
    std::memcpy(out.data(), bytes + within, count);
    out = out.subspan(count);
    offset += count;
  }
  return S_OK;
}

HRESULT CompressedSectionReader::ObtainFrame(std::uint64_t frame, const std::uint8_t** bytes) {
  *bytes = cache_.Find(frame);
  if (*bytes) return S_OK;
  decoder_.MoveTowards(frame);
  while (decoder_.next_frame() <= frame) {
    const std::uint64_t current = decoder_.next_frame();
    std::uint8_t* slot = cache_.Insert(current);
    const HRESULT hr = decoder_.DecodeNext(slot);
    if (Failed(hr)) {
      cache_.Erase(current);
      return hr;
    }
    if (current == frame) *bytes = slot;
  }
  return *bytes ? S_OK
                : FailWith(STG_E_DOCFILECORRUPT,
                           "frame " + std::to_string(frame) + " of section 1 was not reached");
}

}  // namespace vaskel::itss
