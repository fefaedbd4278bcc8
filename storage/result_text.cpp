#include "storage/result_text.h"

#include <cstdio>

#include "platform/com/error_info.h"

namespace vaskel {

std::string DescribeResult(HRESULT hr) {
  switch (hr) {
    case STG_E_FILENOTFOUND:
    case STG_E_PATHNOTFOUND:
      return "no such file";
    case STG_E_ACCESSDENIED:
      return "permission denied";
    case STG_E_INVALIDHEADER:
      return "not a compiled help file";
    case STG_E_DOCFILECORRUPT:
      return "damaged help file";
    case STG_E_READFAULT:
      return "damaged data";
    case STG_E_INVALIDNAME:
      return "name too long";
    case REGDB_E_CLASSNOTREG:
      return "the help-file reader is not available";
    case E_OUTOFMEMORY:
      return "out of memory";
    default: {
      char text[32];
      std::snprintf(text, sizeof text, "error 0x%08X", static_cast<unsigned>(hr));
      return text;
    }
  }
}

std::string DescribeResult(HRESULT hr, std::string_view reason) {
  std::string text = DescribeResult(hr);
  if (!reason.empty()) text.append(": ").append(reason);
  return text;
}

std::string DescribeFailure(HRESULT hr) { return DescribeResult(hr, GetErrorInfo()); }

}  // namespace vaskel
