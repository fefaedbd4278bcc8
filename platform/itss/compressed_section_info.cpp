#include "platform/itss/compressed_section_info.h"

#include <array>
#include <bit>
#include <cstring>
#include <string_view>

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

constexpr std::size_t kControlDataMinLength = 0x18;
constexpr std::size_t kResetTableHeaderLength = 0x28;
constexpr std::uint64_t kFrameSize = kLzxFrameSize;

const DirectoryEntry* FindControlFile(const std::vector<DirectoryEntry>& entries,
                                      std::string_view leaf) {
  for (const DirectoryEntry& entry : entries) {
    const std::string_view name = entry.name;
    if (name.size() == kPrefix.size() + leaf.size() && name.starts_with(kPrefix) &&
        name.ends_with(leaf)) {
      return &entry;
    }
  }
  return nullptr;
}

// Absolute start of a section-0 file, if the whole file lies inside the real file.
bool LocateInSection0(const FileReader& file, const ContainerLayout& layout,
                      const DirectoryEntry& entry, std::uint64_t* start) {
  if (entry.section != 0) return false;
  const auto absolute = CheckedAdd(layout.content_offset, entry.offset);
  if (!absolute || !RangeWithin(*absolute, entry.length, file.size())) return false;
  *start = *absolute;
  return true;
}

bool IsPowerOfTwoWindow(std::uint64_t bytes, int* bits) {
  if (bytes < (1u << 15) || bytes > (1u << 21) || !std::has_single_bit(bytes)) return false;
  *bits = std::countr_zero(bytes);
  return true;
}

HRESULT ReadControlData(const FileReader& file, const ContainerLayout& layout,
                        const DirectoryEntry& entry, CompressedSectionInfo* info) {
  std::uint64_t start = 0;
  if (entry.length < kControlDataMinLength || !LocateInSection0(file, layout, entry, &start)) {
    return STG_E_DOCFILECORRUPT;
  }
  std::array<std::uint8_t, kControlDataMinLength> data{};
  if (!file.ReadAt(start, data)) return STG_E_READFAULT;
  if (std::memcmp(&data[0x04], "LZXC", 4) != 0) return STG_E_DOCFILECORRUPT;
  const std::uint32_t version = LoadLe32(&data[0x08]);
  std::uint64_t reset_interval = LoadLe32(&data[0x0C]);
  std::uint64_t window = LoadLe32(&data[0x10]);
  if (version == 2) {
    reset_interval *= kFrameSize;
    window *= kFrameSize;
  } else if (version != 1) {
    return STG_E_DOCFILECORRUPT;
  }
  if (!IsPowerOfTwoWindow(window, &info->window_bits)) return STG_E_DOCFILECORRUPT;
  if (reset_interval == 0 || reset_interval % kFrameSize != 0) return STG_E_DOCFILECORRUPT;
  info->frames_per_reset = reset_interval / kFrameSize;
  return S_OK;
}

HRESULT ReadResetTable(const FileReader& file, const ContainerLayout& layout,
                       const DirectoryEntry& entry, std::uint64_t content_length,
                       CompressedSectionInfo* info) {
  std::uint64_t start = 0;
  if (entry.length < kResetTableHeaderLength || !LocateInSection0(file, layout, entry, &start)) {
    return STG_E_DOCFILECORRUPT;
  }
  std::array<std::uint8_t, kResetTableHeaderLength> header{};
  if (!file.ReadAt(start, header)) return STG_E_READFAULT;
  const std::uint32_t version = LoadLe32(&header[0x00]);
  const std::uint32_t entry_count = LoadLe32(&header[0x04]);
  const std::uint32_t entry_size = LoadLe32(&header[0x08]);
  const std::uint32_t entries_offset = LoadLe32(&header[0x0C]);
  const std::uint64_t uncompressed = LoadLe64(&header[0x10]);
  const std::uint64_t compressed = LoadLe64(&header[0x18]);
  const std::uint64_t frame_size = LoadLe64(&header[0x20]);
  if ((version != 2 && version != 3) || entry_size != 8 || frame_size != kFrameSize) {
    return STG_E_DOCFILECORRUPT;
  }
  if (entries_offset < kResetTableHeaderLength || compressed > content_length) {
    return STG_E_DOCFILECORRUPT;
  }
  // Every frame needs its entry, and all entries must lie inside the table; this bounds the
  // frame count (and what is allocated for it) by the table's real size.
  const std::uint64_t frames = uncompressed / kFrameSize + (uncompressed % kFrameSize != 0);
  if (entry_count < frames ||
      !RangeWithin(entries_offset, std::uint64_t{entry_count} * 8, entry.length)) {
    return STG_E_DOCFILECORRUPT;
  }
  std::vector<std::uint8_t> raw(static_cast<std::size_t>(frames * 8));
  if (!file.ReadAt(start + entries_offset, raw)) return STG_E_READFAULT;
  info->frame_starts.resize(static_cast<std::size_t>(frames));
  std::uint64_t previous = 0;
  for (std::size_t k = 0; k < info->frame_starts.size(); ++k) {
    const std::uint64_t offset = LoadLe64(&raw[k * 8]);
    if (offset < previous || offset > compressed) return STG_E_DOCFILECORRUPT;
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
  if (entry.length < data.size() || !LocateInSection0(file, layout, entry, &start)) {
    return STG_E_DOCFILECORRUPT;
  }
  if (!file.ReadAt(start, data)) return STG_E_READFAULT;
  return LoadLe64(data.data()) == info.uncompressed_length ? S_OK : STG_E_DOCFILECORRUPT;
}

}  // namespace

HRESULT ReadCompressedSectionInfo(const FileReader& file, const ContainerLayout& layout,
                                  const std::vector<DirectoryEntry>& entries,
                                  CompressedSectionInfo* info) {
  *info = {};
  const DirectoryEntry* content = FindControlFile(entries, kContent);
  const DirectoryEntry* control = FindControlFile(entries, kControlData);
  const DirectoryEntry* reset_table = FindControlFile(entries, kResetTable);
  const DirectoryEntry* span_info = FindControlFile(entries, kSpanInfo);
  if (!content || !control || !reset_table) return STG_E_DOCFILECORRUPT;

  // Content may run past the end of a truncated file: frames inside the file stay readable and
  // each frame's bytes are range-checked when read.
  if (content->section != 0) return STG_E_DOCFILECORRUPT;
  const auto compressed_start = CheckedAdd(layout.content_offset, content->offset);
  if (!compressed_start) return STG_E_DOCFILECORRUPT;

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
