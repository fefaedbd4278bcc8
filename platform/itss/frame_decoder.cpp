#include "platform/itss/frame_decoder.h"

#include <span>

#include "platform/itss/checked_math.h"

namespace vaskel::itss {

void FrameDecoder::MoveTowards(std::uint64_t frame) {
  const std::uint64_t reset_point = frame - frame % info_.frames_per_reset;
  if (positioned_ && next_frame_ > reset_point && next_frame_ <= frame) return;
  next_frame_ = reset_point;
  positioned_ = false;
}

HRESULT FrameDecoder::DecodeNext(std::uint8_t* out) {
  const std::uint64_t frame = next_frame_;
  if (frame >= info_.frame_count()) return STG_E_DOCFILECORRUPT;
  const bool reset = frame % info_.frames_per_reset == 0;
  if (!positioned_ && !reset) return STG_E_DOCFILECORRUPT;  // MoveTowards was not called
  if (!decoder_) {
    decoder_ = LzxDecoder::Create(info_.window_bits);
    if (!decoder_) return STG_E_DOCFILECORRUPT;
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
  if (!decoder_->DecodeFrame(input_, std::span(out, out_length))) return STG_E_DOCFILECORRUPT;
  positioned_ = true;
  next_frame_ = frame + 1;
  return S_OK;
}

HRESULT FrameDecoder::ReadCompressedFrame(std::uint64_t frame) {
  const std::uint64_t begin = info_.frame_starts[frame];
  const std::uint64_t end =
      frame + 1 == info_.frame_count() ? info_.compressed_length : info_.frame_starts[frame + 1];
  if (end - begin > kMaxCompressedFrame) return STG_E_DOCFILECORRUPT;
  const auto position = CheckedAdd(info_.compressed_start, begin);
  if (!position) return STG_E_DOCFILECORRUPT;
  input_.resize(static_cast<std::size_t>(end - begin));
  return file_.ReadAt(*position, input_) ? S_OK : STG_E_READFAULT;
}

}  // namespace vaskel::itss
