// The tips file, "tips.txt": one tip a line. Lines beginning with a space, a tab, a line feed
// (empty lines) or ';' (comments) are skipped; a line longer than 999 bytes goes on as the next
// line; after the last line reading starts again at the top.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "platform/text/translation.h"

namespace vaskel {

inline constexpr char kTipsFileName[] = "tips.txt";
// Bytes read for one line at most, with the terminator: a tip holds up to 999 bytes.
inline constexpr int kTipLineBuffer = 1000;
// Shown in the tip area when a whole pass over the file finds no tip line.
inline constexpr std::string_view kNoTipsInFile =
    TrNoop("The tips file holds no tips: every line in it is empty, indented or a comment.");

// "tips.txt" in the current directory, else beside the program (or in its installed data
// folder); empty when none of them holds one. Only regular files count.
std::filesystem::path FindTipsFile(const std::filesystem::path& executable);

// `text` with every byte that does not belong to a well-formed UTF-8 sequence replaced by
// U+FFFD, so that a line cut at 999 bytes or written in another encoding still shows.
std::string ReplaceInvalidUtf8(std::string_view text);

class TipsFile {
 public:
  enum class ReadResult {
    kTip,         // the next tip is in the string
    kNoTip,       // a whole pass over the file found no tip line
    kUnreadable,  // reading or rewinding failed, and no tip was found before giving up
  };

  // Opens the file for reading; not IsOpen() when that fails (or `path` is empty).
  explicit TipsFile(const std::filesystem::path& path);
  bool IsOpen() const { return file_ != nullptr; }

  // The file's creation time (its last-write time where the file system records none) in
  // ctime's fixed form without the line feed, such as "Sun Dec  6 22:24:15 2026"; empty when the
  // file is not open or has no status.
  std::string TimeStamp() const;

  // Moves to a position as the profile stores it. The seek takes it as a signed 32-bit offset,
  // so a value above 2147483647 is rejected: false. A position past the end is no failure.
  bool SeekTo(std::uint32_t position);
  // The byte offset at which the next read starts; -1 when the file is not open.
  long Position() const;

  // Reads lines until one is a tip and puts it, with its line feed, into `tip`. At the end of
  // the file reading starts again at the top; a rewind that fails calls `on_rewind_failure`.
  // Meeting the end a second time within one call ends the search, so a file without a tip
  // line, or one that cannot be rewound, is read through once and no more. Windows line ends
  // ("\r\n") are read as single line feeds.
  ReadResult ReadNextTip(std::string& tip, const std::function<void()>& on_rewind_failure);

 private:
  // One line of at most kTipLineBuffer - 1 bytes; false at the end of the file or on an error.
  bool ReadLine(std::string& line, bool& read_error);

  struct Closer {
    void operator()(std::FILE* file) const { std::fclose(file); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
};

// A line that is a tip: it does not begin with a space, a tab, a line feed or ';'.
bool IsTipLine(std::string_view line);

}  // namespace vaskel
