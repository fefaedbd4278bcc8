// The one failure entry extraction raises: the file on disk that could not be written, the
// operating system's reason, and, when the help file's data was at fault, the entry's name.
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace vaskel {

class ExtractionError : public std::runtime_error {
 public:
  // `os_error` is the errno value behind `reason`, 0 when the operating system was not at fault.
  // `entry` names the entry inside the help file when its data could not be read.
  ExtractionError(std::string destination, std::string reason, int os_error = 0,
                  std::string entry = {})
      : std::runtime_error(Compose(destination, reason, entry)),
        destination_(std::move(destination)),
        reason_(std::move(reason)),
        entry_(std::move(entry)),
        os_error_(os_error) {}

  // The destination's full path (or the destination folder when that is at fault).
  const std::string& Destination() const { return destination_; }
  const std::string& Reason() const { return reason_; }
  // The damaged entry's internal path and name; empty when the fault was on the disk side.
  const std::string& Entry() const { return entry_; }
  int OsError() const { return os_error_; }

 private:
  static std::string Compose(const std::string& destination, const std::string& reason,
                             const std::string& entry) {
    if (entry.empty()) return destination + ": " + reason;
    return destination + ": cannot read \"" + entry + "\" from the help file: " + reason;
  }

  std::string destination_;
  std::string reason_;
  std::string entry_;
  int os_error_;
};

}  // namespace vaskel
