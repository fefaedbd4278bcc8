// The fixed headers at the start of a help file: ITSF, header section 0 and the ITSP directory
// header. They say where the directory chunks and the uncompressed content begin.
#pragma once

#include <cstdint>

#include "platform/itss/file_reader.h"

namespace vaskel::itss {

inline constexpr std::uint32_t kMinChunkSize = 0x20;
inline constexpr std::uint32_t kMaxChunkSize = 0x10000;

struct ContainerLayout {
  int version = 0;                       // ITSF version, 2 or 3
  std::uint64_t first_chunk_offset = 0;  // absolute offset of directory chunk 0
  std::uint32_t chunk_size = 0;
  std::uint32_t chunk_count = 0;
  std::uint64_t content_offset = 0;  // where content section 0 begins
};

// Validates the headers against the real file size. STG_E_INVALIDHEADER when the file is not a
// help file or its headers point outside it.
HRESULT ReadContainerLayout(const FileReader& file, ContainerLayout* layout);

}  // namespace vaskel::itss
