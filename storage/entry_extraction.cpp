#include "storage/entry_extraction.h"

#include <optional>

#include "storage/entry_target.h"
#include "storage/stream_copy.h"

namespace vaskel {

ExtractedEntry StorageEngine::ExtractEntry(IStorage* storage, std::string_view internal_path,
                                           std::string_view name,
                                           std::string_view destination_folder, bool use_path,
                                           ExtractionSession* session) {
  // Refused paths are refused before the help file or the disk is touched.
  EntryTarget target = ComposeEntryTarget(destination_folder, internal_path, name, use_path);

  ComPtr<IStream> stream;
  const char16_t* wide_name = storage ? ToWideName(name) : nullptr;
  if (wide_name == nullptr ||
      Failed(storage->OpenStream(wide_name, nullptr, STGM_READ, 0, stream.Put())) || !stream) {
    return {};
  }
  std::optional<ExtractionSession> own_session;
  if (session == nullptr) session = &own_session.emplace();
  EntryFileWriter& file = session->Files();
  file.Begin(std::move(target));
  const StreamCopy copy = CopyStream(*stream.Get(), session->CopyBuffer(),
                                     [&file](std::span<const std::uint8_t> bytes) {
                                       file.Write(bytes);
                                       return 0;
                                     });
  if (copy.Damaged()) {
    throw file.Abandon(DescribeDamage(copy), std::string(internal_path) + std::string(name));
  }
  return {true, file.Finish()};
}

}  // namespace vaskel
