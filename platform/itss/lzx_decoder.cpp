#include "platform/itss/lzx_decoder.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "platform/itss/byte_order.h"
#include "platform/itss/lzx_bit_reader.h"
#include "platform/itss/lzx_e8_translation.h"
#include "platform/itss/lzx_huffman.h"
#include "platform/itss/lzx_position_slots.h"

namespace vaskel::itss {
namespace {

constexpr int kMinWindowBits = 15;
constexpr int kMaxWindowBits = 21;
constexpr unsigned kMainTableBits = 11;
constexpr unsigned kLengthTableBits = 10;
constexpr unsigned kPretreeTableBits = 8;
constexpr unsigned kAlignedTableBits = 7;
// Match copies move up to 16 bytes at a time and may write this far past the match.
constexpr std::size_t kCopySlack = 16;

enum class BlockType : std::uint8_t { kNone = 0, kVerbatim = 1, kAligned = 2, kUncompressed = 3 };
constexpr unsigned kBlockTypeBits = 3;
constexpr unsigned kBlockSizeBits = 24;
// A stored block begins with R0, R1 and R2, 32 bits each.
constexpr std::size_t kStoredHeaderBytes = 12;
// Position slots 0..2 repeat the three most recent offsets.
constexpr std::uint32_t kRepeatedOffsetSlots = 3;

// Pretree codes: 0..16 change a length by a delta modulo 17; the rest are runs.
constexpr std::uint32_t kLengthModulus = 17;
constexpr std::uint32_t kPretreeShortZeroRun = 17;  // 4 + 4 bits zeros
constexpr std::uint32_t kPretreeLongZeroRun = 18;   // 20 + 5 bits zeros
constexpr std::uint32_t kPretreeSameRun = 19;       // 4 + 1 bit copies of one delta-coded length

// Copies `length` bytes in steps of kStep, which must not exceed how far back the source is.
template <std::size_t kStep>
inline void CopyInSteps(std::uint8_t* dst, const std::uint8_t* src, std::uint32_t length) {
  std::uint8_t* const end = dst + length;
  do {
    std::memcpy(dst, src, kStep);
    dst += kStep;
    src += kStep;
  } while (dst < end);
}

// Copies a match forwards; the source may overlap the destination.
inline void CopyMatch(std::uint8_t* dst, std::uint32_t offset, std::uint32_t length) {
  const std::uint8_t* src = dst - offset;
  if (offset >= 16) {
    CopyInSteps<16>(dst, src, length);
  } else if (offset >= 8) {
    CopyInSteps<8>(dst, src, length);
  } else if (offset == 1) {
    std::memset(dst, *src, length);
  } else {
    for (std::uint32_t i = 0; i < length; ++i) dst[i] = src[i];
  }
}

class LzxDecoderImpl final : public LzxDecoder {
 public:
  explicit LzxDecoderImpl(int window_bits)
      : window_size_(std::size_t{1} << window_bits),
        max_offset_(window_size_ - 3),
        num_main_symbols_(kLzxNumChars + 8 * LzxPositionSlotCount(window_bits)),
        // Twice the window: history is kept linear, and with the usual reset interval (no longer
        // than the window) it never has to be moved.
        capacity_(2 * window_size_),
        // Left unfilled: only bytes already decoded are ever read, so pages are touched only as
        // the output reaches them (a short reset interval never gets far into the buffer).
        window_(std::make_unique_for_overwrite<std::uint8_t[]>(capacity_ + kCopySlack)) {
    Reset();
  }

  void Reset() override {
    failure_.clear();
    r0_ = r1_ = r2_ = 1;
    main_lengths_.fill(0);
    length_lengths_.fill(0);
    pos_ = 0;
    interval_output_ = 0;
    block_type_ = BlockType::kNone;
    block_remaining_ = 0;
    block_size_odd_ = false;
    expect_translation_header_ = true;
    translation_size_ = 0;
    pad_byte_pending_ = false;
    needs_reset_ = false;
  }

