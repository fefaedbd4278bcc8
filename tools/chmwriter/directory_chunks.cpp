#include "tools/chmwriter/directory_chunks.h"

#include <cstring>
#include <stdexcept>

#include "tools/chmwriter/byte_writer.h"

namespace vaskel::chmwriter {
namespace {

constexpr std::size_t kListingHeaderSize = 0x14;
constexpr std::size_t kIndexHeaderSize = 0x08;
constexpr std::size_t kQuickRefSpacing = 1 + (1u << kQuickRefDensity);
constexpr std::uint32_t kNoChunk = 0xFFFFFFFF;

struct EncodedEntry {
  std::string first_name;  // the name an index entry above this one's chunk repeats
  std::vector<std::uint8_t> bytes;
};

struct ChunkRange {
  std::size_t first = 0;
  std::size_t count = 0;
  std::size_t bytes = 0;
};

std::size_t QuickRefCount(std::size_t entry_count) {
  return entry_count == 0 ? 0 : (entry_count - 1) / kQuickRefSpacing;
}

bool Fits(std::size_t header_size, std::size_t entry_count, std::size_t entry_bytes,
          std::uint32_t chunk_size) {
  return header_size + entry_bytes + 2 * (1 + QuickRefCount(entry_count)) <= chunk_size;
}

// Greedy packing: each chunk takes as many entries as fit with their quickrefs and count.
std::vector<ChunkRange> Pack(const std::vector<EncodedEntry>& entries, std::size_t header_size,
                             std::uint32_t chunk_size) {
  std::vector<ChunkRange> chunks;
  ChunkRange current;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::size_t size = entries[i].bytes.size();
    if (current.count > 0 &&
        !Fits(header_size, current.count + 1, current.bytes + size, chunk_size)) {
      chunks.push_back(current);
      current = ChunkRange{i, 0, 0};
    }
    if (!Fits(header_size, current.count + 1, current.bytes + size, chunk_size)) {
      throw std::invalid_argument("directory entry \"" + entries[i].first_name +
                                  "\" does not fit a chunk of " + std::to_string(chunk_size) +
                                  " bytes");
    }
    ++current.count;
    current.bytes += size;
  }
  if (current.count > 0) chunks.push_back(current);
  return chunks;
}

void PutU16At(std::vector<std::uint8_t>& out, std::size_t at, std::size_t value) {
  out[at] = static_cast<std::uint8_t>(value & 0xFF);
  out[at + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

// Appends entries, filler, quickrefs and the entry count so the chunk ends at chunk_size.
void AppendChunkBody(const std::vector<EncodedEntry>& entries, const ChunkRange& range,
                     std::size_t header_size, std::uint32_t chunk_size,
                     std::vector<std::uint8_t>& out) {
  const std::size_t chunk_start = out.size() - header_size;
  ByteWriter writer(out);
  std::vector<std::size_t> entry_offsets;
  for (std::size_t i = range.first; i < range.first + range.count; ++i) {
    entry_offsets.push_back(out.size() - chunk_start - header_size);
    writer.Bytes(entries[i].bytes);
  }
  writer.Zeros(chunk_start + chunk_size - out.size());
  const std::size_t chunk_end = chunk_start + chunk_size;
  PutU16At(out, chunk_end - 2, range.count);
  for (std::size_t k = 1; k * kQuickRefSpacing < range.count; ++k) {
    PutU16At(out, chunk_end - 2 - 2 * k, entry_offsets[k * kQuickRefSpacing]);
  }
}

}  // namespace

Directory BuildDirectory(const std::vector<DirectoryEntry>& entries, std::uint32_t chunk_size,
                         bool write_index) {
  if (chunk_size > 0x10000) {
    throw std::invalid_argument("chunk size above 65536: quickref offsets would not fit a WORD");
  }
  std::vector<EncodedEntry> listing_entries;
  listing_entries.reserve(entries.size());
  for (const auto& entry : entries) {
    EncodedEntry encoded{entry.name, {}};
    ByteWriter writer(encoded.bytes);
    writer.EncInt(entry.name.size());
    writer.Text(entry.name);
    writer.EncInt(entry.section);
    writer.EncInt(entry.offset);
    writer.EncInt(entry.length);
    listing_entries.push_back(std::move(encoded));
  }

  Directory directory;
  std::vector<ChunkRange> level = Pack(listing_entries, kListingHeaderSize, chunk_size);
  if (level.empty()) level.push_back(ChunkRange{});
  const auto listing_count = static_cast<std::uint32_t>(level.size());
  ByteWriter writer(directory.chunks);
  for (std::uint32_t chunk = 0; chunk < listing_count; ++chunk) {
    const ChunkRange& range = level[chunk];
    writer.Text("PMGL");
    writer.U32(static_cast<std::uint32_t>(chunk_size - kListingHeaderSize - range.bytes));
    writer.U32(0);
    writer.U32(chunk == 0 ? kNoChunk : chunk - 1);
    writer.U32(chunk + 1 == listing_count ? kNoChunk : chunk + 1);
    AppendChunkBody(listing_entries, range, kListingHeaderSize, chunk_size, directory.chunks);
  }
  directory.chunk_count = listing_count;
  directory.last_listing = listing_count - 1;

  // Index levels: each names the first entry of every chunk below it, until one chunk remains.
  std::vector<EncodedEntry>* below = &listing_entries;
  std::vector<EncodedEntry> index_entries;
  std::uint32_t first_chunk_below = 0;
  while (write_index && level.size() > 1) {
    std::vector<EncodedEntry> above;
    for (std::size_t child = 0; child < level.size(); ++child) {
      EncodedEntry encoded{(*below)[level[child].first].first_name, {}};
      ByteWriter entry_writer(encoded.bytes);
      entry_writer.EncInt(encoded.first_name.size());
      entry_writer.Text(encoded.first_name);
      entry_writer.EncInt(first_chunk_below + child);
      above.push_back(std::move(encoded));
    }
    std::vector<ChunkRange> next = Pack(above, kIndexHeaderSize, chunk_size);
    if (next.size() >= level.size()) {
      throw std::invalid_argument("chunk size too small for the directory index");
    }
    first_chunk_below = directory.chunk_count;
    for (const ChunkRange& range : next) {
      writer.Text("PMGI");
      writer.U32(static_cast<std::uint32_t>(chunk_size - kIndexHeaderSize - range.bytes));
      AppendChunkBody(above, range, kIndexHeaderSize, chunk_size, directory.chunks);
    }
    directory.chunk_count += static_cast<std::uint32_t>(next.size());
    ++directory.depth;
    index_entries = std::move(above);
    below = &index_entries;
    level = std::move(next);
  }
  if (directory.depth > 1) directory.root_index_chunk = directory.chunk_count - 1;
  return directory;
}

}  // namespace vaskel::chmwriter
