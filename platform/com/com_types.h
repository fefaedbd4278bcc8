// Minimal COM-style vocabulary shared by the storage component and its callers.
#pragma once

#include <cstdint>
#include <cstring>

#ifdef _WIN32
// The result codes are the system's own macros there; constants of the same names would be
// rewritten by them wherever a system header came first. Only winerror.h: windows.h would bring
// its macros (CreateFile, ...) into every file of the program.
#include <winerror.h>
#endif

namespace vaskel {

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;

constexpr HRESULT MakeFailure(std::uint32_t code) { return static_cast<HRESULT>(code); }

#ifndef _WIN32
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = MakeFailure(0x80004001u);
constexpr HRESULT E_NOINTERFACE = MakeFailure(0x80004002u);
constexpr HRESULT E_POINTER = MakeFailure(0x80004003u);
constexpr HRESULT E_FAIL = MakeFailure(0x80004005u);
constexpr HRESULT E_OUTOFMEMORY = MakeFailure(0x8007000Eu);
constexpr HRESULT E_INVALIDARG = MakeFailure(0x80070057u);
constexpr HRESULT REGDB_E_CLASSNOTREG = MakeFailure(0x80040154u);
constexpr HRESULT STG_E_FILENOTFOUND = MakeFailure(0x80030002u);
constexpr HRESULT STG_E_PATHNOTFOUND = MakeFailure(0x80030003u);
constexpr HRESULT STG_E_ACCESSDENIED = MakeFailure(0x80030005u);
constexpr HRESULT STG_E_INVALIDPOINTER = MakeFailure(0x80030009u);
constexpr HRESULT STG_E_READFAULT = MakeFailure(0x8003001Eu);
constexpr HRESULT STG_E_INVALIDHEADER = MakeFailure(0x800300FBu);
constexpr HRESULT STG_E_INVALIDNAME = MakeFailure(0x800300FCu);
constexpr HRESULT STG_E_INVALIDFLAG = MakeFailure(0x800300FFu);
constexpr HRESULT STG_E_DOCFILECORRUPT = MakeFailure(0x80030109u);
#endif

constexpr bool Succeeded(HRESULT hr) { return hr >= 0; }
constexpr bool Failed(HRESULT hr) { return hr < 0; }

// Storage access modes; only the ones the program passes are named. Where the system's
// objbase.h came first, its macros of the same values serve.
#ifndef STGM_READ
constexpr DWORD STGM_READ = 0x0;
#endif
#ifndef STGM_SHARE_DENY_WRITE
constexpr DWORD STGM_SHARE_DENY_WRITE = 0x20;
#endif

constexpr DWORD CLSCTX_INPROC_SERVER = 0x1;

struct GUID {
  std::uint32_t Data1;
  std::uint16_t Data2;
  std::uint16_t Data3;
  std::uint8_t Data4[8];

  friend bool operator==(const GUID& a, const GUID& b) {
    return std::memcmp(&a, &b, sizeof a) == 0;
  }
};

}  // namespace vaskel
