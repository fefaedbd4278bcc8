// vaskel-make-bench-chm KIND OUT.chm: writes the help files the unpack benchmark runs on.
//   small  20,000 small files (100 B to 16 KiB) in nested folders; their data is laid out in an
//          order unrelated to the name order in which they are listed
//   large  four streams of 50 MB and a few small files
// The output depends on nothing but KIND, so every machine benchmarks the same bytes.
#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "tools/chmwriter/chm_writer.h"

namespace {

using vaskel::chmwriter::Entry;

class Random {
 public:
  explicit Random(std::uint64_t seed) : state_(seed) {}
  std::uint64_t Next() {  // splitmix64
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  std::size_t Below(std::size_t bound) { return static_cast<std::size_t>(Next() % bound); }

 private:
  std::uint64_t state_;
};

// Text that looks like help pages, so the files resemble real ones in content too.
std::vector<std::uint8_t> PageText(Random& random, std::size_t size) {
  static const char* const kWords[] = {"<p>",     "the",    "window", "</p>\n",   "file",
                                       "<a href", "=\"",    "topic",  ".html\">", "</a>",
                                       "options", "select", "folder", "unpack",   "help"};
  std::vector<std::uint8_t> bytes;
  bytes.reserve(size + 16);
  while (bytes.size() < size) {
    const std::string word = kWords[random.Below(std::size(kWords))];
    bytes.insert(bytes.end(), word.begin(), word.end());
    bytes.push_back(' ');
  }
  bytes.resize(size);
  return bytes;
}

std::string Hex(std::uint64_t value, int digits) {
  static const char kDigits[] = "0123456789abcdef";
  std::string text(static_cast<std::size_t>(digits), '0');
  for (int i = digits - 1; i >= 0; --i, value >>= 4)
    text[static_cast<std::size_t>(i)] = kDigits[value & 15];
  return text;
}

std::vector<Entry> SmallFiles() {
  Random random(20000);
  // 10 top folders, 5 below each, 4 below each of those: 260 folders, plus the root.
  std::vector<std::string> folders = {"/"};
  for (int a = 0; a < 10; ++a) {
    const std::string top = "/section" + std::to_string(a) + "/";
    folders.push_back(top);
    for (int b = 0; b < 5; ++b) {
      const std::string middle = top + "part" + std::to_string(b) + "/";
      folders.push_back(middle);
      for (int c = 0; c < 4; ++c) folders.push_back(middle + "topic" + std::to_string(c) + "/");
    }
  }
  std::vector<Entry> entries;
  for (int i = 0; i < 20000; ++i) {
    // Sizes spread evenly over powers of two, as page and image sizes are.
    const std::size_t size = static_cast<std::size_t>(100 << random.Below(8)) + random.Below(2048);
    const std::string& folder = folders[random.Below(folders.size())];
    entries.push_back(Entry{folder + Hex(random.Next(), 8) + std::to_string(i) + ".html",
                            PageText(random, size), 1});
  }
  // Data is laid out in the order given; the directory lists names sorted.
  for (std::size_t i = entries.size() - 1; i > 0; --i)
    std::swap(entries[i], entries[random.Below(i + 1)]);
  return entries;
}

std::vector<Entry> LargeStreams() {
  Random random(50);
  std::vector<Entry> entries;
  for (int i = 0; i < 4; ++i) {
    entries.push_back(
        Entry{"/data/stream" + std::to_string(i) + ".txt", PageText(random, 50'000'000), 1});
  }
  for (int i = 0; i < 4; ++i)
    entries.push_back(Entry{"/page" + std::to_string(i) + ".html", PageText(random, 3000), 1});
  return entries;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string kind = argc == 3 ? argv[1] : "";
  if (kind != "small" && kind != "large") {
    std::cerr << "usage: vaskel-make-bench-chm small|large OUT.chm\n";
    return 2;
  }
  const std::vector<std::uint8_t> chm =
      vaskel::chmwriter::WriteChm(kind == "small" ? SmallFiles() : LargeStreams());
  std::ofstream out(argv[2], std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(chm.data()), static_cast<std::streamsize>(chm.size()));
  if (!out.flush()) {
    std::cerr << "vaskel-make-bench-chm: cannot write " << argv[2] << "\n";
    return 1;
  }
  return 0;
}
