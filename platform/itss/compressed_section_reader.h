// Random access to the uncompressed bytes of content section 1, shared by every stream of a file:
// one FrameDecoder (a decoder and where it stands) and a bounded cache of decoded frames.
//
// A frame that is not cached is decoded from the reset point at or before it, unless the decoder
// already stands between that reset point and the frame, in which case it just continues. The
// frames decoded on the way, and a frame read only in part, go into the cache (the next read in
// data order needs the rest); a frame read whole goes straight into the caller's buffer. So
// reading a file's streams in data order decodes each frame once, and a jump costs at most one
// reset interval. Memory: the decoder's window (<= 2 MiB), the cache (kCacheFrames × 32 KiB) and
// the compressed bytes read ahead (FrameDecoder::kMaxCompressedFrame).
//
// Several readers of one section may work at once, each with its own decoder and cache: a job
// that reads many streams in data order uses one of its own on another thread.
#pragma once

#include <cstdint>
#include <mutex>
#include <span>

#include "platform/com/com_types.h"
#include "platform/itss/compressed_section_info.h"
#include "platform/itss/file_reader.h"
#include "platform/itss/frame_cache.h"
#include "platform/itss/frame_decoder.h"

namespace vaskel::itss {

class CompressedSectionReader {
 public:
  static constexpr std::size_t kCacheFrames = 64;  // 2 MiB of decoded frames

  CompressedSectionReader(const FileReader& file, CompressedSectionInfo info,
                          std::size_t cache_frames = kCacheFrames)
      : info_(std::move(info)), decoder_(file, info_), cache_(cache_frames) {}

  std::uint64_t length() const { return info_.uncompressed_length; }
  const CompressedSectionInfo& info() const { return info_; }

  // Fills `out` with the section's bytes from `offset`. STG_E_DOCFILECORRUPT for a range outside
  // the section or damaged data, STG_E_READFAULT when the file cannot be read. Thread-safe.
  HRESULT Read(std::uint64_t offset, std::span<std::uint8_t> out);

  DecodeStatistics statistics() const;

 private:
  // Decodes on to `frame`, caching every frame on the way; `frame` itself goes to `target`, or
  // to the cache when `target` is null.
  HRESULT DecodeThrough(std::uint64_t frame, std::uint8_t* target);

  const CompressedSectionInfo info_;
  mutable std::mutex mutex_;
  FrameDecoder decoder_;
  FrameCache cache_;
};

}  // namespace vaskel::itss
