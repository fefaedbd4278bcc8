#include "storage/entry_extraction.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <filesystem>
#include <functional>
#include <optional>

#include "storage/entry_files.h"
#include "storage/path_limit.h"
#include "tests/extraction/extraction_test_support.h"
#include "tests/support/fake_storage.h"

namespace vaskel {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using ::testing::Each;
using ::testing::ElementsAre;
using ::testing::Eq;
using testing::FakeStorage;
using testing::FakeStreamData;
using ::testing::HasSubstr;
using testing::PatternBytes;
using testing::ReadBytes;
using testing::ReadText;
using testing::TreeOf;

class EntryExtractionTest : public ::testing::Test {
 protected:
  // Runs ExtractEntry and hands back its failure; fails the test when nothing was thrown.
  ExtractionError ExpectFailure(std::string_view path, std::string_view name, bool use_path,
                                const std::string& folder) {
    try {
      engine.ExtractEntry(&storage, path, name, folder, use_path);
    } catch (const ExtractionError& error) {
      return error;
    }
    ADD_FAILURE() << "no ExtractionError for " << path << name;
    return ExtractionError("", "");
  }

  StorageEngine engine;
  FakeStorage storage;
  testing::TempFolder out;
};

TEST_F(EntryExtractionTest, WritesStreamsByteForByteWithReadsOf4096) {
  const Bytes big = PatternBytes(300 * 1024 + 7, 1);  // more than one gathered write
  storage.Add(u"5000", FakeStreamData{PatternBytes(5000, 2)});
  storage.Add(u"8192", FakeStreamData{PatternBytes(8192, 3)});
  storage.Add(u"big", FakeStreamData{big});

  const ExtractedEntry first = engine.ExtractEntry(&storage, "", "5000", out.str(), true);
  EXPECT_TRUE(first.written);
  EXPECT_EQ(first.bytes, 5000u);
  EXPECT_EQ(ReadBytes(out.path() / "5000"), PatternBytes(5000, 2));
  EXPECT_THAT(storage.read_sizes, ElementsAre(4096u, 4096u));  // 4096, then 904: done

  storage.read_sizes.clear();
  engine.ExtractEntry(&storage, "", "8192", out.str(), true);
  EXPECT_THAT(storage.read_sizes, ElementsAre(4096u, 4096u, 4096u));  // the last delivers 0
  EXPECT_EQ(ReadBytes(out.path() / "8192"), PatternBytes(8192, 3));

  storage.read_sizes.clear();
  EXPECT_EQ(engine.ExtractEntry(&storage, "", "big", out.str(), true).bytes, big.size());
  EXPECT_EQ(ReadBytes(out.path() / "big"), big);
  EXPECT_EQ(storage.read_sizes.size(), big.size() / 4096 + 1);
  EXPECT_THAT(storage.read_sizes, Each(Eq(4096u)));
  EXPECT_EQ(storage.open_streams, 0);  // every stream released
}

TEST_F(EntryExtractionTest, CreatesLevelsTopDownAndPassesOverExistingOnes) {
  storage.Add(u"page.html", "<p>");
  engine.ExtractEntry(&storage, "a/b/", "page.html", out.str(), true);
  EXPECT_THAT(TreeOf(out.path()), ElementsAre("a/", "a/b/", "a/b/page.html"));
  EXPECT_EQ(ReadText(out.path() / "a/b/page.html"), "<p>");

  // An existing level and its contents stay as they are; the missing one below is made.
  testing::TempFolder again;
  fs::create_directory(again.path() / "a");
  testing::WriteText(again.path() / "a" / "keep.txt", "mine");
  ExtractionSession session;
  engine.ExtractEntry(&storage, "a/c/", "page.html", again.str(), true, &session);
  EXPECT_THAT(TreeOf(again.path()), ElementsAre("a/", "a/c/", "a/c/page.html", "a/keep.txt"));
  EXPECT_EQ(ReadText(again.path() / "a/keep.txt"), "mine");

  // A session remembers made levels but notices when one has gone since.
  fs::remove_all(again.path() / "a");
  engine.ExtractEntry(&storage, "a/c/", "page.html", again.str(), true, &session);
  EXPECT_EQ(ReadText(again.path() / "a/c/page.html"), "<p>");

  // Top down: a file in the way of the first level is what gets reported.
  testing::WriteText(again.path() / "x", "file");
  const ExtractionError blocked = ExpectFailure("x/y/", "page.html", true, again.str());
  EXPECT_EQ(blocked.Destination(), again.str() + "/x");
  EXPECT_EQ(blocked.OsError(), ENOTDIR);
}

TEST_F(EntryExtractionTest, ReplacesExistingFilesAndMakesEmptyOnes) {
  testing::WriteText(out.path() / "page.html", std::string(10000, 'x'));
  storage.Add(u"page.html", "short");
  storage.Add(u"empty", "");
  engine.ExtractEntry(&storage, "", "page.html", out.str(), true);
  EXPECT_EQ(ReadText(out.path() / "page.html"), "short");

  const ExtractedEntry empty = engine.ExtractEntry(&storage, "", "empty", out.str(), true);
  EXPECT_TRUE(empty.written);
  EXPECT_EQ(empty.bytes, 0u);
  EXPECT_TRUE(fs::is_regular_file(out.path() / "empty"));
  EXPECT_EQ(fs::file_size(out.path() / "empty"), 0u);
}

TEST_F(EntryExtractionTest, SkipsStreamsThatCannotBeOpenedWithoutTouchingTheDisk) {
  const ExtractedEntry missing = engine.ExtractEntry(&storage, "a/", "missing", out.str(), true);
  EXPECT_FALSE(missing.written);
  EXPECT_TRUE(TreeOf(out.path()).empty());
  EXPECT_FALSE(engine.ExtractEntry(nullptr, "", "x", out.str(), true).written);
}

TEST_F(EntryExtractionTest, ReportsAnUnwritableDestinationEvenForAnEmptyStream) {
  storage.Add(u"empty", "");
  // A folder in the way of the file: refused whoever runs the test.
  fs::create_directory(out.path() / "empty");
  const ExtractionError in_the_way = ExpectFailure("", "empty", true, out.str());
  EXPECT_EQ(in_the_way.Destination(), out.str() + "/empty");
  EXPECT_EQ(in_the_way.OsError(), EISDIR);
  EXPECT_THAT(in_the_way.what(), HasSubstr(out.str() + "/empty: "));
  EXPECT_TRUE(in_the_way.Entry().empty());

  // A destination folder that does not exist.
  const ExtractionError no_folder = ExpectFailure("", "empty", true, out.str() + "/none");
  EXPECT_EQ(no_folder.OsError(), ENOENT);
  EXPECT_THAT(no_folder.what(), HasSubstr("No such file or directory"));
}

TEST_F(EntryExtractionTest, ReportsPermissionDeniedWithTheFullPath) {
  storage.Add(u"empty", "");
  fs::permissions(out.path(),
                  fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
  const fs::path locked = out.path() / "locked";
  fs::create_directory(locked);
  fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                              fs::perms::others_exec);
  // Permissions do not bind root, so root runs the checks as nobody in a child process.
  auto check = [&]() -> int {
    try {
      engine.ExtractEntry(&storage, "", "empty", locked.string(), false);
      return 1;
    } catch (const ExtractionError& error) {
      if (error.Destination() != locked.string() + "/empty" || error.OsError() != EACCES ||
          error.Reason().find("Permission denied") == std::string::npos)
        return 2;
    }
    try {
      engine.ExtractEntry(&storage, "sub/", "empty", locked.string(), true);
      return 3;
    } catch (const ExtractionError& error) {
      if (error.Destination() != locked.string() + "/sub") return 4;
    }
    return 0;
  };
  if (!testing::RunningAsRoot()) {
    EXPECT_EQ(check(), 0);
    return;
  }
  const pid_t child = ::fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) ::_exit(10);
    ::_exit(check());
  }
  int status = 0;
  ASSERT_EQ(::waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
}

