#include "tests/lzx/lzx_test_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

namespace vaskel::itss::testing {
namespace {

constexpr std::size_t kFrame = kLzxFrameSize;

unsigned ExtraBits(unsigned slot) { return slot < 4 ? 0 : slot < 36 ? slot / 2 - 1 : 17; }

std::uint32_t SlotBase(unsigned slot) {
  std::uint32_t base = 0;
  for (unsigned s = 0; s < slot; ++s) base += 1u << ExtraBits(s);
  return base;
}

unsigned SlotCount(int window_bits) {
  return window_bits == 21 ? 50 : window_bits == 20 ? 42 : 2 * static_cast<unsigned>(window_bits);
}

// A complete code whose lengths follow frequency: the `skew` most frequent symbols get lengths
// 1, 2, ..., the rest share the remaining space evenly. At least two symbols get codes unless
// nothing is used at all.
std::vector<std::uint8_t> CodeLengths(const std::vector<std::uint32_t>& freq, unsigned max_length,
                                      unsigned skew) {
  std::vector<std::uint32_t> used;
  for (std::uint32_t s = 0; s < freq.size(); ++s) {
    if (freq[s] != 0) used.push_back(s);
  }
  std::vector<std::uint8_t> lengths(freq.size(), 0);
  if (used.empty()) return lengths;
  for (std::uint32_t s = 0; used.size() < 2; ++s) {
    if (freq[s] == 0) used.push_back(s);
  }
  std::stable_sort(used.begin(), used.end(),
                   [&](std::uint32_t a, std::uint32_t b) { return freq[a] > freq[b]; });
  auto depth_of = [](std::size_t n) {
    unsigned d = 0;
    while ((std::size_t{1} << d) < n) ++d;
    return d;
  };
  unsigned stairs = 0;
  while (stairs < skew && used.size() - stairs > 2 &&
         stairs + 1 + depth_of(used.size() - stairs - 1) <= max_length) {
    ++stairs;
  }
  for (unsigned i = 0; i < stairs; ++i) lengths[used[i]] = static_cast<std::uint8_t>(i + 1);
  const std::size_t rest = used.size() - stairs;
  const unsigned depth = depth_of(rest);
  const std::size_t shorter = (std::size_t{1} << depth) - rest;
  for (std::size_t i = 0; i < rest; ++i) {
    lengths[used[stairs + i]] = static_cast<std::uint8_t>(stairs + depth - (i < shorter ? 1 : 0));
  }
  return lengths;
}

std::vector<std::uint32_t> CanonicalCodes(std::span<const std::uint8_t> lengths) {
  std::array<std::uint32_t, 18> count{}, next{};
  for (auto l : lengths) ++count[l];
  count[0] = 0;
  std::uint32_t code = 0;
  for (unsigned l = 1; l <= 16; ++l) {
    code = (code + count[l - 1]) << 1;
    next[l] = code;
  }
  std::vector<std::uint32_t> codes(lengths.size());
  for (std::size_t s = 0; s < lengths.size(); ++s) {
    if (lengths[s] != 0) codes[s] = next[lengths[s]]++;
  }
  return codes;
}

struct Coded {
  std::vector<std::uint8_t> lengths;
  std::vector<std::uint32_t> codes;
  void Write(chmwriter::LzxBitWriter& out, std::uint32_t symbol) const {
    ASSERT_NE(lengths[symbol], 0) << "symbol " << symbol << " has no code";
    out.Put(codes[symbol], lengths[symbol]);
  }
};

Coded MakeCode(const std::vector<std::uint32_t>& freq, unsigned max_length, unsigned skew) {
  Coded coded;
  coded.lengths = CodeLengths(freq, max_length, skew);
  coded.codes = CanonicalCodes(coded.lengths);
  return coded;
}

}  // namespace

void LzxTestEncoder::PutRawBytes(std::span<const std::uint8_t> bytes) {
  ASSERT_TRUE(out_.aligned());  // the byte stream simply continues after a whole word
  bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
}

LzxTestEncoder::LzxTestEncoder(int window_bits) : main_symbols_(256 + 8 * SlotCount(window_bits)) {}

void LzxTestEncoder::BeginInterval(std::uint32_t translation_size) {
  ASSERT_EQ(output_ % kFrame, 0u);
  header_due_ = true;
  translation_size_ = translation_size;
  r_ = {1, 1, 1};
  main_previous_.fill(0);
  length_previous_.fill(0);
}

void LzxTestEncoder::BlockHeader(unsigned type, std::uint32_t size) {
  if (header_due_) {
    header_due_ = false;
    out_.Put(translation_size_ != 0, 1);
    if (translation_size_ != 0) out_.Put(translation_size_, 32);
  }
  out_.Put(type, 3);
  out_.Put(size, 24);
}

void LzxTestEncoder::AdvanceOutput(std::uint64_t bytes) {
  const std::uint64_t before = output_;
  output_ += bytes;
  if (output_ / kFrame != before / kFrame) {
    out_.AlignToWord();
    frame_offsets_.push_back(bytes_.size());
  }
}

void LzxTestEncoder::StoredBlock(std::span<const std::uint8_t> data, std::array<std::uint32_t, 3> r,
                                 bool pad_in_next_frame) {
  BlockHeader(3, static_cast<std::uint32_t>(data.size()));
  out_.PadBeforeStoredBlock();
  for (std::uint32_t value : r) {
    for (int k = 0; k < 4; ++k) PutRawByte(static_cast<std::uint8_t>(value >> (8 * k)));
  }
  r_ = r;
  std::size_t done = 0;
  while (done < data.size()) {
    const std::size_t chunk = std::min<std::size_t>(data.size() - done, kFrame - output_ % kFrame);
    PutRawBytes(data.subspan(done, chunk));
    done += chunk;
    const bool last = done == data.size();
    const bool frame_ends = (output_ + chunk) % kFrame == 0;
    if (last && data.size() % 2 == 1 && !(frame_ends && pad_in_next_frame)) PutRawByte(0);
    output_ += chunk;
    if (frame_ends) frame_offsets_.push_back(bytes_.size());
    if (last && data.size() % 2 == 1 && frame_ends && pad_in_next_frame) PutRawByte(0);
  }
}

void LzxTestEncoder::WriteLengths(std::span<const std::uint8_t> lengths,
                                  std::span<std::uint8_t> previous) {
  struct Item {
    std::uint32_t symbol, extra, extra_bits, delta;
  };
  std::vector<Item> items;
  for (std::size_t i = 0; i < lengths.size();) {
    std::size_t run = 1;
    while (i + run < lengths.size() && lengths[i + run] == lengths[i]) ++run;
    const auto delta = [&](std::size_t k) { return (previous[k] + 17u - lengths[k]) % 17; };
    if (lengths[i] == 0 && run >= 20) {
      run = std::min<std::size_t>(run, 51);
      items.push_back({18, static_cast<std::uint32_t>(run - 20), 5, 0});
    } else if (lengths[i] == 0 && run >= 4) {
      run = std::min<std::size_t>(run, 19);
      items.push_back({17, static_cast<std::uint32_t>(run - 4), 4, 0});
    } else if (run >= 4) {
      run = std::min<std::size_t>(run, 5);
      items.push_back({19, static_cast<std::uint32_t>(run - 4), 1, delta(i)});
    } else {
      run = 1;
      items.push_back({delta(i), 0, 0, 0});
    }
    i += run;
  }
  std::vector<std::uint32_t> freq(20, 0);
  for (const Item& item : items) {
    ++freq[item.symbol];
    if (item.symbol == 19) ++freq[item.delta];
  }
  const Coded pretree = MakeCode(freq, 15, 3);
  for (auto l : pretree.lengths) out_.Put(l, 4);
  for (const Item& item : items) {
    pretree.Write(out_, item.symbol);
    out_.Put(item.extra, item.extra_bits);
    if (item.symbol == 19) pretree.Write(out_, item.delta);
  }
  std::copy(lengths.begin(), lengths.end(), previous.begin());
}

void LzxTestEncoder::CompressedBlock(LzxBlockKind kind, std::span<const LzxToken> tokens,
                                     unsigned skew) {
  // Map every token to its main symbol, length symbol and offset footer first.
  struct Coding {
    std::uint32_t main, length_symbol, slot, footer;
  };
  std::vector<Coding> coding;
  std::vector<std::uint32_t> main_freq(main_symbols_, 0), length_freq(249, 0), aligned_freq(8, 0);
  std::array<std::uint32_t, 3> r = r_;
  std::uint64_t size = 0;
  for (const LzxToken& token : tokens) {
    Coding c{token.literal, 0, 0, 0};
    if (token.length == 0) {
      size += 1;
    } else {
      size += token.length;
      if (token.offset == r[0]) {
        c.slot = 0;
      } else if (token.offset == r[1]) {
        c.slot = 1;
        std::swap(r[0], r[1]);
      } else if (token.offset == r[2]) {
        c.slot = 2;
        std::swap(r[0], r[2]);
      } else {
        const std::uint32_t formatted = token.offset + 2;
        c.slot = 3;
        while (SlotBase(c.slot + 1) <= formatted) ++c.slot;
        c.footer = formatted - SlotBase(c.slot);
        r = {token.offset, r[0], r[1]};
        if (kind == LzxBlockKind::kAligned && ExtraBits(c.slot) >= 3) ++aligned_freq[c.footer & 7];
      }
      const std::uint32_t header = std::min<std::uint32_t>(token.length - 2, 7);
      c.main = 256 + c.slot * 8 + header;
      if (header == 7) {
        c.length_symbol = token.length - 9;
        ++length_freq[c.length_symbol];
      }
    }
    ++main_freq[c.main];
    coding.push_back(c);
  }
  r_ = r;

  BlockHeader(static_cast<unsigned>(kind), static_cast<std::uint32_t>(size));
  Coded aligned;
  if (kind == LzxBlockKind::kAligned) {
    aligned = MakeCode(aligned_freq, 7, 2);
    for (auto l : aligned.lengths) out_.Put(l, 3);
  }
  const Coded main = MakeCode(main_freq, 16, skew);
  const Coded length = MakeCode(length_freq, 16, skew);
  const std::span<std::uint8_t> main_previous(main_previous_.data(), main_symbols_);
  WriteLengths(std::span(main.lengths).first(256), main_previous.first(256));
  WriteLengths(std::span(main.lengths).subspan(256), main_previous.subspan(256));
  WriteLengths(length.lengths, length_previous_);

  for (std::size_t i = 0; i < tokens.size(); ++i) {
    const Coding& c = coding[i];
    main.Write(out_, c.main);
    if (tokens[i].length == 0) {
      AdvanceOutput(1);
      continue;
    }
    if (c.main - 256 - c.slot * 8 == 7) length.Write(out_, c.length_symbol);
    const unsigned extra = ExtraBits(c.slot);
    if (kind == LzxBlockKind::kAligned && extra >= 3) {
      out_.Put(c.footer >> 3, extra - 3);
      aligned.Write(out_, c.footer & 7);
    } else {
      out_.Put(c.footer, extra);
    }
    AdvanceOutput(tokens[i].length);
  }
}

std::vector<std::uint8_t> LzxTestEncoder::Finish() {
  out_.AlignToWord();
  return bytes_;
}

std::vector<LzxToken> FindMatches(std::span<const std::uint8_t> data, std::size_t begin,
                                  std::size_t end, std::size_t window_size) {
  constexpr unsigned kHashBits = 15;
  std::vector<std::uint32_t> head(1u << kHashBits, 0);  // position + 1
  auto hash = [&](std::size_t p) {
    const std::uint32_t v = data[p] | (data[p + 1] << 8) | (data[p + 2] << 16);
    return (v * 2654435761u) >> (32 - kHashBits);
  };
  auto insert = [&](std::size_t p) {
    if (p + 3 <= data.size()) head[hash(p)] = static_cast<std::uint32_t>(p + 1);
  };
  for (std::size_t p = 0; p < begin; ++p) insert(p);

  std::vector<LzxToken> tokens;
  std::array<std::uint32_t, 3> r{1, 1, 1};
  std::size_t p = begin;
  while (p < end) {
    const std::size_t limit = std::min({end, (p / kFrame + 1) * kFrame, p + 257});
    auto match_length = [&](std::size_t distance) -> std::size_t {
      if (distance == 0 || distance > p || distance > window_size - 3) return 0;
      std::size_t n = 0;
      while (p + n < limit && data[p + n] == data[p + n - distance]) ++n;
      return n;
    };
    std::size_t best = 0, best_distance = 0;
    for (std::uint32_t distance : r) {
      const std::size_t n = match_length(distance);
      if (n > best) best = n, best_distance = distance;
    }
    if (p + 3 <= data.size() && head[hash(p)] != 0) {
      const std::size_t n = match_length(p - (head[hash(p)] - 1));
      if (n > best + 1) best = n, best_distance = p - (head[hash(p)] - 1);
    }
    if (best >= 3 || (best == 2 && best_distance == r[0])) {
      const auto distance = static_cast<std::uint32_t>(best_distance);
      tokens.push_back({0, static_cast<std::uint32_t>(best), distance});
      if (distance == r[1]) {
        std::swap(r[0], r[1]);
      } else if (distance == r[2]) {
        std::swap(r[0], r[2]);
      } else if (distance != r[0]) {
        r = {distance, r[0], r[1]};
      }
      for (std::size_t k = 0; k < best; ++k) insert(p + k);
      p += best;
    } else {
      tokens.push_back({data[p], 0, 0});
      insert(p);
      ++p;
    }
  }
  return tokens;
}

std::vector<std::uint8_t> MakeTestData(std::size_t size, std::uint32_t seed) {
  static const char* const kWords[] = {"<p>",  "</p>",   "<a href=\"", "\">",   "help ",
                                       "the ", "window", " topic",     "index", "\r\n",
                                       "LZX",  "frame ", "reset",      "of ",   "table"};
  std::mt19937 rng(seed);
  std::vector<std::uint8_t> data;
  data.reserve(size);
  while (data.size() < size) {
    const unsigned pick = rng() % 100;
    if (pick < 80) {
      const char* word = kWords[rng() % std::size(kWords)];
      while (*word != 0) data.push_back(static_cast<std::uint8_t>(*word++));
    } else if (pick < 90) {
      for (unsigned n = rng() % 12; n > 0; --n) data.push_back(static_cast<std::uint8_t>(rng()));
    } else if (pick < 95) {
      data.insert(data.end(), 1 + rng() % 400, static_cast<std::uint8_t>(rng()));
    } else if (data.size() > 1000) {
      const std::size_t length = 200 + rng() % 300;
      const std::size_t from = rng() % (data.size() - 500);
      for (std::size_t k = 0; k < length; ++k) data.push_back(data[from + k]);
    }
  }
  data.resize(size);
  return data;
}

bool DecodeStream(LzxDecoder& decoder, std::span<const std::uint8_t> stream,
                  const std::vector<std::size_t>& frame_offsets, std::uint64_t total,
                  std::size_t frames_per_interval, std::vector<std::uint8_t>* out) {
  const std::size_t frames = static_cast<std::size_t>((total + kFrame - 1) / kFrame);
  out->assign(static_cast<std::size_t>(total), 0);
  for (std::size_t f = 0; f < frames; ++f) {
    if (f % frames_per_interval == 0) decoder.Reset();
    const std::size_t begin = std::min(frame_offsets[f], stream.size());
    const std::size_t end = f + 1 < frame_offsets.size() && f + 1 < frames
                                ? std::min(frame_offsets[f + 1], stream.size())
                                : stream.size();
    const std::size_t out_size = std::min<std::uint64_t>(kFrame, total - f * kFrame);
    if (!decoder.DecodeFrame(stream.subspan(begin, end - std::min(begin, end)),
                             std::span(*out).subspan(f * kFrame, out_size))) {
      return false;
    }
  }
  return true;
}

}  // namespace vaskel::itss::testing
