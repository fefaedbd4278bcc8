// The shell's way: ShellExecuteExW with the type's default verb. The shell's own error boxes are
// kept out (SEE_MASK_FLAG_NO_UI), so that a missing program leads to the "Open With" dialog and
// every other failure to one message of ours naming the file.
#include "platform/desktop/desktop_launcher.h"

// clang-format off
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>
// clang-format on

#include <algorithm>
#include <array>
#include <utility>

#include "platform/desktop/launcher_override.h"
#include "platform/desktop/open_with_chooser.h"
#include "platform/desktop/system_message.h"
#include "platform/fs/wide_text.h"

namespace vaskel {
namespace {

// 0 once the program has started, else the system's error code.
DWORD Execute(const std::wstring& file, const std::wstring& parameters) {
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.hwnd = ::GetActiveWindow();
  info.lpFile = file.c_str();
  info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
  info.nShow = SW_SHOWNORMAL;
  if (::ShellExecuteExW(&info)) return 0;
  const DWORD code = ::GetLastError();
  return code == 0 ? ERROR_GEN_FAILURE : code;
}

// The program the shell edits plain text with (Notepad, as a rule); empty when none is known.
std::wstring TextEditor() {
  std::array<wchar_t, MAX_PATH + 1> program{};
  DWORD size = static_cast<DWORD>(program.size());
  if (FAILED(::AssocQueryStringW(ASSOCF_INIT_IGNOREUNKNOWN, ASSOCSTR_EXECUTABLE, L".txt", L"open",
                                 program.data(), &size))) {
    return {};
  }
  return program.data();
}

bool NoProgramFor(DWORD code) {
  return code == ERROR_NO_ASSOCIATION || code == SE_ERR_NOASSOC || code == SE_ERR_ASSOCINCOMPLETE;
}

std::string CannotOpen(const std::string& shown, const std::string& reason) {
  return "Cannot open \"" + shown + "\": " + reason;
}

}  // namespace

std::string OpenWithDesktop(const std::string& path, DesktopProgram program) {
  if (LaunchedByOverride(path, program)) return {};
  std::wstring file = platform::Utf8ToWide(path);
  if (file.empty()) return CannotOpen(path, "the name is not valid UTF-8");
  std::replace(file.begin(), file.end(), L'/', L'\\');  // the shell's own separator
  DWORD code = ERROR_NO_ASSOCIATION;
  if (program == DesktopProgram::kTextEditor) {
    // A desktop without a text editor still has a chance to open the file somehow.
    if (const std::wstring editor = TextEditor(); !editor.empty()) {
      code = Execute(editor, L'"' + file + L'"');
    } else {
      code = Execute(file, {});
    }
  } else {
    code = Execute(file, {});
  }
  if (code == 0) return {};
  std::string reason = platform::SystemMessage(code);
  if (!NoProgramFor(code)) return CannotOpen(path, reason);
  ChooserOutcome chosen = OfferOtherProgram({}, platform::WideToUtf8(file));
  if (chosen.started) return {};
  if (!chosen.failure.empty()) reason = std::move(chosen.failure);
  return CannotOpen(path, reason);
}

std::string OpenAddressWithDesktop(const std::string& address) {
  const std::wstring wide = platform::Utf8ToWide(address);
  if (wide.empty()) return CannotOpen(address, "the address is not valid UTF-8");
  const DWORD code = Execute(wide, {});
  if (code == 0) return {};
  // The shell's "Open With" dialog takes files only: an address without a program is told.
  return CannotOpen(address, platform::SystemMessage(code));
}

}  // namespace vaskel
