#include <utility>

#include "platform/com/component_factory.h"
#include "platform/itss/itss_component.h"

namespace vaskel {
namespace {

HRESULT CreateRegisteredComponent(const GUID& riid, void** ppv) {
  if (!(riid == IID_ITStorage)) return E_NOINTERFACE;
  IITStorage* component = nullptr;
  HRESULT hr = itss::CreateItssComponent(&component);
  *ppv = component;
  return hr;
}

ComponentCreator& ActiveCreator() {
  static ComponentCreator creator = CreateRegisteredComponent;
  return creator;
}

}  // namespace

HRESULT CoInitialize(void*) { return S_OK; }

HRESULT CoCreateInstance(const GUID& rclsid, IUnknown* pUnkOuter, DWORD dwClsContext,
                         const GUID& riid, void** ppv) {
  if (ppv == nullptr) return E_POINTER;
  *ppv = nullptr;
  if (pUnkOuter != nullptr || (dwClsContext & CLSCTX_INPROC_SERVER) == 0) return E_INVALIDARG;
  if (!(rclsid == CLSID_ITStorage)) return REGDB_E_CLASSNOTREG;
  return ActiveCreator()(riid, ppv);
}

ScopedComponentOverride::ScopedComponentOverride(ComponentCreator creator)
    : previous_(std::exchange(ActiveCreator(), std::move(creator))) {}

ScopedComponentOverride::~ScopedComponentOverride() { ActiveCreator() = std::move(previous_); }

}  // namespace vaskel
