#include "platform/com/error_info.h"

#include <utility>

namespace vaskel {
namespace {

thread_local std::string g_description;

}  // namespace

void SetErrorInfo(std::string description) { g_description = std::move(description); }

std::string GetErrorInfo() { return std::exchange(g_description, std::string()); }

}  // namespace vaskel
