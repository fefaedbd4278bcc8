// Damaged files: every failure must be a negative result (at open or at Read), never a crash, a
// hang, garbage reported as data, or an allocation sized by a damaged field.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string_view>

#include "platform/itss/itss_component.h"
#include "tests/itss/itss_test_support.h"
#include "tools/chmwriter/chm_writer.h"

namespace vaskel::itss::testing {
namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::size_t kFrame = 32768;

std::size_t FindUnique(const Bytes& bytes, std::string_view needle) {
  const std::string_view haystack(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::size_t at = haystack.find(needle);
  EXPECT_NE(at, std::string_view::npos) << needle;
  EXPECT_EQ(haystack.find(needle, at + 1), std::string_view::npos) << needle;
  return at;
}

std::uint64_t Get(const Bytes& bytes, std::size_t at, int size) {
  std::uint64_t value = 0;
  for (int i = size - 1; i >= 0; --i) value = (value << 8) | bytes.at(at + i);
  return value;
}

void Put(Bytes& bytes, std::size_t at, int size, std::uint64_t value) {
  for (int i = 0; i < size; ++i) bytes.at(at + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

// A small file: one stored stream and two compressed ones over 6 frames, reset every 2 frames.
struct Sample {
  Bytes stored = PatternBytes(5000, 1);
  Bytes one = PatternBytes(2 * kFrame + kFrame / 2, 2);  // frames 0..2
  Bytes two = PatternBytes(3 * kFrame, 3);               // frames 2..5
  Bytes file;
  std::size_t control_data = 0;  // positions of the control files in `file`
  std::size_t span_info = 0;
  std::size_t reset_table = 0;
  std::size_t content = 0;

  Sample() {
    file = chmwriter::WriteChm(
        {{"/stored.txt", stored, 0}, {"/one.bin", one, 1}, {"/two.bin", two, 1}});
    control_data = FindUnique(file, "LZXC") - 4;
    // The writer stores SpanInfo right after ControlData; checked against the reset table below.
    span_info = control_data + 28;
    reset_table = FindUnique(file, std::string_view("\x08\0\0\0\x28\0\0\0", 8)) - 8;
    content = file.size() - Get(file, reset_table + 0x18, 8);
    EXPECT_EQ(Get(file, span_info, 8), Get(file, reset_table + 0x10, 8));
    EXPECT_EQ(Get(file, reset_table + 4, 4), 6u);
  }
  std::size_t FrameEntry(int frame) const { return reset_table + 0x28 + 8 * frame; }
  std::size_t FrameStart(int frame) const { return content + Get(file, FrameEntry(frame), 8); }
};

struct Outcome {
  HRESULT open = E_FAIL;
  HRESULT stored = E_FAIL, one = E_FAIL, two = E_FAIL;
};

// Opens the bytes and reads the sample's three streams; data delivered with success must be
// exactly the original.
Outcome OpenAndRead(const Bytes& file, const Sample& sample) {
  TempDir dir;
  Outcome outcome;
  ComPtr<IStorage> root = OpenBytes(dir, file, &outcome.open);
  if (!root) return outcome;
  auto read = [&](const char* name, const Bytes& original) {
    const ReadOutcome got = ReadPath(root.Get(), name);
    if (Succeeded(got.result)) {
      EXPECT_TRUE(got.bytes == original) << name;
    }
    return got.result;
  };
  outcome.stored = read("stored.txt", sample.stored);
  outcome.one = read("one.bin", sample.one);
  outcome.two = read("two.bin", sample.two);
  return outcome;
}

TEST(DamagedFiles, UndamagedSampleReadsBack) {
  Sample sample;
  const Outcome outcome = OpenAndRead(sample.file, sample);
  EXPECT_EQ(outcome.open, S_OK);
  EXPECT_EQ(outcome.stored, S_OK);
  EXPECT_EQ(outcome.one, S_OK);
  EXPECT_EQ(outcome.two, S_OK);
}

TEST(DamagedFiles, TruncationFailsCleanly) {
  Sample sample;
  const std::size_t directory_end = 0x60 + 0x18 + 0x54 + 4096;
  std::vector<std::size_t> cuts = {0, 1, 0x20, 0x57, 0x5F, 0x77, 0xA0, directory_end - 1};
  for (std::size_t cut = directory_end; cut < sample.file.size(); cut += 4099) cuts.push_back(cut);
  cuts.push_back(sample.FrameStart(3) + 10);
  cuts.push_back(sample.file.size() - 1);
  for (const std::size_t cut : cuts) {
    SCOPED_TRACE(cut);
    const Bytes truncated(sample.file.begin(), sample.file.begin() + cut);
    const Outcome outcome = OpenAndRead(truncated, sample);
    if (cut < directory_end) {
      EXPECT_LT(outcome.open, 0);
    }
    EXPECT_LT(outcome.two, 0);  // its last frame ends the file
  }
  // Frames 0..2 lie before the cut inside frame 3, so the first stream still reads.
  const Bytes cut_in_frame3(sample.file.begin(), sample.file.begin() + sample.FrameStart(3) + 10);
  EXPECT_EQ(OpenAndRead(cut_in_frame3, sample).one, S_OK);
}

struct MetadataDamage {
  const char* what;
  std::function<void(Bytes&, const Sample&)> patch;
};

TEST(DamagedFiles, DamagedCompressedSectionMetadataFailsOnlyItsStreams) {
  const std::vector<MetadataDamage> cases = {
      {"reset interval 0", [](Bytes& f, const Sample& s) { Put(f, s.control_data + 0x0C, 4, 0); }},
      {"reset interval 2^32-1 units",
       [](Bytes& f, const Sample& s) { Put(f, s.control_data + 0x0C, 4, 0xFFFFFFFF); }},
      {"window 3 units", [](Bytes& f, const Sample& s) { Put(f, s.control_data + 0x10, 4, 3); }},
      {"window 128 units",
       [](Bytes& f, const Sample& s) { Put(f, s.control_data + 0x10, 4, 128); }},
      {"window 0", [](Bytes& f, const Sample& s) { Put(f, s.control_data + 0x10, 4, 0); }},
      {"control version 7", [](Bytes& f, const Sample& s) { Put(f, s.control_data + 8, 4, 7); }},
      {"no LZXC", [](Bytes& f, const Sample& s) { f[s.control_data + 4] = 'X'; }},
      {"table version 9", [](Bytes& f, const Sample& s) { Put(f, s.reset_table, 4, 9); }},
      {"no entries", [](Bytes& f, const Sample& s) { Put(f, s.reset_table + 4, 4, 0); }},
      {"2^32-1 entries",
       [](Bytes& f, const Sample& s) { Put(f, s.reset_table + 4, 4, 0xFFFFFFFF); }},
      {"entry size 4", [](Bytes& f, const Sample& s) { Put(f, s.reset_table + 8, 4, 4); }},
      {"frame size 0x4000",
       [](Bytes& f, const Sample& s) { Put(f, s.reset_table + 0x20, 8, 0x4000); }},
      {"huge section length",
       [](Bytes& f, const Sample& s) { Put(f, s.reset_table + 0x10, 8, 1ull << 62); }},
      {"compressed length past Content",
       [](Bytes& f, const Sample& s) { Put(f, s.reset_table + 0x18, 8, ~0ull); }},
      {"entries decreasing",
       [](Bytes& f, const Sample& s) {
         const std::uint64_t third = Get(f, s.FrameEntry(2), 8);
         Put(f, s.FrameEntry(2), 8, Get(f, s.FrameEntry(1), 8));
         Put(f, s.FrameEntry(1), 8, third);
       }},
      {"entry past the data",
       [](Bytes& f, const Sample& s) { Put(f, s.FrameEntry(5), 8, 1ull << 40); }},
      {"span info differs", [](Bytes& f, const Sample& s) { Put(f, s.span_info, 8, 12345); }},
      {"span info 2^63", [](Bytes& f, const Sample& s) { Put(f, s.span_info, 8, 1ull << 63); }},
  };
  Sample sample;
  for (const MetadataDamage& damage : cases) {
    SCOPED_TRACE(damage.what);
    Bytes file = sample.file;
    damage.patch(file, sample);
    const Outcome outcome = OpenAndRead(file, sample);
    EXPECT_EQ(outcome.open, S_OK);
    EXPECT_EQ(outcome.stored, S_OK);
    EXPECT_LT(outcome.one, 0);
    EXPECT_LT(outcome.two, 0);
  }
}

TEST(DamagedFiles, DamagedFrameFailsTheStreamsThatNeedIt) {
  Sample sample;
  // Frame 3 begins a new uncompressed block; block type 0 is invalid.
  Bytes bad_block = sample.file;
  Put(bad_block, sample.FrameStart(3), 4, 0);
  // Frame 3 loses its last bytes to frame 4.
  Bytes short_frame = sample.file;
  Put(short_frame, sample.FrameEntry(4), 8, Get(short_frame, sample.FrameEntry(4), 8) - 100);
  for (const Bytes* file : {&bad_block, &short_frame}) {
    const Outcome outcome = OpenAndRead(*file, sample);
    EXPECT_EQ(outcome.one, S_OK);  // frames 0..2
    EXPECT_LT(outcome.two, 0);     // frames 2..5
  }

  // The failure is not sticky for other frames, and repeats for the damaged one.
  TempDir dir;
  ComPtr<IStorage> root = OpenBytes(dir, bad_block);
  ASSERT_TRUE(root);
  EXPECT_LT(ReadPath(root.Get(), "two.bin").result, 0);
  EXPECT_EQ(ReadPath(root.Get(), "one.bin").result, S_OK);
  EXPECT_LT(ReadPath(root.Get(), "two.bin").result, 0);
}

TEST(DamagedFiles, HugeOrOutOfRangeHeaderFieldsAreRejected) {
  Sample sample;
  const std::size_t itsp = Get(sample.file, 0x48, 8);
  const std::vector<std::pair<const char*, std::function<void(Bytes&)>>> cases = {
      {"signature", [](Bytes& f) { f[0] = 'X'; }},
      {"version 4", [](Bytes& f) { Put(f, 4, 4, 4); }},
      {"header section 0 past the end", [](Bytes& f) { Put(f, 0x38, 8, ~0ull - 4); }},
      {"directory length huge", [](Bytes& f) { Put(f, 0x50, 8, 1ull << 62); }},
      {"content offset past the end", [](Bytes& f) { Put(f, 0x58, 8, 1ull << 40); }},
      {"chunk count 2^32-1", [&](Bytes& f) { Put(f, itsp + 0x2C, 4, 0xFFFFFFFF); }},
      {"chunk count 0", [&](Bytes& f) { Put(f, itsp + 0x2C, 4, 0); }},
      {"chunk size 2^31", [&](Bytes& f) { Put(f, itsp + 0x10, 4, 0x80000000); }},
      {"chunk size 1", [&](Bytes& f) { Put(f, itsp + 0x10, 4, 1); }},
      {"ITSP version", [&](Bytes& f) { Put(f, itsp + 4, 4, 2); }},
      {"no listing chunk", [&](Bytes& f) { f[itsp + 0x54 + 3] = 'I'; }},
  };
  for (const auto& [what, patch] : cases) {
    SCOPED_TRACE(what);
    Bytes file = sample.file;
    patch(file);
    const Outcome outcome = OpenAndRead(file, sample);
    EXPECT_LT(outcome.open, 0);
  }
}

TEST(DamagedFiles, ChunkLinksAndIndexAreNotTrusted) {
  std::vector<chmwriter::Entry> entries;
  for (int i = 0; i < 200; ++i) {
    entries.push_back({"/page" + std::to_string(i) + ".html", PatternBytes(50, i), 1});
  }
  chmwriter::Options options;
  options.chunk_size = 256;
  Bytes file = chmwriter::WriteChm(entries, options);
  const std::size_t itsp = Get(file, 0x48, 8);
  const std::uint32_t chunk_count = static_cast<std::uint32_t>(Get(file, itsp + 0x2C, 4));
  ASSERT_GT(chunk_count, 10u);
  // Every listing chunk links to itself, and the header's chunk numbers are out of range.
  for (std::uint32_t i = 0; i < chunk_count; ++i) {
    const std::size_t chunk = itsp + 0x54 + i * 256;
    if (std::memcmp(&file[chunk], "PMGL", 4) == 0) {
      Put(file, chunk + 0x0C, 4, i);
      Put(file, chunk + 0x10, 4, i);
    }
  }
  Put(file, itsp + 0x1C, 4, 0xFFFFFFF0);  // root index chunk
  Put(file, itsp + 0x20, 4, 0xFFFFFFF1);  // first listing chunk
  Put(file, itsp + 0x24, 4, 0);           // last listing chunk
  Put(file, itsp + 0x18, 4, 1000);        // index depth

  TempDir dir;
  ComPtr<IStorage> root = OpenBytes(dir, file);
  ASSERT_TRUE(root);
  std::size_t streams = 0;
  for (const PresentedItem& item : WalkTree(root.Get())) {
    if (!item.is_storage) ++streams;
  }
  EXPECT_EQ(streams, entries.size());
  EXPECT_EQ(ReadPath(root.Get(), "page199.html").bytes, entries.back().data);
}

TEST(DamagedFiles, NameRunningPastItsChunkEndsThatChunk) {
  Sample sample;
  Bytes file = sample.file;
  // The reset table's entry is the chunk's last; its name length now runs past the chunk.
  const std::size_t name = FindUnique(
      file,
      "::DataSpace/Storage/MSCompressed/Transform/{7FC28940-9D31-11D0-9B27-00A0C91E9C7C}/"
      "InstanceData/ResetTable");
  file[name - 1] = 0x7F;
  const Outcome outcome = OpenAndRead(file, sample);
  EXPECT_EQ(outcome.open, S_OK);
  EXPECT_EQ(outcome.stored, S_OK);  // listed before the damaged entry
  EXPECT_LT(outcome.one, 0);        // no reset table
}

TEST(DamagedFiles, DeclaredHugeLengthsFailAtRead) {
  // A hostile-file collection's entries with 63-bit lengths and offsets.
  ComPtr<IStorage> root = OpenChm(CorpusPath("malformed/encints-64bit-both.chm"));
  ASSERT_TRUE(root);
  ComPtr<IStream> stream = OpenStreamAt(root.Get(), "good18");
  ASSERT_TRUE(stream);
  STATSTG stat;
  ASSERT_EQ(stream->Stat(&stat), S_OK);
  EXPECT_EQ(stat.cbSize, 0x7FFFFFFFFFFFFFFFull);
  std::vector<std::uint8_t> buffer(4096);
  ULONG got = 1;
  EXPECT_LT(stream->Read(buffer.data(), 4096, &got), 0);
  EXPECT_EQ(got, 0u);
  // Values of 64 bits and more do not decode: those entries are dropped.
  EXPECT_FALSE(OpenStreamAt(root.Get(), "bad19"));
}

}  // namespace
}  // namespace vaskel::itss::testing
