#include "app/tips_file.h"

#include <system_error>

#include "platform/data_location.h"

namespace vaskel {

std::filesystem::path FindTipsFile(const std::filesystem::path& executable) {
  std::error_code error;
  const std::filesystem::path current = std::filesystem::current_path(error);
  if (!error) {
    std::filesystem::path here = current / kTipsFileName;
    if (std::filesystem::is_regular_file(here, error)) return here;
  }
  return FindProgramDataFile(kTipsFileName, executable);
}

std::string ReplaceInvalidUtf8(std::string_view text) {
  static constexpr char kReplacement[] = "\xEF\xBF\xBD";
  std::string result;
  result.reserve(text.size());
  std::size_t at = 0;
  while (at < text.size()) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = 0;
    unsigned char second_low = 0x80;  // the second byte's range narrows for some leads
    unsigned char second_high = 0xBF;
    if (lead < 0x80) {
      length = 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3;
      if (lead == 0xE0) second_low = 0xA0;   // no overlong forms
      if (lead == 0xED) second_high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4;
      if (lead == 0xF0) second_low = 0x90;
      if (lead == 0xF4) second_high = 0x8F;  // nothing above U+10FFFF
    }
    bool valid = length != 0 && at + length <= text.size();
    for (std::size_t i = 1; valid && i < length; ++i) {
      const auto byte = static_cast<unsigned char>(text[at + i]);
      const unsigned char low = i == 1 ? second_low : 0x80;
      const unsigned char high = i == 1 ? second_high : 0xBF;
      valid = byte >= low && byte <= high;
    }
    if (valid) {
      result.append(text.substr(at, length));
      at += length;
    } else {
      result.append(kReplacement);
      ++at;
    }
  }
  return result;
}

bool IsTipLine(std::string_view line) {
  if (line.empty()) return false;
  const char first = line.front();
  return first != ' ' && first != '\t' && first != '\n' && first != ';';
}

bool TipsFile::SeekTo(std::uint32_t position) {
  if (!IsOpen()) return false;
  // The offset is a signed 32-bit number: stored values above 2147483647 come out negative.
  const auto offset = static_cast<std::int32_t>(position);
  return std::fseek(file_.get(), offset, SEEK_SET) == 0;
}

long TipsFile::Position() const { return IsOpen() ? std::ftell(file_.get()) : -1; }

bool TipsFile::ReadLine(std::string& line, bool& read_error) {
  char buffer[kTipLineBuffer];
  if (std::fgets(buffer, kTipLineBuffer, file_.get()) == nullptr) {
    read_error = std::ferror(file_.get()) != 0;
    std::clearerr(file_.get());
    return false;
  }
  line.assign(buffer);  // up to a zero byte, as a C string ends
  if (line.size() >= 2 && line.ends_with("\r\n")) line.erase(line.size() - 2, 1);
  return true;
}

TipsFile::ReadResult TipsFile::ReadNextTip(std::string& tip,
                                           const std::function<void()>& on_rewind_failure) {
  tip.clear();
  if (!IsOpen()) return ReadResult::kUnreadable;
  bool trouble = false;
  int ends_met = 0;
  std::string line;
  for (;;) {
    bool read_error = false;
    if (!ReadLine(line, read_error)) {
      trouble = trouble || read_error;
      // The second end within one call: everything from the top has been read since the first.
      if (++ends_met == 2) return trouble ? ReadResult::kUnreadable : ReadResult::kNoTip;
      if (std::fseek(file_.get(), 0, SEEK_SET) != 0) {
        trouble = true;
        if (on_rewind_failure) on_rewind_failure();
      }
      continue;
    }
    if (!IsTipLine(line)) continue;
    tip = std::move(line);
    return ReadResult::kTip;
  }
}

}  // namespace vaskel
