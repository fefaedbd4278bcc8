#include <windows.h>

#include <array>

#include "catalogue/preview_folder.h"
#include "platform/fs/wide_text.h"

namespace vaskel {
namespace {

// The user's own temporary folder (%TMP%, else %TEMP%, else the profile's): on Windows it is
// private to the user already, so the PreviewFolder goes straight into it.
std::wstring TemporaryFolder() {
  std::array<wchar_t, MAX_PATH + 1> buffer{};
  const DWORD length = ::GetTempPathW(static_cast<DWORD>(buffer.size()), buffer.data());
  if (length == 0 || length >= buffer.size()) return {};
  std::wstring folder(buffer.data(), length);
  while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  return folder;
}

std::wstring PreviewFolderWide() {
  const std::wstring base = TemporaryFolder();
  if (base.empty()) return {};
  const std::wstring name = platform::Utf8ToWide(kPreviewFolderName);
  return base.back() == L'\\' ? base + name : base + L'\\' + name;
}

// Never a junction or link: the clean-up would otherwise delete in the place it leads to.
bool IsRealFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

}  // namespace

std::string PreviewBaseFolder() { return platform::WideToUtf8(TemporaryFolder()); }

std::string PreviewFolderPath() { return platform::WideToUtf8(PreviewFolderWide()); }

PreviewFolderCheck PreparePreviewFolder() {
  const std::wstring folder = PreviewFolderWide();
  PreviewFolderCheck check{platform::WideToUtf8(folder), {}};
  if (folder.empty()) {
    check.refusal = "The temporary folder could not be found.";
    return check;
  }
  if (!::CreateDirectoryW(folder.c_str(), nullptr) && ::GetLastError() != ERROR_ALREADY_EXISTS) {
    check.refusal = "The folder " + check.path + " could not be made.";
    return check;
  }
  if (!IsRealFolder(folder)) {
    check.refusal = check.path + " is not a folder of its own (it is a file or a link).";
  }
  return check;
}

void ClearPreviewFolder() {
  const std::wstring folder = PreviewFolderWide();
  if (folder.empty() || !IsRealFolder(folder)) return;
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW((folder + L"\\*.*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      // Regular files only: folders and links inside are left alone.
      if (found.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        continue;
      ::DeleteFileW((folder + L'\\' + found.cFileName).c_str());
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
  }
  ::RemoveDirectoryW(folder.c_str());  // only succeeds when now empty
}

}  // namespace vaskel
