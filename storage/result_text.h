// Human-readable causes for the storage component's result codes.
#pragma once

#include <string>
#include <string_view>

#include "platform/com/com_types.h"

namespace vaskel {

std::string DescribeResult(HRESULT hr);

// The cause, then the reader's reason when there is one: "damaged help file: directory chunk 3
// cannot be read".
std::string DescribeResult(HRESULT hr, std::string_view reason);

// For a call that just failed with `hr` on this thread: its cause and the reason it left with
// SetErrorInfo (which is taken).
std::string DescribeFailure(HRESULT hr);

}  // namespace vaskel
