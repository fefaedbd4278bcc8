#include "storage/extraction_session.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "storage/stream_copy.h"

namespace vaskel {
namespace {

// 64 reads gathered before they are written (in pieces, see WriteAll).
constexpr std::size_t kCopyBufferSize = 64 * kStreamReadSize;

}  // namespace

ExtractionSession::ExtractionSession() = default;
ExtractionSession::~ExtractionSession() = default;

void ExtractionSession::PrepareFolders(std::string_view destination_folder,
                                       std::string_view internal_path) {
  tree_.PrepareFolders(destination_folder, internal_path);
}

void ExtractionSession::BeginFile(EntryTarget target,
                                  std::optional<std::uint64_t> /*stated_size*/) {
  current_target_ = std::make_shared<const EntryTarget>(std::move(target));
  current_file_ = tree_.CreateFile(*current_target_);
}

std::span<std::uint8_t> ExtractionSession::NextBuffer() {
  if (copy_buffer_.empty()) copy_buffer_.resize(kCopyBufferSize);
  return copy_buffer_;
}

void ExtractionSession::Commit(std::size_t filled, bool last) {
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
}

void ExtractionSession::AbandonFile() {
  if (current_file_) {
    current_file_.Reset();
    tree_.RemoveFile(*current_target_);
  }
}

void ExtractionSession::Raise(const ExtractionError& error) { throw error; }

}  // namespace vaskel
