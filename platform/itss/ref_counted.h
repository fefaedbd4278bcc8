// AddRef/Release for the component's objects: the object deletes itself when the last reference
// is released. Counts are atomic so objects may be released on any thread.
#pragma once

#include <atomic>

#include "platform/com/com_types.h"

namespace vaskel::itss {

template <class Interface>
class RefCounted : public Interface {
 public:
  ULONG AddRef() final { return refs_.fetch_add(1, std::memory_order_relaxed) + 1; }
  ULONG Release() final {
    const ULONG left = refs_.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete this;
    return left;
  }

 protected:
  RefCounted() = default;
  virtual ~RefCounted() = default;
  RefCounted(const RefCounted&) = delete;
  RefCounted& operator=(const RefCounted&) = delete;

 private:
  std::atomic<ULONG> refs_{1};  // the creator's reference
};

}  // namespace vaskel::itss
