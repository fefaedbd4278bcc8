// A destination folder held open, and the calls an unpack makes beneath it: make a folder
// level, create a file, remove a partly written one. Relative names join their levels with
// kPathSeparator and are never allowed to resolve elsewhere than beneath the folder; symbolic
// links (on Windows, every reparse point) are refused, never followed.
#pragma once

#include <cstdint>
#include <string>

namespace vaskel::platform {

// Results are errno values, 0 for done; Windows errors are mapped onto the nearest one.
// ELOOP: a link is in the way; EXDEV: the name would lead outside the folder.
class HeldFolder {
 public:
  HeldFolder() = default;
  ~HeldFolder() { Reset(); }
  HeldFolder(HeldFolder&& other) noexcept;
  HeldFolder& operator=(HeldFolder&& other) noexcept;
  HeldFolder(const HeldFolder&) = delete;
  HeldFolder& operator=(const HeldFolder&) = delete;

  // Holds an existing folder.
  int Open(const std::string& path);
  void Reset();
  explicit operator bool() const { return handle_ != kNone; }

  // Makes one folder level whose parent levels exist; an existing real folder counts as made.
  // ENOTDIR: a file of that name is in the way.
  int MakeLevel(const std::string& relative);
  // Creates the file anew, or empties it, for writing: a descriptor for write() and close(),
  // or -1 with *error set.
  int CreateForWriting(const char* relative, int* error);
  void RemoveFile(const char* relative) noexcept;

 private:
  // Linux: the folder `relative` names below the held one, reached through no link; -1 with
  // errno set otherwise.
  int OpenLevels(const std::string& relative);

  static constexpr std::intptr_t kNone = -1;
  std::intptr_t handle_ = kNone;  // a descriptor, or on Windows a HANDLE
  bool resolve_beneath_works_ = true;
};

}  // namespace vaskel::platform
