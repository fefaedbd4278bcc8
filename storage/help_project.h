// The internal files that describe a help file's project: #SYSTEM (options), #WINDOWS with
// #STRINGS (window definitions) and #IVB with #STRINGS (context ids). Every count, length and
// offset is checked against the bytes at hand; a record that does not fit is left out and named
// in the warnings, never used.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace vaskel {

using Bytes = std::span<const std::uint8_t>;

struct SystemRecord {
  std::uint16_t code = 0;
  std::vector<std::uint8_t> data;
};

// #SYSTEM codes that carry project options.
enum SystemCode : std::uint16_t {
  kContentsFileCode = 0,
  kIndexFileCode = 1,
  kDefaultTopicCode = 2,
  kTitleCode = 3,
  kLanguageCode = 4,  // LCID, DBCS, full-text search, ... flags
  kDefaultWindowCode = 5,
  kCompiledFileCode = 6,
  kBinaryIndexCode = 7,
  kCompilerCode = 9,
  kTimestampCode = 10,
  kBinaryTocCode = 11,
  kDefaultFontCode = 16,
};

struct SystemFile {
  std::uint32_t version = 0;  // 2, or 3 for "Compatibility=1.1 or later"
  std::vector<SystemRecord> records;

  const SystemRecord* Find(std::uint16_t code) const;
  // A text record's text, up to its NUL; nothing when absent or not terminated.
  std::optional<std::string> Text(std::uint16_t code) const;
  // A DWORD at `offset` of a record; nothing when absent or too short.
  std::optional<std::uint32_t> Dword(std::uint16_t code, std::size_t offset) const;
};

SystemFile DecodeSystemFile(Bytes bytes, std::vector<std::string>& warnings);

struct WindowDefinition {
  std::string name, caption, toc, index, default_file, home;
  std::string jump1_file, jump1_text, jump2_file, jump2_text;
  std::uint32_t valid = 0;  // which fields the project gave
  std::uint32_t nav_style = 0;
  std::int32_t nav_width = 0;
  std::uint32_t buttons = 0;
  std::int32_t left = 0, top = 0, right = 0, bottom = 0;
  std::uint32_t style = 0, ex_style = 0;
  std::int32_t show_state = 0;
  std::uint32_t nav_closed = 0, default_pane = 0, pane_position = 0, notify_id = 0;
};

// Bits of WindowDefinition::valid.
enum WindowField : std::uint32_t {
  kNavStyleValid = 0x2,
  kStyleValid = 0x4,
  kExStyleValid = 0x8,
  kRectValid = 0x10,
  kNavWidthValid = 0x20,
  kShowStateValid = 0x40,
  kButtonsValid = 0x100,
  kNavClosedValid = 0x200,
  kPanePositionValid = 0x400,
  kDefaultPaneValid = 0x2000,
};

std::vector<WindowDefinition> DecodeWindows(Bytes windows, Bytes strings,
                                            std::vector<std::string>& warnings);

struct ContextId {
  std::uint32_t id = 0;
  std::string topic;  // as stored: a name inside the help file, or the compiling machine's path
};

std::vector<ContextId> DecodeContextIds(Bytes ivb, Bytes strings,
                                        std::vector<std::string>& warnings);

// The NUL-terminated string at `offset` of a #STRINGS pool; nothing when the offset lies outside
// the pool or the string runs to its end unterminated. Offset 0 is the empty string.
std::optional<std::string> PoolString(Bytes strings, std::uint32_t offset);

}  // namespace vaskel
