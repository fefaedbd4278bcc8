// An EntrySink that computes each entry's SHA-256 and keeps the sums, which are small, so that
// they can be printed in any order. Entries that fit in one of the job's buffers are hashed on
// the decoding threads.
#pragma once

#include <string>
#include <vector>

#include "platform/hash/sha256.h"
#include "storage/extraction_job.h"

namespace vaskel::cli {

class ChecksumSink final : public EntrySink {
 public:
  struct Outcome {
    bool read = false;      // false: skipped
    HRESULT result = S_OK;  // failed: the data is damaged, or the stream could not be opened
    std::string failure;    // the reader's reason for a failed result
    std::uint64_t bytes = 0;
    std::string sha256_hex;
    bool taken = false;  // hashed whole on a decoding thread
  };

  explicit ChecksumSink(std::size_t entries) : outcomes_(entries) {}

  void Begin(std::size_t entry, std::uint64_t size) override;
  void Write(std::span<const std::uint8_t> bytes) override;
  void End(HRESULT result) override;
  void Skip(std::size_t entry) override;
  bool TakeWhole(std::size_t entry, std::span<const std::uint8_t> bytes) override;

  const std::vector<Outcome>& Outcomes() const { return outcomes_; }

 private:
  platform::Sha256 checksum_;
  std::vector<Outcome> outcomes_;
  std::size_t entry_ = 0;
};

}  // namespace vaskel::cli
