// Reads back the container structure of a written file, independently of the writer's code, so
// tests can check chunk links, counts, quickrefs and the index.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vaskel::chmwriter::test_support {

struct StoredEntry {
  std::string name;
  std::uint64_t section = 0;
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};

struct StoredChunk {
  bool is_listing = false;
  std::uint32_t free_space = 0;
  std::int32_t previous = 0;
  std::int32_t next = 0;
  std::vector<std::size_t> entry_offsets;  // from the first entry, as quickrefs count them
  std::vector<std::uint16_t> quickrefs;    // in order: entry 5, 10, ...
  std::vector<StoredEntry> entries;        // listing chunks
  std::vector<std::pair<std::string, std::uint32_t>> children;  // index chunks
};

struct StoredDirectory {
  std::uint32_t version = 0;
  std::uint64_t content_offset = 0;
  std::uint32_t chunk_size = 0;
  std::uint32_t depth = 0;
  std::int32_t root_index = 0;
  std::uint32_t first_listing = 0;
  std::uint32_t last_listing = 0;
  std::vector<StoredChunk> chunks;

  std::vector<StoredEntry> ListingOrder() const;
  const StoredEntry& Find(const std::string& name) const;
};

// Throws std::runtime_error when the structure is inconsistent (e.g. entries not ending where the
// free-space field says, or a count WORD that disagrees).
StoredDirectory ReadStoredDirectory(const std::vector<std::uint8_t>& file);

}  // namespace vaskel::chmwriter::test_support
