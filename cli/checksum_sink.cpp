#include "cli/checksum_sink.h"

#include <new>

namespace vaskel::cli {

ChecksumSink::ChecksumSink(std::size_t entries) : context_(EVP_MD_CTX_new()), outcomes_(entries) {
  if (!context_) throw std::bad_alloc();
}

void ChecksumSink::Begin(std::size_t entry, std::uint64_t /*size*/) {
  entry_ = entry;
  if (EVP_DigestInit_ex(context_.get(), EVP_sha256(), nullptr) != 1) throw std::bad_alloc();
}

void ChecksumSink::Write(std::span<const std::uint8_t> bytes) {
  outcomes_[entry_].bytes += bytes.size();
  EVP_DigestUpdate(context_.get(), bytes.data(), bytes.size());
}

void ChecksumSink::End(HRESULT result) {
  Outcome& outcome = outcomes_[entry_];
  outcome.read = true;
  outcome.result = result;
  if (Failed(result)) return;
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int length = 0;
  EVP_DigestFinal_ex(context_.get(), digest, &length);
  static constexpr char kHex[] = "0123456789abcdef";
  outcome.sha256_hex.resize(2 * length);
  for (unsigned int i = 0; i < length; ++i) {
    outcome.sha256_hex[2 * i] = kHex[digest[i] >> 4];
    outcome.sha256_hex[2 * i + 1] = kHex[digest[i] & 0xF];
  }
}

void ChecksumSink::Skip(std::size_t entry) {
  outcomes_[entry].read = false;
  outcomes_[entry].result = STG_E_FILENOTFOUND;
}

}  // namespace vaskel::cli
