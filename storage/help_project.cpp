#include "storage/help_project.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace vaskel {
namespace {

std::uint32_t Dword(Bytes bytes, std::size_t at) {
  return static_cast<std::uint32_t>(bytes[at]) | static_cast<std::uint32_t>(bytes[at + 1]) << 8 |
         static_cast<std::uint32_t>(bytes[at + 2]) << 16 |
         static_cast<std::uint32_t>(bytes[at + 3]) << 24;
}

std::uint16_t Word(Bytes bytes, std::size_t at) {
  return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

template <typename... Args>
std::string Format(const char* format, Args... args) {
  char text[256];
  std::snprintf(text, sizeof text, format, args...);
  return text;
}

// Codes whose data is NUL-terminated text.
bool IsTextCode(std::uint16_t code) {
  switch (code) {
    case kContentsFileCode:
    case kIndexFileCode:
    case kDefaultTopicCode:
    case kTitleCode:
    case kDefaultWindowCode:
    case kCompiledFileCode:
    case kCompilerCode:
    case kDefaultFontCode:
      return true;
    default:
      return false;
  }
}

// The least a record of `code` must hold to be used.
std::size_t MinimumSize(std::uint16_t code) {
  if (code == kLanguageCode) return 12;  // LCID, DBCS flag, full-text search flag
  if (code == kTimestampCode) return 4;
  return 0;
}

constexpr std::size_t kOldWindowSize = 188;
constexpr std::size_t kWindowSize = 196;
constexpr std::size_t kLargestWindowSize = 4096;

}  // namespace

const SystemRecord* SystemFile::Find(std::uint16_t code) const {
  const auto it = std::find_if(records.begin(), records.end(),
                               [code](const SystemRecord& record) { return record.code == code; });
  return it == records.end() ? nullptr : &*it;
}

std::optional<std::string> SystemFile::Text(std::uint16_t code) const {
  const SystemRecord* record = Find(code);
  if (record == nullptr) return std::nullopt;
  const auto end = std::find(record->data.begin(), record->data.end(), 0);
  if (end == record->data.end()) return std::nullopt;
  return std::string(record->data.begin(), end);
}

std::optional<std::uint32_t> SystemFile::Dword(std::uint16_t code, std::size_t offset) const {
  const SystemRecord* record = Find(code);
  if (record == nullptr || record->data.size() < offset + 4) return std::nullopt;
  return vaskel::Dword(record->data, offset);
}

SystemFile DecodeSystemFile(Bytes bytes, std::vector<std::string>& warnings) {
  SystemFile system;
  if (bytes.size() < 4) {
    warnings.push_back(
        Format("#SYSTEM: %zu bytes, too short for its version; no option is read", bytes.size()));
    return system;
  }
  system.version = Dword(bytes, 0);
  if (system.version < 2 || system.version > 3)
    warnings.push_back(Format("#SYSTEM: unknown version %u", system.version));
  std::size_t at = 4;
  for (int index = 0; at < bytes.size(); ++index) {
    if (bytes.size() - at < 4) {
      warnings.push_back(
          Format("#SYSTEM: record %d at byte %zu: its header is cut off", index, at));
      break;
    }
    const std::uint16_t code = Word(bytes, at);
    const std::uint16_t length = Word(bytes, at + 2);
    at += 4;
    if (length > bytes.size() - at) {
      warnings.push_back(Format(
          "#SYSTEM: record %d (code %u) claims %u bytes, %zu are left; it and any after it are "
          "left out",
          index, code, length, bytes.size() - at));
      break;
    }
    SystemRecord record{code, {bytes.begin() + at, bytes.begin() + at + length}};
    at += length;
    if (IsTextCode(code) &&
        std::find(record.data.begin(), record.data.end(), 0) == record.data.end()) {
      warnings.push_back(Format(
          "#SYSTEM: record %d (code %u): its text is not terminated; left out", index, code));
      continue;
    }
    if (record.data.size() < MinimumSize(code)) {
      warnings.push_back(Format("#SYSTEM: record %d (code %u) holds %zu bytes, needs %zu; left out",
                                index, code, record.data.size(), MinimumSize(code)));
      continue;
    }
    if (system.Find(code) != nullptr) {
      warnings.push_back(
          Format("#SYSTEM: record %d repeats code %u; the first one is kept", index, code));
      continue;
    }
    system.records.push_back(std::move(record));
  }
  return system;
}

std::optional<std::string> PoolString(Bytes strings, std::uint32_t offset) {
  if (offset == 0) return std::string();
  if (offset >= strings.size()) return std::nullopt;
  const auto begin = strings.begin() + offset;
  const auto end = std::find(begin, strings.end(), 0);
  if (end == strings.end()) return std::nullopt;
  return std::string(begin, end);
}

std::vector<WindowDefinition> DecodeWindows(Bytes windows, Bytes strings,
                                            std::vector<std::string>& warnings) {
  std::vector<WindowDefinition> result;
  if (windows.size() < 8) {
    warnings.push_back(
        Format("#WINDOWS: %zu bytes, too short for its header; no window is read", windows.size()));
    return result;
  }
  const std::uint32_t count = Dword(windows, 0);
  const std::uint32_t entry_size = Dword(windows, 4);
  if (entry_size < kOldWindowSize || entry_size > kLargestWindowSize) {
    warnings.push_back(Format(
        "#WINDOWS: entries of %u bytes (188 or 196 expected); no window is read", entry_size));
    return result;
  }
  if (entry_size != kOldWindowSize && entry_size != kWindowSize)
    warnings.push_back(
        Format("#WINDOWS: entries of %u bytes; their first 188 are read", entry_size));
  const std::size_t room = (windows.size() - 8) / entry_size;
  if (count > room) {
    warnings.push_back(
        Format("#WINDOWS: declares %u windows, holds %zu; those are read", count, room));
  }
  const std::size_t readable = std::min<std::size_t>(count, room);
  result.reserve(readable);
  for (std::size_t index = 0; index < readable; ++index) {
    const Bytes entry = windows.subspan(8 + index * entry_size, entry_size);
    WindowDefinition window;
    bool sound = true;
    const auto text = [&](std::size_t at, std::string& field, const char* what) {
      const std::uint32_t offset = Dword(entry, at);
      std::optional<std::string> value = PoolString(strings, offset);
      if (!value) {
        if (sound) {
          warnings.push_back(Format(
              "#WINDOWS: window %zu: its %s at #STRINGS offset %u lies outside the %zu bytes of "
              "#STRINGS or is not terminated; the window is left out",
              index, what, offset, strings.size()));
        }
        sound = false;
        return;
      }
      field = std::move(*value);
    };
    text(0x08, window.name, "name");
    window.valid = Dword(entry, 0x0C);
    window.nav_style = Dword(entry, 0x10);
    text(0x14, window.caption, "caption");
    window.style = Dword(entry, 0x18);
    window.ex_style = Dword(entry, 0x1C);
    window.left = static_cast<std::int32_t>(Dword(entry, 0x20));
    window.top = static_cast<std::int32_t>(Dword(entry, 0x24));
    window.right = static_cast<std::int32_t>(Dword(entry, 0x28));
    window.bottom = static_cast<std::int32_t>(Dword(entry, 0x2C));
    window.show_state = static_cast<std::int32_t>(Dword(entry, 0x30));
    window.nav_width = static_cast<std::int32_t>(Dword(entry, 0x4C));
    text(0x60, window.toc, "contents file");
    text(0x64, window.index, "index file");
    text(0x68, window.default_file, "default file");
    text(0x6C, window.home, "home file");
    window.buttons = Dword(entry, 0x70);
    window.nav_closed = Dword(entry, 0x74);
    window.default_pane = Dword(entry, 0x78);
    window.pane_position = Dword(entry, 0x7C);
    window.notify_id = Dword(entry, 0x80);
    text(0x9C, window.jump1_text, "jump 1 text");
    text(0xA0, window.jump2_text, "jump 2 text");
    text(0xA4, window.jump1_file, "jump 1 file");
    text(0xA8, window.jump2_file, "jump 2 file");
    if (!sound) continue;
    if (window.name.empty()) {
      warnings.push_back(Format("#WINDOWS: window %zu has no name; left out", index));
      continue;
    }
    result.push_back(std::move(window));
  }
  return result;
}

std::vector<ContextId> DecodeContextIds(Bytes ivb, Bytes strings,
                                        std::vector<std::string>& warnings) {
  std::vector<ContextId> result;
  if (ivb.size() < 4) {
    warnings.push_back(
        Format("#IVB: %zu bytes, too short for its size; no context id is read", ivb.size()));
    return result;
  }
  std::size_t size = Dword(ivb, 0);
  if (size > ivb.size() - 4) {
    warnings.push_back(Format("#IVB: declares %zu bytes of context ids, holds %zu; those are read",
                              size, ivb.size() - 4));
    size = ivb.size() - 4;
  }
  if (size % 8 != 0)
    warnings.push_back(
        Format("#IVB: %zu bytes are not whole pairs; the last %zu are left out", size, size % 8));
  result.reserve(size / 8);
  for (std::size_t at = 4; at + 8 <= 4 + size; at += 8) {
    const std::uint32_t id = Dword(ivb, at);
    const std::uint32_t offset = Dword(ivb, at + 4);
    std::optional<std::string> topic = PoolString(strings, offset);
    if (!topic || topic->empty()) {
      warnings.push_back(Format(
          "#IVB: context id %u: its topic at #STRINGS offset %u lies outside the %zu bytes of "
          "#STRINGS, is empty or not terminated; left out",
          id, offset, strings.size()));
      continue;
    }
    result.push_back({id, std::move(*topic)});
  }
  return result;
}

}  // namespace vaskel
