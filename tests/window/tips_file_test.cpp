// Reading the tips file: which lines are tips, long lines, wrapping, positions, time stamps,
// files without tips or without a working rewind, and where the file is looked for.
#include "app/tips_file.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/temp_folder.h"

namespace vaskel {
namespace {

namespace fs = std::filesystem;

class TipsFileTest : public ::testing::Test {
 protected:
  fs::path Write(const std::string& bytes, const std::string& name = "tips.txt") const {
    const fs::path path = folder_ / name;
    std::ofstream(path, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return path;
  }

  // The tips of `count` reads, counting rewind failures.
  std::vector<std::string> Read(TipsFile& file, int count) {
    std::vector<std::string> tips;
    for (int i = 0; i < count; ++i) {
      std::string tip;
      if (file.ReadNextTip(tip, [this] { ++rewind_failures_; }) != TipsFile::ReadResult::kTip) {
        tips.push_back("<none>");
      } else {
        tips.push_back(tip);
      }
    }
    return tips;
  }

  testing::TempFolder temp_;
  const fs::path folder_ = temp_.path();
  int rewind_failures_ = 0;
};

TEST_F(TipsFileTest, SkipsCommentsEmptyAndIndentedLinesAndWrapsToTheTop) {
  TipsFile file(
      Write("; comment\n\n  indented\n\ttabbed\nFirst tip\r\n\r\nSecond & tip\n;x\n"
            "Third tip without a line feed"));
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(Read(file, 4),
            (std::vector<std::string>{"First tip\n", "Second & tip\n",
                                      "Third tip without a line feed", "First tip\n"}));
  EXPECT_EQ(rewind_failures_, 0);
}

// ctime's fixed form: "Www Mmm dd hh:mm:ss yyyy", the day padded with a space.
bool HasCtimeForm(const std::string& stamp) {
  const std::string_view days = "SunMonTueWedThuFriSat";
  const std::string_view months = "JanFebMarAprMayJunJulAugSepOctNovDec";
  const auto is_name_in = [&](std::string_view names, std::size_t at) {
    const std::size_t found = names.find(stamp.substr(at, 3));
    return found != std::string_view::npos && found % 3 == 0;
  };
  const auto digits = [&](std::size_t at, std::size_t count) {
    return std::all_of(stamp.begin() + at, stamp.begin() + at + count,
                       [](char c) { return c >= '0' && c <= '9'; });
  };
  return stamp.size() == 24 && is_name_in(days, 0) && stamp[3] == ' ' && is_name_in(months, 4) &&
         stamp[7] == ' ' && (stamp[8] == ' ' || digits(8, 1)) && digits(9, 1) && stamp[10] == ' ' &&
         digits(11, 2) && stamp[13] == ':' && digits(14, 2) && stamp[16] == ':' && digits(17, 2) &&
         stamp[19] == ' ' && digits(20, 4);
}

TEST_F(TipsFileTest, TimeStampHasCtimesFixedFormInThisYear) {
  const std::string stamp = TipsFile(Write("Tip\n")).TimeStamp();
  EXPECT_TRUE(HasCtimeForm(stamp)) << "[" << stamp << "]";
  const std::time_t now = std::time(nullptr);
  EXPECT_EQ(stamp.substr(stamp.size() - 4), std::to_string(std::localtime(&now)->tm_year + 1900));
}

TEST_F(TipsFileTest, LinesLongerThan999BytesGoOnAsTheNextLine) {
  const std::string long_line = std::string(999, 'a') + std::string(201, 'b') + "\n";
  const std::string commented_rest = std::string(999, 'c') + ";rest\n";
  TipsFile file(Write(long_line + commented_rest + "Short\n"));
  const std::vector<std::string> tips = Read(file, 4);
  EXPECT_EQ(tips[0], std::string(999, 'a'));
  EXPECT_EQ(tips[1], std::string(201, 'b') + "\n");
  EXPECT_EQ(tips[2], std::string(999, 'c'));  // its rest starts with ';'
  EXPECT_EQ(tips[3], "Short\n");
}

TEST_F(TipsFileTest, PositionsAreByteOffsetsAndSeeksTakeThemAsSigned32Bit) {
  TipsFile file(Write(";\nOne\nTwo\n"));
  std::string tip;
  ASSERT_EQ(file.ReadNextTip(tip, {}), TipsFile::ReadResult::kTip);
  EXPECT_EQ(file.Position(), 6);
  ASSERT_TRUE(file.SeekTo(6));
  EXPECT_EQ(Read(file, 1), std::vector<std::string>{"Two\n"});
  // Inside a line: the rest of it is the next tip.
  ASSERT_TRUE(file.SeekTo(7));
  EXPECT_EQ(Read(file, 1), std::vector<std::string>{"wo\n"});
  ASSERT_TRUE(file.SeekTo(1000));  // past the end: the next read wraps
  EXPECT_EQ(Read(file, 1), std::vector<std::string>{"One\n"});
  EXPECT_FALSE(file.SeekTo(2147483648u));
  EXPECT_FALSE(file.SeekTo(4294967295u));
  EXPECT_TRUE(file.SeekTo(2147483647u));
}

TEST_F(TipsFileTest, FilesWithoutTipsAreReadThroughOnceAndNoMore) {
  for (const char* contents : {"", "\n\n", "; only\n; comments\n  and\n\tindents\n", "\r\n"}) {
    TipsFile file(Write(contents));
    std::string tip = "stale";
    EXPECT_EQ(file.ReadNextTip(tip, {}), TipsFile::ReadResult::kNoTip) << contents;
    EXPECT_EQ(tip, "");
    EXPECT_EQ(file.ReadNextTip(tip, {}), TipsFile::ReadResult::kNoTip) << contents;
  }
  TipsFile folder(folder_);  // a folder opens, but reading it fails
  if (folder.IsOpen()) {
    std::string tip;
    EXPECT_EQ(folder.ReadNextTip(tip, {}), TipsFile::ReadResult::kUnreadable);
  }
  TipsFile missing(folder_ / "missing.txt");
  EXPECT_FALSE(missing.IsOpen());
  EXPECT_EQ(missing.Position(), -1);
  EXPECT_EQ(missing.TimeStamp(), "");
}

#ifndef _WIN32  // a named pipe
TEST_F(TipsFileTest, ARewindThatFailsIsReportedOnceAndEndsTheSearch) {
  // A pipe cannot be rewound. The writer end opens first, so opening the reader does not wait.
  const fs::path pipe_path = folder_ / "pipe";
  ASSERT_EQ(::mkfifo(pipe_path.c_str(), 0600), 0);
  const int writer = ::open(pipe_path.c_str(), O_RDWR);
  ASSERT_GE(writer, 0);
  const std::string contents = "; comment\nOnly tip\n";
  ASSERT_EQ(::write(writer, contents.data(), contents.size()),
            static_cast<ssize_t>(contents.size()));
  TipsFile file(pipe_path);
  ::close(writer);
  ASSERT_TRUE(file.IsOpen());
  EXPECT_EQ(Read(file, 2), (std::vector<std::string>{"Only tip\n", "<none>"}));
  EXPECT_EQ(rewind_failures_, 1);
}

#endif

TEST_F(TipsFileTest, LookedForInTheCurrentDirectoryThenBesideTheProgram) {
  const fs::path program_folder = folder_ / "bin";
  const fs::path work = folder_ / "work";
  fs::create_directories(program_folder);
  fs::create_directories(work / "tips.txt");  // a folder of that name does not count
  const fs::path previous = fs::current_path();
  fs::current_path(work);
  const fs::path program = program_folder / "vaskel";
  EXPECT_EQ(FindTipsFile(program), fs::path());
  Write("x\n", "bin/tips.txt");
  EXPECT_EQ(FindTipsFile(program), program_folder / "tips.txt");
  fs::remove(work / "tips.txt");
  Write("y\n", "work/tips.txt");
  EXPECT_EQ(FindTipsFile(program), work / "tips.txt");
  fs::current_path(previous);
}

TEST(ReplaceInvalidUtf8Test, KeepsWellFormedTextAndReplacesEveryStrayByte) {
  EXPECT_EQ(ReplaceInvalidUtf8("plain, é, 😀, 中"), "plain, é, 😀, 中");
  const std::string cut = std::string("ab") + "\xE4\xB8";  // a line cut inside a character
  EXPECT_EQ(ReplaceInvalidUtf8(cut), "ab\xEF\xBF\xBD\xEF\xBF\xBD");
  EXPECT_EQ(ReplaceInvalidUtf8("caf\xE9!"), "caf\xEF\xBF\xBD!");          // Latin-1
  EXPECT_EQ(ReplaceInvalidUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // overlong '/'
  EXPECT_EQ(ReplaceInvalidUtf8("\xED\xA0\x80"),
            "\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD");              // a surrogate
  EXPECT_EQ(ReplaceInvalidUtf8("\xF4\x90\x80\x80").size(), 12u);  // above U+10FFFF
}

}  // namespace
}  // namespace vaskel
