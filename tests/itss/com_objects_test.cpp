// The structured-storage contract as the program relies on it: open failures, enumeration,
// lookup by exact name, sequential reads, and object lifetimes.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "platform/itss/itss_component.h"
#include "tests/itss/itss_test_support.h"
#include "tools/chmwriter/chm_writer.h"

namespace vaskel::itss::testing {
namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> Text(const std::string& text) { return {text.begin(), text.end()}; }

std::vector<std::uint8_t> SampleFile() {
  return chmwriter::WriteChm({{"/a.txt", Text("alpha"), 1},
                              {"/b.txt", PatternBytes(10000, 7), 0},
                              {"/sub/c.txt", Text("gamma"), 1},
                              {"/sub/d/", {}, 0}});
}

// How many of this process's descriptors refer to `path`.
int OpenDescriptorsFor(const fs::path& path) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    if (fs::read_symlink(entry.path(), error) == path) ++count;
  }
  return count;
}

TEST(OpenStorage, FailuresLeaveTheResultNull) {
  TempDir dir;
  WriteFile(dir.path() / "empty.chm", {});
  WriteFile(dir.path() / "text.chm", Text(std::string(300, 'x')));
  const struct {
    fs::path path;
    HRESULT expected;
  } cases[] = {
      {dir.path() / "missing.chm", STG_E_FILENOTFOUND},
      {dir.path() / "missing-folder" / "x.chm", STG_E_FILENOTFOUND},
      {dir.path(), STG_E_FILENOTFOUND},  // a folder
      {dir.path() / "empty.chm", STG_E_INVALIDHEADER},
      {dir.path() / "text.chm", STG_E_INVALIDHEADER},
  };
  ComPtr<IITStorage> component;
  ASSERT_EQ(CreateItssComponent(component.Put()), S_OK);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.path);
    IStorage* root = reinterpret_cast<IStorage*>(0x1);
    EXPECT_EQ(component->StgOpenStorage(ToUtf16(c.path.string()).c_str(), nullptr,
                                        STGM_SHARE_DENY_WRITE, nullptr, 0, &root),
              c.expected);
    EXPECT_EQ(root, nullptr);
  }
  IStorage* root = reinterpret_cast<IStorage*>(0x1);
  EXPECT_LT(component->StgOpenStorage(u"bad\xD800surrogate", nullptr, 0, nullptr, 0, &root), 0);
  EXPECT_EQ(root, nullptr);
}

TEST(OpenStorage, NonAsciiPathOpens) {
  TempDir dir;
  const fs::path path = dir.path() / "Hilfe \xC3\xBC\xE6\x97\xA5.chm";
  WriteFile(path, SampleFile());
  HRESULT hr = E_FAIL;
  EXPECT_TRUE(OpenChm(path, &hr));
  EXPECT_EQ(hr, S_OK);
}

