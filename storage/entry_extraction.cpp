#include "storage/entry_extraction.h"

#include <optional>

#include "platform/com/error_info.h"
#include "storage/entry_target.h"
#include "storage/stream_copy.h"

namespace vaskel {

ExtractedEntry StorageEngine::ExtractEntry(IStorage* storage, std::string_view internal_path,
                                           std::string_view name,
                                           std::string_view destination_folder, bool use_path,
                                           ExtractionSession* session) {
  std::optional<ExtractionSession> own_session;
  if (session == nullptr) session = &own_session.emplace();

  // Refused paths are refused before the help file or the disk is touched.
  std::optional<EntryTarget> target;
  try {
    target = ComposeEntryTarget(destination_folder, internal_path, name, use_path);
  } catch (const ExtractionError& error) {
    session->Raise(error);
  }

  ComPtr<IStream> stream;
  const char16_t* wide_name = storage ? ToWideName(name) : nullptr;
  if (wide_name == nullptr ||
      Failed(storage->OpenStream(wide_name, nullptr, STGM_READ, 0, stream.Put())) || !stream) {
    return {};
  }
  StreamCopy copy;
  STATSTG stat;
  if (Succeeded(stream->Stat(&stat))) copy.stated_bytes = stat.cbSize;

  try {
    session->BeginFile(std::move(*target), copy.stated_bytes);
  } catch (const ExtractionError& error) {
    session->Raise(error);
  }
  // Reads of 4096 bytes gathered into the session's buffers; the first short read ends it.
  for (bool end = false; !end;) {
    const std::span<std::uint8_t> buffer = session->NextBuffer();
    std::size_t filled = 0;
    while (!end && buffer.size() - filled >= kStreamReadSize) {
      ULONG delivered = 0;
      const HRESULT hr = stream->Read(buffer.data() + filled, kStreamReadSize, &delivered);
      if (Failed(hr) || delivered > kStreamReadSize) {
        copy.read_result = Failed(hr) ? hr : STG_E_READFAULT;
        if (Failed(hr)) copy.read_failure = GetErrorInfo();
        break;
      }
      filled += delivered;
      end = delivered < kStreamReadSize;
    }
    if (copy.Damaged()) break;
    copy.bytes += filled;
    // A reader that stops early without saying so must not pass for a complete copy.
    if (end && copy.stated_bytes && *copy.stated_bytes != copy.bytes) {
      copy.read_result = STG_E_READFAULT;
      copy.ended_early = true;
      break;
    }
    session->Commit(filled, end);
  }
  if (copy.Damaged()) {
    session->AbandonFile();
    session->Raise(ExtractionError(session->CurrentTarget().full_path, DescribeDamage(copy), 0,
                                   std::string(internal_path) + std::string(name)));
  }
  return {true, copy.bytes};
}

}  // namespace vaskel
