// Overflow-checked 64-bit arithmetic for offsets and lengths read from untrusted files.
#pragma once

#include <cstdint>
#include <optional>

namespace vaskel::itss {

inline std::optional<std::uint64_t> CheckedAdd(std::uint64_t a, std::uint64_t b) {
  std::uint64_t sum = 0;
  if (__builtin_add_overflow(a, b, &sum)) return std::nullopt;
  return sum;
}

inline std::optional<std::uint64_t> CheckedMul(std::uint64_t a, std::uint64_t b) {
  std::uint64_t product = 0;
  if (__builtin_mul_overflow(a, b, &product)) return std::nullopt;
  return product;
}

// True when [offset, offset + length) lies inside [0, limit).
inline bool RangeWithin(std::uint64_t offset, std::uint64_t length, std::uint64_t limit) {
  auto end = CheckedAdd(offset, length);
  return end && *end <= limit;
}

}  // namespace vaskel::itss
