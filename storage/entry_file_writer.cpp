#include "storage/entry_file_writer.h"

#include <cerrno>
#include <system_error>
#include <utility>

#include "storage/stream_copy.h"

namespace vaskel {

EntryFileWriter::~EntryFileWriter() { RemoveInHand(); }

void EntryFileWriter::PrepareFolders(std::string_view destination_folder,
                                     std::string_view internal_path) {
  tree_.PrepareFolders(destination_folder, internal_path);
}

void EntryFileWriter::Begin(EntryTarget target) {
  RemoveInHand();
  bytes_ = 0;
  file_ = tree_.CreateFile(target);
  target_ = std::move(target);
}

void EntryFileWriter::Write(std::span<const std::uint8_t> bytes) {
  if (const int error = WriteAll(file_.Get(), bytes)) FailWriting(error);
  bytes_ += bytes.size();
}

std::uint64_t EntryFileWriter::Finish() {
  if (file_.Close() != 0) FailWriting(errno);
  target_.reset();
  return bytes_;
}

ExtractionError EntryFileWriter::Abandon(const std::string& reason, const std::string& entry) {
  ExtractionError error(target_ ? target_->full_path : std::string(), reason, 0, entry);
  RemoveInHand();
  return error;
}

void EntryFileWriter::FailWriting(int error) {
  const std::string path = target_ ? target_->full_path : std::string();
  RemoveInHand();
  throw ExtractionError(path, std::generic_category().message(error), error);
}

void EntryFileWriter::RemoveInHand() noexcept {
  file_.Reset();
  if (target_) tree_.RemoveFile(*target_);
  target_.reset();
}

}  // namespace vaskel
