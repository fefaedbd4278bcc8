#include "storage/extraction_session.h"

#include "storage/stream_copy.h"

namespace vaskel {
namespace {

// 64 reads gathered before they are written (in pieces, see WriteAll).
constexpr std::size_t kCopyBufferSize = 64 * kStreamReadSize;

}  // namespace

std::span<std::uint8_t> ExtractionSession::CopyBuffer() {
  if (copy_buffer_.empty()) copy_buffer_.resize(kCopyBufferSize);
  return copy_buffer_;
}

}  // namespace vaskel
