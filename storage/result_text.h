// Human-readable causes for the storage component's result codes.
#pragma once

#include <string>

#include "storage/com_types.h"

namespace vaskel {

std::string DescribeResult(HRESULT hr);

}  // namespace vaskel
