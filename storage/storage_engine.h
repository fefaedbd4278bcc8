// The program's only access to help files: owns the storage component, the open file's root
// storage, every child storage the catalogue walk opened, and the StorageTable that maps
// catalogue rows to the storages holding their streams.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/storage_interfaces.h"
#include "platform/fs/file_identity.h"
#include "storage/extraction_job.h"
#include "storage/extraction_session.h"
#include "storage/storage_table.h"

namespace vaskel {

class CatalogueList;
class TypeAndIconSource;

class StorageEngine {
 public:
  StorageEngine();
  ~StorageEngine();
  StorageEngine(const StorageEngine&) = delete;
  StorageEngine& operator=(const StorageEngine&) = delete;

  // Opens `path` (narrow text) as the root storage, releasing the previous one first.
  // Returns the component's result; a failure leaves no root storage, and its reason for
  // GetErrorInfo when the reader gave one.
  HRESULT OpenFile(std::string_view path);

  // Converts narrow text into the engine's single UTF-16 name buffer, valid until the next
  // conversion. Null when the text needs more units than the platform's path limit allows.
  const char16_t* ToWideName(std::string_view text);

  IStorage* GetRootStorage() const { return root_storage_.Get(); }
  // The file the last successful OpenFile opened, as it was then; nothing when it changed while
  // it was being opened. OpenCount() tells one open from the next.
  const std::optional<platform::FileIdentity>& OpenedFile() const { return opened_file_; }
  std::uint64_t OpenCount() const { return open_count_; }
  bool HasComponent() const { return static_cast<bool>(component_); }

  // Releases every child storage the walk opened and empties the table.
  void Reset();

  // Adds one catalogue row to `list` for every stream below `storage`, depth first in
  // enumeration order, leaving out every element whose name begins with '#' or '$' (such a
  // storage is not opened). `prefix` is the internal path of `storage`: each storage name
  // followed by kPathSeparator. Each row's item data indexes the table entry naming the
  // stream's storage; child storages are held until Reset. Storages that cannot be enumerated
  // or opened are skipped. Returns the number of rows added.
  std::int32_t WalkStorage(CatalogueList& list, TypeAndIconSource& images, IStorage* storage,
                           std::string prefix);

  // Refills `list` from the root storage as the window shows it: the previous walk's storages
  // released, the rows emptied and, with redrawing off, walked again. Redrawing stays off for
  // the caller to turn on when it shows the rows. Returns the number of rows.
  std::int32_t WalkCatalogue(CatalogueList& list, TypeAndIconSource& types);

  // The storage that holds a row's stream, by the row's item data; null for any value the
  // table does not have (item data is wider than a table index).
  IStorage* StorageAt(std::intptr_t index) const;
  IStorage* RowStorage(const CatalogueList& list, int row) const;
  // A row as an extraction job's entry: its stream's storage (null when the table has none),
  // Path and File Name texts.
  JobEntry RowEntry(const CatalogueList& list, int row) const;

  const StorageTable& Table() const { return storage_table_; }
  std::size_t OpenedStorageCount() const { return opened_storages_.size(); }

  // Used by the catalogue walk: remembers a child storage (taking over its reference) and
  // appends a table entry.
  void HoldOpenedStorage(ComPtr<IStorage> storage);
  std::int32_t AppendTableEntry(IStorage* storage) { return storage_table_.Add(storage); }

  // Writes the stream `name` of `storage` (a row's storage, Path and File Name) below
  // `destination_folder`, recreating the Path's folders when `use_path` is set; see
  // storage/entry_extraction.h. Calls of one unpack may share a `session`. Throws
  // ExtractionError.
  ExtractedEntry ExtractEntry(IStorage* storage, std::string_view internal_path,
                              std::string_view name, std::string_view destination_folder,
                              bool use_path, ExtractionSession* session = nullptr);

 private:
  StorageTable storage_table_;
  std::vector<ComPtr<IStorage>> opened_storages_;
  ComPtr<IITStorage> component_;
  ComPtr<IStorage> root_storage_;
  std::unique_ptr<char16_t[]> name_buffer_;
  std::optional<platform::FileIdentity> opened_file_;
  std::uint64_t open_count_ = 0;
};

}  // namespace vaskel
