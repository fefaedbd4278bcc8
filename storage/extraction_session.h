// What the ExtractEntry calls of one unpack share: the writer of their files (the destination
// folder held open, the folders known to exist below it) and the copy buffer. Use one per unpack
// and drop it after: what it knows of the disk goes stale.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "storage/entry_file_writer.h"

namespace vaskel {

// What one ExtractEntry call did.
struct ExtractedEntry {
  bool written = false;     // false: the stream could not be opened and was skipped
  std::uint64_t bytes = 0;  // the file's size
};

class ExtractionSession {
 public:
  EntryFileWriter& Files() { return files_; }
  // Room for many reads of a stream, so that one write carries them.
  std::span<std::uint8_t> CopyBuffer();

 private:
  EntryFileWriter files_;
  std::vector<std::uint8_t> copy_buffer_;
};

}  // namespace vaskel
