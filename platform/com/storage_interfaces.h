// The structured-storage operations through which the program sees a help file: a tree of
// storages (folders) and streams (files). Objects are reference counted; a caller owns one
// reference for every pointer an operation hands out and gives it back with Release.
#pragma once

#include <string>

#include "platform/com/com_types.h"

namespace vaskel {

enum STGTY : DWORD { STGTY_STORAGE = 1, STGTY_STREAM = 2 };

struct STATSTG {
  std::u16string pwcsName;
  DWORD type = 0;
  std::uint64_t cbSize = 0;
};

class IUnknown {
 public:
  virtual ULONG AddRef() = 0;
  virtual ULONG Release() = 0;

 protected:
  ~IUnknown() = default;
};

class ISequentialStream : public IUnknown {
 public:
  // Delivers up to cb bytes; *pcbRead < cb means the end of the stream was reached.
  // A negative result means the data could not be read (damaged or unreadable); nothing in pv
  // is then to be trusted.
  virtual HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) = 0;

 protected:
  ~ISequentialStream() = default;
};

class IStream : public ISequentialStream {
 public:
  virtual HRESULT Stat(STATSTG* pstatstg) = 0;

 protected:
  ~IStream() = default;
};

class IEnumSTATSTG : public IUnknown {
 public:
  // S_OK when celt elements were delivered, S_FALSE when fewer (the end).
  virtual HRESULT Next(ULONG celt, STATSTG* rgelt, ULONG* pceltFetched) = 0;

 protected:
  ~IEnumSTATSTG() = default;
};

class IStorage : public IUnknown {
 public:
  virtual HRESULT EnumElements(DWORD reserved1, void* reserved2, DWORD reserved3,
                               IEnumSTATSTG** ppenum) = 0;
  virtual HRESULT OpenStorage(const char16_t* pwcsName, IStorage* pstgPriority, DWORD grfMode,
                              char16_t** snbExclude, DWORD reserved, IStorage** ppstg) = 0;
  virtual HRESULT OpenStream(const char16_t* pwcsName, void* reserved1, DWORD grfMode,
                             DWORD reserved2, IStream** ppstm) = 0;

 protected:
  ~IStorage() = default;
};

class IITStorage : public IUnknown {
 public:
  virtual HRESULT StgOpenStorage(const char16_t* pwcsName, IStorage* pstgPriority, DWORD grfMode,
                                 char16_t** snbExclude, DWORD reserved, IStorage** ppstgOpen) = 0;

 protected:
  ~IITStorage() = default;
};

// Class and interface ids of the compiled-help storage component.
inline constexpr GUID CLSID_ITStorage = {
    0x5D02926A, 0x212E, 0x11D0, {0x9D, 0xF9, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC}};
inline constexpr GUID IID_ITStorage = {
    0x88CC31DE, 0x27AB, 0x11D0, {0x9D, 0xF9, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC}};

}  // namespace vaskel