  bool DecodeFrame(std::span<const std::uint8_t> in, std::span<std::uint8_t> out) override {
    if (needs_reset_) return Reject("decoding cannot go on after an earlier failure");
    if (out.empty()) return true;
    if (out.size() > kLzxFrameSize) return Reject("more than a frame asked for");
    MakeRoom(kLzxFrameSize);
    const std::size_t frame_start = pos_;
    const std::size_t frame_end = frame_start + kLzxFrameSize;
    bits_.Start(in.data(), in.size());
    if (pad_byte_pending_) {
      // The previous frame ended with an odd stored block whose pad byte starts this frame.
      if (bits_.BytesLeft() == 0) return Reject("the pad byte of a stored block is missing");
      ++bits_.next;
      pad_byte_pending_ = false;
    }
    std::size_t frame_length = kLzxFrameSize;
    if (out.size() == kLzxFrameSize) {
      if (!DecodeUntil(frame_end, frame_end)) return Fail();
      if (!bits_.AlignToWord()) return Reject(kInputEndsEarly);
    } else {
      // The final frame. Compressors encode it as a full frame padded with zeros, so a match
      // may run past the data's end. The padding is decoded when present (E8 translation then
      // sees the frame as the compressor did) but an unpadded final frame is accepted too.
      const std::size_t data_end = frame_start + out.size();
      if (!DecodeUntil(data_end, frame_end)) return Fail();
      if (bits_.ConsumedPastEnd()) return Reject(kInputEndsEarly);
      if (pos_ < frame_end && !(DecodeUntil(frame_end, frame_end) && bits_.AlignToWord())) {
        frame_length = out.size();
      }
      // Nothing follows the final frame; the state the padding left behind may be unusable.
      failure_.clear();
      needs_reset_ = true;
    }
    const std::span<const std::uint8_t> frame(window_.get() + frame_start, frame_length);
    if (translation_size_ == 0) {
      std::memcpy(out.data(), frame.data(), out.size());
    } else if (frame_length == out.size()) {
      std::memcpy(out.data(), frame.data(), out.size());
      UndoE8Translation(out, interval_output_, translation_size_);
    } else {
      // The window keeps untranslated bytes; translate a copy of the whole frame.
      scratch_.assign(frame.begin(), frame.end());
      UndoE8Translation(scratch_, interval_output_, translation_size_);
      std::memcpy(out.data(), scratch_.data(), out.size());
    }
    interval_output_ += frame_length;
    return true;
  }

  std::string_view failure() const override { return failure_; }

 private:
  static constexpr char kInputEndsEarly[] = "the frame's data ends too soon";

  // A failure whose reason was recorded where it was found.
  bool Fail() {
    needs_reset_ = true;
    return false;
  }

  bool Reject(std::string reason) {
    failure_ = std::move(reason);
    return Fail();
  }

  // Keeps the last window's worth of history in front of pos_ and room for a frame after it.
  void MakeRoom(std::size_t frame_size) {
    if (pos_ + frame_size <= capacity_) return;
    const std::size_t shift = pos_ - window_size_;
    std::memmove(window_.get(), window_.get() + shift, window_size_);
    pos_ -= shift;
  }

  // Decodes until at least `stop`; matches may run on to `frame_end`.
  bool DecodeUntil(std::size_t stop, std::size_t frame_end) {
    while (pos_ < stop) {
      if (block_remaining_ == 0 && !ReadBlockHeader()) return false;
      const std::size_t limit = pos_ + std::min<std::size_t>(block_remaining_, frame_end - pos_);
      const std::size_t until = std::min(limit, stop);
      const std::size_t start = pos_;
      bool ok = false;
      switch (block_type_) {
        case BlockType::kUncompressed:
          ok = CopyStoredBytes(until - pos_);
          break;
        case BlockType::kVerbatim:
          ok = DecodeTokens<false>(until, limit);
          break;
        case BlockType::kAligned:
          ok = DecodeTokens<true>(until, limit);
          break;
        case BlockType::kNone:
          break;
      }
      block_remaining_ -= static_cast<std::uint32_t>(pos_ - start);
      if (!ok) return false;
      if (block_remaining_ == 0 && block_type_ == BlockType::kUncompressed && block_size_odd_) {
        if (bits_.BytesLeft() > 0) {
          ++bits_.next;
        } else if (pos_ == stop) {
          pad_byte_pending_ = true;
        } else {
          return Reject("the pad byte of a stored block is missing");
        }
      }
    }
    return true;
  }

  bool ReadBlockHeader() {
    bits_.Refill();
    if (expect_translation_header_) {
      expect_translation_header_ = false;
      translation_size_ = 0;
      if (bits_.Read(1) != 0) {
        const std::uint32_t high = bits_.Read(16);
        translation_size_ = (high << 16) | bits_.Read(16);
      }
      bits_.Refill();
    }
    const std::uint32_t type = bits_.Read(kBlockTypeBits);
    const std::uint32_t size = bits_.Read(kBlockSizeBits);
    const auto block_type = static_cast<BlockType>(type);
    if (block_type != BlockType::kVerbatim && block_type != BlockType::kAligned &&
        block_type != BlockType::kUncompressed) {
      return Reject("bad LZX block type " + std::to_string(type));
    }
    if (size == 0) return Reject("LZX block of size 0");
    block_type_ = block_type;
    block_remaining_ = size;
    block_size_odd_ = (size & 1) != 0;
    if (block_type_ == BlockType::kUncompressed) return ReadStoredHeader();
    return ReadTrees(block_type_ == BlockType::kAligned);
  }

