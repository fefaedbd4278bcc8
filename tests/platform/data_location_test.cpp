// The programs' data files are found beside the executable (the build tree) and in the
// installed data folder relative to it, in that order.
#include "platform/data_location.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/support/temp_folder.h"

namespace vaskel {
namespace {

namespace fs = std::filesystem;

class DataLocationTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directories(prefix_ / "bin");
    fs::create_directories(InstalledFolder());
  }

  fs::path Executable() const { return prefix_ / "bin" / "vaskel"; }
  // Where an installation under prefix_ keeps the data (share/vaskel with the usual folders).
  fs::path InstalledFolder() const {
    return (prefix_ / "bin" / VASKEL_DATA_FROM_BINARY).lexically_normal();
  }
  static fs::path Write(const fs::path& file) {
    std::ofstream(file) << "data";
    return file;
  }

  testing::TempFolder folder_;
  const fs::path prefix_ = folder_.path();
};

TEST_F(DataLocationTest, InstalledFolderIsShareVaskelBesideBin) {
  EXPECT_EQ(InstalledFolder(), prefix_ / "share" / "vaskel");
  EXPECT_EQ(ProgramDataFolders(Executable()),
            (std::vector<fs::path>{prefix_ / "bin", prefix_ / "share" / "vaskel"}));
}

TEST_F(DataLocationTest, CataloguesAreInTheBuildTreesLocaleThenInShareLocale) {
  EXPECT_EQ(CatalogueFolders(Executable()),
            (std::vector<fs::path>{prefix_ / "locale", prefix_ / "share" / "locale"}));
  EXPECT_TRUE(CatalogueFolders({}).empty());
}

TEST_F(DataLocationTest, FindsTheFileInTheInstalledFolder) {
  const fs::path installed = Write(InstalledFolder() / "VaskelHelp.chm");
  EXPECT_EQ(FindProgramDataFile("VaskelHelp.chm", Executable()), installed);
  EXPECT_TRUE(FindProgramDataFile("tips.txt", Executable()).empty());
}

TEST_F(DataLocationTest, BesideTheProgramComesFirst) {
  Write(InstalledFolder() / "tips.txt");
  const fs::path beside = Write(prefix_ / "bin" / "tips.txt");
  EXPECT_EQ(FindProgramDataFile("tips.txt", Executable()), beside);
}

TEST_F(DataLocationTest, TakesOnlyFiles) {
  fs::create_directories(prefix_ / "bin" / "tips.txt");
  EXPECT_TRUE(FindProgramDataFile("tips.txt", Executable()).empty());
  const fs::path installed = Write(InstalledFolder() / "tips.txt");
  EXPECT_EQ(FindProgramDataFile("tips.txt", Executable()), installed);
}

TEST_F(DataLocationTest, NothingWithoutAnExecutableOrAName) {
  Write(prefix_ / "bin" / "tips.txt");
  EXPECT_TRUE(ProgramDataFolders({}).empty());
  EXPECT_TRUE(FindProgramDataFile("tips.txt", {}).empty());
  EXPECT_TRUE(FindProgramDataFile("", Executable()).empty());
}

TEST(RunningExecutableTest, IsThisTestProgram) {
  const fs::path executable = RunningExecutable();
  EXPECT_TRUE(executable.is_absolute());
  EXPECT_EQ(executable.filename(), "platform_tests");
  EXPECT_TRUE(fs::is_regular_file(executable));
}

}  // namespace
}  // namespace vaskel
