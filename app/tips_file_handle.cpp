// Opening the tips file and its time stamp: what the system's calls differ in.
#include "app/tips_file.h"
// clang-format off
#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>
#include <ctime>
// clang-format on

namespace vaskel {

TipsFile::TipsFile(const std::filesystem::path& path) {
  if (!path.empty()) file_.reset(std::fopen(path.c_str(), "re"));
}

std::string TipsFile::TimeStamp() const {
  if (!IsOpen()) return {};
  const int descriptor = fileno(file_.get());
  std::time_t stamp = 0;
  struct statx status {};
  if (statx(descriptor, "", AT_EMPTY_PATH, STATX_BTIME | STATX_MTIME, &status) == 0 &&
      (status.stx_mask & (STATX_BTIME | STATX_MTIME)) != 0) {
    // The creation time, as the stamp means; the last write where the file system keeps none.
    stamp = static_cast<std::time_t>(
        (status.stx_mask & STATX_BTIME) != 0 ? status.stx_btime.tv_sec : status.stx_mtime.tv_sec);
  } else {
    struct stat plain {};
    if (fstat(descriptor, &plain) != 0) return {};
    stamp = plain.st_mtime;
  }
  char text[64] = {};
  if (ctime_r(&stamp, text) == nullptr) return {};
  std::string result(text);
  while (!result.empty() && std::strchr(" \t\r\n\v\f", result.back()) != nullptr) {
    result.pop_back();
  }
  return result;
}

}  // namespace vaskel
