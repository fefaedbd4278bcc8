#include "platform/itss/compressed_section_reader.h"

#include <algorithm>
#include <cstring>

#include "platform/itss/checked_math.h"

namespace vaskel::itss {

CompressedSectionReader::CompressedSectionReader(const FileReader& file, CompressedSectionInfo info)
    : file_(file), info_(std::move(info)), cache_(kCacheFrames) {}

DecodeStatistics CompressedSectionReader::statistics() const {
  std::lock_guard lock(mutex_);
  return statistics_;
}

HRESULT CompressedSectionReader::Read(std::uint64_t offset, std::span<std::uint8_t> out) {
  if (out.empty()) return S_OK;
  if (!RangeWithin(offset, out.size(), info_.uncompressed_length)) return STG_E_DOCFILECORRUPT;
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
  const HRESULT hr = DecodeThrough(frame);
  if (Failed(hr)) return hr;
  *bytes = cache_.Find(frame);
  return *bytes ? S_OK : STG_E_DOCFILECORRUPT;
}

HRESULT CompressedSectionReader::DecodeThrough(std::uint64_t frame) {
  if (!decoder_) {
    decoder_ = LzxDecoder::Create(info_.window_bits);
    if (!decoder_) return STG_E_DOCFILECORRUPT;
  }
  const std::uint64_t reset_point = frame - frame % info_.frames_per_reset;
  const bool can_continue =
      decoder_positioned_ && next_frame_ > reset_point && next_frame_ <= frame;
  if (!can_continue) next_frame_ = reset_point;
  while (next_frame_ <= frame) {
    const std::uint64_t current = next_frame_;
    if (current % info_.frames_per_reset == 0) {
      decoder_->Reset();
      ++statistics_.resets;
    }
    const HRESULT hr = DecodeOne(current, cache_.Insert(current));
    if (Failed(hr)) {
      cache_.Erase(current);
      decoder_positioned_ = false;
      return hr;
    }
    decoder_positioned_ = true;
    next_frame_ = current + 1;
  }
  return S_OK;
}

HRESULT CompressedSectionReader::DecodeOne(std::uint64_t frame, std::uint8_t* out) {
  const std::uint64_t begin = info_.frame_starts[frame];
  const std::uint64_t end =
      IsLastFrame(frame) ? info_.compressed_length : info_.frame_starts[frame + 1];
  if (end - begin > kMaxCompressedFrame) return STG_E_DOCFILECORRUPT;
  const auto position = CheckedAdd(info_.compressed_start, begin);
  if (!position) return STG_E_DOCFILECORRUPT;
  input_.resize(static_cast<std::size_t>(end - begin));
  if (!file_.ReadAt(*position, input_)) return STG_E_READFAULT;

  // The final frame asks only for the section's remaining bytes; the decoder accepts it with or
  // without the zero padding writers usually add.
  std::size_t out_length = kLzxFrameSize;
  if (IsLastFrame(frame)) {
    out_length = static_cast<std::size_t>(info_.uncompressed_length - frame * kLzxFrameSize);
  }
  ++statistics_.frames_decoded;
  if (!decoder_->DecodeFrame(input_, std::span(out, out_length))) return STG_E_DOCFILECORRUPT;
  return S_OK;
}

}  // namespace vaskel::itss
