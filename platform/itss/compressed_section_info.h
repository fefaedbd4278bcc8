// Where and how content section 1 (LZX) is stored: the parameters from ControlData, the
// per-frame offsets from ResetTable, the length from SpanInfo and the position of Content.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/itss/directory.h"
#include "platform/itss/file_reader.h"
#include "platform/itss/itsf_header.h"

namespace vaskel::itss {

struct CompressedSectionInfo {
  int window_bits = 0;
  std::uint64_t frames_per_reset = 0;       // reset interval in 32 KiB frames, >= 1
  std::uint64_t uncompressed_length = 0;    // U: bytes of section 1
  std::uint64_t compressed_start = 0;       // absolute file offset of Content
  std::uint64_t compressed_length = 0;      // C: bytes of LZX data
  std::vector<std::uint64_t> frame_starts;  // one per frame, relative to compressed_start, <= C

  std::uint64_t frame_count() const { return frame_starts.size(); }
};

// Reads and cross-checks the section's control files (all stored in section 0). Returns
// STG_E_DOCFILECORRUPT when they are missing, inconsistent or out of range; the container's
// section-0 content stays readable regardless.
HRESULT ReadCompressedSectionInfo(const FileReader& file, const ContainerLayout& layout,
                                  const Directory& directory, CompressedSectionInfo* info);

}  // namespace vaskel::itss
