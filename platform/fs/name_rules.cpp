#include "platform/fs/name_rules.h"

#include <array>
#include <cctype>

namespace vaskel::platform {
namespace {

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
  }
  return true;
}

// Device names are reserved whatever follows the first dot, and whatever spaces precede it.
bool IsDeviceName(std::string_view name) {
  std::string_view stem = name.substr(0, name.find('.'));
  while (!stem.empty() && stem.back() == ' ') stem.remove_suffix(1);
  static constexpr std::array<std::string_view, 6> kPlain = {"CON", "PRN",    "AUX",
                                                             "NUL", "CONIN$", "CONOUT$"};
  for (const std::string_view device : kPlain) {
    if (EqualsIgnoringCase(stem, device)) return true;
  }
  // COM0-9 and LPT0-9, also with the superscript digits Windows counts as digits.
  if (stem.size() < 4) return false;
  const std::string_view prefix = stem.substr(0, 3);
  if (!EqualsIgnoringCase(prefix, "COM") && !EqualsIgnoringCase(prefix, "LPT")) return false;
  const std::string_view digit = stem.substr(3);
  return (digit.size() == 1 && digit[0] >= '0' && digit[0] <= '9') || digit == "\xC2\xB9" ||
         digit == "\xC2\xB2" || digit == "\xC2\xB3";
}

}  // namespace

const char* WindowsNameRefusal(std::string_view name) {
  if (name.find(':') != std::string_view::npos) return "a ':' names a drive or a stream on Windows";
  if (name.find('/') != std::string_view::npos || name.find('\\') != std::string_view::npos)
    return "a '/' or '\\' separates folders on Windows";
  if (name.find_first_of("<>\"|?*") != std::string_view::npos)
    return "Windows allows none of < > \" | ? * in a name";
  for (const char c : name) {
    if (static_cast<unsigned char>(c) < 0x20)
      return "Windows allows no control character in a name";
  }
  if (!name.empty() && (name.back() == '.' || name.back() == ' '))
    return "Windows drops a trailing dot or space, so the name would become another";
  if (IsDeviceName(name)) return "the name is a device on Windows";
  return nullptr;
}

const char* PlatformNameRefusal([[maybe_unused]] std::string_view name) {
#ifdef _WIN32
  return WindowsNameRefusal(name);
#else
  return nullptr;
#endif
}

}  // namespace vaskel::platform
