#include <windows.h>

#include <memory>

#include "platform/desktop/system_message.h"
#include "platform/fs/wide_text.h"

namespace vaskel::platform {
namespace {

struct LocalFreer {
  void operator()(wchar_t* text) const { ::LocalFree(text); }
};

}  // namespace

std::string SystemMessage(unsigned long code) {
  wchar_t* allocated = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&allocated), 0, nullptr);
  const std::unique_ptr<wchar_t, LocalFreer> owned(allocated);
  std::wstring text = length != 0 && owned ? std::wstring(owned.get(), length) : std::wstring();
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ' ||
                           text.back() == L'.')) {
    text.pop_back();
  }
  return text.empty() ? "error " + std::to_string(code) : WideToUtf8(text);
}

}  // namespace vaskel::platform
