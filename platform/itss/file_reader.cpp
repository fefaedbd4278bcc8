#include "platform/itss/file_reader.h"

#include <algorithm>

#include "platform/com/error_info.h"
#include "platform/itss/checked_math.h"

namespace vaskel::itss {

HRESULT OpenFailure(long error, const OpenErrorCodes& codes, std::string reason) {
  const auto among = [error](std::span<const long> list) {
    return std::find(list.begin(), list.end(), error) != list.end();
  };
  const HRESULT hr = among(codes.not_found) ? STG_E_FILENOTFOUND
                     : among(codes.denied)  ? STG_E_ACCESSDENIED
                                            : STG_E_READFAULT;
  return FailWith(hr, std::move(reason));
}

bool FileReader::ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const {
  if (!RangeWithin(offset, out.size(), size_)) return false;
  std::size_t done = 0;
  while (done < out.size()) {
    const std::int64_t got = ReadSome(offset + done, out.subspan(done));
    if (got <= 0) return false;  // failed, or the file shrank under us
    done += static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace vaskel::itss
