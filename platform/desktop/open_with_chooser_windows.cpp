// The shell's "Open With" dialog. It starts the chosen program itself; its "Always use" box
// leaves the choice of the type's default program to the user.
#include "platform/desktop/open_with_chooser.h"

// clang-format off
#include <windows.h>
#include <shlobj.h>
// clang-format on

#include "platform/desktop/system_message.h"
#include "platform/fs/wide_text.h"

namespace vaskel {

// The shell chooses by the file's extension: `content_type` has no part in it here.
ChooserOutcome OfferOtherProgram(const std::string& /*content_type*/, const std::string& uri) {
  const std::wstring file = platform::Utf8ToWide(uri);
  if (file.empty()) return {};
  OPENASINFO info{};
  info.pcszFile = file.c_str();
  info.oaifInFlags = OAIF_ALLOW_REGISTRATION | OAIF_EXEC;
  const HRESULT result = ::SHOpenWithDialog(::GetActiveWindow(), &info);
  if (SUCCEEDED(result)) return {true, {}};
  if (result == HRESULT_FROM_WIN32(ERROR_CANCELLED)) return {};
  return {false, platform::SystemMessage(static_cast<DWORD>(result))};
}

}  // namespace vaskel