  bool ReadTrees(bool aligned) {
    // The aligned offset tree comes before the main tree. Microsoft's LZX write-up puts it after
    // the main and length trees; its compressor and every decoder read it first (libmspack's
    // lzxd.c errata notes; [MS-PATCH] LZX DELTA 2.3.1).
    if (aligned) {
      std::array<std::uint8_t, kLzxNumAlignedSymbols> lengths;
      bits_.Refill();
      for (auto& length : lengths) length = static_cast<std::uint8_t>(bits_.Read(3));
      // An empty aligned tree is fine as long as no offset needs it.
      if (aligned_table_.Build(lengths) == HuffmanBuild::kInvalid) {
        return Reject("bad aligned offset tree");
      }
    }
    const std::span<std::uint8_t> main(main_lengths_.data(), num_main_symbols_);
    if (!ReadLengths(main.first(kLzxNumChars), "main tree") ||
        !ReadLengths(main.subspan(kLzxNumChars), "main tree")) {
      return false;
    }
    if (main_table_.Build(main) != HuffmanBuild::kOk) return Reject("bad main tree");
    if (!ReadLengths(length_lengths_, "length tree")) return false;
    // The length tree may be empty when the block has no long matches.
    if (length_table_.Build(length_lengths_) == HuffmanBuild::kInvalid) {
      return Reject("bad length tree");
    }
    return true;
  }

  // Reads pretree-coded lengths; each new length is a delta against the one already in place.
  bool ReadLengths(std::span<std::uint8_t> lengths, std::string_view tree) {
    std::array<std::uint8_t, kLzxNumPretreeSymbols> pretree_lengths;
    for (auto& length : pretree_lengths) {
      bits_.Refill();
      length = static_cast<std::uint8_t>(bits_.Read(4));
    }
    if (pretree_.Build(pretree_lengths) != HuffmanBuild::kOk) {
      return Reject("bad pretree for the " + std::string(tree));
    }
    const std::size_t count = lengths.size();
    std::size_t i = 0;
    while (i < count) {
      bits_.Refill();
      const std::uint32_t symbol = pretree_.Decode(bits_);
      if (symbol < kLengthModulus) {
        lengths[i] =
            static_cast<std::uint8_t>((lengths[i] + kLengthModulus - symbol) % kLengthModulus);
        ++i;
        continue;
      }
      std::size_t run;
      std::uint8_t value = 0;
      if (symbol == kPretreeShortZeroRun) {
        run = 4 + bits_.Read(4);
      } else if (symbol == kPretreeLongZeroRun) {
        run = 20 + bits_.Read(5);
      } else if (symbol == kPretreeSameRun) {
        run = 4 + bits_.Read(1);
        const std::uint32_t delta = pretree_.Decode(bits_);
        if (delta >= kLengthModulus) {
          return Reject("bad length delta in the " + std::string(tree));
        }
        value = static_cast<std::uint8_t>((lengths[i] + kLengthModulus - delta) % kLengthModulus);
      } else {
        return Reject("bad pretree code in the " + std::string(tree));
      }
      // Compressors never emit a run past the end of the list.
      if (run > count - i) return Reject("a run of lengths overruns the " + std::string(tree));
      std::fill_n(lengths.begin() + i, run, value);
      i += run;
    }
    return true;
  }

  bool ReadStoredHeader() {
    if (!bits_.EnterByteMode() || bits_.BytesLeft() < kStoredHeaderBytes) {
      return Reject("the stored block's header is cut short");
    }
    r0_ = LoadLe32(bits_.next);
    r1_ = LoadLe32(bits_.next + 4);
    r2_ = LoadLe32(bits_.next + 8);
    bits_.next += kStoredHeaderBytes;
    return true;
  }

  bool CopyStoredBytes(std::size_t count) {
    const std::size_t available = std::min(count, bits_.BytesLeft());
    if (available != 0) {
      std::memcpy(window_.get() + pos_, bits_.next, available);
      bits_.next += available;
      pos_ += available;
    }
    return available == count || Reject("the stored block is cut short");
  }

