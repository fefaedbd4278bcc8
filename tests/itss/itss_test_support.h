// Helpers for the storage component's tests: opening files, walking the presented tree, reading
// streams and 7-Zip as the reference extractor.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/storage_interfaces.h"
#include "tests/support/corpus.h"
#include "tests/support/pattern_bytes.h"
#include "tests/support/temp_folder.h"

namespace vaskel::itss::testing {

using Bytes = std::vector<std::uint8_t>;

std::u16string ToUtf16(const std::string& utf8);

using vaskel::testing::CorpusPath;
using vaskel::testing::PatternBytes;
using vaskel::testing::TempFolder;
using vaskel::testing::WriteBytes;

// Opens a file through a fresh component; *result gets the open's HRESULT.
ComPtr<IStorage> OpenChm(const std::filesystem::path& path, HRESULT* result = nullptr);
// Writes `bytes` to a file in `dir` and opens it.
ComPtr<IStorage> OpenBytes(const TempFolder& dir, const Bytes& bytes, HRESULT* result = nullptr);

struct PresentedItem {
  std::string path;  // "folder/name", UTF-8
  bool is_storage = false;
  std::uint64_t size = 0;
};

// Depth-first walk of everything presented below `storage`, children in enumeration order.
std::vector<PresentedItem> WalkTree(IStorage* storage);

ComPtr<IStream> OpenStreamAt(IStorage* root, const std::string& path);  // "folder/name"

struct ReadOutcome {
  HRESULT result = S_OK;  // the first failing Read's result, or S_OK
  Bytes bytes;
};

// Reads the stream at "folder/name" to its end in reads of `read_size` bytes, checking that only
// the last read is short.
ReadOutcome ReadPath(IStorage* root, const std::string& path, std::uint32_t read_size = 4096);

bool HaveSevenZip();

struct ListedItem {
  std::string path;
  bool is_folder = false;
  std::uint64_t size = 0;
};

// 7-Zip's listing of an archive, or nothing when 7-Zip failed.
std::optional<std::vector<ListedItem>> SevenZipList(const std::filesystem::path& archive);
bool SevenZipExtract(const std::filesystem::path& archive, const std::filesystem::path& into);

}  // namespace vaskel::itss::testing
