#include "tests/itss/itss_test_support.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <array>
#include <cstdio>
#include <memory>
#include <sstream>

#include "platform/itss/itss_component.h"
#include "platform/text/utf_text.h"

namespace vaskel::itss::testing {
namespace fs = std::filesystem;

std::u16string ToUtf16(const std::string& utf8) { return platform::Utf8ToUtf16(utf8); }

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

ComPtr<IStorage> OpenBytes(const TempFolder& dir, const Bytes& bytes, HRESULT* result) {
  static int serial = 0;
  const fs::path path = dir.path() / ("test" + std::to_string(++serial) + ".chm");
  WriteBytes(path, bytes);
  return OpenChm(path, result);
}

namespace {

void WalkInto(IStorage* storage, const std::string& prefix, std::vector<PresentedItem>* items) {
  ComPtr<IEnumSTATSTG> elements;
  ASSERT_EQ(storage->EnumElements(0, nullptr, 0, elements.Put()), S_OK);
  STATSTG stat;
  while (elements->Next(1, &stat, nullptr) == S_OK) {
    const PresentedItem item{prefix + platform::Utf16ToUtf8(stat.pwcsName).value_or("<bad>"),
                             stat.type == STGTY_STORAGE, stat.cbSize};
    items->push_back(item);
    if (!item.is_storage) continue;
    ComPtr<IStorage> child;
    ASSERT_EQ(storage->OpenStorage(stat.pwcsName.c_str(), nullptr, 0, nullptr, 0, child.Put()),
              S_OK);
    WalkInto(child.Get(), item.path + "/", items);
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
  for (std::size_t slash; (slash = rest.find('/')) != std::string::npos; rest.erase(0, slash + 1)) {
    ComPtr<IStorage> child;
    const std::u16string name = ToUtf16(rest.substr(0, slash));
    if (Failed(folder->OpenStorage(name.c_str(), nullptr, 0, nullptr, 0, child.Put()))) return {};
    folder = child;
  }
  ComPtr<IStream> stream;
  folder->OpenStream(ToUtf16(rest).c_str(), nullptr, 0, 0, stream.Put());
  return stream;
}

ReadOutcome ReadPath(IStorage* root, const std::string& path, std::uint32_t read_size) {
  ComPtr<IStream> stream = OpenStreamAt(root, path);
  if (!stream) return {STG_E_FILENOTFOUND, {}};
  ReadOutcome outcome;
  Bytes buffer(read_size);
  for (ULONG got = read_size; got == read_size;) {
    outcome.result = stream->Read(buffer.data(), read_size, &got);
    if (Failed(outcome.result)) return outcome;
    outcome.bytes.insert(outcome.bytes.end(), buffer.begin(), buffer.begin() + got);
  }
  ULONG got = 1;  // after a short read the stream is at its end
  EXPECT_EQ(stream->Read(buffer.data(), read_size, &got), S_OK);
  EXPECT_EQ(got, 0u);
  return outcome;
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
  // Items follow the "----------" line as "Key = value" blocks; folders have no method.
  std::vector<ListedItem> items;
  std::istringstream lines(output->substr(output->find("\n----------\n") + 1));
  for (std::string line; std::getline(lines, line);) {
    if (line.starts_with("Path = ")) items.push_back({line.substr(7)});
    if (items.empty()) continue;
    if (line.starts_with("Size = ")) items.back().size = std::stoull(line.substr(7));
    if (line.starts_with("Method = ")) items.back().is_folder = line.size() == 9;
  }
  return items;
}

bool SevenZipExtract(const fs::path& archive, const fs::path& into) {
  return RunCommand("7zz x -y -sccUTF-8 -o" + Quote(into.string()) + " " + Quote(archive.string()) +
                    " > /dev/null 2>&1")
      .has_value();
}

}  // namespace vaskel::itss::testing
