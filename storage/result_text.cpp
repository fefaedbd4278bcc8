#include "storage/result_text.h"

#include "platform/com/error_info.h"
#include "platform/text/translation.h"

namespace vaskel {

std::string DescribeResult(HRESULT hr) {
  switch (hr) {
    case STG_E_FILENOTFOUND:
    case STG_E_PATHNOTFOUND:
      return Tr("no such file");
    case STG_E_ACCESSDENIED:
      return Tr("permission denied");
    case STG_E_INVALIDHEADER:
      return Tr("not a compiled help file");
    case STG_E_DOCFILECORRUPT:
      return Tr("damaged help file");
    case STG_E_READFAULT:
      return Tr("damaged data");
    case STG_E_INVALIDNAME:
      return Tr("name too long");
    case REGDB_E_CLASSNOTREG:
      return Tr("the help-file reader is not available");
    case E_OUTOFMEMORY:
      return Tr("out of memory");
    default: {
      // TRANSLATORS: an error code the program has no words for, in hexadecimal.
      return FormatText(Tr("error 0x%08X"), static_cast<unsigned>(hr));
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
