#include "tools/chmwriter/data_space.h"

#include <string_view>

#include "tools/chmwriter/byte_writer.h"
#include "tools/chmwriter/stored_lzx_stream.h"

namespace vaskel::chmwriter {
namespace {

void Utf16FromAscii(ByteWriter& writer, std::string_view text) {
  for (char c : text) writer.U16(static_cast<std::uint16_t>(c));
}

}  // namespace

std::vector<std::uint8_t> MakeNameList(bool with_compressed_section) {
  std::vector<std::string_view> names{"Uncompressed"};
  if (with_compressed_section) names.push_back("MSCompressed");
  std::size_t words = 2;
  for (auto name : names) words += 2 + name.size();

  std::vector<std::uint8_t> out;
  ByteWriter writer(out);
  writer.U16(static_cast<std::uint16_t>(words));
  writer.U16(static_cast<std::uint16_t>(names.size()));
  for (auto name : names) {
    writer.U16(static_cast<std::uint16_t>(name.size()));
    Utf16FromAscii(writer, name);
    writer.U16(0);
  }
  return out;
}

std::vector<std::uint8_t> MakeControlData(int window_bits, std::uint32_t reset_interval) {
  std::vector<std::uint8_t> out;
  ByteWriter writer(out);
  writer.U32(6);  // DWORDs that follow
  writer.Text("LZXC");
  writer.U32(2);  // version 2: sizes below count 32 KiB units
  writer.U32(reset_interval);
  writer.U32(1u << (window_bits - 15));
  writer.U32(1);  // "cache size", as compilers write it
  writer.U32(0);
  return out;
}

std::vector<std::uint8_t> MakeSpanInfo(std::uint64_t uncompressed_length) {
  std::vector<std::uint8_t> out;
  ByteWriter(out).U64(uncompressed_length);
  return out;
}

std::vector<std::uint8_t> MakeTransformList() {
  // The LZX GUID as UTF-16, cut to the 38 bytes compilers reserve for it.
  std::vector<std::uint8_t> out;
  ByteWriter writer(out);
  Utf16FromAscii(writer, std::string_view(kLzxTransformGuid).substr(0, 19));
  return out;
}

std::vector<std::uint8_t> MakeResetTable(std::uint64_t uncompressed_length,
                                         std::uint64_t compressed_length,
                                         const std::vector<std::uint64_t>& frame_offsets) {
  // 7-Zip counts (U + 0x8001) / 0x8000 frames, one too many when U is a multiple of the frame
  // size or one byte short of one, but also accepts a closing entry equal to the compressed
  // length, which older Free Pascal output has. Only those lengths get it, so every other table
  // has exactly one entry per frame.
  const std::uint64_t tail = uncompressed_length % kLzxFrameSize;
  const bool closing_entry = tail == 0 || tail == kLzxFrameSize - 1;
  std::vector<std::uint8_t> out;
  ByteWriter writer(out);
  writer.U32(2);  // version
  writer.U32(static_cast<std::uint32_t>(frame_offsets.size() + closing_entry));
  writer.U32(8);     // entry size
  writer.U32(0x28);  // header length
  writer.U64(uncompressed_length);
  writer.U64(compressed_length);
  writer.U64(kLzxFrameSize);
  for (std::uint64_t offset : frame_offsets) writer.U64(offset);
  if (closing_entry) writer.U64(compressed_length);
  return out;
}

}  // namespace vaskel::chmwriter