TEST(Enumeration, DeliversChildrenThenSFalse) {
  TempDir dir;
  ComPtr<IStorage> root = OpenBytes(dir, SampleFile());
  ASSERT_TRUE(root);
  ComPtr<IEnumSTATSTG> elements;
  ASSERT_EQ(root->EnumElements(0, nullptr, 0, elements.Put()), S_OK);
  STATSTG stat;
  ASSERT_EQ(elements->Next(1, &stat, nullptr), S_OK);
  EXPECT_EQ(stat.pwcsName, u"a.txt");
  EXPECT_EQ(stat.type, STGTY_STREAM);
  EXPECT_EQ(stat.cbSize, 5u);
  STATSTG several[3];
  ULONG fetched = 0;
  EXPECT_EQ(elements->Next(3, several, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(several[0].pwcsName, u"b.txt");
  EXPECT_EQ(several[1].pwcsName, u"sub");
  EXPECT_EQ(several[1].type, STGTY_STORAGE);
  EXPECT_EQ(elements->Next(1, &stat, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(elements->Next(1, &stat, nullptr), S_FALSE);
}

TEST(Lookup, ByExactNameAndKind) {
  TempDir dir;
  ComPtr<IStorage> root = OpenBytes(dir, SampleFile());
  ASSERT_TRUE(root);
  ComPtr<IStorage> storage;
  ComPtr<IStream> stream;
  EXPECT_EQ(root->OpenStream(u"sub", nullptr, 0, 0, stream.Put()), STG_E_FILENOTFOUND);
  EXPECT_FALSE(stream);
  EXPECT_EQ(root->OpenStorage(u"a.txt", nullptr, 0, nullptr, 0, storage.Put()), STG_E_FILENOTFOUND);
  EXPECT_FALSE(storage);
  EXPECT_EQ(root->OpenStream(u"A.TXT", nullptr, 0, 0, stream.Put()), STG_E_FILENOTFOUND);
  EXPECT_EQ(root->OpenStream(u"c.txt", nullptr, 0, 0, stream.Put()), STG_E_FILENOTFOUND);
  EXPECT_EQ(root->OpenStream(u"sub/c.txt", nullptr, 0, 0, stream.Put()), STG_E_FILENOTFOUND);
  EXPECT_EQ(root->OpenStream(u"a.txt", nullptr, 0x2 /* read-write */, 0, stream.Put()),
            STG_E_ACCESSDENIED);
  EXPECT_EQ(root->OpenStorage(u"sub", nullptr, 0, nullptr, 0, storage.Put()), S_OK);
  EXPECT_EQ(storage->OpenStream(u"c.txt", nullptr, 0, 0, stream.Put()), S_OK);
  ComPtr<IStorage> empty_folder;
  EXPECT_EQ(storage->OpenStorage(u"d", nullptr, 0, nullptr, 0, empty_folder.Put()), S_OK);
  EXPECT_TRUE(WalkTree(empty_folder.Get()).empty());
}

TEST(Reading, SequentialWithShortReadOnlyAtTheEnd) {
  TempDir dir;
  ComPtr<IStorage> root = OpenBytes(dir, SampleFile());
  ASSERT_TRUE(root);
  ComPtr<IStream> stream = OpenStreamAt(root.Get(), "b.txt");
  ASSERT_TRUE(stream);
  STATSTG stat;
  ASSERT_EQ(stream->Stat(&stat), S_OK);
  EXPECT_EQ(stat.pwcsName, u"b.txt");
  EXPECT_EQ(stat.type, STGTY_STREAM);
  EXPECT_EQ(stat.cbSize, 10000u);

  const std::vector<std::uint8_t> expected = PatternBytes(10000, 7);
  std::vector<std::uint8_t> buffer(6000);
  ULONG got = 1;
  EXPECT_EQ(stream->Read(buffer.data(), 0, &got), S_OK);
  EXPECT_EQ(got, 0u);
  ASSERT_EQ(stream->Read(buffer.data(), 6000, &got), S_OK);
  EXPECT_EQ(got, 6000u);
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.end(), expected.begin()));
  ASSERT_EQ(stream->Read(buffer.data(), 4000, nullptr), S_OK);  // exactly to the end
  EXPECT_TRUE(std::equal(buffer.begin(), buffer.begin() + 4000, expected.begin() + 6000));
  EXPECT_EQ(stream->Read(buffer.data(), 6000, &got), S_OK);
  EXPECT_EQ(got, 0u);
}

TEST(Lifetime, ObjectsOutliveWhatCreatedThemAndTheFileClosesWithTheLast) {
  TempDir dir;
  const fs::path path = dir.path() / "life.chm";
  WriteFile(path, SampleFile());
  ComPtr<IStorage> sub;
  ComPtr<IStream> stream;
  {
    ComPtr<IStorage> root = OpenChm(path);
    ASSERT_TRUE(root);
    EXPECT_EQ(OpenDescriptorsFor(path), 1);
    ComPtr<IEnumSTATSTG> elements;
    ASSERT_EQ(root->EnumElements(0, nullptr, 0, elements.Put()), S_OK);
    STATSTG stat;
    while (elements->Next(1, &stat, nullptr) == S_OK && stat.type != STGTY_STORAGE) {
    }
    ASSERT_EQ(root->OpenStorage(stat.pwcsName.c_str(), nullptr, 0, nullptr, 0, sub.Put()), S_OK);
    stream = OpenStreamAt(root.Get(), "a.txt");
  }
  // Root and enumerator are gone; the child storage and the stream still work.
  EXPECT_EQ(ReadPath(sub.Get(), "c.txt").bytes, Text("gamma"));
  EXPECT_EQ(ReadAll(stream.Get()).bytes, Text("alpha"));
  EXPECT_EQ(OpenDescriptorsFor(path), 1);
  sub.Reset();
  EXPECT_EQ(OpenDescriptorsFor(path), 1);
  stream.Reset();
  EXPECT_EQ(OpenDescriptorsFor(path), 0);
}

TEST(Lifetime, UnsafeEntryCountIgnoresForeignStorages) { EXPECT_EQ(UnsafeEntryCount(nullptr), 0u); }

}  // namespace
}  // namespace vaskel::itss::testing
