// Random access to the uncompressed bytes of content section 1. Shared by every stream of a file:
// one decoder, its current position, and a bounded cache of decoded frames.
//
// Reading frame f decodes from the reset point at or before f, unless the decoder already stands
// between that reset point and f, in which case it just continues. Every decoded frame goes into
// the cache. So reading the file's streams in data order decodes each frame once, and a jump
// costs at most one reset interval. Memory: the decoder's window (<= 2 MiB), the cache
// (kCacheFrames × 32 KiB) and one compressed frame (<= kMaxCompressedFrame).
//
// Reset intervals decode independently of each other, so a read-ahead worker could fill the cache
// with the next interval using its own decoder; DecodeThrough is the unit it would run.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <span>
#include <vector>

#include "platform/itss/compressed_section_info.h"
#include "platform/itss/file_reader.h"
#include "platform/itss/frame_cache.h"
#include "platform/itss/lzx_decoder.h"
#include "storage/com_types.h"

namespace vaskel::itss {

struct DecodeStatistics {
  std::uint64_t frames_decoded = 0;
  std::uint64_t resets = 0;
};

class CompressedSectionReader {
 public:
  static constexpr std::size_t kCacheFrames = 64;  // 2 MiB of decoded frames
  // One 32 KiB frame never legitimately needs this much input; more means damage.
  static constexpr std::size_t kMaxCompressedFrame = 128 * 1024;

  CompressedSectionReader(const FileReader& file, CompressedSectionInfo info);

  std::uint64_t length() const { return info_.uncompressed_length; }

  // Fills `out` with the section's bytes from `offset`. STG_E_DOCFILECORRUPT for a range outside
  // the section or damaged data, STG_E_READFAULT when the file cannot be read. Thread-safe.
  HRESULT Read(std::uint64_t offset, std::span<std::uint8_t> out);

  DecodeStatistics statistics() const;

 private:
  HRESULT ObtainFrame(std::uint64_t frame, const std::uint8_t** bytes);
  HRESULT DecodeThrough(std::uint64_t frame);
  HRESULT DecodeOne(std::uint64_t frame, std::uint8_t* out);
  bool IsLastFrame(std::uint64_t frame) const { return frame + 1 == info_.frame_count(); }

  const FileReader& file_;
  const CompressedSectionInfo info_;

  mutable std::mutex mutex_;
  std::unique_ptr<LzxDecoder> decoder_;  // created on first use
  bool decoder_positioned_ = false;      // decoder state is valid for next_frame_
  std::uint64_t next_frame_ = 0;
  FrameCache cache_;
  std::vector<std::uint8_t> input_;
  DecodeStatistics statistics_;
};

}  // namespace vaskel::itss
