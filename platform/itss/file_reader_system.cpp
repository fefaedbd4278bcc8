#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

#include "platform/com/error_info.h"
#include "platform/itss/file_reader.h"

namespace vaskel::itss {
namespace {

constexpr long kNotFound[] = {ENOENT, ENOTDIR, ENAMETOOLONG, ELOOP};
constexpr long kDenied[] = {EACCES, EPERM};

}  // namespace

HRESULT FileReader::Open(const std::string& utf8_path, std::unique_ptr<FileReader>* out) {
  out->reset();
  // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below anyway.
  const int fd = ::open(utf8_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    const int error = errno;
    return OpenFailure(error, {kNotFound, kDenied}, std::generic_category().message(error));
  }
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
    ::close(fd);
    return FailWith(STG_E_FILENOTFOUND, "not a regular file");
  }
  out->reset(new FileReader(fd, static_cast<std::uint64_t>(info.st_size)));
  return S_OK;
}

FileReader::~FileReader() { ::close(static_cast<int>(fd_)); }

std::int64_t FileReader::ReadSome(std::uint64_t offset, std::span<std::uint8_t> out) const {
  for (;;) {
    const ssize_t got =
        ::pread(static_cast<int>(fd_), out.data(), out.size(), static_cast<off_t>(offset));
    if (got >= 0 || errno != EINTR) return got;
  }
}

}  // namespace vaskel::itss
