// Stand-in for the COM runtime's SetErrorInfo/GetErrorInfo: a short description of why the last
// call failed, kept per thread. A result code says what kind of failure it was; this says what
// and where ("directory chunk 3: entry overruns the chunk").
#pragma once

#include <string>
#include <utility>

#include "platform/com/com_types.h"

namespace vaskel {

// Replaces the calling thread's description; an empty one clears it.
void SetErrorInfo(std::string description);

// Hands out the calling thread's description and clears it; empty when there is none. Only
// meaningful right after a call failed.
std::string GetErrorInfo();

// For `return FailWith(STG_E_..., "what and where")`.
inline HRESULT FailWith(HRESULT hr, std::string description) {
  SetErrorInfo(std::move(description));
  return hr;
}

}  // namespace vaskel
