#include "storage/entry_extraction.h"

#include <cerrno>
#include <optional>
#include <system_error>

#include "storage/entry_target.h"
#include "storage/stream_copy.h"

namespace vaskel {

ExtractedEntry StorageEngine::ExtractEntry(IStorage* storage, std::string_view internal_path,
                                           std::string_view name,
                                           std::string_view destination_folder, bool use_path,
                                           ExtractionSession* session) {
  // Refused paths are refused before the help file or the disk is touched.
  const EntryTarget target = ComposeEntryTarget(destination_folder, internal_path, name, use_path);

  ComPtr<IStream> stream;
  const char16_t* wide_name = storage ? ToWideName(name) : nullptr;
  if (wide_name == nullptr ||
      Failed(storage->OpenStream(wide_name, nullptr, STGM_READ, 0, stream.Put())) || !stream) {
    return {};
  }

  std::optional<ExtractionSession> own_session;
  if (session == nullptr) session = &own_session.emplace();
  UniqueFd file = session->CreateFile(target);
  const StreamCopy copy = CopyStream(*stream.Get(), file.Get(), session->CopyBuffer());
  const int close_error = file.Close() == 0 ? 0 : errno;
  if (copy.Succeeded() && close_error == 0) return {true, copy.bytes};

  session->RemoveFile(target);
  if (copy.Damaged()) {
    throw ExtractionError(target.full_path, DescribeDamage(copy), 0,
                          std::string(internal_path) + std::string(name));
  }
  const int error = copy.write_error ? copy.write_error : close_error;
  throw ExtractionError(target.full_path, std::generic_category().message(error), error);
}

}  // namespace vaskel
