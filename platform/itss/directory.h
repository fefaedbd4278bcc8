// The directory: every entry of every PMGL listing chunk, in the order the chunks lie in the
// file. The index (PMGI) chunks are not needed for enumeration and are not trusted.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/itss/file_reader.h"
#include "platform/itss/itsf_header.h"

namespace vaskel::itss {

// A small fixed record: tens of thousands are read at every open.
struct DirectoryEntry {
  std::uint32_t name_offset = 0;  // into Directory::names
  std::uint32_t name_length = 0;
  std::uint64_t section = 0;
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};

// Entries the directory lost to damage; they are not presented.
struct DirectoryLosses {
  // Chunks whose parsing stopped early because an entry ran past the chunk's end: the rest of
  // each such chunk's entries are lost.
  std::size_t damaged_chunks = 0;
  std::string first_damage;  // "directory chunk 3: an entry overruns the chunk"
  // Entries dropped because their section, offset or length took more than 9 bytes.
  std::size_t undecodable_entries = 0;
  std::uint32_t first_undecodable_chunk = 0;

  bool any() const { return damaged_chunks != 0 || undecodable_entries != 0; }
};

struct Directory {
  std::vector<DirectoryEntry> entries;
  std::string names;  // every entry's name back to back, raw UTF-8 bytes as stored
  DirectoryLosses losses;

  std::string_view name(const DirectoryEntry& entry) const {
    return std::string_view(names).substr(entry.name_offset, entry.name_length);
  }
};

// Scans every chunk physically and parses those signed PMGL. Writers disagree on which chunk is
// first and interleave index chunks, so neither the header's first/last listing chunk nor the
// chunk links are used. STG_E_DOCFILECORRUPT when no listing chunk exists, the directory holds
// more than 2^24 entries or its names more than 4 GiB.
HRESULT ReadDirectory(const FileReader& file, const ContainerLayout& layout, Directory* directory);

}  // namespace vaskel::itss
