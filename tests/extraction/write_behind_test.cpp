// Extraction with the disk work done behind the reading, on a thread of its own: the same files,
// and failures still reported for the first file in order, with nothing written after it.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>

#include "storage/entry_extraction.h"
#include "tests/extraction/extraction_test_support.h"
#include "tests/support/fake_storage.h"

namespace vaskel {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::FakeStorage;
using testing::FakeStreamData;
using ::testing::HasSubstr;
using testing::PatternBytes;
using testing::ReadBytes;
using testing::ReadText;
using testing::TreeOf;

using Writing = ExtractionSession::Writing;

class WriteBehindTest : public ::testing::Test {
 protected:
  // Extracts "file<i>" for i in [0, count), each in folder "d<i % 3>/", and finishes.
  void ExtractNumbered(int count, ExtractionSession& session, const std::string& folder) {
    for (int i = 0; i < count; ++i) {
      const std::string name = "file" + std::to_string(i);
      session.PrepareFolders(folder, "d" + std::to_string(i % 3) + "/");
      engine.ExtractEntry(&storage, "d" + std::to_string(i % 3) + "/", name, folder, true,
                          &session);
    }
    session.Finish();
  }

  void AddNumbered(int count) {
    for (int i = 0; i < count; ++i) {
      // Sizes from empty to several gathered writes, so every buffer path is taken.
      const std::size_t size = i % 7 == 0 ? 0 : static_cast<std::size_t>(i) * 9973 % 300000;
      const std::string digits = std::to_string(i);
      storage.Add(u"file" + std::u16string(digits.begin(), digits.end()),
                  FakeStreamData{PatternBytes(size, static_cast<std::uint32_t>(i))});
    }
  }

  StorageEngine engine;
  FakeStorage storage;
  testing::TempFolder in_call_out;
  testing::TempFolder behind_out;
};

TEST_F(WriteBehindTest, WritesTheSameTreeAsWritingInTheCall) {
  AddNumbered(200);
  ExtractionSession in_call(Writing::kInCall);
  ExtractionSession behind(Writing::kBehind);
  ExtractNumbered(200, in_call, in_call_out.str());
  ExtractNumbered(200, behind, behind_out.str());

  const auto tree = TreeOf(behind_out.path());
  ASSERT_EQ(tree, TreeOf(in_call_out.path()));
  ASSERT_EQ(tree.size(), 203u);
  for (const std::string& path : tree) {
    if (path.back() == '/') continue;
    EXPECT_EQ(ReadBytes(behind_out.path() / path), ReadBytes(in_call_out.path() / path)) << path;
  }
  EXPECT_EQ(behind.FilesCompleted(), 200u);
  EXPECT_EQ(behind.BytesCompleted(), in_call.BytesCompleted());
  EXPECT_EQ(storage.open_streams, 0);
}

TEST_F(WriteBehindTest, BuffersThatFillTheRingExactlyAreNotOverwritten) {
  // Streams of whole buffers make the waiting bytes meet the oldest ones exactly; every file
  // is different so that an overwrite shows.
  for (int i = 0; i < 30; ++i) {
    const std::size_t size = static_cast<std::size_t>(1 + i % 4) * 256 * 1024 - (i % 2) * 4096;
    const std::string digits = std::to_string(i);
    storage.Add(u"f" + std::u16string(digits.begin(), digits.end()),
                FakeStreamData{PatternBytes(size, static_cast<std::uint32_t>(1000 + i))});
  }
  ExtractionSession session(Writing::kBehind);
  for (int i = 0; i < 30; ++i)
    engine.ExtractEntry(&storage, "", "f" + std::to_string(i), behind_out.str(), true, &session);
  session.Finish();
  for (int i = 0; i < 30; ++i) {
    const std::size_t size = static_cast<std::size_t>(1 + i % 4) * 256 * 1024 - (i % 2) * 4096;
    EXPECT_TRUE(ReadBytes(behind_out.path() / ("f" + std::to_string(i))) ==
                PatternBytes(size, static_cast<std::uint32_t>(1000 + i)))
        << "file " << i;
  }
}

TEST_F(WriteBehindTest, ReportsTheFirstFailureInOrderAndWritesNothingAfterIt) {
  AddNumbered(300);
  // A folder in the way of file 100: its creation fails on the writer's side.
  fs::create_directories(behind_out.path() / "d1" / "file100");
  ExtractionSession session(Writing::kBehind);
  int calls = 0;
  try {
    for (int i = 0; i < 300; ++i, ++calls) {
      engine.ExtractEntry(&storage, "d" + std::to_string(i % 3) + "/", "file" + std::to_string(i),
                          behind_out.str(), true, &session);
    }
    session.Finish();
    FAIL() << "no failure reported";
  } catch (const ExtractionError& error) {
    EXPECT_EQ(error.Destination(), behind_out.str() + "/d1/file100");
    EXPECT_EQ(error.OsError(), EISDIR);
  }
  EXPECT_GE(calls, 100);  // reported by a later call or by Finish, never before its own call
  EXPECT_EQ(session.FilesCompleted(), 100u);
  for (int i = 0; i < 300; ++i) {
    const fs::path file =
        behind_out.path() / ("d" + std::to_string(i % 3)) / ("file" + std::to_string(i));
    EXPECT_EQ(fs::is_regular_file(file), i < 100) << file;
  }
  // The failure stays reported.
  EXPECT_THROW(session.Finish(), ExtractionError);
}

TEST_F(WriteBehindTest, DamagedStreamIsReportedByEntryAndRemoved) {
  storage.Add(u"good", "fine");
  storage.Add(u"broken", FakeStreamData{PatternBytes(600000, 1), 500000});
  ExtractionSession session(Writing::kBehind);
  engine.ExtractEntry(&storage, "", "good", behind_out.str(), true, &session);
  try {
    engine.ExtractEntry(&storage, "a/", "broken", behind_out.str(), true, &session);
    FAIL() << "no failure reported";
  } catch (const ExtractionError& error) {
    EXPECT_EQ(error.Entry(), "a/broken");
    EXPECT_THAT(error.what(), HasSubstr("damaged"));
  }
  EXPECT_EQ(session.FilesCompleted(), 1u);
  EXPECT_EQ(ReadText(behind_out.path() / "good"), "fine");
  EXPECT_THAT(TreeOf(behind_out.path()), ElementsAre("a/", "good"));
}

TEST_F(WriteBehindTest, AnEarlierWriteFailureWinsOverALaterRefusal) {
  storage.Add(u"x", "data");
  fs::create_directory(behind_out.path() / "x");  // in the way of the first file
  ExtractionSession session(Writing::kBehind);
  engine.ExtractEntry(&storage, "", "x", behind_out.str(), true, &session);
  try {
    engine.ExtractEntry(&storage, "../", "x", behind_out.str(), true, &session);
    FAIL() << "no failure reported";
  } catch (const ExtractionError& error) {
    EXPECT_EQ(error.Destination(), behind_out.str() + "/x");
    EXPECT_EQ(error.OsError(), EISDIR);
  }
}

TEST_F(WriteBehindTest, FolderFailuresAreReportedToo) {
  testing::WriteText(behind_out.path() / "a", "a file in the way");
  ExtractionSession session(Writing::kBehind);
  session.PrepareFolders(behind_out.str(), "a/b/");
  try {
    session.Finish();
    FAIL() << "no failure reported";
  } catch (const ExtractionError& error) {
    EXPECT_EQ(error.Destination(), behind_out.str() + "/a");
    EXPECT_EQ(error.OsError(), ENOTDIR);
  }
}

}  // namespace
}  // namespace vaskel
