// The directory (header section 1 after the ITSP header): listing chunks holding the entries in
// the order given, chained both ways, and index chunks above them when asked for.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vaskel::chmwriter {

struct DirectoryEntry {
  std::string name;
  std::uint64_t section = 0;
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};

struct Directory {
  std::vector<std::uint8_t> chunks;  // chunk_count * chunk_size bytes
  std::uint32_t chunk_count = 0;
  std::uint32_t first_listing = 0;
  std::uint32_t last_listing = 0;
  std::uint32_t depth = 1;             // 1 = listing chunks only
  std::int32_t root_index_chunk = -1;  // -1 when there is no index
};

// A quickref every 1 + 2^2 entries, as compilers write it.
inline constexpr std::uint32_t kQuickRefDensity = 2;

// Throws std::invalid_argument when an entry cannot fit one chunk or the index cannot converge.
Directory BuildDirectory(const std::vector<DirectoryEntry>& entries, std::uint32_t chunk_size,
                         bool write_index);

}  // namespace vaskel::chmwriter
