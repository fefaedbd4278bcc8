// An in-memory storage tree for tests that need shapes a help file cannot have (sizes of 4 GiB
// and more, failing storages, one storage listed twice) or must count references. The tree
// owns its nodes; a reference count of 1 is the tree's own, so a balanced caller leaves every
// count at 1. Enumerators are heap objects that delete themselves, as the component's do.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/com/storage_interfaces.h"

namespace vaskel::testing {

class TreeStorage final : public IStorage {
 public:
  struct Element {
    std::u16string name;
    DWORD type = STGTY_STREAM;
    std::uint64_t size = 0;
    std::unique_ptr<TreeStorage> storage;  // for STGTY_STORAGE
  };

  TreeStorage() : live_enumerators_(std::make_shared<int>(0)) {}

  TreeStorage& AddStorage(std::u16string name) {
    Element element{std::move(name), STGTY_STORAGE, 0, std::make_unique<TreeStorage>()};
    element.storage->live_enumerators_ = live_enumerators_;
    elements_.push_back(std::move(element));
    return *elements_.back().storage;
  }
  void AddStream(std::u16string name, std::uint64_t size) {
    elements_.push_back(Element{std::move(name), STGTY_STREAM, size, nullptr});
  }
  // Lists `storage` a second time under `name`: opening either gives the same object.
  void AddAlias(std::u16string name, TreeStorage& storage) {
    aliases_.push_back(Alias{std::move(name), &storage});
  }

  bool fail_enum = false;  // EnumElements fails
  bool fail_open = false;  // opening this storage from its parent fails
  int open_calls = 0;      // times its parent was asked to open it

  ULONG refs() const { return refs_; }
  // Enumerators of the whole tree not yet released.
  int live_enumerators() const { return *live_enumerators_; }
  std::vector<Element>& elements() { return elements_; }

  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override { return --refs_; }

  HRESULT EnumElements(DWORD, void*, DWORD, IEnumSTATSTG** out) override {
    *out = nullptr;
    if (fail_enum) return STG_E_ACCESSDENIED;
    std::vector<STATSTG> listing;
    for (const Element& element : elements_) {
      listing.push_back(STATSTG{element.name, element.type, element.size});
    }
    for (const Alias& alias : aliases_) listing.push_back(STATSTG{alias.name, STGTY_STORAGE, 0});
    *out = new Enumerator(std::move(listing), live_enumerators_);
    return S_OK;
  }

  HRESULT OpenStorage(const char16_t* name, IStorage*, DWORD, char16_t**, DWORD,
                      IStorage** out) override {
    *out = nullptr;
    TreeStorage* child = nullptr;
    for (const Element& element : elements_) {
      if (element.storage && element.name == name) child = element.storage.get();
    }
    for (const Alias& alias : aliases_) {
      if (alias.name == name) child = alias.storage;
    }
    if (child == nullptr) return STG_E_FILENOTFOUND;
    ++child->open_calls;
    if (child->fail_open) return STG_E_ACCESSDENIED;
    child->AddRef();
    *out = child;
    return S_OK;
  }

  HRESULT OpenStream(const char16_t*, void*, DWORD, DWORD, IStream** out) override {
    *out = nullptr;
    return E_NOTIMPL;
  }

 private:
  class Enumerator final : public IEnumSTATSTG {
   public:
    Enumerator(std::vector<STATSTG> listing, std::shared_ptr<int> live)
        : listing_(std::move(listing)), live_(std::move(live)) {
      ++*live_;
    }
    ULONG AddRef() override { return ++refs_; }
    ULONG Release() override {
      const ULONG left = --refs_;
      if (left == 0) {
        --*live_;
        delete this;
      }
      return left;
    }
    HRESULT Next(ULONG celt, STATSTG* out, ULONG* fetched) override {
      ULONG given = 0;
      while (given < celt && next_ < listing_.size()) out[given++] = listing_[next_++];
      if (fetched != nullptr) *fetched = given;
      return given == celt ? S_OK : S_FALSE;
    }

   private:
    ~Enumerator() = default;
    std::vector<STATSTG> listing_;
    std::size_t next_ = 0;
    std::shared_ptr<int> live_;
    ULONG refs_ = 1;
  };

  struct Alias {
    std::u16string name;
    TreeStorage* storage;
  };

  std::vector<Element> elements_;
  std::vector<Alias> aliases_;
  std::shared_ptr<int> live_enumerators_;
  ULONG refs_ = 1;
};

}  // namespace vaskel::testing
