#include "platform/itss/lzx_e8_translation.h"

#include <cstring>

#include "platform/itss/byte_order.h"

namespace vaskel::itss {
namespace {

// Compressors stop translating after the first 32768 frames of an interval.
constexpr std::uint64_t kTranslationLimit = std::uint64_t{32768} * 32768;
// The last 10 bytes of a frame never start a translated call.
constexpr std::size_t kFrameTail = 10;

}  // namespace

void UndoE8Translation(std::span<std::uint8_t> frame, std::uint64_t frame_position,
                       std::uint32_t translation_size) {
  if (frame.size() <= kFrameTail || frame_position >= kTranslationLimit) return;
  std::uint8_t* const data = frame.data();
  const std::size_t scan_end = frame.size() - kFrameTail;
  std::size_t i = 0;
  while (i < scan_end) {
    const void* hit = std::memchr(data + i, 0xE8, scan_end - i);
    if (hit == nullptr) break;
    i = static_cast<std::size_t>(static_cast<const std::uint8_t*>(hit) - data);
    const std::uint32_t raw = LoadLe32(data + i + 1);
    const std::int64_t absolute = static_cast<std::int32_t>(raw);
    const auto current = static_cast<std::int64_t>(frame_position + i);
    if (absolute >= -current && absolute < std::int64_t{translation_size}) {
      const std::int64_t relative =
          absolute >= 0 ? absolute - current : absolute + translation_size;
      const auto value = static_cast<std::uint32_t>(relative);
      for (int k = 0; k < 4; ++k) data[i + 1 + k] = static_cast<std::uint8_t>(value >> (8 * k));
    }
    i += 5;
  }
}

}  // namespace vaskel::itss
