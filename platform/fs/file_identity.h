// What tells one state of a file on disk from another: its device and inode (one file, not
// another of the same name) with its size and modification time (the same file, not
// rewritten).
#pragma once

#include <cstdint>
#include <optional>
#include <string>

namespace vaskel::platform {

struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t inode = 0;  // the file index on Windows
  std::uint64_t size = 0;
  std::int64_t modified = 0;  // nanoseconds; on Windows the system's 100 ns units

  bool operator==(const FileIdentity&) const = default;
};

// The file at `utf8_path` as it is now, following links; nothing when it cannot be read.
std::optional<FileIdentity> IdentityOfFile(const std::string& utf8_path);

}  // namespace vaskel::platform
