// An EntrySink that writes each entry to a file below a destination folder: the paths composed
// as ComposeEntryTarget does, the files written by an EntryFileWriter (the one set of rules for
// the disk: confinement, files created anew, partial files removed on failure).
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "storage/entry_file_writer.h"
#include "storage/entry_target.h"
#include "storage/extraction_error.h"
#include "storage/extraction_job.h"

namespace vaskel {

class EntryFiles final : public EntrySink {
 public:
  // Called for an entry whose data turned out damaged (its partial file already removed);
  // without it, such an entry throws like a disk failure and ends the job.
  using DamageHandler = std::function<void(const ExtractionError&)>;

  EntryFiles(const std::vector<JobEntry>& entries, std::string destination_folder, bool use_path,
             DamageHandler on_damage = {});
  ~EntryFiles() override;

  // Makes every entry's folders first: several times faster on disks where making folders
  // between files is slow. Throws ExtractionError.
  void PrepareFolders();

  // Each throws ExtractionError naming the file and the reason when the disk refuses.
  void Begin(std::size_t entry, std::uint64_t size) override;
  void Write(std::span<const std::uint8_t> bytes) override;
  void End(HRESULT result) override;
  void Skip(std::size_t entry) override;

  std::size_t FilesWritten() const { return files_written_; }
  std::uint64_t BytesWritten() const { return bytes_written_; }
  std::size_t Skipped() const { return skipped_; }
  std::size_t Damaged() const { return damaged_; }

 private:
  const std::vector<JobEntry>& entries_;
  const std::string destination_;
  const bool use_path_;
  DamageHandler on_damage_;
  EntryFileWriter writer_;
  std::size_t entry_ = 0;
  std::size_t files_written_ = 0;
  std::uint64_t bytes_written_ = 0;
  std::size_t skipped_ = 0;
  std::size_t damaged_ = 0;
};

// Without the internal folders, entries of one name land on one file, which keeps the bytes of
// the last of them in the order given. Only that one is kept, so that the order they are read
// in does not decide. The internal path and name of each entry dropped, in the order given, go
// to `written_over` when given.
std::vector<JobEntry> LastOfEachName(std::vector<JobEntry> entries,
                                     std::vector<std::string>* written_over = nullptr);

// "7 files were written over by a later file of the same name: a/index.html, ..., and 2 more"
// (the first few named); empty for none.
std::string WrittenOverText(const std::vector<std::string>& written_over);

}  // namespace vaskel
