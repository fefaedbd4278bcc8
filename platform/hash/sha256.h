// SHA-256 of a byte stream, as lowercase hexadecimal: the platform's own implementation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace vaskel::platform {

class Sha256 {
 public:
  Sha256();
  ~Sha256();
  Sha256(const Sha256&) = delete;
  Sha256& operator=(const Sha256&) = delete;

  // Starts a new stream.
  void Reset();
  void Update(const std::uint8_t* bytes, std::size_t size);
  // The digest of everything since Reset (or construction); call Reset before the next stream.
  std::string HexDigest();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace vaskel::platform
