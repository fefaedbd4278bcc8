#include "tools/chmwriter/chm_writer.h"

#include <algorithm>
#include <span>
#include <stdexcept>

#include "tools/chmwriter/byte_writer.h"
#include "tools/chmwriter/data_space.h"
#include "tools/chmwriter/directory_chunks.h"
#include "tools/chmwriter/name_collation.h"
#include "tools/chmwriter/stored_lzx_stream.h"

namespace vaskel::chmwriter {
namespace {

constexpr std::uint32_t kLanguage = 0x0409;
constexpr std::uint64_t kHeaderSection0Length = 0x18;
constexpr std::uint32_t kItspHeaderLength = 0x54;

constexpr std::uint8_t kItsfGuid1[16] = {0x10, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11,
                                         0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};
constexpr std::uint8_t kItsfGuid2[16] = {0x11, 0xFD, 0x01, 0x7C, 0xAA, 0x7B, 0xD0, 0x11,
                                         0x9E, 0x0C, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};
constexpr std::uint8_t kItspGuid[16] = {0x6A, 0x92, 0x02, 0x5D, 0x2E, 0x21, 0xD0, 0x11,
                                        0x9D, 0xF9, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC};

void Validate(const Options& options) {
  if (options.version != 2 && options.version != 3) {
    throw std::invalid_argument("ITSF version must be 2 or 3");
  }
  if (options.window_bits < 15 || options.window_bits > 21) {
    throw std::invalid_argument("LZX window must be 2^15 to 2^21 bytes");
  }
  if (options.reset_interval == 0) throw std::invalid_argument("reset interval must not be 0");
}

bool IsFolderName(const std::string& name) { return !name.empty() && name.back() == '/'; }

// Where every file's bytes go: the directory entries plus the data of each content section, in
// the order the caller gave the files.
struct Layout {
  std::vector<DirectoryEntry> listed;
  std::vector<std::span<const std::uint8_t>> section0;
  std::vector<std::span<const std::uint8_t>> section1;
  std::uint64_t section0_length = 0;
  std::uint64_t section1_length = 0;
  bool uses_section1 = false;
  bool has_root = false;

