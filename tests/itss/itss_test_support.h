// Helpers for the storage component's tests: opening files, walking the presented tree, reading
// streams, temporary folders and 7-Zip as the reference extractor.
#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "storage/com_ptr.h"
#include "storage/storage_interfaces.h"

namespace vaskel::itss::testing {

std::string CorpusPath(const std::string& relative);
std::vector<std::filesystem::path> CorpusFiles(const std::string& folder);

std::u16string ToUtf16(const std::string& utf8);
std::string ToUtf8(const std::u16string& utf16);

// Opens a file through a fresh component; *result gets the open's HRESULT.
ComPtr<IStorage> OpenChm(const std::filesystem::path& path, HRESULT* result = nullptr);

struct PresentedItem {
  std::string path;  // "folder/name", UTF-8
  bool is_storage = false;
  std::uint64_t size = 0;
};

// Depth-first walk of everything presented below `storage`, children in enumeration order.
std::vector<PresentedItem> WalkTree(IStorage* storage);

// Opens a stream by a "folder/name" path below `root`.
ComPtr<IStream> OpenStreamAt(IStorage* root, const std::string& path);

struct ReadOutcome {
  HRESULT result = S_OK;  // the first failing Read's result, or S_OK
  std::vector<std::uint8_t> bytes;
};

// Reads a stream to its end in reads of `read_size` bytes, checking that only the last read is
// short.
ReadOutcome ReadAll(IStream* stream, std::uint32_t read_size = 4096);

// Reads the whole stream at "folder/name" below `root`.
ReadOutcome ReadPath(IStorage* root, const std::string& path, std::uint32_t read_size = 4096);

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

void WriteFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes);
std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path);

// Deterministic, position-dependent bytes, so misplaced data never compares equal by accident.
std::vector<std::uint8_t> PatternBytes(std::size_t size, std::uint32_t seed);

// Writes `bytes` into `dir` under `name` and opens the file.
ComPtr<IStorage> OpenBytes(const TempDir& dir, const std::vector<std::uint8_t>& bytes,
                           HRESULT* result = nullptr, const std::string& name = "test.chm");

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
