// Read-only access to the opened help file by absolute offset (pread), shared by every object
// that reads from it. The descriptor closes when the reader is destroyed.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/com/com_types.h"

namespace vaskel::itss {

class FileReader {
 public:
  // Opens a regular file for reading. Failures: STG_E_FILENOTFOUND, STG_E_ACCESSDENIED,
  // STG_E_READFAULT, each with the system's reason left with SetErrorInfo.
  static HRESULT Open(const std::string& utf8_path, std::unique_ptr<FileReader>* out);

  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  std::uint64_t size() const { return size_; }

  // Fills `out` from `offset`. False when the range leaves the file or the read fails; safe to
  // call from several threads at once.
  bool ReadAt(std::uint64_t offset, std::span<std::uint8_t> out) const;

 private:
  FileReader(std::intptr_t fd, std::uint64_t size) : fd_(fd), size_(size) {}

  // One positioned read of the system (file_reader_system*.cpp): the bytes read, 0 at the end
  // of the file, negative when the read failed.
  std::int64_t ReadSome(std::uint64_t offset, std::span<std::uint8_t> out) const;

  std::intptr_t fd_;  // a descriptor, or on Windows a HANDLE
  std::uint64_t size_;
};

// The system's error codes that mean a file is not there, and those that mean it may not be
// read; any other refusal reads as STG_E_READFAULT.
struct OpenErrorCodes {
  std::span<const long> not_found;
  std::span<const long> denied;
};

// The result for a refused open, with `reason` left with SetErrorInfo.
HRESULT OpenFailure(long error, const OpenErrorCodes& codes, std::string reason);

}  // namespace vaskel::itss
