#include <windows.h>

#include <array>
#include <cstdint>
#include <string>
#include <vector>

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

std::wstring Joined(const std::wstring& folder, const std::wstring& name) {
  return folder.back() == L'\\' ? folder + name : folder + L'\\' + name;
}

std::wstring PreviewFolderWide() {
  const std::wstring base = TemporaryFolder();
  return base.empty() ? base : Joined(base, platform::Utf8ToWide(kPreviewFolderName));
}

std::uint64_t CreationTime(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (std::uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}

// "<process id>-<creation time>": unique among the processes that ever ran.
std::wstring ProcessFolderName() {
  return std::to_wstring(::GetCurrentProcessId()) + L'-' +
         std::to_wstring(CreationTime(::GetCurrentProcess()));
}

// Whether the process a folder is named after may still run; a name not of our making says
// nothing.
bool OwnerMayRun(const std::wstring& name) {
  const std::size_t dash = name.find(L'-');
  if (dash == std::wstring::npos || dash == 0) return true;
  std::size_t end = name.find(L'.', dash);
  if (end == std::wstring::npos) end = name.size();
  const std::wstring id = name.substr(0, dash);
  const std::wstring created = name.substr(dash + 1, end - dash - 1);
  if (created.empty() || id.find_first_not_of(L"0123456789") != std::wstring::npos ||
      created.find_first_not_of(L"0123456789") != std::wstring::npos) {
    return true;
  }
  HANDLE process =
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, static_cast<DWORD>(std::stoul(id)));
  if (process == nullptr) return ::GetLastError() == ERROR_ACCESS_DENIED;
  const bool same = std::to_wstring(CreationTime(process)) == created;
  DWORD code = 0;
  const bool running = ::GetExitCodeProcess(process, &code) && code == STILL_ACTIVE;
  ::CloseHandle(process);
  return same && running;
}

// Never a junction or link: the clean-up would otherwise delete in the place it leads to.
bool IsRealFolder(const std::wstring& path) {
  const DWORD attributes = ::GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) &&
         !(attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

bool MakeFolder(const std::wstring& folder) {
  return (::CreateDirectoryW(folder.c_str(), nullptr) ||
          ::GetLastError() == ERROR_ALREADY_EXISTS) &&
         IsRealFolder(folder);
}

// Removes the folder and everything below it, at any depth, by a list of folders rather than
// recursion; a junction or link is removed itself, never entered.
void RemoveTree(const std::wstring& top) {
  if (!IsRealFolder(top)) return;
  std::vector<std::wstring> pending{top};  // folders to empty, parents before children
  for (std::size_t next = 0; next < pending.size(); ++next) {
    const std::wstring folder = pending[next];
    WIN32_FIND_DATAW found{};
    HANDLE search = ::FindFirstFileW(Joined(folder, L"*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE) continue;
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = Joined(folder, name);
      if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
          ::RemoveDirectoryW(path.c_str());
        } else {
          ::DeleteFileW(path.c_str());
        }
      } else if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        pending.push_back(path);
      } else {
        ::DeleteFileW(path.c_str());
      }
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
  }
  // Children before parents: each removal succeeds once its folder is empty.
  for (auto folder = pending.rbegin(); folder != pending.rend(); ++folder) {
    ::RemoveDirectoryW(folder->c_str());
  }
}

const wchar_t* AreaName(PreviewArea area) {
  switch (area) {
    case PreviewArea::kRun:
      return L"run";
    case PreviewArea::kPages:
      return L"pages";
    case PreviewArea::kDrags:
      return L"drags";
  }
  return L"run";
}

}  // namespace

std::string PreviewBaseFolder() { return platform::WideToUtf8(TemporaryFolder()); }

std::string PreviewFolderPath() { return platform::WideToUtf8(PreviewFolderWide()); }

std::string ProcessPreviewFolderPath() {
  const std::wstring preview = PreviewFolderWide();
  return preview.empty() ? std::string()
                         : platform::WideToUtf8(Joined(preview, ProcessFolderName()));
}

PreviewFolderCheck PreparePreviewFolder(PreviewArea area) {
  std::wstring folder = PreviewFolderWide();
  PreviewFolderCheck check;
  if (folder.empty()) {
    check.refusal = "The temporary folder could not be found.";
    return check;
  }
  for (const std::wstring& name :
       {std::wstring(), ProcessFolderName(), std::wstring(AreaName(area))}) {
    if (!name.empty()) folder = Joined(folder, name);
    check.path = platform::WideToUtf8(folder);
    if (!MakeFolder(folder)) {
      check.refusal = "The folder " + check.path +
                      " could not be made, or is not a folder of its own (a file or a link).";
      return check;
    }
  }
  return check;
}

void RemoveFromPreviewFolder(PreviewArea area, const std::string& name) {
  const std::wstring process = platform::Utf8ToWide(ProcessPreviewFolderPath());
  const std::wstring wide = platform::Utf8ToWide(name);
  if (process.empty() || wide.empty() || wide.find_first_of(L"\\/") != std::wstring::npos) return;
  RemoveTree(Joined(Joined(process, AreaName(area)), wide));
}

void ClearPreviewFolder() {
  const std::wstring preview = PreviewFolderWide();
  if (preview.empty() || !IsRealFolder(preview)) return;
  RemoveTree(Joined(preview, ProcessFolderName()));
  ::RemoveDirectoryW(preview.c_str());  // only succeeds when now empty
}

// Done at once: a window closing on Windows waits for its preview folder to go.
void StartPreviewFolderRemoval() { ClearPreviewFolder(); }

void SweepAbandonedPreviewFolders() {
  const std::wstring preview = PreviewFolderWide();
  if (preview.empty() || !IsRealFolder(preview)) return;
  std::vector<std::wstring> abandoned;
  WIN32_FIND_DATAW found{};
  HANDLE search = ::FindFirstFileW(Joined(preview, L"*").c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) return;
  do {
    const std::wstring name = found.cFileName;
    if (name != L"." && name != L".." && (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
        !OwnerMayRun(name)) {
      abandoned.push_back(name);
    }
  } while (::FindNextFileW(search, &found));
  ::FindClose(search);
  for (const std::wstring& name : abandoned) RemoveTree(Joined(preview, name));
}

void FinishPreviewFolderRemoval() {}

}  // namespace vaskel
