// The structured-storage contract as the program relies on it: open failures, enumeration,
// lookup by exact name, sequential reads, and object lifetimes.
#include <gtest/gtest.h>

#include <filesystem>

#include "platform/itss/itss_component.h"
#include "tests/itss/itss_test_support.h"
#include "tools/chmwriter/chm_writer.h"

namespace vaskel::itss::testing {
namespace {

namespace fs = std::filesystem;

Bytes Text(const std::string& text) { return {text.begin(), text.end()}; }

Bytes SampleFile() {
  return chmwriter::WriteChm({{"/a.txt", Text("alpha"), 1},
                              {"/b.txt", PatternBytes(10000, 7), 0},
                              {"/sub/c.txt", Text("gamma"), 1},
                              {"/sub/d/", {}, 0}});
}

TEST(OpenStorage, FailuresLeaveTheResultNull) {
  TempFolder dir;
  WriteBytes(dir.path() / "empty.chm", {});
  WriteBytes(dir.path() / "text.chm", Text(std::string(300, 'x')));
  const std::pair<fs::path, HRESULT> cases[] = {
      {dir.path() / "missing.chm", STG_E_FILENOTFOUND},
      {dir.path() / "missing-folder" / "x.chm", STG_E_FILENOTFOUND},
      {dir.path(), STG_E_FILENOTFOUND},  // a folder
      {dir.path() / "empty.chm", STG_E_INVALIDHEADER},
      {dir.path() / "text.chm", STG_E_INVALIDHEADER},
  };
  for (const auto& [path, expected] : cases) {
    HRESULT hr = S_OK;
    EXPECT_FALSE(OpenChm(path, &hr)) << path;
    EXPECT_EQ(hr, expected) << path;
  }
  ComPtr<IITStorage> component;
  ASSERT_EQ(CreateItssComponent(component.Put()), S_OK);
  IStorage* root = reinterpret_cast<IStorage*>(0x1);
  EXPECT_LT(component->StgOpenStorage(u"bad\xD800surrogate", nullptr, 0, nullptr, 0, &root), 0);
  EXPECT_EQ(root, nullptr);
}

TEST(Enumeration, DeliversChildrenInDirectoryOrderThenSFalse) {
  TempFolder dir;
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
  ASSERT_EQ(fetched, 2u);
  EXPECT_EQ(several[0].pwcsName, u"b.txt");
  EXPECT_EQ(several[1].pwcsName, u"sub");
  EXPECT_EQ(several[1].type, STGTY_STORAGE);
  EXPECT_EQ(elements->Next(1, &stat, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
}

TEST(Lookup, ByExactNameAndKind) {
  TempFolder dir;
  ComPtr<IStorage> root = OpenBytes(dir, SampleFile());
  ASSERT_TRUE(root);
  ComPtr<IStorage> storage;
  ComPtr<IStream> stream;
  EXPECT_EQ(root->OpenStream(u"sub", nullptr, 0, 0, stream.Put()), STG_E_FILENOTFOUND);
  EXPECT_EQ(root->OpenStorage(u"a.txt", nullptr, 0, nullptr, 0, storage.Put()), STG_E_FILENOTFOUND);
  EXPECT_EQ(root->OpenStream(u"A.TXT", nullptr, 0, 0, stream.Put()), STG_E_FILENOTFOUND);
  EXPECT_EQ(root->OpenStream(u"sub/c.txt", nullptr, 0, 0, stream.Put()), STG_E_FILENOTFOUND);
  EXPECT_EQ(root->OpenStream(u"a.txt", nullptr, 0x2 /* read-write */, 0, stream.Put()),
            STG_E_ACCESSDENIED);
  EXPECT_FALSE(storage || stream);
  ASSERT_EQ(root->OpenStorage(u"sub", nullptr, 0, nullptr, 0, storage.Put()), S_OK);
  EXPECT_EQ(storage->OpenStream(u"c.txt", nullptr, 0, 0, stream.Put()), S_OK);
  ComPtr<IStorage> empty_folder;
  ASSERT_EQ(storage->OpenStorage(u"d", nullptr, 0, nullptr, 0, empty_folder.Put()), S_OK);
  EXPECT_TRUE(WalkTree(empty_folder.Get()).empty());
}

// How many of this process's descriptors refer to `path`.
int OpenDescriptorsFor(const fs::path& path) {
  int count = 0;
  for (const auto& entry : fs::directory_iterator("/proc/self/fd")) {
    std::error_code error;
    count += fs::read_symlink(entry.path(), error) == path;
  }
  return count;
}

TEST(Lifetime, ObjectsOutliveWhatCreatedThemAndTheFileClosesWithTheLast) {
  TempFolder dir;
  const fs::path path = dir.path() / "life.chm";
  WriteBytes(path, SampleFile());
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
  Bytes buffer(5);
  EXPECT_EQ(stream->Read(buffer.data(), 5, nullptr), S_OK);
  EXPECT_EQ(buffer, Text("alpha"));
  sub.Reset();
  EXPECT_EQ(OpenDescriptorsFor(path), 1);
  stream.Reset();
  EXPECT_EQ(OpenDescriptorsFor(path), 0);
}

}  // namespace
}  // namespace vaskel::itss::testing
