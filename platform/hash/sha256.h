// SHA-256 of a byte stream, as lowercase hexadecimal: the platform's own implementation.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vaskel::platform {

class Sha256 {
 public:
  using Digest = std::array<std::uint8_t, 32>;

  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  // Starts a new stream.
  void Reset();
  void Update(const std::uint8_t* bytes, std::size_t size);
  // The digest of everything since Reset (or construction); call Reset before the next stream.
  Digest Finish();
  std::string HexDigest() { return ToHex(Finish()); }

  static std::string ToHex(const Digest& digest) {
    static constexpr char kDigits[] = "0123456789abcdef";
    std::string hex(2 * digest.size(), '0');
    for (std::size_t i = 0; i < digest.size(); ++i) {
      hex[2 * i] = kDigits[digest[i] >> 4];
      hex[2 * i + 1] = kDigits[digest[i] & 0xF];
    }
    return hex;
  }

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vaskel::platform
