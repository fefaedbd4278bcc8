// vaskel-chm-write OUT.chm SOURCE_DIR: packs every file under SOURCE_DIR into a help file, all
// compressed, with an explicit entry for each folder. Names are visited in sorted order so the
// output is the same on every build.
// vaskel-chm-write OUT.chm --raw NAME...: a file whose entries have exactly these directory
// names (hostile ones too, for tests), each holding its own name as text.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <vector>

#include "tools/chmwriter/chm_writer.h"

namespace {

namespace fs = std::filesystem;
using vaskel::chmwriter::Entry;

std::vector<std::uint8_t> ReadWholeFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw std::runtime_error("cannot read " + path.string());
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::vector<Entry> CollectEntries(const fs::path& source_dir) {
  std::vector<fs::path> paths;
  for (const auto& item : fs::recursive_directory_iterator(source_dir)) {
    if (item.is_directory() || item.is_regular_file()) paths.push_back(item.path());
  }
  std::sort(paths.begin(), paths.end());

  std::vector<Entry> entries;
  for (const fs::path& path : paths) {
    // Appended rather than "/" + ...: g++ 12 at -O3 warns falsely about that concatenation.
    std::string name = "/";
    name += fs::relative(path, source_dir).generic_string();
    if (fs::is_directory(path)) {
      entries.push_back(Entry{name + "/", {}, 0});
    } else {
      entries.push_back(Entry{std::move(name), ReadWholeFile(path), 1});
    }
  }
  return entries;
}

std::vector<Entry> RawEntries(char** names, int count) {
  std::vector<Entry> entries;
  for (int i = 0; i < count; ++i) {
    const std::string name = names[i];
    entries.push_back(Entry{name, std::vector<std::uint8_t>(name.begin(), name.end()), 1});
  }
  return entries;
}

}  // namespace

int main(int argc, char** argv) {
  const bool raw = argc >= 3 && std::string(argv[2]) == "--raw";
  if (argc != 3 && !raw) {
    std::cerr << "usage: vaskel-chm-write OUT.chm SOURCE_DIR\n"
                 "       vaskel-chm-write OUT.chm --raw NAME...\n";
    return 2;
  }
  try {
    const std::vector<std::uint8_t> chm =
        vaskel::chmwriter::WriteChm(raw ? RawEntries(argv + 3, argc - 3) : CollectEntries(argv[2]));
    const fs::path out_path = argv[1];
    const fs::path temp_path = out_path.string() + ".tmp";
    {
      std::ofstream out(temp_path, std::ios::binary | std::ios::trunc);
      out.write(reinterpret_cast<const char*>(chm.data()),
                static_cast<std::streamsize>(chm.size()));
      if (!out.flush()) throw std::runtime_error("cannot write " + temp_path.string());
    }
    fs::rename(temp_path, out_path);
  } catch (const std::exception& error) {
    std::cerr << "vaskel-chm-write: " << error.what() << "\n";
    return 1;
  }
  return 0;
}