TEST_F(EntryExtractionTest, DamagedStreamIsReportedByEntryAndItsPartialFileRemoved) {
  storage.Add(u"broken.bin", FakeStreamData{PatternBytes(20000, 4), 10000});
  storage.Add(u"at-once.bin", FakeStreamData{PatternBytes(100, 5), 0});
  storage.Add(u"short.bin", FakeStreamData{PatternBytes(5000, 6), UINT64_MAX, 9000});
  fs::create_directories(out.path() / "docs");
  testing::WriteText(out.path() / "docs" / "broken.bin", "an older copy");

  const ExtractionError broken = ExpectFailure("docs/", "broken.bin", true, out.str());
  EXPECT_EQ(broken.Entry(), "docs/broken.bin");
  EXPECT_EQ(broken.Destination(), out.str() + "/docs/broken.bin");
  EXPECT_THAT(broken.what(), HasSubstr("docs/broken.bin"));
  EXPECT_THAT(broken.what(), HasSubstr("damaged"));
  EXPECT_FALSE(fs::exists(out.path() / "docs" / "broken.bin"));
  EXPECT_EQ(storage.open_streams, 0);

  EXPECT_EQ(ExpectFailure("", "at-once.bin", false, out.str()).Entry(), "at-once.bin");
  EXPECT_FALSE(fs::exists(out.path() / "at-once.bin"));

  // A stream that stops short of its stated size without saying so.
  const ExtractionError cut = ExpectFailure("", "short.bin", true, out.str());
  EXPECT_THAT(cut.Reason(), HasSubstr("5000 of 9000"));
  EXPECT_FALSE(fs::exists(out.path() / "short.bin"));
  EXPECT_THAT(TreeOf(out.path()), ElementsAre("docs/"));
}

