// Copies one stream of the help file to a file descriptor, byte for byte.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

#include "platform/com/storage_interfaces.h"

namespace vaskel {

// Each read asks the stream for this many bytes; the copy ends at the first read that delivers
// fewer.
inline constexpr ULONG kStreamReadSize = 4096;

struct StreamCopy {
  std::uint64_t bytes = 0;                    // delivered by the stream (and written, unless
                                              // write_error is set)
  std::optional<std::uint64_t> stated_bytes;  // the stream's own size, when it tells it
  HRESULT read_result = S_OK;                 // the failed read's result, or STG_E_READFAULT
                                              // when the stream ended short of its stated size
  std::string read_failure;                   // the reader's reason for read_result, if it gave one
  int write_error = 0;                        // errno of the failed write
  bool ended_early = false;  // every read succeeded, yet bytes differs from stated_bytes

  bool Damaged() const { return Failed(read_result); }
  bool Succeeded() const { return !Damaged() && write_error == 0; }
};

// Takes bytes the copy gathered; returns 0, or the errno of the failed write.
using CopyWrite = std::function<int(std::span<const std::uint8_t>)>;

// Reads `stream` from its current position with reads of kStreamReadSize bytes, gathering them
// in `buffer` (a whole number of reads long, at least one) so that a write carries many reads.
// Stops at the first failed read or write; bytes of a failed read are never written.
StreamCopy CopyStream(IStream& stream, std::span<std::uint8_t> buffer, const CopyWrite& write);
// The same into a file descriptor.
StreamCopy CopyStream(IStream& stream, int fd, std::span<std::uint8_t> buffer);

// Writes all of `bytes` to `fd`, resuming after partial writes and interruptions. Returns 0, or
// the errno of the failed write.
int WriteAll(int fd, std::span<const std::uint8_t> bytes);

// Words a damaged copy's fault for the user.
std::string DescribeDamage(const StreamCopy& copy);

}  // namespace vaskel
