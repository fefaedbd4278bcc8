#include "platform/itss/frame_decoder.h"

#include <algorithm>
#include <span>
#include <string>

#include "platform/com/error_info.h"
#include "platform/itss/checked_math.h"

namespace vaskel::itss {
namespace {

HRESULT FrameFailure(HRESULT hr, std::uint64_t frame, std::string_view what) {
  return FailWith(hr, std::string(what) + " in frame " + std::to_string(frame) + " of section 1");
}

}  // namespace

void FrameDecoder::MoveTowards(std::uint64_t frame) {
  const std::uint64_t reset_point = frame - frame % info_.frames_per_reset;
  if (positioned_ && next_frame_ > reset_point && next_frame_ <= frame) return;
  next_frame_ = reset_point;
  positioned_ = false;
}

HRESULT FrameDecoder::DecodeNext(std::uint8_t* out) {
  const std::uint64_t frame = next_frame_;
  if (frame >= info_.frame_count()) {
    return FailWith(STG_E_DOCFILECORRUPT,
                    "frame " + std::to_string(frame) + " lies past the end of section 1");
  }
  const bool reset = frame % info_.frames_per_reset == 0;
  if (!positioned_ && !reset) {  // MoveTowards was not called
    return FrameFailure(STG_E_DOCFILECORRUPT, frame, "no reset point before decoding");
  }
  if (!decoder_) {
    decoder_ = LzxDecoder::Create(info_.window_bits);
    if (!decoder_) {
      return FrameFailure(
          STG_E_DOCFILECORRUPT, frame,
          "no LZX decoder for a window of 2^" + std::to_string(info_.window_bits) + " bytes");
    }
  }
  positioned_ = false;
  const HRESULT hr = ReadCompressedFrame(frame);
  if (Failed(hr)) return hr;
  if (reset) {
    decoder_->Reset();
    ++statistics_.resets;
  }
  // The final frame asks only for the section's remaining bytes; the decoder accepts it with or
  // without the zero padding writers usually add.
  std::size_t out_length = kLzxFrameSize;
  if (frame + 1 == info_.frame_count()) {
    out_length = static_cast<std::size_t>(info_.uncompressed_length - frame * kLzxFrameSize);
  }
  ++statistics_.frames_decoded;
  if (!decoder_->DecodeFrame(frame_input_, std::span(out, out_length))) {
    const std::string_view failure = decoder_->failure();
    return FrameFailure(STG_E_DOCFILECORRUPT, frame,
                        failure.empty() ? "damaged LZX data" : failure);
  }
  positioned_ = true;
  next_frame_ = frame + 1;
  return S_OK;
}

HRESULT FrameDecoder::ReadCompressedFrame(std::uint64_t frame) {
  const std::uint64_t begin = info_.frame_starts[frame];
  const std::uint64_t end =
      frame + 1 == info_.frame_count() ? info_.compressed_length : info_.frame_starts[frame + 1];
  if (end - begin > kMaxCompressedFrame) {
    return FrameFailure(STG_E_DOCFILECORRUPT, frame,
                        std::to_string(end - begin) + " compressed bytes, too many for one frame");
  }
  if (begin >= input_start_ && end <= input_start_ + input_size_) {
    frame_input_ = {input_.get() + (begin - input_start_), static_cast<std::size_t>(end - begin)};
    return S_OK;
  }
  const auto position = CheckedAdd(info_.compressed_start, begin);
  if (!position) return FrameFailure(STG_E_DOCFILECORRUPT, frame, "offset out of range");
  // Frames are mostly decoded in order: one read serves the next ones too. It stops at the
  // compressed data's end, or at this frame's end where the file is cut short.
  std::size_t size = static_cast<std::size_t>(
      std::max(end, std::min(begin + kMaxCompressedFrame, info_.compressed_length)) - begin);
  if (!RangeWithin(*position, size, file_.size())) size = static_cast<std::size_t>(end - begin);
  if (!RangeWithin(*position, size, file_.size())) {
    return FrameFailure(STG_E_READFAULT, frame, "compressed bytes cut off by the end of the file");
  }
  if (!input_) input_ = std::make_unique_for_overwrite<std::uint8_t[]>(kMaxCompressedFrame);
  input_size_ = 0;
  if (!file_.ReadAt(*position, {input_.get(), size})) {
    return FrameFailure(STG_E_READFAULT, frame, "compressed bytes cannot be read");
  }
  input_start_ = begin;
  input_size_ = size;
  frame_input_ = {input_.get(), static_cast<std::size_t>(end - begin)};
  return S_OK;
}

}  // namespace vaskel::itss
