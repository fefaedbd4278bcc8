// Section-1 data as an LZX stream made only of uncompressed blocks: one block per 32 KiB frame,
// the last frame zero-padded to full size, as compilers pad it. Any LZX decoder must accept this,
// and the container around it (frames, resets, reset table) is exercised for real.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace vaskel::chmwriter {

inline constexpr std::uint64_t kLzxFrameSize = 0x8000;

// The stream's layout depends only on its uncompressed length, so the container can be laid out
// before the stream is produced.
std::uint64_t StoredLzxFrameCount(std::uint64_t uncompressed_length);
std::uint64_t StoredLzxLength(std::uint64_t uncompressed_length);
// Offset of each frame's first byte, relative to the stream start: the reset table's entries.
std::vector<std::uint64_t> StoredLzxFrameOffsets(std::uint64_t uncompressed_length);

// Appends the stream for the concatenation of `pieces` to `out`, writing a translation header at
// every `reset_interval`-th frame. Returns the frame offsets it produced, relative to where the
// stream began in `out`.
std::vector<std::uint64_t> AppendStoredLzx(std::span<const std::span<const std::uint8_t>> pieces,
                                           std::uint32_t reset_interval,
                                           std::vector<std::uint8_t>& out);

}  // namespace vaskel::chmwriter
