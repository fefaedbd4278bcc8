// The directory: every entry of every PMGL listing chunk, in the order the chunks lie in the
// file. The index (PMGI) chunks are not needed for enumeration and are not trusted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/itss/file_reader.h"
#include "platform/itss/itsf_header.h"

namespace vaskel::itss {

struct DirectoryEntry {
  std::string name;  // raw UTF-8 bytes as stored
  std::uint64_t section = 0;
  std::uint64_t offset = 0;
  std::uint64_t length = 0;
};

struct Directory {
  std::vector<DirectoryEntry> entries;
  // Entries dropped because their fields could not be decoded, and chunks whose parsing stopped
  // early because an entry ran past its end.
  std::size_t malformed_entries = 0;
  std::size_t damaged_chunks = 0;
  std::string first_damage;  // why the first damaged chunk stopped early
};

// Scans every chunk physically and parses those signed PMGL. Writers disagree on which chunk is
// first and interleave index chunks, so neither the header's first/last listing chunk nor the
// chunk links are used. STG_E_DOCFILECORRUPT when no listing chunk exists or the directory holds
// more than 2^24 entries.
HRESULT ReadDirectory(const FileReader& file, const ContainerLayout& layout, Directory* directory);

}  // namespace vaskel::itss