  // Decodes literals and matches until `until`; no match may reach past `limit`.
  template <bool kAligned>
  bool DecodeTokens(const std::size_t until, const std::size_t limit) {
    LzxBitReader bits = bits_;
    std::uint8_t* const window = window_.get();
    const std::size_t max_offset = max_offset_;
    std::size_t pos = pos_;
    std::uint32_t r0 = r0_, r1 = r1_, r2 = r2_;
    const char* fault = nullptr;
    while (pos < until) {
      bits.Refill();
      std::uint32_t symbol = main_table_.Decode(bits);
      if (symbol < kLzxNumChars) {
        window[pos++] = static_cast<std::uint8_t>(symbol);
        // A refill leaves enough bits for three symbols.
        if (pos == until) break;
        symbol = main_table_.Decode(bits);
        if (symbol < kLzxNumChars) {
          window[pos++] = static_cast<std::uint8_t>(symbol);
          if (pos == until) break;
          symbol = main_table_.Decode(bits);
          if (symbol < kLzxNumChars) {
            window[pos++] = static_cast<std::uint8_t>(symbol);
            continue;
          }
        }
      }
      bits.Refill();
      symbol -= kLzxNumChars;
      const std::uint32_t slot = symbol >> 3;
      std::uint32_t length = symbol & 7;
      if (length == 7) {
        const std::uint32_t extra_length = length_table_.Decode(bits);
        if (extra_length >= kLzxNumLengthSymbols) [[unlikely]] {
          fault = "bad match length code";
          break;
        }
        length += extra_length;
      }
      length += kLzxMinMatch;

      std::uint32_t offset;
      if (slot < kRepeatedOffsetSlots) {
        if (slot == 0) {
          offset = r0;
        } else if (slot == 1) {
          offset = r1;
          r1 = r0;
          r0 = offset;
        } else {
          offset = r2;
          r2 = r0;
          r0 = offset;
        }
      } else {
        const unsigned extra = kLzxPositionSlots.extra_bits[slot];
        std::uint32_t footer;
        // From 3 extra bits on, the low three come from the aligned tree; 3 extra bits are one
        // aligned symbol alone, not 3 raw bits as Microsoft's LZX write-up says (libmspack's
        // lzxd.c errata notes). Fewer than 3 are read raw even in aligned blocks.
        if (kAligned && extra >= 3) {
          footer = bits.Read(extra - 3) << 3;
          const std::uint32_t low = aligned_table_.Decode(bits);
          if (low >= kLzxNumAlignedSymbols) [[unlikely]] {
            fault = "bad aligned offset code";
            break;
          }
          footer += low;
        } else {
          footer = bits.Read(extra);
        }
        // Coded offsets count the three repeat slots, so the real one is 2 less: slot 3 with no
        // footer is offset 1 (Microsoft's LZX write-up, "formatted offset").
        offset = kLzxPositionSlots.base[slot] + footer - 2;
        r2 = r1;
        r1 = r0;
        r0 = offset;
      }

      // A reset empties the window (pos_ = 0), so everything before pos is history.
      const std::size_t history = std::min(pos, max_offset);
      if (length > limit - pos) [[unlikely]] {
        fault = "a match runs past the end of the frame";
        break;
      }
      if (std::size_t{offset} - 1 >= history) [[unlikely]] {
        fault = "a match reaches back before the data's start";
        break;
      }
      CopyMatch(window + pos, offset, length);
      pos += length;
    }
    bits_ = bits;
    pos_ = pos;
    r0_ = r0;
    r1_ = r1;
    r2_ = r2;
    return fault == nullptr || Reject(fault);
  }

  const std::size_t window_size_;
  const std::size_t max_offset_;
  const std::size_t num_main_symbols_;
  const std::size_t capacity_;
  const std::unique_ptr<std::uint8_t[]> window_;

  std::size_t pos_ = 0;
  // Output since the last reset, which positions E8 translation.
  std::uint64_t interval_output_ = 0;
  std::uint32_t r0_ = 1, r1_ = 1, r2_ = 1;

  BlockType block_type_ = BlockType::kNone;
  std::uint32_t block_remaining_ = 0;
  bool block_size_odd_ = false;
  bool expect_translation_header_ = true;
  std::uint32_t translation_size_ = 0;
  bool pad_byte_pending_ = false;
  bool needs_reset_ = false;
  std::string failure_;
  std::vector<std::uint8_t> scratch_;

  LzxBitReader bits_;
  std::array<std::uint8_t, kLzxMaxMainSymbols> main_lengths_{};
  std::array<std::uint8_t, kLzxNumLengthSymbols> length_lengths_{};
  LzxHuffmanTable<kLzxMaxMainSymbols, kMainTableBits> main_table_;
  LzxHuffmanTable<kLzxNumLengthSymbols, kLengthTableBits> length_table_;
  LzxHuffmanTable<kLzxNumAlignedSymbols, kAlignedTableBits, 7> aligned_table_;
  LzxHuffmanTable<kLzxNumPretreeSymbols, kPretreeTableBits, 15> pretree_;
};

}  // namespace

std::unique_ptr<LzxDecoder> LzxDecoder::Create(int window_bits) {
  if (window_bits < kMinWindowBits || window_bits > kMaxWindowBits) return nullptr;
  return std::make_unique<LzxDecoderImpl>(window_bits);
}

}  // namespace vaskel::itss
