// The bundled sample: built from res/sample/ at build time, identical on every run.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/writer/writer_test_support.h"

namespace vaskel::chmwriter::test_support {
namespace {

namespace fs = std::filesystem;

const fs::path kSources = fs::path(VASKEL_SOURCE_DIR) / "res" / "sample";
const fs::path kBuiltSample = fs::path(VASKEL_BINARY_DIR) / "res" / "vaskel-sample.chm";
const fs::path kWriteTool = fs::path(VASKEL_BINARY_DIR) / "tools" / "vaskel-chm-write";

TEST(WriterSample, BuiltSampleHoldsEverySourceFile) {
  if (!fs::exists(kBuiltSample)) GTEST_SKIP() << "sample not built: " << kBuiltSample;
  if (!HaveProgram("7zz")) GTEST_SKIP() << "7zz not installed";
  TempFolder temp;
  const RunResult result =
      RunProgram({"7zz", "x", "-y", "-o" + temp.path().string(), kBuiltSample.string()});
  ASSERT_TRUE(result.exited_ok) << result.output;
  const Tree extracted = ReadTree(temp.path());
  const Tree sources = ReadTree(kSources);
  EXPECT_EQ(Names(extracted), Names(sources));
  EXPECT_TRUE(extracted.files == sources.files);
  EXPECT_GE(sources.files.size(), 6u);
}

TEST(WriterSample, ToolWritesTheSameBytesOnEveryRun) {
  if (!fs::exists(kWriteTool)) GTEST_SKIP() << "tool not built: " << kWriteTool;
  TempFolder temp;
  const fs::path first = temp.path() / "first.chm";
  const fs::path second = temp.path() / "second.chm";
  for (const fs::path& out : {first, second}) {
    const RunResult result = RunProgram({kWriteTool.string(), out.string(), kSources.string()});
    ASSERT_TRUE(result.exited_ok) << result.output;
  }
  EXPECT_TRUE(ReadBytes(first) == ReadBytes(second));
  if (fs::exists(kBuiltSample)) {
    EXPECT_TRUE(ReadBytes(first) == ReadBytes(kBuiltSample));
  }
  EXPECT_FALSE(RunProgram({kWriteTool.string(), first.string()}).exited_ok);
  EXPECT_FALSE(RunProgram({kWriteTool.string(), first.string(), (temp.path() / "missing").string()})
                   .exited_ok);
}

}  // namespace
}  // namespace vaskel::chmwriter::test_support
