// Stand-in for the COM runtime's CoCreateInstance: creates the compiled-help storage component.
#pragma once

#include <functional>

#include "platform/com/storage_interfaces.h"

namespace vaskel {

HRESULT CoInitialize(void* reserved);
HRESULT CoCreateInstance(const GUID& rclsid, IUnknown* pUnkOuter, DWORD dwClsContext,
                         const GUID& riid, void** ppv);

// Lets tests replace how the component is created (for instance to make creation fail).
using ComponentCreator = std::function<HRESULT(const GUID& riid, void** ppv)>;
class ScopedComponentOverride {
 public:
  explicit ScopedComponentOverride(ComponentCreator creator);
  ~ScopedComponentOverride();
  ScopedComponentOverride(const ScopedComponentOverride&) = delete;
  ScopedComponentOverride& operator=(const ScopedComponentOverride&) = delete;

 private:
  ComponentCreator previous_;
};

}  // namespace vaskel
