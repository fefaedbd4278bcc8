#include "platform/itss/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/itss/checked_math.h"

namespace vaskel::itss {
namespace {

HRESULT ErrnoToResult(int error) {
  switch (error) {
    case ENOENT:
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return STG_E_FILENOTFOUND;
    case EACCES:
    case EPERM:
      return STG_E_ACCESSDENIED;
    default:
      return STG_E_READFAULT;
  }
}

}  // namespace

HRESULT FileReader::Open(const std::string& utf8_path, std::unique_ptr<FileReader>* out) {
  out->reset();
  // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below anyway.
  const int fd = ::open(utf8_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return ErrnoToResult(errno);
  struct stat info {};
  if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || info.st_size < 0) {
    ::close(fd);
    return STG_E_FILENOTFOUND;
  }
  out->reset(new FileReader(fd, static_cast<std::uint64_t>(info.st_size)));
  return S_OK;
}

FileReader::~FileReader() { ::close(static_cast<int>(fd_)); }

bool FileReader::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (!RangeWithin(offset, out.size(), size_)) return false;
  std::size_t done = 0;
  while (done < out.size()) {
    const ssize_t got = ::pread(static_cast<int>(fd_), out.data() + done, out.size() - done,
                                static_cast<off_t>(offset + done));
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) return false;  // the file shrank under us
    done += static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace vaskel::itss
