// The platform's own compiled-help storage component, seen through the program's storage
// interfaces, for comparing readers. Ours stays the default everywhere.
#pragma once

#include "platform/com/storage_interfaces.h"

namespace vaskel {

// A ComponentCreator (see storage/component_factory.h). On Windows: the registered component
// (CoCreateInstance of CLSID_ITStorage), wrapped; elsewhere REGDB_E_CLASSNOTREG.
HRESULT CreateSystemComponent(const GUID& riid, void** ppv);

}  // namespace vaskel
