#include "platform/com/system_component.h"

namespace vaskel {

// Only Windows has the component.
HRESULT CreateSystemComponent(const GUID&, void** ppv) {
  if (ppv != nullptr) *ppv = nullptr;
  return REGDB_E_CLASSNOTREG;
}

}  // namespace vaskel
