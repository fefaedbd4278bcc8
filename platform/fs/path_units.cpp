#include "platform/fs/path_units.h"

namespace vaskel::platform {

std::size_t PathUnits(std::string_view utf8) {
#ifdef _WIN32
  // Every character takes one unit but those of four bytes, which take a surrogate pair; a
  // stray byte counts as one, as its replacement would.
  std::size_t units = 0;
  for (const char byte : utf8) {
    const auto value = static_cast<unsigned char>(byte);
    if ((value & 0xC0) != 0x80) units += value >= 0xF0 ? 2 : 1;
  }
  return units;
#else
  return utf8.size();
#endif
}

}  // namespace vaskel::platform
