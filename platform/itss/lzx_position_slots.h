// Match offsets in LZX are coded as a position slot (part of the main-tree symbol) plus a number
// of footer bits that grows with the slot.
#pragma once

#include <array>
#include <cstdint>

namespace vaskel::itss {

inline constexpr unsigned kLzxMaxPositionSlots = 50;
inline constexpr unsigned kLzxNumChars = 256;
inline constexpr unsigned kLzxMaxMainSymbols = kLzxNumChars + 8 * kLzxMaxPositionSlots;
inline constexpr unsigned kLzxNumLengthSymbols = 249;
inline constexpr unsigned kLzxNumPretreeSymbols = 20;
inline constexpr unsigned kLzxNumAlignedSymbols = 8;
inline constexpr unsigned kLzxMinMatch = 2;

struct LzxPositionSlots {
  std::array<std::uint8_t, kLzxMaxPositionSlots> extra_bits{};
  std::array<std::uint32_t, kLzxMaxPositionSlots> base{};
};

inline constexpr LzxPositionSlots kLzxPositionSlots = [] {
  LzxPositionSlots slots;
  std::uint32_t base = 0;
  for (unsigned slot = 0; slot < kLzxMaxPositionSlots; ++slot) {
    const unsigned extra = slot < 4 ? 0 : slot < 36 ? slot / 2 - 1 : 17;
    slots.extra_bits[slot] = static_cast<std::uint8_t>(extra);
    slots.base[slot] = base;
    base += 1u << extra;
  }
  return slots;
}();

// Slots in use for a window of 2^window_bits bytes (15..21): twice the window bits, except 42 for
// 1 MB and 50 for 2 MB, the slots whose bases reach the window once the last ones step by 2^17.
// Microsoft's LZX write-up lists 40 and 42 there; its own compressor and every open decoder use
// 42 and 50 (libmspack's lzxd.c errata notes), and the main tree's size depends on it.
constexpr unsigned LzxPositionSlotCount(int window_bits) {
  return window_bits == 21 ? 50 : window_bits == 20 ? 42 : 2 * static_cast<unsigned>(window_bits);
}

}  // namespace vaskel::itss
