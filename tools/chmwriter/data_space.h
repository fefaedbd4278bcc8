// The small `::DataSpace/...` files that describe the content sections to a reader.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vaskel::chmwriter {

inline constexpr char kNameListName[] = "::DataSpace/NameList";
inline constexpr char kCompressedPrefix[] = "::DataSpace/Storage/MSCompressed/";
inline constexpr char kLzxTransformGuid[] = "{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}";

// Section names by number: "Uncompressed" and, when section 1 is used, "MSCompressed".
std::vector<std::uint8_t> MakeNameList(bool with_compressed_section);
std::vector<std::uint8_t> MakeControlData(int window_bits, std::uint32_t reset_interval);
std::vector<std::uint8_t> MakeSpanInfo(std::uint64_t uncompressed_length);
std::vector<std::uint8_t> MakeTransformList();
// One entry per frame, plus a closing entry equal to `compressed_length` where 7-Zip needs one.
std::vector<std::uint8_t> MakeResetTable(std::uint64_t uncompressed_length,
                                         std::uint64_t compressed_length,
                                         const std::vector<std::uint64_t>& frame_offsets);

}  // namespace vaskel::chmwriter
