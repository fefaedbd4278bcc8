#include "cli/checksum_sink.h"

#include "platform/com/error_info.h"

namespace vaskel::cli {

void ChecksumSink::Begin(std::size_t entry, std::uint64_t /*size*/) {
  entry_ = entry;
  if (!outcomes_[entry].taken) checksum_.Reset();
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
    failures_[entry_] = GetErrorInfo();
  } else if (!outcome.taken) {
    outcome.sha256 = checksum_.Finish();
  }
}

std::string ChecksumSink::Failure(std::size_t entry) const {
  const auto found = failures_.find(entry);
  return found == failures_.end() ? std::string() : found->second;
}

bool ChecksumSink::TakeWhole(std::size_t entry, std::span<const std::uint8_t> bytes) {
  // One hasher per decoding thread; each call is for an entry no other thread touches.
  thread_local platform::Sha256 checksum;
  checksum.Reset();
  checksum.Update(bytes.data(), bytes.size());
  Outcome& outcome = outcomes_[entry];
  outcome.bytes = bytes.size();
  outcome.sha256 = checksum.Finish();
  outcome.taken = true;
  return true;
}

void ChecksumSink::Skip(std::size_t entry) {
  outcomes_[entry].read = false;
  outcomes_[entry].result = STG_E_FILENOTFOUND;
}

}  // namespace vaskel::cli
