// libFuzzer target: open + enumerate + read everything the reader presents.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "tests/support/read_everything.h"

namespace {

// The component opens files by path, so each input goes through one scratch file in tmpfs.
const std::string& ScratchPath() {
  static const std::string path = [] {
    const char* folder = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(folder) + "/vaskel-fuzz-" + std::to_string(getpid()) + ".chm";
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& path = ScratchPath();
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (file == nullptr) return 0;
  std::fwrite(data, 1, size, file);
  std::fclose(file);
  vaskel::testing::ReadEverything(path, 1u << 20);
  return 0;
}
