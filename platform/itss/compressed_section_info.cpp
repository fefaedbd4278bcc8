#include "platform/itss/compressed_section_info.h"

#include <array>
#include <bit>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/com/error_info.h"
#include "platform/itss/byte_order.h"
#include "platform/itss/checked_math.h"
#include "platform/itss/lzx_decoder.h"

namespace vaskel::itss {
namespace {

constexpr std::string_view kPrefix = "::DataSpace/Storage/MSCompressed/";
constexpr std::string_view kContent = "Content";
constexpr std::string_view kControlData = "ControlData";
constexpr std::string_view kSpanInfo = "SpanInfo";
constexpr std::string_view kResetTable =
    "Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable";

// ControlData.
constexpr std::size_t kControlSignature = 0x04;
constexpr std::size_t kControlVersion = 0x08;
constexpr std::size_t kControlResetInterval = 0x0C;
constexpr std::size_t kControlWindowSize = 0x10;
constexpr std::size_t kControlDataMinLength = 0x18;

// ResetTable: a header, then one QWORD per frame.
constexpr std::size_t kResetVersion = 0x00;
constexpr std::size_t kResetEntryCount = 0x04;
constexpr std::size_t kResetEntrySize = 0x08;
constexpr std::size_t kResetEntriesOffset = 0x0C;
constexpr std::size_t kResetUncompressedLength = 0x10;
constexpr std::size_t kResetCompressedLength = 0x18;
constexpr std::size_t kResetFrameSize = 0x20;
constexpr std::size_t kResetTableHeaderLength = 0x28;
constexpr std::uint32_t kResetEntryBytes = 8;

constexpr std::uint64_t kFrameSize = kLzxFrameSize;

HRESULT Corrupt(std::string_view file, const std::string& what) {
  return FailWith(STG_E_DOCFILECORRUPT, "section 1 " + std::string(file) + ": " + what);
}

HRESULT Unreadable(std::string_view file) {
  return FailWith(STG_E_READFAULT, "section 1 " + std::string(file) + " cannot be read");
}

const DirectoryEntry* FindControlFile(const Directory& directory, std::string_view leaf) {
  for (const DirectoryEntry& entry : directory.entries) {
    const std::string_view name = directory.name(entry);
    if (name.size() == kPrefix.size() + leaf.size() && name.starts_with(kPrefix) &&
        name.ends_with(leaf)) {
      return &entry;
    }
  }
  return nullptr;
}

// Absolute start of a section-0 file, if the whole file lies inside the real file.
HRESULT LocateInSection0(const FileReader& file, const ContainerLayout& layout,
                         const DirectoryEntry& entry, std::string_view leaf, std::size_t min_length,
                         std::uint64_t* start) {
  if (entry.section != 0) return Corrupt(leaf, "not stored in section 0");
  if (entry.length < min_length) {
    return Corrupt(leaf, "only " + std::to_string(entry.length) + " bytes long");
  }
  const auto absolute = CheckedAdd(layout.content_offset, entry.offset);
  if (!absolute || !RangeWithin(*absolute, entry.length, file.size())) {
    return Corrupt(leaf, "lies outside the file");
  }
  *start = *absolute;
  return S_OK;
}

bool IsPowerOfTwoWindow(std::uint64_t bytes, int* bits) {
  if (bytes < (1u << 15) || bytes > (1u << 21) || !std::has_single_bit(bytes)) return false;
  *bits = std::countr_zero(bytes);
  return true;
}

HRESULT ReadControlData(const FileReader& file, const ContainerLayout& layout,
                        const DirectoryEntry& entry, CompressedSectionInfo* info) {
  std::uint64_t start = 0;
  const HRESULT hr =
      LocateInSection0(file, layout, entry, kControlData, kControlDataMinLength, &start);
  if (Failed(hr)) return hr;
  std::array<std::uint8_t, kControlDataMinLength> data{};
  if (!file.ReadAt(start, data)) return Unreadable(kControlData);
  if (std::memcmp(&data[kControlSignature], "LZXC", 4) != 0) {
    return Corrupt(kControlData, "no LZXC signature");
  }
  const std::uint32_t version = LoadLe32(&data[kControlVersion]);
  std::uint64_t reset_interval = LoadLe32(&data[kControlResetInterval]);
  std::uint64_t window = LoadLe32(&data[kControlWindowSize]);
  if (version == 2) {
    reset_interval *= kFrameSize;
    window *= kFrameSize;
  } else if (version != 1) {
    return Corrupt(kControlData, "unknown version " + std::to_string(version));
  }
  if (!IsPowerOfTwoWindow(window, &info->window_bits)) {
    return Corrupt(kControlData, "bad window size " + std::to_string(window) + " bytes");
  }
  if (reset_interval == 0 || reset_interval % kFrameSize != 0) {
    return Corrupt(kControlData, "bad reset interval " + std::to_string(reset_interval) + " bytes");
  }
  info->frames_per_reset = reset_interval / kFrameSize;
  return S_OK;
}

HRESULT ReadResetTable(const FileReader& file, const ContainerLayout& layout,
                       const DirectoryEntry& entry, std::uint64_t content_length,
                       CompressedSectionInfo* info) {
  constexpr std::string_view kName = "ResetTable";
  std::uint64_t start = 0;
  const HRESULT hr = LocateInSection0(file, layout, entry, kName, kResetTableHeaderLength, &start);
  if (Failed(hr)) return hr;
  std::array<std::uint8_t, kResetTableHeaderLength> header{};
  if (!file.ReadAt(start, header)) return Unreadable(kName);
  const std::uint32_t version = LoadLe32(&header[kResetVersion]);
  const std::uint32_t entry_count = LoadLe32(&header[kResetEntryCount]);
  const std::uint32_t entry_size = LoadLe32(&header[kResetEntrySize]);
  const std::uint32_t entries_offset = LoadLe32(&header[kResetEntriesOffset]);
  const std::uint64_t uncompressed = LoadLe64(&header[kResetUncompressedLength]);
  const std::uint64_t compressed = LoadLe64(&header[kResetCompressedLength]);
  const std::uint64_t frame_size = LoadLe64(&header[kResetFrameSize]);
  if (version != 2 && version != 3) {
    return Corrupt(kName, "unknown version " + std::to_string(version));
  }
  if (entry_size != kResetEntryBytes) {
    return Corrupt(kName, "bad entry size " + std::to_string(entry_size));
  }
  if (frame_size != kFrameSize) {
    return Corrupt(kName, "bad frame size " + std::to_string(frame_size));
  }
  if (entries_offset < kResetTableHeaderLength) {
    return Corrupt(kName, "entries begin inside the header, at " + std::to_string(entries_offset));
  }
  if (compressed > content_length) {
    return Corrupt(kName, "compressed length " + std::to_string(compressed) +
                              " exceeds Content's " + std::to_string(content_length) + " bytes");
  }
  // Every frame needs its entry, and all entries must lie inside the table; this bounds the
  // frame count (and what is allocated for it) by the table's real size. Entries are per 32 KB
  // frame, not per reset interval; older Free Pascal output adds one more, equal to the
  // compressed length, which goes unread (7-Zip's ChmIn.cpp accepts it too).
  const std::uint64_t frames = uncompressed / kFrameSize + (uncompressed % kFrameSize != 0);
  if (entry_count < frames) {
    return Corrupt(
        kName, std::to_string(entry_count) + " entries for " + std::to_string(frames) + " frames");
  }
  if (!RangeWithin(entries_offset, std::uint64_t{entry_count} * kResetEntryBytes, entry.length)) {
    return Corrupt(kName, std::to_string(entry_count) + " entries run past its end");
  }
  std::vector<std::uint8_t> raw(static_cast<std::size_t>(frames * kResetEntryBytes));
  if (!file.ReadAt(start + entries_offset, raw)) return Unreadable(kName);
  info->frame_starts.resize(static_cast<std::size_t>(frames));
  std::uint64_t previous = 0;
  for (std::size_t k = 0; k < info->frame_starts.size(); ++k) {
    const std::uint64_t offset = LoadLe64(&raw[k * kResetEntryBytes]);
    if (offset < previous || offset > compressed) {
      return Corrupt(kName, "frame " + std::to_string(k) + " starts at " + std::to_string(offset) +
                                (offset < previous ? ", before frame " + std::to_string(k - 1)
                                                   : ", past the compressed data"));
    }
    info->frame_starts[k] = previous = offset;
  }
  info->uncompressed_length = uncompressed;
  info->compressed_length = compressed;
  return S_OK;
}

HRESULT CheckSpanInfo(const FileReader& file, const ContainerLayout& layout,
                      const DirectoryEntry& entry, const CompressedSectionInfo& info) {
  std::uint64_t start = 0;
  std::array<std::uint8_t, 8> data{};
  const HRESULT hr = LocateInSection0(file, layout, entry, kSpanInfo, data.size(), &start);
  if (Failed(hr)) return hr;
  if (!file.ReadAt(start, data)) return Unreadable(kSpanInfo);
  const std::uint64_t length = LoadLe64(data.data());
  if (length == info.uncompressed_length) return S_OK;
  return Corrupt(kSpanInfo, "length " + std::to_string(length) + " differs from ResetTable's " +
                                std::to_string(info.uncompressed_length));
}

}  // namespace

HRESULT ReadCompressedSectionInfo(const FileReader& file, const ContainerLayout& layout,
                                  const Directory& directory, CompressedSectionInfo* info) {
  *info = {};
  const DirectoryEntry* content = FindControlFile(directory, kContent);
  const DirectoryEntry* control = FindControlFile(directory, kControlData);
  const DirectoryEntry* reset_table = FindControlFile(directory, kResetTable);
  const DirectoryEntry* span_info = FindControlFile(directory, kSpanInfo);
  if (!content) return Corrupt(kContent, "missing");
  if (!control) return Corrupt(kControlData, "missing");
  if (!reset_table) return Corrupt("ResetTable", "missing");

  // Content may run past the end of a truncated file: frames inside the file stay readable and
  // each frame's bytes are range-checked when read.
  if (content->section != 0) return Corrupt(kContent, "not stored in section 0");
  const auto compressed_start = CheckedAdd(layout.content_offset, content->offset);
  if (!compressed_start) return Corrupt(kContent, "offset out of range");

  HRESULT hr = ReadControlData(file, layout, *control, info);
  if (Failed(hr)) return hr;
  hr = ReadResetTable(file, layout, *reset_table, content->length, info);
  if (Failed(hr)) return hr;
  if (span_info) {
    hr = CheckSpanInfo(file, layout, *span_info, *info);
    if (Failed(hr)) return hr;
  }
  info->compressed_start = *compressed_start;
  return S_OK;
}

}  // namespace vaskel::itss
