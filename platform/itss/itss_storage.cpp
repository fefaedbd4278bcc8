#include "platform/itss/itss_storage.h"

#include <cstdint>
#include <string>

#include "platform/com/error_info.h"
#include "platform/itss/itss_enum.h"
#include "platform/itss/itss_stream.h"

namespace vaskel::itss {
namespace {

constexpr DWORD kAccessMask = 0x3;  // STGM_READ 0, STGM_WRITE 1, STGM_READWRITE 2

// Reads with a section-1 decoder of its own, so that it never waits for the file's streams.
// Its reads go forward through the data, so the only frame read again is the one a stream ends
// in, by the next stream: a few cached frames are enough, and fresh memory is dear.
class ItssExtentReader final : public ExtentReader {
 public:
  static constexpr std::size_t kCacheFrames = 4;

  explicit ItssExtentReader(std::shared_ptr<ItssArchive> archive)
      : archive_(std::move(archive)), section1_(archive_->NewSection1Reader(kCacheFrames)) {}

  HRESULT Read(const StreamExtent& stream, std::uint64_t position,
               std::span<std::uint8_t> out) override {
    SetErrorInfo({});  // a failure below leaves its own
    const StreamLocation location{stream.section, stream.offset, stream.length};
    return archive_->ReadStream(location, position, out, section1_.get());
  }

  HRESULT CheckExtent(const StreamExtent& stream) const override {
    SetErrorInfo({});
    return archive_->CheckStream(StreamLocation{stream.section, stream.offset, stream.length});
  }

  std::uint64_t FreshStartSpan(std::uint64_t section) const override {
    if (section == 0) return 1;  // stored: any byte can be read alone
    if (section != 1 || !section1_) return 0;
    const std::uint64_t frames = section1_->info().frames_per_reset;
    return frames <= UINT64_MAX / kLzxFrameSize ? frames * kLzxFrameSize : 0;
  }

 private:
  const std::shared_ptr<ItssArchive> archive_;
  const std::unique_ptr<CompressedSectionReader> section1_;
};

}  // namespace

bool IsReadOnlyMode(DWORD mode) { return (mode & kAccessMask) == STGM_READ; }

HRESULT ItssStorage::EnumElements(DWORD, void*, DWORD, IEnumSTATSTG** ppenum) {
  if (ppenum == nullptr) return STG_E_INVALIDPOINTER;
  *ppenum = new ItssEnum(archive_, node_);
  return S_OK;
}

HRESULT ItssStorage::OpenStorage(const char16_t* pwcsName, IStorage*, DWORD grfMode, char16_t**,
                                 DWORD, IStorage** ppstg) {
  if (ppstg == nullptr) return STG_E_INVALIDPOINTER;
  *ppstg = nullptr;
  if (pwcsName == nullptr) return STG_E_INVALIDPOINTER;
  if (!IsReadOnlyMode(grfMode)) return STG_E_ACCESSDENIED;
  const auto child = archive_->tree().FindChild(node_, pwcsName);
  if (!child || !archive_->tree().node(*child).is_storage()) return STG_E_FILENOTFOUND;
  *ppstg = new ItssStorage(archive_, *child);
  return S_OK;
}

HRESULT ItssStorage::OpenStream(const char16_t* pwcsName, void*, DWORD grfMode, DWORD,
                                IStream** ppstm) {
  if (ppstm == nullptr) return STG_E_INVALIDPOINTER;
  *ppstm = nullptr;
  if (pwcsName == nullptr) return STG_E_INVALIDPOINTER;
  if (!IsReadOnlyMode(grfMode)) return STG_E_ACCESSDENIED;
  const auto child = archive_->tree().FindChild(node_, pwcsName);
  if (!child || archive_->tree().node(*child).is_storage()) return STG_E_FILENOTFOUND;
  *ppstm = new ItssStream(archive_, *child);
  return S_OK;
}

}  // namespace vaskel::itss

namespace vaskel::itss {

HRESULT ItssStorage::LocateStream(const char16_t* name, StreamExtent* extent) {
  if (name == nullptr || extent == nullptr) return STG_E_INVALIDPOINTER;
  const auto child = archive_->tree().FindChild(node_, name);
  if (!child || archive_->tree().node(*child).is_storage()) return STG_E_FILENOTFOUND;
  const StreamLocation stream = archive_->tree().stream(*child);
  *extent = {stream.section, stream.offset, stream.length};
  return S_OK;
}

std::unique_ptr<ExtentReader> ItssStorage::NewExtentReader() {
  return std::make_unique<ItssExtentReader>(archive_);
}

}  // namespace vaskel::itss
