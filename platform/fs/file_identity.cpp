#include "platform/fs/file_identity.h"

#include <sys/stat.h>

namespace vaskel::platform {

std::optional<FileIdentity> IdentityOfFile(const std::string& utf8_path) {
  struct stat status {};
  if (::stat(utf8_path.c_str(), &status) != 0) return std::nullopt;
  return FileIdentity{
      static_cast<std::uint64_t>(status.st_dev), static_cast<std::uint64_t>(status.st_ino),
      static_cast<std::uint64_t>(status.st_size),
      static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1000000000 + status.st_mtim.tv_nsec};
}

}  // namespace vaskel::platform
