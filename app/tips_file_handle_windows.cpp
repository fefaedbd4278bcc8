// Opening the tips file and its time stamp on Windows: binary mode, so that the offsets the
// profile keeps are byte offsets (ReadLine reads "\r\n" as a line feed itself).
#include "app/tips_file.h"
// clang-format off
#include <windows.h>
#include <io.h>
// clang-format on

#include <cstdio>
#include <ctime>

namespace vaskel {
namespace {

// FILETIME counts 100 ns from 1601; time_t seconds from 1970.
std::time_t ToTime(const FILETIME& time) {
  const std::uint64_t ticks = (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
  constexpr std::uint64_t kTicksTo1970 = 116444736000000000ull;
  return ticks < kTicksTo1970 ? 0 : static_cast<std::time_t>((ticks - kTicksTo1970) / 10000000);
}

bool IsSet(const FILETIME& time) { return time.dwHighDateTime != 0 || time.dwLowDateTime != 0; }

}  // namespace

TipsFile::TipsFile(const std::filesystem::path& path) {
  // 'N': not inherited by the programs Run starts.
  if (!path.empty()) file_.reset(::_wfopen(path.c_str(), L"rbN"));
}

std::string TipsFile::TimeStamp() const {
  if (!IsOpen()) return {};
  const auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(file_.get())));
  BY_HANDLE_FILE_INFORMATION information{};
  if (handle == INVALID_HANDLE_VALUE || !::GetFileInformationByHandle(handle, &information)) {
    return {};
  }
  // The creation time, as the stamp means; the last write where the file system keeps none.
  const std::time_t stamp = ToTime(IsSet(information.ftCreationTime) ? information.ftCreationTime
                                                                     : information.ftLastWriteTime);
  std::tm local{};
  if (::localtime_s(&local, &stamp) != 0) return {};
  // ctime's fixed form, without its line feed.
  static constexpr char kDays[] = "SunMonTueWedThuFriSat";
  static constexpr char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
  if (local.tm_wday < 0 || local.tm_wday > 6 || local.tm_mon < 0 || local.tm_mon > 11) return {};
  char text[64] = {};
  std::snprintf(text, sizeof text, "%.3s %.3s%3d %.2d:%.2d:%.2d %d", kDays + 3 * local.tm_wday,
                kMonths + 3 * local.tm_mon, local.tm_mday, local.tm_hour, local.tm_min,
                local.tm_sec, local.tm_year + 1900);
  return text;
}

}  // namespace vaskel
