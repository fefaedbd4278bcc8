// ENCINT: the directory's big-endian base-128 integers (7 value bits per byte, bit 7 = more).
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace vaskel::itss {

enum class EncIntResult {
  kOk,
  kMalformed,  // more than 9 bytes (63 value bits); *pos is still past the whole integer
  kTruncated,  // ran into the end of `data`; *pos is unchanged
};

EncIntResult ReadEncInt(std::span<const std::uint8_t> data, std::size_t* pos, std::uint64_t* value);

}  // namespace vaskel::itss
