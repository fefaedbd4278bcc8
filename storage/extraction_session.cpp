#include "storage/extraction_session.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "storage/stream_copy.h"
#include "storage/write_behind.h"

namespace vaskel {
namespace {

// 64 reads gathered before they are written (in pieces, see WriteAll) or handed over.
constexpr std::size_t kCopyBufferSize = 64 * kStreamReadSize;

// A buffer just large enough for what is left of the stream plus the read that finds its end.
std::size_t ChunkSizeFor(std::optional<std::uint64_t> bytes_left) {
  if (!bytes_left || *bytes_left >= kCopyBufferSize) return kCopyBufferSize;
  return static_cast<std::size_t>(*bytes_left / kStreamReadSize + 1) * kStreamReadSize;
}

}  // namespace

ExtractionSession::ExtractionSession(Writing writing) {
  if (writing == Writing::kBehind) behind_ = std::make_unique<WriteBehind>(tree_);
}

ExtractionSession::~ExtractionSession() = default;

void ExtractionSession::PrepareFolders(std::string_view destination_folder,
                                       std::string_view internal_path) {
  if (behind_) {
    ThrowEarlierFailure();
    behind_->PrepareFolders(std::string(destination_folder), std::string(internal_path));
  } else {
    tree_.PrepareFolders(destination_folder, internal_path);
  }
}

void ExtractionSession::Finish() {
  if (behind_) behind_->Settle();
}

std::size_t ExtractionSession::FilesCompleted() const {
  return behind_ ? behind_->FilesCompleted() : files_completed_;
}

std::uint64_t ExtractionSession::BytesCompleted() const {
  return behind_ ? behind_->BytesCompleted() : bytes_completed_;
}

void ExtractionSession::ThrowEarlierFailure() {
  if (behind_ && behind_->HasFailed()) behind_->Settle();
}

void ExtractionSession::BeginFile(EntryTarget target, std::optional<std::uint64_t> stated_size) {
  bytes_left_ = stated_size;
  current_bytes_ = 0;
  current_target_ = std::make_shared<const EntryTarget>(std::move(target));
  handed_over_ = false;
  if (!behind_) current_file_ = tree_.CreateFile(*current_target_);
}

std::span<std::uint8_t> ExtractionSession::NextBuffer() {
  if (behind_) return behind_->Reserve(ChunkSizeFor(bytes_left_));
  if (copy_buffer_.empty()) copy_buffer_.resize(kCopyBufferSize);
  return copy_buffer_;
}

void ExtractionSession::Commit(std::size_t filled, bool last) {
  current_bytes_ += filled;
  if (bytes_left_) *bytes_left_ -= std::min<std::uint64_t>(*bytes_left_, filled);
  if (behind_) {
    behind_->Write(handed_over_ ? nullptr : current_target_, filled, last);
    handed_over_ = true;
    return;
  }
  if (const int error = WriteAll(current_file_.Get(), std::span(copy_buffer_).first(filled))) {
    AbandonFile();
    throw ExtractionError(current_target_->full_path, std::generic_category().message(error),
                          error);
  }
  if (!last) return;
  if (current_file_.Close() != 0) {
    const int error = errno;
    tree_.RemoveFile(*current_target_);
    throw ExtractionError(current_target_->full_path, std::generic_category().message(error),
                          error);
  }
  ++files_completed_;
  bytes_completed_ += current_bytes_;
}

void ExtractionSession::AbandonFile() {
  if (behind_) {
    // As when writing in the call, an older file of that name does not survive either.
    if (!handed_over_) behind_->Write(current_target_, 0, false);
    handed_over_ = true;
    behind_->AbandonFile();
    return;
  }
  if (current_file_) {
    current_file_.Reset();
    tree_.RemoveFile(*current_target_);
  }
}

void ExtractionSession::Raise(const ExtractionError& error) {
  if (behind_) behind_->Settle();
  throw error;
}

}  // namespace vaskel
