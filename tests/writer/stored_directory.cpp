#include "tests/writer/stored_directory.h"

#include <stdexcept>

namespace vaskel::chmwriter::test_support {
namespace {

class Cursor {
 public:
  Cursor(const std::vector<std::uint8_t>& bytes, std::size_t at) : bytes_(bytes), at_(at) {}

  std::uint64_t Le(int size) {
    std::uint64_t value = 0;
    for (int i = 0; i < size; ++i) value |= std::uint64_t{bytes_.at(at_ + i)} << (8 * i);
    at_ += size;
    return value;
  }
  std::uint64_t EncInt() {
    std::uint64_t value = 0;
    for (int i = 0; i < 9; ++i) {
      const std::uint8_t byte = bytes_.at(at_++);
      value = (value << 7) | (byte & 0x7F);
      if (byte < 0x80) return value;
    }
    throw std::runtime_error("ENCINT longer than 9 bytes");
  }
  std::string Text(std::size_t size) {
    if (at_ + size > bytes_.size()) throw std::runtime_error("name runs past the file");
    std::string text(bytes_.begin() + at_, bytes_.begin() + at_ + size);
    at_ += size;
    return text;
  }
  std::size_t at() const { return at_; }

 private:
  const std::vector<std::uint8_t>& bytes_;
  std::size_t at_;
};

void Require(bool condition, const char* what) {
  if (!condition) throw std::runtime_error(what);
}

StoredChunk ReadChunk(const std::vector<std::uint8_t>& file, std::size_t start,
                      std::uint32_t chunk_size) {
  Cursor cursor(file, start);
  const std::string signature = cursor.Text(4);
  StoredChunk chunk;
  chunk.is_listing = signature == "PMGL";
  Require(chunk.is_listing || signature == "PMGI", "unknown chunk signature");
  chunk.free_space = static_cast<std::uint32_t>(cursor.Le(4));
  if (chunk.is_listing) {
    Require(cursor.Le(4) == 0, "PMGL reserved field");
    chunk.previous = static_cast<std::int32_t>(cursor.Le(4));
    chunk.next = static_cast<std::int32_t>(cursor.Le(4));
  }
  const std::size_t first_entry = cursor.at();
  const std::size_t entries_end = start + chunk_size - chunk.free_space;
  while (cursor.at() < entries_end) {
    chunk.entry_offsets.push_back(cursor.at() - first_entry);
    std::string name = cursor.Text(cursor.EncInt());
    if (chunk.is_listing) {
      StoredEntry entry{std::move(name)};
      entry.section = cursor.EncInt();
      entry.offset = cursor.EncInt();
      entry.length = cursor.EncInt();
      chunk.entries.push_back(std::move(entry));
    } else {
      chunk.children.emplace_back(std::move(name), static_cast<std::uint32_t>(cursor.EncInt()));
    }
  }
  Require(cursor.at() == entries_end, "entries overrun the free-space boundary");
  Cursor tail(file, start + chunk_size - 2);
  Require(tail.Le(2) == chunk.entry_offsets.size(), "entry count WORD disagrees");
  for (std::size_t k = 1; k * 5 < chunk.entry_offsets.size(); ++k) {
    Cursor quickref(file, start + chunk_size - 2 - 2 * k);
    chunk.quickrefs.push_back(static_cast<std::uint16_t>(quickref.Le(2)));
  }
  return chunk;
}

}  // namespace

std::vector<StoredEntry> StoredDirectory::ListingOrder() const {
  std::vector<StoredEntry> all;
  for (const auto& chunk : chunks)
    all.insert(all.end(), chunk.entries.begin(), chunk.entries.end());
  return all;
}

const StoredEntry& StoredDirectory::Find(const std::string& name) const {
  for (const auto& chunk : chunks) {
    for (const auto& entry : chunk.entries) {
      if (entry.name == name) return entry;
    }
  }
  throw std::runtime_error("no entry " + name);
}

StoredDirectory ReadStoredDirectory(const std::vector<std::uint8_t>& file) {
  Cursor header(file, 0);
  Require(header.Text(4) == "ITSF", "ITSF signature");
  StoredDirectory directory;
  directory.version = static_cast<std::uint32_t>(header.Le(4));
  const std::uint64_t header_length = header.Le(4);
  Cursor sections(file, 0x48);
  const std::uint64_t directory_offset = sections.Le(8);
  const std::uint64_t directory_length = sections.Le(8);
  directory.content_offset = directory_offset + directory_length;
  if (directory.version == 3) {
    Require(header_length == 0x60 && sections.Le(8) == directory.content_offset, "v3 header");
  }
  Cursor itsp(file, directory_offset);
  Require(itsp.Text(4) == "ITSP" && itsp.Le(4) == 1 && itsp.Le(4) == 0x54, "ITSP header");
  itsp.Le(4);
  directory.chunk_size = static_cast<std::uint32_t>(itsp.Le(4));
  Require(itsp.Le(4) == 2, "quickref density");
  directory.depth = static_cast<std::uint32_t>(itsp.Le(4));
  directory.root_index = static_cast<std::int32_t>(itsp.Le(4));
  directory.first_listing = static_cast<std::uint32_t>(itsp.Le(4));
  directory.last_listing = static_cast<std::uint32_t>(itsp.Le(4));
  itsp.Le(4);
  const std::uint64_t chunk_count = itsp.Le(4);
  Require(directory_length == 0x54 + chunk_count * directory.chunk_size, "directory length");
  for (std::uint64_t i = 0; i < chunk_count; ++i) {
    directory.chunks.push_back(
        ReadChunk(file, directory_offset + 0x54 + i * directory.chunk_size, directory.chunk_size));
  }
  Cursor hs0(file, header_length);
  Require(hs0.Le(4) == 0x1FE && hs0.Le(4) == 0 && hs0.Le(8) == file.size(), "file length");
  return directory;
}

}  // namespace vaskel::chmwriter::test_support
