// Deterministic, position-dependent bytes, so misplaced data never compares equal by accident.
#pragma once

#include <cstdint>
#include <vector>

namespace vaskel::testing {

inline std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t state = seed * 2654435761u + 1;
  for (auto& byte : bytes) {
    state = state * 1664525u + 1013904223u;
    byte = static_cast<std::uint8_t>(state >> 24);
  }
  return bytes;
}

}  // namespace vaskel::testing
