// Undoes the x86 CALL (E8) operand conversion that an LZX compressor may apply to make relative
// call targets absolute, which compresses better.
#pragma once

#include <cstdint>
#include <span>

namespace vaskel::itss {

// Translates one decoded frame in place. `frame_position` is the output position of the frame's
// first byte, counted from the start of its reset interval; `translation_size` is the non-zero
// size from the interval's translation header.
void UndoE8Translation(std::span<std::uint8_t> frame, std::uint64_t frame_position,
                       std::uint32_t translation_size);

}  // namespace vaskel::itss
