// Stands in for the desktop's programs in the Wine tests: tools/test-windows registers it as the
// handler of the types and addresses the window opens, so that nothing real starts and no
// "no program" message waits for a click. Each start appends its arguments, one line, to the
// file named by VASKEL_OPEN_RECORD (UTF-8).
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return {};
  std::string bytes(static_cast<size_t>(size - 1), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes.data(), size, nullptr, nullptr);
  return bytes;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  const wchar_t* const record = _wgetenv(L"VASKEL_OPEN_RECORD");
  if (record == nullptr || *record == L'\0') return 2;
  std::string line;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) line += '\t';
    line += Utf8(argv[i]);
  }
  line += '\n';
  FILE* file = _wfopen(record, L"ab");
  if (file == nullptr) return 1;
  const bool written = std::fwrite(line.data(), 1, line.size(), file) == line.size();
  return std::fclose(file) == 0 && written ? 0 : 1;
}
