// Damaged and hostile help files must open, enumerate and read without a crash, a sanitizer
// report or a hang; whatever cannot be read fails cleanly.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "tests/support/corpus.h"
#include "tests/support/read_everything.h"
#include "tests/support/temp_folder.h"
#include "tools/chmwriter/chm_writer.h"

namespace vaskel {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> WriterMadeFile() {
  std::vector<chmwriter::Entry> entries;
  std::mt19937 random(7);
  for (int i = 0; i < 40; ++i) {
    std::vector<std::uint8_t> data(static_cast<std::size_t>(random() % 9000));
    for (auto& byte : data) byte = static_cast<std::uint8_t>('a' + random() % 26);
    entries.push_back({"/dir" + std::to_string(i % 4) + "/page" + std::to_string(i) + ".html",
                       std::move(data), i % 5 == 0 ? 0 : 1});
  }
  entries.push_back({"/empty.txt", {}, 1});
  chmwriter::Options options;
  options.chunk_size = 512;  // many listing chunks and an index
  options.reset_interval = 1;
  return WriteChm(entries, options);
}

// Mutations concentrate on the headers and directory, where parsing decisions are made, but
// also reach the compressed data.
std::vector<std::uint8_t> Mutate(const std::vector<std::uint8_t>& original, std::mt19937& random) {
  std::vector<std::uint8_t> bytes = original;
  if (bytes.empty()) return bytes;
  const auto pick = [&](std::size_t limit) { return random() % std::max<std::size_t>(limit, 1); };
  switch (random() % 5) {
    case 0:  // truncation
      bytes.resize(pick(bytes.size()));
      break;
    case 1:  // bit flips near the start
      for (int i = 0, n = 1 + random() % 4; i < n; ++i) {
        bytes[pick(std::min<std::size_t>(bytes.size(), 0x3000))] ^=
            static_cast<std::uint8_t>(1u << (random() % 8));
      }
      break;
    case 2:  // bit flips anywhere
      for (int i = 0, n = 1 + random() % 8; i < n; ++i) {
        bytes[pick(bytes.size())] ^= static_cast<std::uint8_t>(1u << (random() % 8));
      }
      break;
    case 3: {  // extreme values in a 32-bit field
      const std::size_t at = pick(std::min<std::size_t>(bytes.size(), 0x3000)) & ~std::size_t{3};
      const std::uint32_t values[] = {0, 0xFFFFFFFF, 0x7FFFFFFF, 0x80000000, 1, 0x10000};
      const std::uint32_t value = values[random() % 6];
      for (std::size_t k = 0; k < 4 && at + k < bytes.size(); ++k) {
        bytes[at + k] = static_cast<std::uint8_t>(value >> (8 * k));
      }
      break;
    }
    default: {  // a run of bytes overwritten
      const std::size_t at = pick(bytes.size());
      const std::uint8_t fill = random() % 2 ? 0xFF : 0x00;
      for (std::size_t k = at; k < std::min(bytes.size(), at + 1 + pick(64)); ++k) bytes[k] = fill;
      break;
    }
  }
  return bytes;
}

TEST(HostileInputTest, ThousandsOfMutationsNeverCrashOrHang) {
  std::vector<std::pair<std::string, std::vector<std::uint8_t>>> bases;
  bases.emplace_back("writer-made", WriterMadeFile());
  for (const char* name : {"tcpip.CHM", "clam.chm", "admin.chm", "OpenMCDF.chm"}) {
    const fs::path path = testing::CorpusPath("real") / name;
    if (fs::exists(path)) bases.emplace_back(name, testing::ReadBytes(path));
  }
  const testing::TempFolder folder;
  const fs::path scratch = folder.path() / "mutated.chm";
  std::mt19937 random(20261206);
  int opened = 0;
  int runs = 0;
  for (const auto& [name, original] : bases) {
    // The unmutated file reads cleanly: a baseline that shows the mutations mean something.
    testing::WriteBytes(scratch, original);
    const auto clean = testing::ReadEverything(scratch.string());
    ASSERT_TRUE(Succeeded(clean.open_result)) << name;
    EXPECT_EQ(clean.failed_reads, 0u) << name;
    for (int i = 0; i < 600; ++i, ++runs) {
      testing::WriteBytes(scratch, Mutate(original, random));
      const auto outcome = testing::ReadEverything(scratch.string(), 1u << 18);
      opened += Succeeded(outcome.open_result);
    }
  }
  std::printf("%d mutated files, %d opened\n", runs, opened);
  EXPECT_GE(runs, 600);
}

}  // namespace
}  // namespace vaskel
