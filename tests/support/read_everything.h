// Opens a help file through the component and touches everything it presents: every storage
// enumerated, every stream read to its end or to a byte budget. Used by robustness tests and
// the fuzzer, where the point is to reach every code path without crashing or hanging.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/itss/itss_component.h"
#include "storage/text_conversion.h"

namespace vaskel::testing {

struct ReadOutcome {
  HRESULT open_result = S_OK;
  std::size_t storages = 0;
  std::size_t streams = 0;
  std::size_t failed_reads = 0;
  std::uint64_t bytes = 0;
};

inline void ReadLevel(IStorage* storage, int depth, std::uint64_t budget, ReadOutcome& outcome) {
  ComPtr<IEnumSTATSTG> elements;
  if (depth > 64 || Failed(storage->EnumElements(0, nullptr, 0, elements.Put()))) return;
  std::vector<std::uint8_t> buffer(4096);
  STATSTG stat;
  while (elements->Next(1, &stat, nullptr) == S_OK) {
    if (stat.type == STGTY_STORAGE) {
      ++outcome.storages;
      ComPtr<IStorage> child;
      if (Succeeded(
              storage->OpenStorage(stat.pwcsName.c_str(), nullptr, 0, nullptr, 0, child.Put()))) {
        ReadLevel(child.Get(), depth + 1, budget, outcome);
      }
      continue;
    }
    ++outcome.streams;
    ComPtr<IStream> stream;
    if (Failed(storage->OpenStream(stat.pwcsName.c_str(), nullptr, 0, 0, stream.Put()))) {
      ++outcome.failed_reads;
      continue;
    }
    for (;;) {
      ULONG got = 0;
      if (Failed(stream->Read(buffer.data(), 4096, &got))) {
        ++outcome.failed_reads;
        break;
      }
      outcome.bytes += got;
      if (got < 4096 || outcome.bytes > budget) break;
    }
  }
}

// `budget` bounds the bytes read in all, so that mutated size fields cannot make a run slow.
inline ReadOutcome ReadEverything(const std::string& path, std::uint64_t budget = 1u << 22) {
  ReadOutcome outcome;
  ComPtr<IITStorage> component;
  outcome.open_result = itss::CreateItssComponent(component.Put());
  if (Failed(outcome.open_result)) return outcome;
  std::u16string wide(path.size() + 1, u'\0');
  if (!NarrowToWide(path, wide)) {
    outcome.open_result = STG_E_INVALIDNAME;
    return outcome;
  }
  ComPtr<IStorage> root;
  outcome.open_result = component->StgOpenStorage(wide.c_str(), nullptr, STGM_SHARE_DENY_WRITE,
                                                  nullptr, 0, root.Put());
  if (Succeeded(outcome.open_result) && root) ReadLevel(root.Get(), 0, budget, outcome);
  return outcome;
}

}  // namespace vaskel::testing
