#include "cli/checksum_sink.h"

#include "platform/com/error_info.h"

namespace vaskel::cli {

void ChecksumSink::Begin(std::size_t entry, std::uint64_t /*size*/) {
  entry_ = entry;
  checksum_.Reset();
}

void ChecksumSink::Write(std::span<const std::uint8_t> bytes) {
  outcomes_[entry_].bytes += bytes.size();
  checksum_.Update(bytes.data(), bytes.size());
}

void ChecksumSink::End(HRESULT result) {
  Outcome& outcome = outcomes_[entry_];
  outcome.read = true;
  outcome.result = result;
  if (Failed(result)) {
    outcome.failure = GetErrorInfo();
  } else {
    outcome.sha256_hex = checksum_.HexDigest();
  }
}

void ChecksumSink::Skip(std::size_t entry) {
  outcomes_[entry].read = false;
  outcomes_[entry].result = STG_E_FILENOTFOUND;
}

}  // namespace vaskel::cli
