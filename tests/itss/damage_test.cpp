// Damaged files: every failure must be a negative result (at open or at Read), never a crash, a
// hang, garbage reported as data, or an allocation sized by a damaged field.
#include <gtest/gtest.h>

#include <cstring>
#include <string_view>
#include <tuple>

#include "platform/com/error_info.h"
#include "platform/itss/itss_component.h"
#include "tests/itss/itss_test_support.h"
#include "tests/support/corpus.h"
#include "tools/chmwriter/chm_writer.h"

namespace vaskel::itss::testing {
namespace {

constexpr std::size_t kFrame = 32768;

std::size_t FindUnique(const Bytes& bytes, std::string_view needle) {
  const std::string_view haystack(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  const std::size_t at = haystack.find(needle);
  EXPECT_EQ(haystack.rfind(needle), at) << needle;
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

// One stored stream and two compressed ones over 6 frames, reset every 2 frames.
struct Sample {
  Bytes stored = PatternBytes(5000, 1);
  Bytes one = PatternBytes(2 * kFrame + kFrame / 2, 2);  // frames 0..2
  Bytes two = PatternBytes(3 * kFrame, 3);               // frames 2..5
  Bytes file =
      chmwriter::WriteChm({{"/stored.txt", stored, 0}, {"/one.bin", one, 1}, {"/two.bin", two, 1}});
  std::size_t control_data = FindUnique(file, "LZXC") - 4;
  std::size_t span_info = control_data + 28;  // the writer's order; checked below
  std::size_t reset_table = FindUnique(file, std::string_view("\x08\0\0\0\x28\0\0\0", 8)) - 8;
  std::size_t content = file.size() - Get(file, reset_table + 0x18, 8);  // Content comes last

  Sample() { EXPECT_EQ(Get(file, span_info, 8), Get(file, reset_table + 0x10, 8)); }
  std::size_t FrameEntry(int frame) const { return reset_table + 0x28 + 8 * frame; }
  std::size_t FrameStart(int frame) const { return content + Get(file, FrameEntry(frame), 8); }
};

struct Outcome {
  HRESULT open = E_FAIL, stored = E_FAIL, one = E_FAIL, two = E_FAIL;
  std::string reason;  // the first failure's, as the reader described it
};

// Opens the bytes and reads the sample's streams; data delivered with success must be exact.
Outcome OpenAndRead(const Bytes& file, const Sample& sample) {
  TempFolder dir;
  Outcome outcome;
  ComPtr<IStorage> root = OpenBytes(dir, file, &outcome.open);
  if (!root) {
    outcome.reason = GetErrorInfo();
    return outcome;
  }
  auto read = [&](const char* name, const Bytes& original) {
    const ReadOutcome got = ReadPath(root.Get(), name);
    EXPECT_TRUE(Failed(got.result) || got.bytes == original) << name;
    if (Failed(got.result) && outcome.reason.empty()) outcome.reason = GetErrorInfo();
    return got.result;
  };
  outcome.stored = read("stored.txt", sample.stored);
  outcome.one = read("one.bin", sample.one);
  outcome.two = read("two.bin", sample.two);
  return outcome;
}

TEST(DamagedFiles, TruncationFailsCleanly) {
  Sample sample;
  const Outcome whole = OpenAndRead(sample.file, sample);
  EXPECT_EQ(whole.two, S_OK);
  const std::size_t directory_end = 0x60 + 0x18 + 0x54 + 4096;
  std::vector<std::size_t> cuts = {0, 0x57, 0x5F, 0x77, 0xA0, directory_end - 1};
  for (std::size_t cut = directory_end; cut < sample.file.size(); cut += 4099) cuts.push_back(cut);
  for (const std::size_t cut : cuts) {
    SCOPED_TRACE(cut);
    const Outcome outcome =
        OpenAndRead(Bytes(sample.file.begin(), sample.file.begin() + cut), sample);
    EXPECT_TRUE(cut >= directory_end || Failed(outcome.open));
    EXPECT_LT(outcome.two, 0);  // its last frame ends the file
  }
  // Frames 0..2 lie before a cut inside frame 3, so the first stream still reads.
  const Bytes cut_in_frame3(sample.file.begin(), sample.file.begin() + sample.FrameStart(3) + 10);
  EXPECT_EQ(OpenAndRead(cut_in_frame3, sample).one, S_OK);
}

TEST(DamagedFiles, DamagedCompressedSectionMetadataFailsOnlyItsStreams) {
  Sample sample;
  // Each case patches a field; the reason names the file and what is wrong with it.
  struct Case {
    std::size_t Sample::*base;
    std::size_t at;
    int size;
    std::uint64_t value;
    const char* reason;
  };
  const Case cases[] = {
      {&Sample::control_data, 0x0C, 4, 0, "ControlData: bad reset interval 0 bytes"},
      {&Sample::control_data, 0x10, 4, 3, "ControlData: bad window size 98304"},
      {&Sample::control_data, 0x10, 4, 128, "ControlData: bad window size"},
      {&Sample::control_data, 0x08, 4, 7, "ControlData: unknown version 7"},
      {&Sample::reset_table, 0x04, 4, 0, "ResetTable: 0 entries for 6 frames"},
      {&Sample::reset_table, 0x04, 4, ~0u, "ResetTable: 4294967295 entries run past its end"},
      {&Sample::reset_table, 0x08, 4, 4, "ResetTable: bad entry size 4"},
      {&Sample::reset_table, 0x20, 8, 0x4000, "ResetTable: bad frame size 16384"},
      {&Sample::reset_table, 0x10, 8, 1ull << 62, "entries for 140737488355328 frames"},
      {&Sample::reset_table, 0x18, 8, ~0ull, "exceeds Content's"},
      {&Sample::reset_table, 0x28 + 2 * 8, 8, 1, "frame 2 starts at 1, before frame 1"},
      // frames 0..2 alone would still decode
      {&Sample::reset_table, 0x28 + 4 * 8, 8, Get(sample.file, sample.FrameEntry(3), 8) - 1,
       "before frame 3"},
      {&Sample::reset_table, 0x28 + 5 * 8, 8, 1ull << 40, "past the compressed data"},
      {&Sample::span_info, 0, 8, 12345, "SpanInfo: length 12345 differs"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.reason);
    Bytes file = sample.file;
    Put(file, sample.*c.base + c.at, c.size, c.value);
    const Outcome outcome = OpenAndRead(file, sample);
    EXPECT_EQ(outcome.open, S_OK);
    EXPECT_EQ(outcome.stored, S_OK);
    EXPECT_LT(outcome.one, 0);
    EXPECT_LT(outcome.two, 0);
    EXPECT_NE(outcome.reason.find(c.reason), std::string::npos) << outcome.reason;
  }
}

TEST(DamagedFiles, DamagedFrameFailsTheStreamsThatNeedIt) {
  Sample sample;
  Bytes bad_block = sample.file;  // frame 3 begins a block; type 0 is invalid
  Put(bad_block, sample.FrameStart(3), 4, 0);
  Bytes short_frame = sample.file;  // frame 3 loses its last bytes to frame 4
  Put(short_frame, sample.FrameEntry(4), 8, Get(short_frame, sample.FrameEntry(4), 8) - 100);
  const std::pair<const Bytes*, const char*> cases[] = {
      {&bad_block, "bad LZX block type 0 in frame 3 of section 1"},
      {&short_frame, "in frame 3 of section 1"},
  };
  for (const auto& [file, reason] : cases) {
    const Outcome outcome = OpenAndRead(*file, sample);
    EXPECT_EQ(outcome.one, S_OK);  // frames 0..2
    EXPECT_LT(outcome.two, 0);     // frames 2..5
    EXPECT_NE(outcome.reason.find(reason), std::string::npos) << outcome.reason;
  }
  // The failure repeats for the damaged frame and does not spread to the others.
  TempFolder dir;
  ComPtr<IStorage> root = OpenBytes(dir, bad_block);
  ASSERT_TRUE(root);
  EXPECT_LT(ReadPath(root.Get(), "two.bin").result, 0);
  EXPECT_EQ(ReadPath(root.Get(), "one.bin").result, S_OK);
  EXPECT_LT(ReadPath(root.Get(), "two.bin").result, 0);
}

TEST(DamagedFiles, HugeOrOutOfRangeHeaderFieldsAreRejected) {
  Sample sample;
  const std::size_t itsp = Get(sample.file, 0x48, 8);
  const std::tuple<std::size_t, std::uint64_t, const char*> patches[] = {
      {0x00, 0, "no ITSF signature"},
      {0x04, 4, "ITSF header: unknown version 4"},
      {0x08, 0x20, "ITSF header: bad header length 32"},
      {0x38, ~0ull - 4, "ITSF header: header section 0 lies outside the file"},
      {0x50, 1ull << 62, "ITSF header: the directory lies outside the file"},
      {0x58, 1ull << 40, "ITSF header: content offset 1099511627776 lies past the end"},
      {itsp, 0, "no ITSP signature"},
      {itsp + 0x04, 2, "ITSP header: unknown version 2"},
      {itsp + 0x08, 0x20, "ITSP header: bad header length 32"},
      {itsp + 0x2C, 0xFFFFFFFF, "ITSP header: 4294967295 directory chunks run past the end"},
      {itsp + 0x2C, 0, "ITSP header: no directory chunks"},
      {itsp + 0x10, 0x80000000, "ITSP header: bad directory chunk size 2147483648"},
      {itsp + 0x10, 1, "ITSP header: bad directory chunk size 1"},
      // The only chunk signed PMGI instead of PMGL.
      {itsp + 0x54, 0x49474D50, "none of the 1 directory chunks is a listing (PMGL) chunk"},
  };
  for (const auto& [at, value, reason] : patches) {
    SCOPED_TRACE(reason);
    Bytes file = sample.file;
    Put(file, at, at == 0x38 || at == 0x50 || at == 0x58 ? 8 : 4, value);
    const Outcome outcome = OpenAndRead(file, sample);
    EXPECT_LT(outcome.open, 0);
    EXPECT_NE(outcome.reason.find(reason), std::string::npos) << outcome.reason;
  }
}

TEST(DamagedFiles, ChunkLinksAndIndexAreNotTrusted) {
  std::vector<chmwriter::Entry> entries;
  for (int i = 0; i < 200; ++i) {
    entries.push_back({"/page" + std::to_string(i) + ".html", PatternBytes(50, i), 1});
  }
  Bytes file = chmwriter::WriteChm(entries, {.chunk_size = 256});
  const std::size_t itsp = Get(file, 0x48, 8);
  const std::uint64_t chunk_count = Get(file, itsp + 0x2C, 4);
  ASSERT_GT(chunk_count, 10u);
  // Every listing chunk links to itself; the header's chunk numbers are out of range.
  for (std::size_t i = 0; i < chunk_count; ++i) {
    const std::size_t chunk = itsp + 0x54 + i * 256;
    if (std::memcmp(&file[chunk], "PMGL", 4) != 0) continue;
    Put(file, chunk + 0x0C, 4, i);
    Put(file, chunk + 0x10, 4, i);
  }
  Put(file, itsp + 0x18, 4, 1000);        // index depth
  Put(file, itsp + 0x1C, 4, 0xFFFFFFF0);  // root index chunk
  Put(file, itsp + 0x20, 4, 0xFFFFFFF1);  // first listing chunk
  Put(file, itsp + 0x24, 4, 0);           // last listing chunk
  TempFolder dir;
  ComPtr<IStorage> root = OpenBytes(dir, file);
  ASSERT_TRUE(root);
  EXPECT_EQ(WalkTree(root.Get()).size(), entries.size());
  EXPECT_EQ(ReadPath(root.Get(), "page199.html").bytes, entries.back().data);
}

TEST(DamagedFiles, NameRunningPastItsChunkEndsThatChunk) {
  Sample sample;
  Bytes file = sample.file;
  // The reset table's entry is the chunk's last; its name length now runs past the chunk.
  file[FindUnique(file, "InstanceData/ResetTable") - 83] = 0x7F;
  const Outcome outcome = OpenAndRead(file, sample);
  EXPECT_EQ(outcome.open, S_OK);
  EXPECT_EQ(outcome.stored, S_OK);  // listed before the damaged entry
  EXPECT_LT(outcome.one, 0);        // no reset table
  TempFolder dir;
  const DirectoryLosses losses = DirectoryLossesOf(OpenBytes(dir, file).Get());
  EXPECT_EQ(losses.damaged_chunks, 1u);
  EXPECT_EQ(losses.first_damage, "directory chunk 0: an entry's name runs past the chunk's end");
  EXPECT_EQ(losses.undecodable_entries, 0u);
}

TEST(DamagedFiles, DeclaredHugeLengthsFailAtRead) {
  VASKEL_SKIP_WITHOUT_CORPUS();
  // A hostile-file collection's entries with 63-bit lengths and offsets.
  ComPtr<IStorage> root = OpenChm(CorpusPath("malformed/encints-64bit-both.chm"));
  ASSERT_TRUE(root);
  ComPtr<IStream> stream = OpenStreamAt(root.Get(), "good18");
  ASSERT_TRUE(stream);
  STATSTG stat;
  ASSERT_EQ(stream->Stat(&stat), S_OK);
  EXPECT_EQ(stat.cbSize, 0x7FFFFFFFFFFFFFFFull);
  Bytes buffer(4096);
  ULONG got = 1;
  EXPECT_LT(stream->Read(buffer.data(), 4096, &got), 0);
  EXPECT_EQ(got, 0u);
  EXPECT_FALSE(OpenStreamAt(root.Get(), "bad19"));  // 64-bit values do not decode
  // Dropped, and counted as lost to damage with the chunk where the first one lies.
  const DirectoryLosses losses = DirectoryLossesOf(root.Get());
  EXPECT_EQ(losses.undecodable_entries, 9u);  // bad19 to bad27
  EXPECT_EQ(losses.first_undecodable_chunk, 0u);
  EXPECT_EQ(losses.damaged_chunks, 0u);
}

}  // namespace
}  // namespace vaskel::itss::testing