TEST_F(EntryExtractionTest, OverlongPathsAreRefusedBeforeAnythingIsMade) {
  storage.Add(u"x", "data");
  const std::string name(200, 'n');
  storage.Add(std::u16string(200, u'n'), "data");
  // Enough levels of 200 bytes to pass the limit together though each fits alone.
  std::string levels;
  while (out.str().size() + levels.size() < kPlatformPathLimit)
    levels += std::string(200, 'l') + "/";
  const ExtractionError too_deep = ExpectFailure(levels, name, true, out.str());
  EXPECT_EQ(too_deep.OsError(), ENAMETOOLONG);
  EXPECT_EQ(too_deep.Destination(), out.str() + "/" + levels + name);
  EXPECT_TRUE(TreeOf(out.path()).empty());

  const std::string long_folder = out.str() + "/" + std::string(kPlatformPathLimit, 'd');
  const ExtractionError too_long = ExpectFailure("", "x", true, long_folder);
  EXPECT_EQ(too_long.Destination(), long_folder);
  EXPECT_THAT(too_long.Reason(), HasSubstr("limit"));
  EXPECT_TRUE(TreeOf(out.path()).empty());
}

TEST_F(EntryExtractionTest, SessionNoticesALevelSwappedForALinkAfterItWasChecked) {
  testing::TempFolder elsewhere;
  testing::WriteText(elsewhere.path() / "victim", "precious");
  storage.Add(u"victim", "overwritten");
  ExtractionSession session;
  engine.ExtractEntry(&storage, "b/", "victim", out.str(), true, &session);
  fs::remove_all(out.path() / "b");
  fs::create_directory_symlink(elsewhere.path(), out.path() / "b");
  EXPECT_THROW(engine.ExtractEntry(&storage, "b/", "victim", out.str(), true, &session),
               ExtractionError);
  EXPECT_EQ(ReadText(elsewhere.path() / "victim"), "precious");
}

