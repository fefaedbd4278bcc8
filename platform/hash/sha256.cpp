#include "platform/hash/sha256.h"

#include <glib.h>

namespace vaskel::platform {

struct Sha256::State {
  State() : checksum(g_checksum_new(G_CHECKSUM_SHA256)) {}
  ~State() { g_checksum_free(checksum); }
  GChecksum* checksum;
};

Sha256::Sha256() : state_(std::make_unique<State>()) {}
Sha256::~Sha256() = default;

void Sha256::Reset() { g_checksum_reset(state_->checksum); }

void Sha256::Update(const std::uint8_t* bytes, std::size_t size) {
  g_checksum_update(state_->checksum, bytes, static_cast<gssize>(size));
}

std::string Sha256::HexDigest() { return g_checksum_get_string(state_->checksum); }

}  // namespace vaskel::platform
