#include "platform/itss/itsf_header.h"

#include <array>
#include <cstring>

#include "platform/itss/byte_order.h"
#include "platform/itss/checked_math.h"

namespace vaskel::itss {
namespace {

constexpr std::size_t kItsfV2Length = 0x58;
constexpr std::size_t kItsfV3Length = 0x60;
constexpr std::size_t kHeaderSection0Length = 0x18;
constexpr std::size_t kItspLength = 0x54;

bool HasSignature(const std::uint8_t* p, const char (&signature)[5]) {
  return std::memcmp(p, signature, 4) == 0;
}

}  // namespace

HRESULT ReadContainerLayout(const FileReader& file, ContainerLayout* layout) {
  *layout = {};
  const std::uint64_t file_size = file.size();
  std::array<std::uint8_t, kItsfV3Length> itsf{};
  if (file_size < kItsfV2Length) return STG_E_INVALIDHEADER;
  const std::size_t itsf_read = file_size < kItsfV3Length ? kItsfV2Length : kItsfV3Length;
  if (!file.ReadAt(0, std::span(itsf.data(), itsf_read))) return STG_E_READFAULT;
  if (!HasSignature(itsf.data(), "ITSF")) return STG_E_INVALIDHEADER;

  const std::uint32_t version = LoadLe32(&itsf[0x04]);
  const std::uint32_t header_length = LoadLe32(&itsf[0x08]);
  if (version != 2 && version != 3) return STG_E_INVALIDHEADER;
  const std::size_t needed = version == 3 ? kItsfV3Length : kItsfV2Length;
  if (header_length < needed || header_length > file_size || itsf_read < needed) {
    return STG_E_INVALIDHEADER;
  }
  // The GUIDs at 0x18 are not checked: one writer stores the first one twice.

  const std::uint64_t hs0_offset = LoadLe64(&itsf[0x38]);
  const std::uint64_t hs0_length = LoadLe64(&itsf[0x40]);
  const std::uint64_t hs1_offset = LoadLe64(&itsf[0x48]);
  const std::uint64_t hs1_length = LoadLe64(&itsf[0x50]);
  if (hs0_length < kHeaderSection0Length || !RangeWithin(hs0_offset, hs0_length, file_size) ||
      hs1_length < kItspLength || !RangeWithin(hs1_offset, hs1_length, file_size)) {
    return STG_E_INVALIDHEADER;
  }

  std::array<std::uint8_t, kHeaderSection0Length> hs0{};
  if (!file.ReadAt(hs0_offset, hs0)) return STG_E_READFAULT;
  // A declared length that differs from the real size only means truncation or appended bytes;
  // every range is checked against the real size anyway.
  layout->declared_file_length = LoadLe64(&hs0[0x08]);

  std::array<std::uint8_t, kItspLength> itsp{};
  if (!file.ReadAt(hs1_offset, itsp)) return STG_E_READFAULT;
  if (!HasSignature(itsp.data(), "ITSP") || LoadLe32(&itsp[0x04]) != 1) {
    return STG_E_INVALIDHEADER;
  }
  const std::uint32_t itsp_length = LoadLe32(&itsp[0x08]);
  const std::uint32_t chunk_size = LoadLe32(&itsp[0x10]);
  const std::uint32_t chunk_count = LoadLe32(&itsp[0x2C]);
  if (itsp_length < kItspLength || itsp_length > hs1_length) return STG_E_INVALIDHEADER;
  if (chunk_size < kMinChunkSize || chunk_size > kMaxChunkSize || chunk_count == 0) {
    return STG_E_INVALIDHEADER;
  }
  const std::uint64_t first_chunk = hs1_offset + itsp_length;  // within the file, checked above
  const auto chunks_length = CheckedMul(chunk_size, chunk_count);
  if (!chunks_length || !RangeWithin(first_chunk, *chunks_length, file_size)) {
    return STG_E_INVALIDHEADER;
  }

  std::uint64_t content_offset = first_chunk + *chunks_length;
  if (version == 3) content_offset = LoadLe64(&itsf[0x58]);
  if (content_offset > file_size) return STG_E_INVALIDHEADER;

  layout->version = static_cast<int>(version);
  layout->first_chunk_offset = first_chunk;
  layout->chunk_size = chunk_size;
  layout->chunk_count = chunk_count;
  layout->content_offset = content_offset;
  return S_OK;
}

}  // namespace vaskel::itss
