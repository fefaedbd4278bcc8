#include "platform/hash/sha256.h"

#include <openssl/evp.h>

#include <new>

namespace vaskel::platform {

// OpenSSL's digest uses the processor's SHA instructions where it has them: several times
// faster than a portable implementation. The algorithm is looked up once: a lookup at every
// Reset costs more than hashing a small stream.
struct Sha256::State {
  struct ContextDeleter {
    void operator()(EVP_MD_CTX* context) const { EVP_MD_CTX_free(context); }
  };
  struct DigestDeleter {
    void operator()(EVP_MD* digest) const { EVP_MD_free(digest); }
  };
  std::unique_ptr<EVP_MD_CTX, ContextDeleter> context{EVP_MD_CTX_new()};
  std::unique_ptr<EVP_MD, DigestDeleter> digest{EVP_MD_fetch(nullptr, "SHA256", nullptr)};
};

Sha256::Sha256() : state_(std::make_unique<State>()) {
  if (!state_->context || !state_->digest) throw std::bad_alloc();
  Reset();
}
Sha256::~Sha256() = default;

void Sha256::Reset() {
  if (EVP_DigestInit_ex2(state_->context.get(), state_->digest.get(), nullptr) != 1)
    throw std::bad_alloc();
}

void Sha256::Update(const std::uint8_t* bytes, std::size_t size) {
  EVP_DigestUpdate(state_->context.get(), bytes, size);
}

Sha256::Digest Sha256::Finish() {
  Digest digest{};
  unsigned int length = 0;
  EVP_DigestFinal_ex(state_->context.get(), digest.data(), &length);
  return digest;
}

}  // namespace vaskel::platform
