// An EntrySink that computes each entry's SHA-256 (OpenSSL's, which uses the processor's SHA
// instructions) and keeps the sums, which are small, so that they can be printed in any order.
#pragma once

#include <openssl/evp.h>

#include <memory>
#include <string>
#include <vector>

#include "storage/extraction_job.h"

namespace vaskel::cli {

class ChecksumSink final : public EntrySink {
 public:
  struct Outcome {
    bool read = false;      // false: skipped
    HRESULT result = S_OK;  // failed: the data is damaged, or the stream could not be opened
    std::uint64_t bytes = 0;
    std::string sha256_hex;
  };

  explicit ChecksumSink(std::size_t entries);

  void Begin(std::size_t entry, std::uint64_t size) override;
  void Write(std::span<const std::uint8_t> bytes) override;
  void End(HRESULT result) override;
  void Skip(std::size_t entry) override;

  const std::vector<Outcome>& Outcomes() const { return outcomes_; }

 private:
  struct ContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
  };
  std::unique_ptr<EVP_MD_CTX, ContextDeleter> context_;
  std::vector<Outcome> outcomes_;
  std::size_t entry_ = 0;
};

}  // namespace vaskel::cli