// Runs `check` in a child process and gives back its exit code.
int ExitCodeOfChild(const std::function<int()>& check) {
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) ::_exit(check());
  int status = 0;
  if (::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// The two ways stored files reach the disk: one entry at a time by ExtractEntry (the page
// preview), and a job's entries by EntryFiles (Unpack, Run, drags, the command line).
enum class Way { kOneEntry, kJob };

class DiskRulesTest : public EntryExtractionTest, public ::testing::WithParamInterface<Way> {
 protected:
  // Writes the stream `name` below `out` with its folders; its failure, if any.
  std::optional<ExtractionError> Write(const std::string& path, const std::string& name) {
    try {
      if (GetParam() == Way::kOneEntry) {
        engine.ExtractEntry(&storage, path, name, out.str(), true);
      } else {
        ExtractionJob job({{ComPtr<IStorage>::Share(&storage), path, name}});
        EntryFiles files(job.Entries(), out.str(), true);
        job.Run(files);
      }
    } catch (const ExtractionError& error) {
      return error;
    }
    return std::nullopt;
  }
  int Refused(const std::string& path, const std::string& name) {
    const std::optional<ExtractionError> failure = Write(path, name);
    EXPECT_TRUE(failure) << path << name;
    return failure ? failure->OsError() : 0;
  }
};

TEST_P(DiskRulesTest, PartlyWrittenFilesAreRemovedWhateverEndsThem) {
  // Damaged data after 458752 bytes are written (64 KiB reads) or 262144 (4 KiB reads).
  storage.Add(u"damaged.bin", FakeStreamData{PatternBytes(600000, 1), 500000});
  testing::WriteText(out.path() / "damaged.bin", "an older copy");
  const std::optional<ExtractionError> damaged = Write("", "damaged.bin");
  ASSERT_TRUE(damaged);
  EXPECT_EQ(damaged->Entry(), "damaged.bin");
  EXPECT_EQ(damaged->Destination(), out.str() + "/damaged.bin");

  // The disk refuses a write part-way: a file size limit stands in for a full disk, in a child
  // so that it binds nothing else.
  storage.Add(u"big.bin", FakeStreamData{PatternBytes(600000, 2)});
  EXPECT_EQ(ExitCodeOfChild([&] {
              std::signal(SIGXFSZ, SIG_IGN);
              const rlimit limit{100000, 100000};
              if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) return 10;
              const std::optional<ExtractionError> refused = Write("", "big.bin");
              if (!refused || refused->OsError() != EFBIG) return 1;
              return refused->Destination() == out.str() + "/big.bin" ? 0 : 2;
            }),
            0);
  EXPECT_TRUE(TreeOf(out.path()).empty());
}

TEST_P(DiskRulesTest, NothingIsWrittenOutsideTheDestination) {
  testing::TempFolder elsewhere;
  testing::WriteText(elsewhere.path() / "victim", "precious");
  fs::create_directory_symlink(elsewhere.path(), out.path() / "a");
  fs::create_symlink(elsewhere.path() / "victim", out.path() / "victim");
  storage.Add(u"victim", "overwritten");
  storage.Add(u"..", "overwritten");
  EXPECT_EQ(Refused("a/", "victim"), ELOOP);
  EXPECT_EQ(Refused("", "victim"), ELOOP);
  EXPECT_EQ(Refused("../", "victim"), EINVAL);
  EXPECT_EQ(Refused("", ".."), EINVAL);
  EXPECT_EQ(ReadText(elsewhere.path() / "victim"), "precious");
  EXPECT_THAT(TreeOf(elsewhere.path()), ElementsAre("victim"));
  EXPECT_EQ(std::distance(fs::directory_iterator(out.path()), fs::directory_iterator()), 2);
}

INSTANTIATE_TEST_SUITE_P(Ways, DiskRulesTest, ::testing::Values(Way::kOneEntry, Way::kJob),
                         [](const auto& info) {
                           return info.param == Way::kOneEntry ? std::string("OneEntry")
                                                               : std::string("Job");
                         });

}  // namespace
}  // namespace vaskel