  void Add(std::string name, int section, std::span<const std::uint8_t> data) {
    if (section != 0 && section != 1) throw std::invalid_argument("section must be 0 or 1");
    DirectoryEntry entry{std::move(name), static_cast<std::uint64_t>(section), 0, data.size()};
    if (data.empty()) {
      // Folders are section-0 entries; empty files keep their section with offset 0.
      if (IsFolderName(entry.name)) entry.section = 0;
    } else if (section == 0) {
      entry.offset = section0_length;
      section0_length += data.size();
      section0.push_back(data);
    } else {
      entry.offset = section1_length;
      section1_length += data.size();
      section1.push_back(data);
    }
    uses_section1 = uses_section1 || entry.section == 1;
    has_root = has_root || entry.name == "/";
    listed.push_back(std::move(entry));
  }
};

struct HeaderLayout {
  std::uint64_t header_length;
  std::uint64_t directory_offset;
  std::uint64_t directory_length;
  std::uint64_t content_offset;
  std::uint64_t file_length;
};

void WriteHeaders(const Options& options, const HeaderLayout& layout, const Directory& directory,
                  ByteWriter& writer) {
  writer.Text("ITSF");
  writer.U32(static_cast<std::uint32_t>(options.version));
  writer.U32(static_cast<std::uint32_t>(layout.header_length));
  writer.U32(1);
  writer.U32(0);  // timestamp: left 0 so that output is reproducible
  writer.U32(kLanguage);
  writer.Bytes(kItsfGuid1);
  writer.Bytes(kItsfGuid2);
  writer.U64(layout.header_length);
  writer.U64(kHeaderSection0Length);
  writer.U64(layout.directory_offset);
  writer.U64(layout.directory_length);
  if (options.version == 3) writer.U64(layout.content_offset);

  writer.U32(0x1FE);
  writer.U32(0);
  writer.U64(layout.file_length);
  writer.U32(0);
  writer.U32(0);

  writer.Text("ITSP");
  writer.U32(1);
  writer.U32(kItspHeaderLength);
  writer.U32(0x0A);
  writer.U32(options.chunk_size);
  writer.U32(kQuickRefDensity);
  writer.U32(directory.depth);
  writer.U32(static_cast<std::uint32_t>(directory.root_index_chunk));
  writer.U32(directory.first_listing);
  writer.U32(directory.last_listing);
  writer.U32(0xFFFFFFFF);
  writer.U32(directory.chunk_count);
  writer.U32(kLanguage);
  writer.Bytes(kItspGuid);
  writer.U32(kItspHeaderLength);
  for (int i = 0; i < 3; ++i) writer.U32(0xFFFFFFFF);
}

}  // namespace

std::vector<std::uint8_t> WriteChm(const std::vector<Entry>& entries, const Options& options) {
  Validate(options);
  Layout layout;
  layout.listed.reserve(entries.size() + 8);
  for (const Entry& entry : entries) layout.Add(entry.path, entry.section, entry.data);

  // The DataSpace files follow the caller's section-0 data; the LZX stream comes last.
  const std::uint64_t uncompressed = layout.section1_length;
  const std::vector<std::uint64_t> frame_offsets = StoredLzxFrameOffsets(uncompressed);
  const std::uint64_t compressed = StoredLzxLength(uncompressed);
  const std::string prefix = kCompressedPrefix;
  const std::string transform = prefix + "Transform/" + kLzxTransformGuid + "/";
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> space_files;
  space_files.emplace_back(kNameListName, MakeNameList(layout.uses_section1));
  if (layout.uses_section1) {
    space_files.emplace_back(prefix + "ControlData",
                             MakeControlData(options.window_bits, options.reset_interval));
    space_files.emplace_back(prefix + "SpanInfo", MakeSpanInfo(uncompressed));
    space_files.emplace_back(prefix + "Transform/List", MakeTransformList());
    space_files.emplace_back(transform + "InstanceData/ResetTable",
                             MakeResetTable(uncompressed, compressed, frame_offsets));
  }
  for (const auto& [name, data] : space_files) layout.Add(name, 0, data);
  if (layout.uses_section1) {
    layout.listed.push_back({prefix + "Content", 0, layout.section0_length, compressed});
    layout.section0_length += compressed;
  }
  if (!layout.has_root) layout.listed.insert(layout.listed.begin(), DirectoryEntry{"/", 0, 0, 0});
  if (options.sort_entries) {
    std::stable_sort(layout.listed.begin(), layout.listed.end(),
                     [](const DirectoryEntry& a, const DirectoryEntry& b) {
                       return CollatesBefore(a.name, b.name);
                     });
  }

  const Directory directory =
      BuildDirectory(layout.listed, options.chunk_size, options.write_index);
  HeaderLayout header;
  header.header_length = options.version == 3 ? 0x60 : 0x58;
  header.directory_offset = header.header_length + kHeaderSection0Length;
  header.directory_length = kItspHeaderLength + directory.chunks.size();
  header.content_offset = header.directory_offset + header.directory_length;
  header.file_length = header.content_offset + layout.section0_length;

  std::vector<std::uint8_t> out;
  out.reserve(header.file_length);
  ByteWriter writer(out);
  WriteHeaders(options, header, directory, writer);
  writer.Bytes(directory.chunks);
  for (const auto data : layout.section0) writer.Bytes(data);
  if (layout.uses_section1 &&
      AppendStoredLzx(layout.section1, options.reset_interval, out) != frame_offsets) {
    throw std::logic_error("LZX stream layout differs from its reset table");
  }
  if (out.size() != header.file_length) {
    throw std::logic_error("written length differs from the declared file length");
  }
  return out;
}

}  // namespace vaskel::chmwriter
