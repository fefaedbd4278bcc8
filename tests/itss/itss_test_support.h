// Helpers for the storage component's tests: opening files, walking the presented tree, reading
// streams, temporary folders and 7-Zip as the reference extractor.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/storage_interfaces.h"

namespace vaskel::itss::testing {

using Bytes = std::vector<std::uint8_t>;

std::filesystem::path CorpusPath(const std::string& relative);
std::u16string ToUtf16(const std::string& utf8);

// Deterministic, position-dependent bytes, so misplaced data never compares equal by accident.
Bytes PatternBytes(std::size_t size, std::uint32_t seed);

// A folder removed with everything in it at the end of the test; on tmpfs when available.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

void WriteFile(const std::filesystem::path& path, const Bytes& bytes);

// Opens a file through a fresh component; *result gets the open's HRESULT.
ComPtr<IStorage> OpenChm(const std::filesystem::path& path, HRESULT* result = nullptr);
// Writes `bytes` to a file in `dir` and opens it.
ComPtr<IStorage> OpenBytes(const TempDir& dir, const Bytes& bytes, HRESULT* result = nullptr);

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
