#include "storage/reader_refusal.h"

#include "platform/com/error_info.h"
#include "storage/result_text.h"
#include "storage/storage_engine.h"

namespace vaskel {

std::string ReaderRefusal(const std::string& path) {
  StorageEngine engine;
  const HRESULT result = engine.OpenFile(path);
  if (Succeeded(result) && engine.GetRootStorage() != nullptr) return {};
  std::string reason = GetErrorInfo();
  return reason.empty() ? DescribeResult(result) : reason;
}

}  // namespace vaskel
