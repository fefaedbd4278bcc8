// Decodes the frames of content section 1 in order, starting at reset points: one LZX decoder,
// where it stands, and a buffer of compressed bytes read ahead. Reset intervals decode
// independently, so several of these may work on different intervals at once (a read-ahead
// worker beside the reader, for instance), each with its own decoder.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/com/com_types.h"
#include "platform/itss/compressed_section_info.h"
#include "platform/itss/file_reader.h"
#include "platform/itss/lzx_decoder.h"

namespace vaskel::itss {

struct DecodeStatistics {
  std::uint64_t frames_decoded = 0;
  std::uint64_t resets = 0;
};

class FrameDecoder {
 public:
  // One 32 KiB frame never legitimately needs this much input; more means damage.
  static constexpr std::size_t kMaxCompressedFrame = 128 * 1024;

  // `file` and `info` must outlive the decoder.
  FrameDecoder(const FileReader& file, const CompressedSectionInfo& info)
      : file_(file), info_(info) {}

  // Makes `frame` reachable by DecodeNext: continues when the decoder already stands between the
  // frame's reset point and the frame, otherwise goes back to that reset point.
  void MoveTowards(std::uint64_t frame);

  // The frame DecodeNext produces.
  std::uint64_t next_frame() const { return next_frame_; }

  // Decodes next_frame() into `out` (kLzxFrameSize bytes; the final frame fills only the
  // section's remaining bytes) and advances. After a failure the next MoveTowards restarts at a
  // reset point. STG_E_DOCFILECORRUPT for damaged data, STG_E_READFAULT if the file cannot be
  // read.
  HRESULT DecodeNext(std::uint8_t* out);

  const DecodeStatistics& statistics() const { return statistics_; }

 private:
  HRESULT ReadCompressedFrame(std::uint64_t frame);

  const FileReader& file_;
  const CompressedSectionInfo& info_;
  std::unique_ptr<LzxDecoder> decoder_;  // created on first use
  bool positioned_ = false;              // the decoder's state belongs to next_frame_
  std::uint64_t next_frame_ = 0;
  // Compressed bytes read ahead, from input_start_ within the compressed data, and the part of
  // them that belongs to the frame being decoded.
  std::unique_ptr<std::uint8_t[]> input_;  // kMaxCompressedFrame bytes, allocated on first use
  std::uint64_t input_start_ = 0;
  std::size_t input_size_ = 0;
  std::span<const std::uint8_t> frame_input_;
  DecodeStatistics statistics_;
};

}  // namespace vaskel::itss
