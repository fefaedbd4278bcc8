#include <windows.h>
// After windows.h, which it needs.
#include <bcrypt.h>

#include <algorithm>
#include <array>
#include <climits>
#include <stdexcept>

#include "platform/hash/sha256.h"

namespace vaskel::platform {

// CNG: one algorithm provider for the process, a reusable hash object per Sha256.
struct Sha256::State {
  State() {
    if (!BCRYPT_SUCCESS(::BCryptOpenAlgorithmProvider(&algorithm, BCRYPT_SHA256_ALGORITHM, nullptr,
                                                      BCRYPT_HASH_REUSABLE_FLAG)))
      throw std::runtime_error("SHA-256 is not available (BCryptOpenAlgorithmProvider)");
    if (!BCRYPT_SUCCESS(::BCryptCreateHash(algorithm, &hash, nullptr, 0, nullptr, 0,
                                           BCRYPT_HASH_REUSABLE_FLAG))) {
      ::BCryptCloseAlgorithmProvider(algorithm, 0);
      throw std::runtime_error("SHA-256 is not available (BCryptCreateHash)");
    }
  }
  ~State() {
    ::BCryptDestroyHash(hash);
    ::BCryptCloseAlgorithmProvider(algorithm, 0);
  }
  BCRYPT_ALG_HANDLE algorithm = nullptr;
  BCRYPT_HASH_HANDLE hash = nullptr;
  bool pending = false;  // bytes went in since the last digest
};

Sha256::Sha256() : state_(std::make_unique<State>()) {}
Sha256::~Sha256() = default;

void Sha256::Reset() {
  // A reusable hash starts over once finished; finish one that has taken bytes.
  if (state_->pending) Finish();
}

void Sha256::Update(const std::uint8_t* bytes, std::size_t size) {
  state_->pending = true;
  while (size > 0) {
    const ULONG piece = static_cast<ULONG>(std::min<std::size_t>(size, ULONG_MAX));
    ::BCryptHashData(state_->hash, const_cast<PUCHAR>(bytes), piece, 0);
    bytes += piece;
    size -= piece;
  }
}

Sha256::Digest Sha256::Finish() {
  Digest digest{};
  ::BCryptFinishHash(state_->hash, digest.data(), static_cast<ULONG>(digest.size()), 0);
  state_->pending = false;
  return digest;
}

}  // namespace vaskel::platform
