#include "platform/itss/encint.h"

namespace vaskel::itss {

EncIntResult ReadEncInt(std::span<const std::uint8_t> data, std::size_t* pos,
                        std::uint64_t* value) {
  constexpr std::size_t kMaxBytes = 9;
  std::size_t i = *pos;
  std::size_t count = 0;
  std::uint64_t result = 0;
  while (true) {
    if (i >= data.size()) return EncIntResult::kTruncated;
    const std::uint8_t byte = data[i++];
    ++count;
    if (count <= kMaxBytes) result = (result << 7) | (byte & 0x7F);
    if ((byte & 0x80) == 0) break;
  }
  *pos = i;
  if (count > kMaxBytes) return EncIntResult::kMalformed;
  *value = result;
  return EncIntResult::kOk;
}

}  // namespace vaskel::itss
