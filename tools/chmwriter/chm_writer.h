// Builds compiled help files in memory: the project's own writer, used for the bundled sample
// and for test fixtures. Compressed data is written as LZX uncompressed blocks, so no compressor
// is needed, while the container (reset table, frames, window) is the real thing.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vaskel::chmwriter {

struct Entry {
  // Raw directory name bytes, e.g. "/index.html", "/images/" (an explicit folder entry) or
  // deliberately hostile names such as "/a/../b" for tests. Written exactly as given.
  std::string path;
  std::vector<std::uint8_t> data;
  int section = 1;  // 0 = stored uncompressed, 1 = LZX
};

struct Options {
  int version = 3;                   // ITSF version, 2 or 3
  int window_bits = 16;              // LZX window 2^15 .. 2^21
  std::uint32_t reset_interval = 2;  // in 32 KiB frames
  std::uint32_t chunk_size = 4096;   // directory chunk size; small values force many chunks
  bool sort_entries = true;          // sort names the way real compilers do
  bool write_index = true;           // write PMGI chunks when there are several listing chunks
};

// Returns the whole file. Each section's data is laid out in the order the entries are given,
// whatever the directory order, so callers can make stored order differ from name order.
// Entries with no data get offset 0; those whose name ends in "/" are written as section-0 folder
// entries. The root "/" is added unless given, followed by the `::DataSpace/...` files (the
// compressed-section ones only when some entry is in section 1). Section 1 is one uncompressed
// LZX block per 32 KiB frame, the last frame zero-padded; the reset table has one entry per frame,
// plus a closing entry equal to the compressed length when the section-1 length is a multiple of
// 32 KiB, one byte short of one, or 0 (7-Zip refuses those tables without it). Nothing
// time-dependent is written: equal input gives equal bytes.
// Throws std::invalid_argument for bad options, a section other than 0 or 1, or an entry too
// long for one directory chunk.
std::vector<std::uint8_t> WriteChm(const std::vector<Entry>& entries, const Options& options = {});

}  // namespace vaskel::chmwriter
