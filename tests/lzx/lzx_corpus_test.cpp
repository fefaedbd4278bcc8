// Decodes the whole compressed section of real help files, found with a minimal directory scan.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <optional>
#include <string>

#include "platform/itss/lzx_decoder.h"

namespace vaskel::itss {
namespace {

constexpr std::size_t kFrame = kLzxFrameSize;

std::uint64_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int size) {
  if (at + size > b.size()) throw std::out_of_range("field beyond data");
  std::uint64_t v = 0;
  for (int k = size - 1; k >= 0; --k) v = (v << 8) | b[at + k];
  return v;
}

struct Entry {
  std::uint64_t section, offset, length;
};

struct Chm {
  std::vector<std::uint8_t> bytes;
  std::uint64_t content_offset = 0;
  std::map<std::string, Entry> entries;

  std::vector<std::uint8_t> Section0File(const std::string& name) const {
    const Entry& e = entries.at(name);
    const std::size_t at = content_offset + e.offset;
    if (e.section != 0 || at + e.length > bytes.size()) throw std::out_of_range(name);
    return {bytes.begin() + at, bytes.begin() + at + e.length};
  }
};

std::uint64_t EncInt(const std::vector<std::uint8_t>& b, std::size_t& at, std::size_t end) {
  std::uint64_t v = 0;
  for (int n = 0; n < 9 && at < end; ++n) {
    const std::uint8_t byte = b[at++];
    v = (v << 7) | (byte & 0x7F);
    if ((byte & 0x80) == 0) return v;
  }
  throw std::out_of_range("bad ENCINT");
}

// Every PMGL chunk, read physically; enough for well-formed files.
Chm LoadChm(const std::string& path) {
  Chm chm;
  std::ifstream file(path, std::ios::binary);
  chm.bytes.assign(std::istreambuf_iterator<char>(file), {});
  const std::uint64_t directory = Le(chm.bytes, 0x48, 8);
  const std::uint64_t itsp_length = Le(chm.bytes, directory + 8, 4);
  const std::uint64_t chunk_size = Le(chm.bytes, directory + 0x10, 4);
  const std::uint64_t chunks = Le(chm.bytes, directory + 0x2C, 4);
  chm.content_offset = Le(chm.bytes, 0x58, 8);
  for (std::uint64_t c = 0; c < chunks; ++c) {
    const std::size_t chunk = directory + itsp_length + c * chunk_size;
    if (chunk + chunk_size > chm.bytes.size()) break;
    if (std::memcmp(&chm.bytes[chunk], "PMGL", 4) != 0) continue;
    const std::size_t end = chunk + chunk_size - Le(chm.bytes, chunk + 4, 4);
    for (std::size_t at = chunk + 0x14; at < end;) {
      const std::uint64_t name_length = EncInt(chm.bytes, at, end);
      if (name_length > end - at) break;
      std::string name(chm.bytes.begin() + at, chm.bytes.begin() + at + name_length);
      at += name_length;
      Entry e;
      e.section = EncInt(chm.bytes, at, end);
      e.offset = EncInt(chm.bytes, at, end);
      e.length = EncInt(chm.bytes, at, end);
      chm.entries.emplace(std::move(name), e);
    }
  }
  return chm;
}

// Decodes section 1 frame by frame from the reset table; nullopt when a frame fails.
std::optional<std::vector<std::uint8_t>> DecodeSection(const Chm& chm) {
  const std::string base = "::DataSpace/Storage/MSCompressed/";
  const auto content = chm.Section0File(base + "Content");
  const auto control = chm.Section0File(base + "ControlData");
  const auto table = chm.Section0File(
      base + "Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/InstanceData/ResetTable");
  EXPECT_EQ(std::memcmp(&control[4], "LZXC", 4), 0);
  EXPECT_EQ(Le(control, 8, 4), 2u);
  const std::uint64_t reset_frames = Le(control, 0x0C, 4);
  const std::uint64_t window_units = Le(control, 0x10, 4);
  int window_bits = 15;
  while ((std::uint64_t{1} << (window_bits - 15)) < window_units) ++window_bits;

  const std::uint64_t entries = Le(table, 4, 4);
  const std::uint64_t first_entry = Le(table, 0x0C, 4);
  const std::uint64_t total = Le(table, 0x10, 8);
  const std::size_t frames = static_cast<std::size_t>((total + kFrame - 1) / kFrame);
  EXPECT_GE(entries, frames);
  auto decoder = LzxDecoder::Create(window_bits);
  if (decoder == nullptr || reset_frames == 0) return std::nullopt;
  std::vector<std::uint8_t> out(static_cast<std::size_t>(total));
  for (std::size_t f = 0; f < frames; ++f) {
    const std::size_t begin = Le(table, first_entry + 8 * f, 8);
    const std::size_t end =
        f + 1 < frames ? Le(table, first_entry + 8 * (f + 1), 8) : content.size();
    if (begin > end || end > content.size()) return std::nullopt;
    if (f % reset_frames == 0) decoder->Reset();
    // Exact-size copies, so a read past a frame's bytes would trip the address sanitizer.
    const std::vector<std::uint8_t> in(content.begin() + begin, content.begin() + end);
    const std::size_t size = std::min<std::uint64_t>(kFrame, total - f * kFrame);
    if (!decoder->DecodeFrame(in, std::span(out).subspan(f * kFrame, size))) {
      ADD_FAILURE() << "frame " << f << " of " << frames;
      return std::nullopt;
    }
  }
  return out;
}

std::uint64_t Fnv1a(std::span<const std::uint8_t> data) {
  std::uint64_t h = 0xcbf29ce484222325ull;
  for (std::uint8_t b : data) h = (h ^ b) * 0x100000001b3ull;
  return h;
}

TEST(LzxCorpus, DecodesWholeCompressedSections) {
  // Hashes of section 1 as decoded here, after checking every file's bytes against 7-Zip's
  // extraction of the same help file.
  const std::map<std::string, std::uint64_t> expected = {
      {"IMJPCLE.CHM", 0x6bd3b5f9d39ad5bb},  {"OpenMCDF.chm", 0xa644f17a1e1e7ea4},
      {"admin.chm", 0xf9eaa37faa91c24c},    {"clam.chm", 0x9ea55ff7b3970753},
      {"cmak_ops.CHM", 0xbdbfe8f0336aabfd}, {"comexp.CHM", 0x6a0a673c7833c82c},
      {"gpedit.CHM", 0x16cd9a9898fd4496},   {"lcl.chm", 0xc27663db7f7ddc28},
      {"tcpip.CHM", 0xc2e70c1a6eb6c938},    {"testChm.chm", 0x21622227702ffde1},
  };
  for (const auto& [name, hash] : expected) {
    SCOPED_TRACE(name);
    const Chm chm = LoadChm(std::string(VASKEL_CORPUS_DIR) + "/real/" + name);
    const auto section = DecodeSection(chm);
    ASSERT_TRUE(section.has_value());
    EXPECT_EQ(Fnv1a(*section), hash);
  }
}

}  // namespace
}  // namespace vaskel::itss
