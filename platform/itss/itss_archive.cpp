#include "platform/itss/itss_archive.h"

#include <string>

#include "platform/com/error_info.h"
#include "platform/itss/checked_math.h"
#include "platform/itss/compressed_section_info.h"
#include "platform/itss/directory.h"
#include "platform/text/utf_text.h"

namespace vaskel::itss {

HRESULT ItssArchive::Open(std::u16string_view path, std::shared_ptr<ItssArchive>* out) {
  out->reset();
  if (path.empty() || path.find(u'\0') != std::u16string_view::npos) {
    return FailWith(STG_E_INVALIDNAME, "the file name is empty or holds a NUL");
  }
  const std::optional<std::string> utf8_path = platform::Utf16ToUtf8(path);
  if (!utf8_path) return FailWith(STG_E_INVALIDNAME, "the file name is not valid UTF-16");

  std::shared_ptr<ItssArchive> archive(new ItssArchive());
  HRESULT hr = FileReader::Open(*utf8_path, &archive->file_);
  if (Failed(hr)) return hr;
  hr = ReadContainerLayout(*archive->file_, &archive->layout_);
  if (Failed(hr)) return hr;
  Directory directory;
  hr = ReadDirectory(*archive->file_, archive->layout_, &directory);
  if (Failed(hr)) return hr;
  CompressedSectionInfo info;
  archive->section1_status_ =
      ReadCompressedSectionInfo(*archive->file_, archive->layout_, directory, &info);
  if (Succeeded(archive->section1_status_)) {
    archive->section1_ =
        std::make_unique<CompressedSectionReader>(*archive->file_, std::move(info));
  } else {
    archive->section1_failure_ = GetErrorInfo();
  }
  archive->directory_losses_ = std::move(directory.losses);
  archive->tree_ = NameTree::Build(std::move(directory));
  *out = std::move(archive);
  return S_OK;
}

std::unique_ptr<CompressedSectionReader> ItssArchive::NewSection1Reader(
    std::size_t cache_frames) const {
  if (!section1_) return nullptr;
  return std::make_unique<CompressedSectionReader>(*file_, section1_->info(), cache_frames);
}

HRESULT ItssArchive::ReadStream(const StreamLocation& stream, std::uint64_t position,
                                std::span<std::uint8_t> out, CompressedSectionReader* section1) {
  if (out.empty()) return S_OK;
  if (!RangeWithin(position, out.size(), stream.length)) {
    return FailWith(E_INVALIDARG, "the range asked for lies outside the stream");
  }
  if (const HRESULT checked = CheckStream(stream); Failed(checked)) return checked;
  // CheckStream has made sure these sums fit.
  if (stream.section == 0) {
    const std::uint64_t at = layout_.content_offset + stream.offset + position;
    if (file_->ReadAt(at, out)) return S_OK;
    return FailWith(STG_E_READFAULT, "the file cannot be read at " + std::to_string(at));
  }
  CompressedSectionReader& reader = section1 ? *section1 : *section1_;
  return reader.Read(stream.offset + position, out);
}

HRESULT ItssArchive::CheckStream(const StreamLocation& stream) const {
  // Called for every read: the text is made only for a failure.
  const auto what = [&stream] {
    return "the stream (" + std::to_string(stream.length) + " bytes at " +
           std::to_string(stream.offset);
  };
  switch (stream.section) {
    case 0: {
      const auto start = CheckedAdd(layout_.content_offset, stream.offset);
      if (start && RangeWithin(*start, stream.length, file_->size())) return S_OK;
      return FailWith(STG_E_DOCFILECORRUPT, what() + " in section 0) lies outside the file");
    }
    case 1:
      if (!section1_) return FailWith(section1_status_, section1_failure_);
      if (RangeWithin(stream.offset, stream.length, section1_->length())) return S_OK;
      return FailWith(STG_E_DOCFILECORRUPT, what() + ") lies outside section 1 (" +
                                                std::to_string(section1_->length()) + " bytes)");
    default:
      return FailWith(STG_E_DOCFILECORRUPT,
                      "the stream names content section " + std::to_string(stream.section));
  }
}

DecodeStatistics ItssArchive::decode_statistics() const {
  return section1_ ? section1_->statistics() : DecodeStatistics{};
}

}  // namespace vaskel::itss
