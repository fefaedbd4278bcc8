#include "platform/itss/directory.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>
#include <string>

#include "platform/com/error_info.h"
#include "platform/itss/byte_order.h"
#include "platform/itss/encint.h"

namespace vaskel::itss {
namespace {

// PMGL listing chunk: header, entries from kListingHeaderLength, the entry count in the last WORD.
constexpr std::size_t kListingSignature = 0x00;
constexpr std::size_t kListingFreeSpace = 0x04;
constexpr std::size_t kListingHeaderLength = 0x14;
constexpr char kOverrun[] = "an entry overruns the chunk";
// Far beyond any real help file (tens of thousands), and keeps node ids within 32 bits.
constexpr std::size_t kMaxEntries = std::size_t{1} << 24;
// Keeps name offsets, here and in the tree, within 32 bits.
constexpr std::size_t kMaxNameBytes = UINT32_MAX;
// Chunks are read this many bytes at a time (one chunk at least).
constexpr std::size_t kReadBytes = 64 * 1024;
// Reserved room costs address space only until it is written, but a hostile header may claim a
// huge directory: the reservation is capped. Real entries take 40 to 50 bytes of a chunk.
constexpr std::uint64_t kMaxReservedBytes = 16 << 20;
constexpr std::uint64_t kTypicalEntryBytes = 40;

// Appends the chunk's entries; why parsing had to stop early, or null. Entries fill the region
// before the free-space area when its declared length is sane; some writers store an entry count
// of 0, so the count WORD only limits parsing when the free-space length is unusable.
const char* ParseListingChunk(std::span<const std::uint8_t> chunk, Directory* directory) {
  const std::uint32_t free_space = LoadLe32(&chunk[kListingFreeSpace]);
  std::size_t end = chunk.size() - 2;
  std::size_t max_entries = LoadLe16(&chunk[chunk.size() - 2]);
  if (free_space >= 2 && free_space <= chunk.size() - kListingHeaderLength) {
    end = chunk.size() - free_space;
    max_entries = SIZE_MAX;
  }
  const std::span<const std::uint8_t> region =
      chunk.subspan(kListingHeaderLength, end - kListingHeaderLength);
  std::size_t pos = 0;
  for (std::size_t parsed = 0; pos < region.size() && parsed < max_entries; ++parsed) {
    std::uint64_t name_length = 0;
    if (ReadEncInt(region, &pos, &name_length) != EncIntResult::kOk) return kOverrun;
    if (name_length > region.size() - pos) return "an entry's name runs past the chunk's end";
    const std::size_t name_start = pos;
    pos += static_cast<std::size_t>(name_length);

    std::uint64_t fields[3] = {};
    bool usable = true;
    for (std::uint64_t& field : fields) {
      const EncIntResult result = ReadEncInt(region, &pos, &field);
      if (result == EncIntResult::kTruncated) return kOverrun;
      if (result == EncIntResult::kMalformed) usable = false;
    }
    if (!usable) {
      ++directory->losses.undecodable_entries;
      continue;
    }
    DirectoryEntry& entry = directory->entries.emplace_back();
    entry.name_offset = static_cast<std::uint32_t>(directory->names.size());
    entry.name_length = static_cast<std::uint32_t>(name_length);
    directory->names.append(reinterpret_cast<const char*>(region.data() + name_start),
                            static_cast<std::size_t>(name_length));
    entry.section = fields[0];
    entry.offset = fields[1];
    entry.length = fields[2];
  }
  return nullptr;
}

// Parses chunk `index` when it is a listing chunk; fails when the directory grows too large.
HRESULT ParseChunk(std::uint32_t index, std::span<const std::uint8_t> chunk, Directory* directory,
                   bool* any_listing) {
  if (chunk.size() < kListingHeaderLength + 2 ||
      std::memcmp(&chunk[kListingSignature], "PMGL", 4) != 0) {
    return S_OK;
  }
  *any_listing = true;
  DirectoryLosses& losses = directory->losses;
  const std::size_t undecodable_before = losses.undecodable_entries;
  if (const char* damage = ParseListingChunk(chunk, directory)) {
    if (losses.damaged_chunks++ == 0) {
      losses.first_damage = "directory chunk " + std::to_string(index) + ": " + damage;
    }
  }
  if (undecodable_before == 0 && losses.undecodable_entries != 0) {
    losses.first_undecodable_chunk = index;
  }
  if (directory->entries.size() > kMaxEntries) {
    return FailWith(STG_E_DOCFILECORRUPT, "directory chunk " + std::to_string(index) +
                                              ": the directory holds more than " +
                                              std::to_string(kMaxEntries) + " entries");
  }
  if (directory->names.size() > kMaxNameBytes) {
    return FailWith(STG_E_DOCFILECORRUPT, "directory chunk " + std::to_string(index) +
                                              ": the directory's names take more than " +
                                              std::to_string(kMaxNameBytes) + " bytes");
  }
  return S_OK;
}

}  // namespace

HRESULT ReadDirectory(const FileReader& file, const ContainerLayout& layout, Directory* directory) {
  *directory = {};
  const std::size_t chunk_size = layout.chunk_size;
  const std::uint64_t directory_bytes = std::uint64_t{chunk_size} * layout.chunk_count;
  const std::uint64_t reserved = std::min(directory_bytes, kMaxReservedBytes);
  directory->names.reserve(static_cast<std::size_t>(reserved));
  directory->entries.reserve(static_cast<std::size_t>(reserved / kTypicalEntryBytes));

  const std::uint32_t per_read =
      static_cast<std::uint32_t>(std::max<std::size_t>(1, kReadBytes / chunk_size));
  std::vector<std::uint8_t> buffer(std::min(per_read, layout.chunk_count) * chunk_size);
  const auto chunk_offset = [&](std::uint64_t i) {
    return layout.first_chunk_offset + i * chunk_size;
  };
  bool any_listing = false;
  // 64-bit, so that stepping past the last chunk cannot wrap around.
  for (std::uint64_t first = 0; first < layout.chunk_count; first += per_read) {
    const auto count =
        static_cast<std::uint32_t>(std::min<std::uint64_t>(per_read, layout.chunk_count - first));
    const std::span<std::uint8_t> chunks(buffer.data(), std::size_t{count} * chunk_size);
    // When the whole run cannot be read, the chunks are read one by one to name the first
    // unreadable one.
    const bool whole = file.ReadAt(chunk_offset(first), chunks);
    for (std::uint32_t k = 0; k < count; ++k) {
      const auto i = static_cast<std::uint32_t>(first + k);
      const std::span<std::uint8_t> chunk = chunks.subspan(std::size_t{k} * chunk_size, chunk_size);
      if (!whole && !file.ReadAt(chunk_offset(i), chunk)) {
        return FailWith(STG_E_READFAULT,
                        "directory chunk " + std::to_string(i) + " cannot be read");
      }
      if (const HRESULT hr = ParseChunk(i, chunk, directory, &any_listing); Failed(hr)) return hr;
    }
  }
  if (any_listing) return S_OK;
  return FailWith(STG_E_DOCFILECORRUPT, "none of the " + std::to_string(layout.chunk_count) +
                                            " directory chunks is a listing (PMGL) chunk");
}

}  // namespace vaskel::itss
