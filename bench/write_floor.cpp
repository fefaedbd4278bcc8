// write_floor [--on-demand] MANIFEST OUT_DIR: the file system's floor for an unpack. Writes the
// tree MANIFEST describes (same folders, names and sizes) with nothing but mkdir, open, write and
// close, the bytes already in memory, so that the time it takes is what the disk itself costs.
//
// MANIFEST ("-" for standard input) holds either `vaskel-cli list` output (File Name, Size, Type,
// Path, tab-separated) or lines of "SIZE<TAB>RELATIVE/PATH". Every folder is made first, parents
// before children (measured fastest on this kind of disk); --on-demand makes each folder just
// before the first file that needs it instead.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <unordered_set>
#include <vector>

namespace {

struct File {
  std::string path;  // relative, '/'-separated
  std::uint64_t size = 0;
};

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (;;) {
    const std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

bool ReadManifest(std::istream& in, std::vector<File>& files) {
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty()) continue;
    const std::vector<std::string> fields = SplitTabs(line);
    if (fields.size() == 4) {
      files.push_back({fields[3] + fields[0], std::stoull(fields[1])});
    } else if (fields.size() == 2) {
      files.push_back({fields[1], std::stoull(fields[0])});
    } else {
      std::cerr << "write_floor: cannot read manifest line: " << line << "\n";
      return false;
    }
  }
  return true;
}

class FolderMaker {
 public:
  explicit FolderMaker(int root) : root_(root) {}
  // Makes every missing folder on the way to `path`, parents first; false on failure.
  bool MakeParentsOf(const std::string& path) {
    for (std::size_t slash = path.find('/'); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
      std::string folder = path.substr(0, slash);
      if (made_.contains(folder)) continue;
      if (::mkdirat(root_, folder.c_str(), 0777) != 0 && errno != EEXIST) {
        std::perror(folder.c_str());
        return false;
      }
      made_.insert(std::move(folder));
    }
    return true;
  }

 private:
  int root_;
  std::unordered_set<std::string> made_;
};

bool WriteFile(int root, const File& file, const std::vector<char>& bytes) {
  const int fd = ::openat(root, file.path.c_str(), O_CREAT | O_TRUNC | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) {
    std::perror(file.path.c_str());
    return false;
  }
  std::uint64_t left = file.size;
  while (left > 0) {
    const std::size_t piece = static_cast<std::size_t>(std::min<std::uint64_t>(left, bytes.size()));
    const ssize_t written = ::write(fd, bytes.data(), piece);
    if (written <= 0) {
      std::perror(file.path.c_str());
      ::close(fd);
      return false;
    }
    left -= static_cast<std::uint64_t>(written);
  }
  return ::close(fd) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  const bool on_demand = !args.empty() && args[0] == "--on-demand";
  if (on_demand) args.erase(args.begin());
  if (args.size() != 2) {
    std::cerr << "usage: write_floor [--on-demand] MANIFEST OUT_DIR\n";
    return 2;
  }
  std::vector<File> files;
  if (args[0] == "-") {
    if (!ReadManifest(std::cin, files)) return 2;
  } else {
    std::ifstream in(args[0]);
    if (!in || !ReadManifest(in, files)) return 2;
  }

  ::mkdir(args[1].c_str(), 0777);
  const int root = ::open(args[1].c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (root < 0) {
    std::perror(args[1].c_str());
    return 1;
  }
  // 32 KiB of non-zero bytes serve every file: what is written costs the same whatever it is.
  // Larger writes became up to ten times slower on ext4 here once the page cache held a few GB.
  std::vector<char> bytes(32 << 10);
  for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>('a' + i % 26);

  FolderMaker folders(root);
  if (!on_demand) {
    for (const File& file : files) {
      if (!folders.MakeParentsOf(file.path)) return 1;
    }
  }
  for (const File& file : files) {
    if (on_demand && !folders.MakeParentsOf(file.path)) return 1;
    if (!WriteFile(root, file, bytes)) return 1;
  }
  ::close(root);
  return 0;
}
