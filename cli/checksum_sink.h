// An EntrySink that computes each entry's SHA-256 and keeps the sums, which are small, so that
// they can be printed in any order. Entries that fit in one of the job's buffers are hashed on
// the decoding threads.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "platform/hash/sha256.h"
#include "storage/extraction_job.h"

namespace vaskel::cli {

class ChecksumSink final : public EntrySink {
 public:
  // Kept small: there is one for every file of the help file.
  struct Outcome {
    bool read = false;      // false: skipped
    bool taken = false;     // hashed whole on a decoding thread
    HRESULT result = S_OK;  // failed: the data is damaged, or the stream could not be opened
    std::uint64_t bytes = 0;
    platform::Sha256::Digest sha256{};
  };

  explicit ChecksumSink(std::size_t entries) : outcomes_(entries) {}

  void Begin(std::size_t entry, std::uint64_t size) override;
  void Write(std::span<const std::uint8_t> bytes) override;
  void End(HRESULT result) override;
  void Skip(std::size_t entry) override;
  bool TakeWhole(std::size_t entry, std::span<const std::uint8_t> bytes) override;

  const std::vector<Outcome>& Outcomes() const { return outcomes_; }
  // The reader's reason for entry `entry`'s failed result; empty when it gave none.
  std::string Failure(std::size_t entry) const;

 private:
  platform::Sha256 checksum_;
  std::vector<Outcome> outcomes_;
  std::map<std::size_t, std::string> failures_;
  std::size_t entry_ = 0;
};

}  // namespace vaskel::cli
