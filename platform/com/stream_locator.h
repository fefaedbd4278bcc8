// Reading many streams of one help file in the order their bytes are stored, beside the COM-like
// interfaces: where a stream's bytes lie inside the file's content sections, and readers with
// decoding state of their own.
#pragma once

#include <cstdint>
#include <memory>
#include <span>

#include "platform/com/com_types.h"
#include "platform/com/storage_interfaces.h"

namespace vaskel {

struct StreamExtent {
  std::uint64_t section = 0;
  std::uint64_t offset = 0;  // inside the section
  std::uint64_t length = 0;
};

// Reads streams with a decoder of its own, so that one can work on another thread while the
// help file is read elsewhere. Cheapest when reads go forward through a section: each
// compressed frame is then decoded once.
class ExtentReader {
 public:
  virtual ~ExtentReader() = default;
  // Fills `out` with the stream's bytes from `position`; the range must lie inside the stream.
  virtual HRESULT Read(const StreamExtent& stream, std::uint64_t position,
                       std::span<std::uint8_t> out) = 0;
  // Decoding starts afresh at the multiples of this many bytes of `section`, so reads on either
  // side of one cost each other nothing; 0 when there are no such points.
  virtual std::uint64_t FreshStartSpan(std::uint64_t /*section*/) const { return 0; }
  // S_OK when the whole stream lies inside its section, else why it cannot be read: lets a
  // caller refuse a damaged stream before planning work for every byte it claims.
  virtual HRESULT CheckExtent(const StreamExtent& /*stream*/) const { return S_OK; }
};

// Implemented by the storages of the help-file component.
class StreamLocator {
 public:
  // Where the stream `name`, a direct child of this storage, lies. STG_E_FILENOTFOUND when
  // there is no such stream.
  virtual HRESULT LocateStream(const char16_t* name, StreamExtent* extent) = 0;
  // The opened help file the storage belongs to: extents of storages with the same one may be
  // read by one reader.
  virtual const void* ContentIdentity() const = 0;
  virtual std::unique_ptr<ExtentReader> NewExtentReader() = 0;

 protected:
  ~StreamLocator() = default;
};

// The storage's locator; null for a storage that has none (it is then read as a stream).
inline StreamLocator* LocatorOf(IStorage* storage) { return dynamic_cast<StreamLocator*>(storage); }

}  // namespace vaskel
