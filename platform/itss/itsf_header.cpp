#include "platform/itss/itsf_header.h"

#include <array>
#include <cstring>
#include <string>

#include "platform/com/error_info.h"
#include "platform/itss/byte_order.h"
#include "platform/itss/checked_math.h"

namespace vaskel::itss {
namespace {

// ITSF header, at the start of the file.
constexpr std::size_t kItsfSignature = 0x00;
constexpr std::size_t kItsfVersion = 0x04;
constexpr std::size_t kItsfHeaderLength = 0x08;
constexpr std::size_t kItsfSection0Offset = 0x38;
constexpr std::size_t kItsfSection0Length = 0x40;
constexpr std::size_t kItsfDirOffset = 0x48;
constexpr std::size_t kItsfDirLength = 0x50;
constexpr std::size_t kItsfContentOffset = 0x58;  // version 3 only
constexpr std::size_t kItsfV2Length = 0x58;
constexpr std::size_t kItsfV3Length = 0x60;

// Header section 0.
constexpr std::size_t kHeaderSection0Length = 0x18;

// ITSP header, at the start of header section 1 (the directory).
constexpr std::size_t kItspSignature = 0x00;
constexpr std::size_t kItspVersion = 0x04;
constexpr std::size_t kItspHeaderLength = 0x08;
constexpr std::size_t kItspChunkSize = 0x10;
constexpr std::size_t kItspChunkCount = 0x2C;
constexpr std::size_t kItspLength = 0x54;

bool HasSignature(const std::uint8_t* p, const char (&signature)[5]) {
  return std::memcmp(p, signature, 4) == 0;
}

HRESULT BadHeader(const std::string& what) { return FailWith(STG_E_INVALIDHEADER, what); }

}  // namespace

HRESULT ReadContainerLayout(const FileReader& file, ContainerLayout* layout) {
  *layout = {};
  const std::uint64_t file_size = file.size();
  std::array<std::uint8_t, kItsfV3Length> itsf{};
  if (file_size < kItsfV2Length) {
    return BadHeader("the file is too short for an ITSF header (" + std::to_string(file_size) +
                     " bytes)");
  }
  const std::size_t itsf_read = file_size < kItsfV3Length ? kItsfV2Length : kItsfV3Length;
  if (!file.ReadAt(0, std::span(itsf.data(), itsf_read))) {
    return FailWith(STG_E_READFAULT, "the ITSF header cannot be read");
  }
  if (!HasSignature(&itsf[kItsfSignature], "ITSF")) return BadHeader("no ITSF signature");

  const std::uint32_t version = LoadLe32(&itsf[kItsfVersion]);
  const std::uint32_t header_length = LoadLe32(&itsf[kItsfHeaderLength]);
  if (version != 2 && version != 3) {
    return BadHeader("ITSF header: unknown version " + std::to_string(version));
  }
  const std::size_t needed = version == 3 ? kItsfV3Length : kItsfV2Length;
  if (header_length < needed || header_length > file_size || itsf_read < needed) {
    return BadHeader("ITSF header: bad header length " + std::to_string(header_length));
  }
  // The GUIDs at 0x18 are not checked: one writer stores the first one twice.

  const std::uint64_t hs0_offset = LoadLe64(&itsf[kItsfSection0Offset]);
  const std::uint64_t hs0_length = LoadLe64(&itsf[kItsfSection0Length]);
  const std::uint64_t hs1_offset = LoadLe64(&itsf[kItsfDirOffset]);
  const std::uint64_t hs1_length = LoadLe64(&itsf[kItsfDirLength]);
  if (hs0_length < kHeaderSection0Length || !RangeWithin(hs0_offset, hs0_length, file_size)) {
    return BadHeader("ITSF header: header section 0 lies outside the file");
  }
  if (hs1_length < kItspLength || !RangeWithin(hs1_offset, hs1_length, file_size)) {
    return BadHeader("ITSF header: the directory lies outside the file");
  }

  std::array<std::uint8_t, kHeaderSection0Length> hs0{};
  if (!file.ReadAt(hs0_offset, hs0)) {
    return FailWith(STG_E_READFAULT, "header section 0 cannot be read");
  }
  // Its declared file length goes unused: one that differs from the real size only means
  // truncation or appended bytes, and every range is checked against the real size anyway.

  std::array<std::uint8_t, kItspLength> itsp{};
  if (!file.ReadAt(hs1_offset, itsp)) {
    return FailWith(STG_E_READFAULT, "the ITSP header cannot be read");
  }
  if (!HasSignature(&itsp[kItspSignature], "ITSP")) return BadHeader("no ITSP signature");
  if (const std::uint32_t itsp_version = LoadLe32(&itsp[kItspVersion]); itsp_version != 1) {
    return BadHeader("ITSP header: unknown version " + std::to_string(itsp_version));
  }
  const std::uint32_t itsp_length = LoadLe32(&itsp[kItspHeaderLength]);
  const std::uint32_t chunk_size = LoadLe32(&itsp[kItspChunkSize]);
  const std::uint32_t chunk_count = LoadLe32(&itsp[kItspChunkCount]);
  if (itsp_length < kItspLength || itsp_length > hs1_length) {
    return BadHeader("ITSP header: bad header length " + std::to_string(itsp_length));
  }
  if (chunk_size < kMinChunkSize || chunk_size > kMaxChunkSize) {
    return BadHeader("ITSP header: bad directory chunk size " + std::to_string(chunk_size));
  }
  if (chunk_count == 0) return BadHeader("ITSP header: no directory chunks");
  const std::uint64_t first_chunk = hs1_offset + itsp_length;  // within the file, checked above
  const auto chunks_length = CheckedMul(chunk_size, chunk_count);
  if (!chunks_length || !RangeWithin(first_chunk, *chunks_length, file_size)) {
    return BadHeader("ITSP header: " + std::to_string(chunk_count) +
                     " directory chunks run past the end of the file");
  }

  std::uint64_t content_offset = first_chunk + *chunks_length;
  if (version == 3) content_offset = LoadLe64(&itsf[kItsfContentOffset]);
  if (content_offset > file_size) {
    return BadHeader("ITSF header: content offset " + std::to_string(content_offset) +
                     " lies past the end of the file");
  }

  layout->version = static_cast<int>(version);
  layout->first_chunk_offset = first_chunk;
  layout->chunk_size = chunk_size;
  layout->chunk_count = chunk_count;
  layout->content_offset = content_offset;
  return S_OK;
}

}  // namespace vaskel::itss
