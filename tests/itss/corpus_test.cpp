// Real help files: what is presented and every byte read must match 7-Zip's view of the file.
#include "tests/support/corpus.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>
#include <set>

#include "platform/itss/itss_component.h"
#include "tests/itss/itss_test_support.h"

namespace vaskel::itss::testing {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> CorpusFiles(const std::string& folder) {
  std::set<fs::path> files;
  for (const auto& entry : fs::directory_iterator(CorpusPath(folder))) files.insert(entry.path());
  return {files.begin(), files.end()};
}

TEST(Corpus, PresentedTreeMatchesSevenZipForEveryRealFile) {
  VASKEL_SKIP_WITHOUT_CORPUS();
  if (!HaveSevenZip()) GTEST_SKIP() << "7zz not installed";
  for (const fs::path& file : CorpusFiles("real")) {
    SCOPED_TRACE(file.filename().string());
    HRESULT hr = E_FAIL;
    ComPtr<IStorage> root = OpenChm(file, &hr);
    ASSERT_EQ(hr, S_OK);
    EXPECT_EQ(UnsafeEntryCount(root.Get()), 0u);
    std::map<std::string, std::uint64_t> streams;
    std::set<std::string> storages;
    for (const PresentedItem& item : WalkTree(root.Get())) {
      const bool unique = item.is_storage ? storages.insert(item.path).second
                                          : streams.emplace(item.path, item.size).second;
      EXPECT_TRUE(unique) << item.path;
    }

    const auto listed = SevenZipList(file);
    ASSERT_TRUE(listed.has_value());
    std::map<std::string, std::uint64_t> expected_streams;
    std::set<std::string> expected_storages;
    for (const ListedItem& item : *listed) {
      if (item.is_folder) {
        expected_storages.insert(item.path);
      } else {
        expected_streams.emplace(item.path, item.size);
      }
      // Folders 7-Zip does not list on their own are implied by the paths below them.
      for (std::size_t slash = item.path.find('/'); slash != std::string::npos;
           slash = item.path.find('/', slash + 1)) {
        expected_storages.insert(item.path.substr(0, slash));
      }
    }
    EXPECT_EQ(streams, expected_streams);
    EXPECT_EQ(storages, expected_storages);
  }
}

TEST(Corpus, LclPresentsEveryListingChunk) {
  VASKEL_SKIP_WITHOUT_CORPUS();
  // Its header names the wrong first listing chunk and its index chunks sit between the listing
  // chunks; a reader that trusts either loses 104 files.
  ComPtr<IStorage> root = OpenChm(CorpusPath("real/lcl.chm"));
  ASSERT_TRUE(root);
  std::set<std::string> streams;
  for (const PresentedItem& item : WalkTree(root.Get())) {
    if (!item.is_storage) streams.insert(item.path);
  }
  EXPECT_EQ(streams.size(), 20219u);
  EXPECT_TRUE(streams.contains("#SYSTEM"));
  EXPECT_TRUE(streams.contains("$FIftiMain"));
}

class CorpusBytes : public ::testing::TestWithParam<const char*> {};

TEST_P(CorpusBytes, EveryStreamMatchesSevenZipExtraction) {
  VASKEL_SKIP_WITHOUT_CORPUS();
  if (!HaveSevenZip()) GTEST_SKIP() << "7zz not installed";
  const fs::path file = CorpusPath(std::string("real/") + GetParam());
  TempFolder extracted;
  ASSERT_TRUE(SevenZipExtract(file, extracted.path()));
  ComPtr<IStorage> root = OpenChm(file);
  ASSERT_TRUE(root);
  std::size_t compared = 0;
  for (const PresentedItem& item : WalkTree(root.Get())) {
    if (item.is_storage) continue;
    SCOPED_TRACE(item.path);
    // The program's read size, alternating with a large one.
    const ReadOutcome outcome = ReadPath(root.Get(), item.path, compared++ % 2 ? 65536 : 4096);
    ASSERT_EQ(outcome.result, S_OK);
    ASSERT_EQ(outcome.bytes.size(), item.size);
    std::ifstream in(extracted.path() / item.path, std::ios::binary);
    ASSERT_TRUE(outcome.bytes == Bytes(std::istreambuf_iterator<char>(in), {}));
  }
  EXPECT_GT(compared, 0u);
}

INSTANTIATE_TEST_SUITE_P(RealFiles, CorpusBytes,
                         ::testing::Values("tcpip.CHM", "admin.chm", "OpenMCDF.chm", "lcl.chm"),
                         [](const auto& info) {
                           const std::string name = info.param;
                           return name.substr(0, name.find('.'));
                         });

TEST(Corpus, MalformedFilesOpenEnumerateAndReadWithoutHarm) {
  VASKEL_SKIP_WITHOUT_CORPUS();
  for (const fs::path& file : CorpusFiles("malformed")) {
    SCOPED_TRACE(file.filename().string());
    HRESULT hr = S_OK;
    ComPtr<IStorage> root = OpenChm(file, &hr);
    EXPECT_EQ(Succeeded(hr), static_cast<bool>(root));
    if (!root) continue;
    for (const PresentedItem& item : WalkTree(root.Get())) {
      if (item.is_storage) continue;
      const ReadOutcome outcome = ReadPath(root.Get(), item.path);
      EXPECT_TRUE(Failed(outcome.result) || outcome.bytes.size() == item.size);
    }
  }
}

}  // namespace
}  // namespace vaskel::itss::testing
