#include "tests/itss/itss_test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>

#include "platform/itss/itss_component.h"
#include "platform/itss/utf_text.h"

namespace vaskel::itss::testing {
namespace fs = std::filesystem;

std::string CorpusPath(const std::string& relative) {
  return std::string(VASKEL_CORPUS_DIR) + "/" + relative;
}

std::vector<fs::path> CorpusFiles(const std::string& folder) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(CorpusPath(folder))) {
    if (entry.is_regular_file() && entry.path().extension() != ".md") files.push_back(entry.path());
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::u16string ToUtf16(const std::string& utf8) { return Utf8ToUtf16(utf8); }

std::string ToUtf8(const std::u16string& utf16) { return Utf16ToUtf8(utf16).value_or("<bad>"); }

ComPtr<IStorage> OpenChm(const fs::path& path, HRESULT* result) {
  ComPtr<IITStorage> component;
  HRESULT hr = CreateItssComponent(component.Put());
  ComPtr<IStorage> root;
  if (Succeeded(hr)) {
    hr = component->StgOpenStorage(ToUtf16(path.string()).c_str(), nullptr, STGM_SHARE_DENY_WRITE,
                                   nullptr, 0, root.Put());
  }
  if (result) *result = hr;
  return root;
}

namespace {

void WalkInto(IStorage* storage, const std::string& prefix, std::vector<PresentedItem>* items) {
  ComPtr<IEnumSTATSTG> elements;
  ASSERT_EQ(storage->EnumElements(0, nullptr, 0, elements.Put()), S_OK);
  STATSTG stat;
  while (elements->Next(1, &stat, nullptr) == S_OK) {
    PresentedItem item{prefix + ToUtf8(stat.pwcsName), stat.type == STGTY_STORAGE, stat.cbSize};
    items->push_back(item);
    if (item.is_storage) {
      ComPtr<IStorage> child;
      ASSERT_EQ(storage->OpenStorage(stat.pwcsName.c_str(), nullptr, 0, nullptr, 0, child.Put()),
                S_OK)
          << item.path;
      WalkInto(child.Get(), item.path + "/", items);
    }
  }
}

}  // namespace

std::vector<PresentedItem> WalkTree(IStorage* storage) {
  std::vector<PresentedItem> items;
  WalkInto(storage, "", &items);
  return items;
}

ComPtr<IStream> OpenStreamAt(IStorage* root, const std::string& path) {
  root->AddRef();
  ComPtr<IStorage> folder = ComPtr<IStorage>::Adopt(root);
  std::string rest = path;
  for (std::size_t slash; (slash = rest.find('/')) != std::string::npos;) {
    ComPtr<IStorage> child;
    if (Failed(folder->OpenStorage(ToUtf16(rest.substr(0, slash)).c_str(), nullptr, 0, nullptr, 0,
                                   child.Put()))) {
      return nullptr;
    }
    folder = child;
    rest.erase(0, slash + 1);
  }
  ComPtr<IStream> stream;
  folder->OpenStream(ToUtf16(rest).c_str(), nullptr, 0, 0, stream.Put());
  return stream;
}

ReadOutcome ReadAll(IStream* stream, std::uint32_t read_size) {
  ReadOutcome outcome;
  std::vector<std::uint8_t> buffer(read_size);
  while (true) {
    ULONG got = 0;
    outcome.result = stream->Read(buffer.data(), read_size, &got);
    if (Failed(outcome.result)) return outcome;
    outcome.bytes.insert(outcome.bytes.end(), buffer.begin(), buffer.begin() + got);
    if (got < read_size) break;
  }
  // After a short read the stream is at its end.
  ULONG got = 1;
  EXPECT_EQ(stream->Read(buffer.data(), read_size, &got), S_OK);
  EXPECT_EQ(got, 0u);
  return outcome;
}

ReadOutcome ReadPath(IStorage* root, const std::string& path, std::uint32_t read_size) {
  ComPtr<IStream> stream = OpenStreamAt(root, path);
  if (!stream) return {STG_E_FILENOTFOUND, {}};
  return ReadAll(stream.Get(), read_size);
}

TempDir::TempDir() {
  const fs::path base =
      fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path();
  std::string pattern = (base / "itss-test-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void WriteFile(const fs::path& path, const std::vector<std::uint8_t>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  if (!out) throw std::runtime_error("cannot write " + path.string());
}

std::vector<std::uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint32_t seed) {
  std::vector<std::uint8_t> bytes(size);
  std::uint32_t state = seed * 2654435761u + 1;
  for (std::size_t i = 0; i < size; ++i) {
    state = state * 1103515245u + 12345u;
    bytes[i] = static_cast<std::uint8_t>(state >> 16);
  }
  return bytes;
}

ComPtr<IStorage> OpenBytes(const TempDir& dir, const std::vector<std::uint8_t>& bytes,
                           HRESULT* result, const std::string& name) {
  const fs::path path = dir.path() / name;
  WriteFile(path, bytes);
  return OpenChm(path, result);
}

namespace {

std::string Quote(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return quoted + "'";
}

std::optional<std::string> RunCommand(const std::string& command) {
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(::popen(command.c_str(), "r"), ::pclose);
  if (!pipe) return std::nullopt;
  std::string output;
  std::array<char, 65536> buffer;
  while (std::size_t got = std::fread(buffer.data(), 1, buffer.size(), pipe.get())) {
    output.append(buffer.data(), got);
  }
  if (::pclose(pipe.release()) != 0) return std::nullopt;
  return output;
}

}  // namespace

bool HaveSevenZip() { return std::system("command -v 7zz > /dev/null 2>&1") == 0; }

std::optional<std::vector<ListedItem>> SevenZipList(const fs::path& archive) {
  const auto output =
      RunCommand("7zz l -slt -sccUTF-8 " + Quote(archive.string()) + " 2>/dev/null");
  if (!output) return std::nullopt;
  std::vector<ListedItem> items;
  std::istringstream lines(*output);
  std::string line;
  bool in_items = false;
  ListedItem item;
  bool have_item = false;
  auto flush = [&] {
    if (have_item) items.push_back(item);
    item = {};
    have_item = false;
  };
  while (std::getline(lines, line)) {
    if (line == "----------") {
      in_items = true;
      continue;
    }
    if (!in_items) continue;
    if (line.empty()) {
      flush();
    } else if (line.starts_with("Path = ")) {
      item.path = line.substr(7);
      have_item = true;
    } else if (line.starts_with("Size = ")) {
      item.size = std::stoull(line.substr(7));
    } else if (line.starts_with("Method = ")) {
      item.is_folder = line.size() == 9;  // folders have no method
    }
  }
  flush();
  return items;
}

bool SevenZipExtract(const fs::path& archive, const fs::path& into) {
  return RunCommand("7zz x -y -sccUTF-8 -o" + Quote(into.string()) + " " + Quote(archive.string()) +
                    " > /dev/null 2>&1")
      .has_value();
}

}  // namespace vaskel::itss::testing
