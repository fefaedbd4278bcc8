// One opened help file: the file itself, its tree of names and the readers of its two content
// sections. Every storage, enumerator and stream holds a shared reference, so the file stays
// open until the last of them is released.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "platform/com/com_types.h"
#include "platform/itss/compressed_section_reader.h"
#include "platform/itss/directory.h"
#include "platform/itss/file_reader.h"
#include "platform/itss/itsf_header.h"
#include "platform/itss/name_tree.h"

namespace vaskel::itss {

class ItssArchive {
 public:
  // Opens and parses the container. Damaged section-1 metadata does not fail the open: those
  // streams fail when read. Every failure, here and in ReadStream, leaves its reason with
  // SetErrorInfo.
  static HRESULT Open(std::u16string_view path, std::shared_ptr<ItssArchive>* out);

  const NameTree& tree() const { return tree_; }
  // Directory entries lost to damage.
  const DirectoryLosses& directory_losses() const { return directory_losses_; }

  // Fills `out` with the stream's bytes from `position`; the range must lie inside the stream.
  // Section-1 bytes come through `section1` when given (a reader of the caller's own), else
  // through the reader the file's streams share.
  HRESULT ReadStream(const StreamLocation& stream, std::uint64_t position,
                     std::span<std::uint8_t> out, CompressedSectionReader* section1 = nullptr);

  // S_OK when the whole stream lies inside its content section, else why not: a stream cut short
  // by truncation fails from its first read instead of delivering a prefix.
  HRESULT CheckStream(const StreamLocation& stream) const;

  // A section-1 reader with its own decoder and a cache of `cache_frames`; null when section 1 is
  // absent or damaged.
  std::unique_ptr<CompressedSectionReader> NewSection1Reader(std::size_t cache_frames) const;

  DecodeStatistics decode_statistics() const;

 private:
  ItssArchive() = default;

  std::unique_ptr<FileReader> file_;
  ContainerLayout layout_;
  NameTree tree_;
  DirectoryLosses directory_losses_;
  std::unique_ptr<CompressedSectionReader> section1_;  // null when section 1 is absent or damaged
  HRESULT section1_status_ = S_OK;
  std::string section1_failure_;  // why section 1 cannot be read
};

}  // namespace vaskel::itss
