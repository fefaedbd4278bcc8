#include "storage/storage_engine.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/com/component_factory.h"
#include "storage/message_box.h"
#include "storage/path_limit.h"

namespace vaskel {
namespace {

// Records the order in which objects are released and the component is asked to open files.
struct Journal {
  std::vector<std::string> events;
};

class FakeStorage final : public IStorage {
 public:
  FakeStorage(Journal* journal, std::string name) : journal_(journal), name_(std::move(name)) {}
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    if (--refs_ == 0) journal_->events.push_back("release " + name_);
    return refs_;
  }
  HRESULT EnumElements(DWORD, void*, DWORD, IEnumSTATSTG**) override { return E_NOTIMPL; }
  HRESULT OpenStorage(const char16_t*, IStorage*, DWORD, char16_t**, DWORD, IStorage**) override {
    return E_NOTIMPL;
  }
  HRESULT OpenStream(const char16_t*, void*, DWORD, DWORD, IStream**) override { return E_NOTIMPL; }
  ULONG refs() const { return refs_; }

 private:
  Journal* journal_;
  std::string name_;
  ULONG refs_ = 1;
};

class FakeComponent final : public IITStorage {
 public:
  explicit FakeComponent(Journal* journal) : journal_(journal) {}
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    if (--refs_ == 0) journal_->events.push_back("release component");
    return refs_;
  }
  HRESULT StgOpenStorage(const char16_t* name, IStorage*, DWORD mode, char16_t**, DWORD,
                         IStorage** out) override {
    last_name = name;
    last_mode = mode;
    journal_->events.push_back("open");
    if (fail_next) return STG_E_FILENOTFOUND;
    storages.push_back(std::make_unique<FakeStorage>(journal_, "root" + std::to_string(opens++)));
    *out = storages.back().get();
    return S_OK;
  }

  std::u16string last_name;
  DWORD last_mode = 0;
  bool fail_next = false;
  int opens = 0;
  std::vector<std::unique_ptr<FakeStorage>> storages;

 private:
  Journal* journal_;
  ULONG refs_ = 1;
};

class StorageEngineTest : public ::testing::Test {
 protected:
  Journal journal;
  FakeComponent component{&journal};
  std::vector<std::string> messages;
  ScopedComponentOverride use_fake{[this](const GUID&, void** out) {
    *out = static_cast<IITStorage*>(&component);
    return S_OK;
  }};
  MessageBoxHandler previous = SetMessageBoxHandler(
      [this](std::string_view text, MessageIcon) { messages.emplace_back(text); });
  void TearDown() override { SetMessageBoxHandler(previous); }
};

TEST_F(StorageEngineTest, OpensReadOnlyAndReleasesThePreviousRootFirst) {
  StorageEngine engine;
  ASSERT_EQ(engine.OpenFile("/tmp/first.chm"), S_OK);
  EXPECT_EQ(component.last_name, u"/tmp/first.chm");
  EXPECT_EQ(component.last_mode, STGM_SHARE_DENY_WRITE);
  EXPECT_NE(engine.GetRootStorage(), nullptr);

  component.fail_next = true;
  EXPECT_EQ(engine.OpenFile("/tmp/missing.chm"), STG_E_FILENOTFOUND);
  EXPECT_EQ(engine.GetRootStorage(), nullptr);
  EXPECT_THAT(journal.events, ::testing::ElementsAre("open", "release root0", "open"));

  component.fail_next = false;
  ASSERT_EQ(engine.OpenFile("/tmp/second.chm"), S_OK);
  journal.events.clear();
  ASSERT_EQ(engine.OpenFile("/tmp/third.chm"), S_OK);
  EXPECT_THAT(journal.events, ::testing::ElementsAre("release root1", "open"));
}

TEST_F(StorageEngineTest, ReleasesRootThenComponentAtDestruction) {
  {
    StorageEngine engine;
    ASSERT_EQ(engine.OpenFile("a.chm"), S_OK);
    journal.events.clear();
  }
  EXPECT_THAT(journal.events, ::testing::ElementsAre("release root0", "release component"));
  EXPECT_TRUE(messages.empty());
}

TEST_F(StorageEngineTest, ResetReleasesChildStoragesAndEmptiesTheTable) {
  StorageEngine engine;
  FakeStorage child_a(&journal, "a");
  FakeStorage child_b(&journal, "b");
  engine.HoldOpenedStorage(ComPtr<IStorage>::Adopt(&child_a));
  engine.HoldOpenedStorage(ComPtr<IStorage>::Adopt(&child_b));
  engine.AppendTableEntry(&child_a);
  engine.AppendTableEntry(&child_b);
  EXPECT_EQ(engine.StorageAt(1), &child_b);
  // Item data is wider than an index: what only matches once cut down names nothing.
  EXPECT_EQ(engine.StorageAt((std::intptr_t{1} << 32) + 1), nullptr);

  engine.Reset();
  EXPECT_THAT(journal.events, ::testing::ElementsAre("release a", "release b"));
  EXPECT_EQ(engine.OpenedStorageCount(), 0u);
  EXPECT_FALSE(engine.Table().HasBlock());
  EXPECT_EQ(engine.StorageAt(0), nullptr);
  engine.Reset();  // a second reset changes nothing
  EXPECT_EQ(journal.events.size(), 2u);
}

TEST_F(StorageEngineTest, PathsUpToTheLimitConvertAndLongerOnesFailWithoutTouchingTheComponent) {
  StorageEngine engine;
  const std::string longest(kPlatformPathLimit - 1, 'p');  // its terminator is the last unit
  const char16_t* wide = engine.ToWideName(longest);
  ASSERT_NE(wide, nullptr);
  EXPECT_EQ(std::u16string(wide).size(), kPlatformPathLimit - 1);

  const std::string too_long(kPlatformPathLimit, 'p');
  EXPECT_EQ(engine.ToWideName(too_long), nullptr);
  EXPECT_TRUE(Failed(engine.OpenFile(too_long)));
  EXPECT_EQ(component.opens, 0);
  // Multi-byte text counts UTF-16 units, not bytes.
  std::string cjk;
  for (std::size_t i = 0; i < kPlatformPathLimit - 1; ++i) cjk += "\xE6\x97\xA5";
  EXPECT_NE(engine.ToWideName(cjk), nullptr);
}

TEST(StorageEngineWithoutComponentTest, ReportsOnceAndFailsOpens) {
  std::vector<std::string> messages;
  auto previous = SetMessageBoxHandler([&](std::string_view text, MessageIcon icon) {
    messages.emplace_back(text);
    EXPECT_EQ(icon, MessageIcon::kExclamation);
  });
  {
    ScopedComponentOverride no_component([](const GUID&, void**) { return REGDB_E_CLASSNOTREG; });
    StorageEngine engine;
    EXPECT_FALSE(engine.HasComponent());
    EXPECT_TRUE(Failed(engine.OpenFile("x.chm")));
    EXPECT_EQ(engine.GetRootStorage(), nullptr);
  }
  SetMessageBoxHandler(previous);
  EXPECT_THAT(messages, ::testing::ElementsAre("Create CHM Engine Error"));
}

}  // namespace
}  // namespace vaskel
