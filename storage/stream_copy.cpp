#include "storage/stream_copy.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/com/error_info.h"
#include "platform/text/translation.h"
#include "storage/result_text.h"

namespace vaskel {
namespace {

// Larger writes let the kernel cache the file in larger blocks of memory, which on ext4 became
// ten times slower once the page cache held a few GB (measured with 64 KiB to 1 MiB writes);
// 32 KiB writes stayed fast.
constexpr std::size_t kLargestWrite = 32 << 10;

}  // namespace

int WriteAll(int fd, std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t written = ::write(fd, bytes.data(), std::min(bytes.size(), kLargestWrite));
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    if (written == 0) return EIO;  // no progress and no reason: never spin
    bytes = bytes.subspan(static_cast<std::size_t>(written));
  }
  return 0;
}

StreamCopy CopyStream(IStream& stream, std::span<std::uint8_t> buffer, const CopyWrite& write) {
  StreamCopy copy;
  if (buffer.size() < kStreamReadSize) {
    copy.read_result = E_INVALIDARG;
    return copy;
  }
  std::size_t filled = 0;
  ULONG delivered = kStreamReadSize;
  while (delivered == kStreamReadSize) {
    delivered = 0;
    const HRESULT hr = stream.Read(buffer.data() + filled, kStreamReadSize, &delivered);
    if (Failed(hr) || delivered > kStreamReadSize) {
      copy.read_result = Failed(hr) ? hr : STG_E_READFAULT;
      if (Failed(hr)) copy.read_failure = GetErrorInfo();
      return copy;
    }
    filled += delivered;
    copy.bytes += delivered;
    // Flush when the buffer cannot take another full read, and at the end.
    if (delivered < kStreamReadSize || buffer.size() - filled < kStreamReadSize) {
      if ((copy.write_error = write(buffer.first(filled))) != 0) return copy;
      filled = 0;
    }
  }
  // A reader that stops early without saying so must not pass for a complete copy.
  STATSTG stat;
  if (Succeeded(stream.Stat(&stat))) {
    copy.stated_bytes = stat.cbSize;
    if (stat.cbSize != copy.bytes) {
      copy.read_result = STG_E_READFAULT;
      copy.ended_early = true;
    }
  }
  return copy;
}

StreamCopy CopyStream(IStream& stream, int fd, std::span<std::uint8_t> buffer) {
  return CopyStream(stream, buffer,
                    [fd](std::span<const std::uint8_t> bytes) { return WriteAll(fd, bytes); });
}

std::string DescribeDamage(const StreamCopy& copy) {
  if (copy.ended_early && copy.stated_bytes) {
    return FormatText(Tr("its data ended after %llu of %llu bytes"),
                      static_cast<unsigned long long>(copy.bytes),
                      static_cast<unsigned long long>(*copy.stated_bytes));
  }
  return DescribeResult(copy.read_result, copy.read_failure);
}

}  // namespace vaskel
