// A storage of in-memory streams for tests that must not depend on the help-file reader, with
// streams that can be made to fail part-way or to stop short of their stated size.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/com/storage_interfaces.h"

namespace vaskel::testing {

struct FakeStreamData {
  std::vector<std::uint8_t> bytes;
  // Reads that would reach this offset fail with STG_E_READFAULT.
  std::uint64_t fail_at = UINT64_MAX;
  // When set, Stat reports this size instead of the real one.
  std::uint64_t stated_size = UINT64_MAX;
};

// Heap object that deletes itself at its last Release, as the component's objects do.
class FakeStream final : public IStream {
 public:
  FakeStream(std::shared_ptr<const FakeStreamData> data, std::vector<ULONG>* read_sizes,
             int* open_streams)
      : data_(std::move(data)), read_sizes_(read_sizes), open_streams_(open_streams) {
    ++*open_streams_;
  }
  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override {
    const ULONG left = --refs_;
    if (left == 0) {
      --*open_streams_;
      delete this;
    }
    return left;
  }
  HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    read_sizes_->push_back(cb);
    *pcbRead = 0;
    const std::uint64_t left = data_->bytes.size() - position_;
    const auto count = static_cast<ULONG>(std::min<std::uint64_t>(left, cb));
    if (count > 0 && position_ + count > data_->fail_at) return STG_E_READFAULT;
    if (count > 0) std::memcpy(pv, data_->bytes.data() + position_, count);
    position_ += count;
    *pcbRead = count;
    return S_OK;
  }
  HRESULT Stat(STATSTG* stat) override {
    stat->type = STGTY_STREAM;
    stat->cbSize = data_->stated_size != UINT64_MAX ? data_->stated_size : data_->bytes.size();
    return S_OK;
  }

 private:
  ~FakeStream() = default;
  std::shared_ptr<const FakeStreamData> data_;
  std::vector<ULONG>* read_sizes_;
  int* open_streams_;
  std::uint64_t position_ = 0;
  ULONG refs_ = 1;
};

// Lives on the test's stack; hands out streams by name.
class FakeStorage final : public IStorage {
 public:
  void Add(const std::u16string& name, FakeStreamData data) {
    streams_[name] = std::make_shared<const FakeStreamData>(std::move(data));
  }
  void Add(const std::u16string& name, const std::string& text) {
    Add(name, FakeStreamData{std::vector<std::uint8_t>(text.begin(), text.end())});
  }

  ULONG AddRef() override { return ++refs_; }
  ULONG Release() override { return --refs_; }
  HRESULT EnumElements(DWORD, void*, DWORD, IEnumSTATSTG**) override { return E_NOTIMPL; }
  HRESULT OpenStorage(const char16_t*, IStorage*, DWORD, char16_t**, DWORD, IStorage**) override {
    return E_NOTIMPL;
  }
  HRESULT OpenStream(const char16_t* name, void*, DWORD, DWORD, IStream** out) override {
    *out = nullptr;
    const auto found = streams_.find(name);
    if (found == streams_.end()) return STG_E_FILENOTFOUND;
    *out = new FakeStream(found->second, &read_sizes, &open_streams);
    return S_OK;
  }

  std::vector<ULONG> read_sizes;  // every Read's requested size, in order
  int open_streams = 0;           // streams handed out and not yet released

 private:
  std::map<std::u16string, std::shared_ptr<const FakeStreamData>> streams_;
  ULONG refs_ = 1;
};

}  // namespace vaskel::testing
