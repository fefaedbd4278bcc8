#include <fcntl.h>
#include <io.h>
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <string_view>

#include "platform/fs/wide_text.h"
#include "platform/process/process_environment.h"

namespace vaskel::platform {
namespace {

// One bracket expression at the start of `pattern` (after '['): whether `c` is in it, and
// where the pattern goes on. False for `end` when there is no closing ']'.
bool MatchBracket(std::string_view pattern, char c, std::size_t& end, bool& matched) {
  std::size_t i = 0;
  const bool negated = i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
  if (negated) ++i;
  matched = false;
  bool first = true;
  while (i < pattern.size() && (first || pattern[i] != ']')) {
    first = false;
    char low = pattern[i];
    if (low == '\\' && i + 1 < pattern.size()) low = pattern[++i];
    char high = low;
    if (i + 2 < pattern.size() && pattern[i + 1] == '-' && pattern[i + 2] != ']') {
      high = pattern[i + 2];
      i += 2;
    }
    const auto u = static_cast<unsigned char>(c);
    if (static_cast<unsigned char>(low) <= u && u <= static_cast<unsigned char>(high))
      matched = true;
    ++i;
  }
  if (i >= pattern.size()) return false;
  end = i + 1;
  matched = matched != negated;
  return true;
}

bool Match(std::string_view pattern, std::string_view text) {
  // Iterative with one back-track point: the last '*' seen.
  std::size_t p = 0, t = 0, star = std::string_view::npos, star_text = 0;
  while (t < text.size()) {
    bool step = false;
    std::size_t next = p + 1;
    if (p < pattern.size()) {
      const char c = pattern[p];
      if (c == '*') {
        star = p++;
        star_text = t;
        continue;
      }
      if (c == '?') {
        step = true;
      } else if (c == '[') {
        std::size_t end = 0;
        bool matched = false;
        if (MatchBracket(pattern.substr(p + 1), text[t], end, matched)) {
          step = matched;
          next = p + 1 + end;
        } else {
          step = text[t] == '[';  // no closing ']': a plain '['
        }
      } else if (c == '\\' && p + 1 < pattern.size()) {
        step = pattern[p + 1] == text[t];
        next = p + 2;
      } else {
        step = c == text[t];
      }
    }
    if (step) {
      p = next;
      ++t;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      t = ++star_text;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace

std::vector<std::string> Utf8Arguments(int argc, char** argv) {
  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv + 1, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 1; i < count; ++i) arguments.push_back(WideToUtf8(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

void PrepareStandardStreams() {
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  _setmode(_fileno(stderr), _O_BINARY);
  ::SetConsoleOutputCP(CP_UTF8);
}

bool StandardErrorIsTerminal() { return _isatty(_fileno(stderr)) != 0; }

int UsableCores() {
  const DWORD cores = ::GetActiveProcessorCount(ALL_PROCESSOR_GROUPS);
  return cores > 0 ? static_cast<int>(cores) : 1;
}

bool GlobMatches(const std::string& pattern, const std::string& text) {
  return Match(pattern, text);
}

}  // namespace vaskel::platform
