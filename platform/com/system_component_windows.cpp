// The real COM interfaces differ from the program's (their IUnknown has QueryInterface, their
// STATSTG a task-allocated name), so each real object is wrapped in one of ours.
//
// The program's headers come before the system's: the system's S_OK, STGM_READ, ... are
// macros, which would otherwise rewrite the program's constants of the same names.
// clang-format off
#include "platform/com/system_component.h"
#include "platform/com/com_ptr.h"

#include <objbase.h>
#include <objidl.h>
// clang-format on

#include <atomic>

namespace vaskel {

// The compiled-help storage component's own interface; only StgOpenStorage is called, the
// methods before it are declared to keep the table's order. Not in an unnamed namespace: the
// optimiser would then take it that no class in the program implements it, and devirtualise
// its calls into nothing.
struct SystemITStorage : public ::IUnknown {
  virtual ::HRESULT STDMETHODCALLTYPE StgCreateDocfile(const WCHAR*, ::DWORD, ::DWORD,
                                                       ::IStorage**) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE StgCreateDocfileOnILockBytes(::ILockBytes*, ::DWORD, ::DWORD,
                                                                   ::IStorage**) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE StgIsStorageFile(const WCHAR*) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE StgIsStorageILockBytes(::ILockBytes*) = 0;
  virtual ::HRESULT STDMETHODCALLTYPE StgOpenStorage(const WCHAR*, ::IStorage*, ::DWORD, ::SNB,
                                                     ::DWORD, ::IStorage**) = 0;
};

namespace {

constexpr ::CLSID kSystemClsid = {
    0x5D02926A, 0x212E, 0x11D0, {0x9D, 0xF9, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC}};
constexpr ::IID kSystemIid = {
    0x88CC31DE, 0x27AB, 0x11D0, {0x9D, 0xF9, 0x00, 0xA0, 0xC9, 0x22, 0xE6, 0xEC}};

// Holds one reference to a real object and the wrapper's own count.
template <class Ours, class Real>
class Wrapper : public Ours {
 public:
  explicit Wrapper(Real* real) : real_(real) {}
  ULONG AddRef() override { return ++references_; }
  ULONG Release() override {
    const ULONG left = --references_;
    if (left == 0) delete this;
    return left;
  }

 protected:
  virtual ~Wrapper() { real_->Release(); }
  Real* const real_;

 private:
  std::atomic<ULONG> references_{1};
};

const char16_t* AsOurs(const WCHAR* text) { return reinterpret_cast<const char16_t*>(text); }
const WCHAR* AsSystems(const char16_t* text) { return reinterpret_cast<const WCHAR*>(text); }

void CopyStat(const ::STATSTG& real, vaskel::STATSTG& ours) {
  ours.pwcsName = real.pwcsName ? std::u16string(AsOurs(real.pwcsName)) : std::u16string();
  // Wine's component names the elements of a folder by their path from the root
  // ("html/a.htm", "html/"); the element's own name is the last part.
  if (!ours.pwcsName.empty() && ours.pwcsName.back() == u'/') ours.pwcsName.pop_back();
  if (const auto slash = ours.pwcsName.rfind(u'/'); slash != std::u16string::npos)
    ours.pwcsName.erase(0, slash + 1);
  ours.type = real.type;
  ours.cbSize = real.cbSize.QuadPart;
}

class StreamWrapper final : public Wrapper<vaskel::IStream, ::IStream> {
 public:
  using Wrapper::Wrapper;
  HRESULT Read(void* pv, ULONG cb, ULONG* pcbRead) override {
    ::ULONG read = 0;
    const ::HRESULT hr = real_->Read(pv, cb, &read);
    if (pcbRead) *pcbRead = read;
    return hr;
  }
  HRESULT Stat(vaskel::STATSTG* pstatstg) override {
    ::STATSTG real{};
    const ::HRESULT hr = real_->Stat(&real, STATFLAG_NONAME);
    if (SUCCEEDED(hr)) CopyStat(real, *pstatstg);
    return hr;
  }
};

class EnumWrapper final : public Wrapper<vaskel::IEnumSTATSTG, ::IEnumSTATSTG> {
 public:
  using Wrapper::Wrapper;
  HRESULT Next(ULONG celt, vaskel::STATSTG* rgelt, ULONG* pceltFetched) override {
    ULONG fetched = 0;
    ::HRESULT hr = S_OK;
    for (; fetched < celt; ++fetched) {
      ::STATSTG real{};
      ::ULONG one = 0;
      hr = real_->Next(1, &real, &one);
      if (FAILED(hr) || one != 1) break;
      CopyStat(real, rgelt[fetched]);
      ::CoTaskMemFree(real.pwcsName);
    }
    if (pceltFetched) *pceltFetched = fetched;
    if (FAILED(hr)) return hr;
    return fetched == celt ? S_OK : S_FALSE;
  }
};

class StorageWrapper final : public Wrapper<vaskel::IStorage, ::IStorage> {
 public:
  using Wrapper::Wrapper;
  HRESULT EnumElements(DWORD, void*, DWORD, vaskel::IEnumSTATSTG** ppenum) override {
    *ppenum = nullptr;
    ::IEnumSTATSTG* real = nullptr;
    const ::HRESULT hr = real_->EnumElements(0, nullptr, 0, &real);
    if (FAILED(hr) || real == nullptr) return FAILED(hr) ? hr : E_FAIL;
    *ppenum = new EnumWrapper(real);
    return S_OK;
  }
  HRESULT OpenStorage(const char16_t* pwcsName, vaskel::IStorage*, DWORD grfMode, char16_t**, DWORD,
                      vaskel::IStorage** ppstg) override {
    *ppstg = nullptr;
    ::IStorage* real = nullptr;
    const ::HRESULT hr =
        real_->OpenStorage(AsSystems(pwcsName), nullptr, grfMode, nullptr, 0, &real);
    if (FAILED(hr) || real == nullptr) return FAILED(hr) ? hr : E_FAIL;
    *ppstg = new StorageWrapper(real);
    return S_OK;
  }
  HRESULT OpenStream(const char16_t* pwcsName, void*, DWORD grfMode, DWORD,
                     vaskel::IStream** ppstm) override {
    *ppstm = nullptr;
    ::IStream* real = nullptr;
    const ::HRESULT hr = real_->OpenStream(AsSystems(pwcsName), nullptr, grfMode, 0, &real);
    if (FAILED(hr) || real == nullptr) return FAILED(hr) ? hr : E_FAIL;
    *ppstm = new StreamWrapper(real);
    return S_OK;
  }
};

class ComponentWrapper final : public Wrapper<vaskel::IITStorage, SystemITStorage> {
 public:
  using Wrapper::Wrapper;
  HRESULT StgOpenStorage(const char16_t* pwcsName, vaskel::IStorage*, DWORD grfMode, char16_t**,
                         DWORD, vaskel::IStorage** ppstgOpen) override {
    *ppstgOpen = nullptr;
    ::IStorage* real = nullptr;
    const ::HRESULT hr =
        real_->StgOpenStorage(AsSystems(pwcsName), nullptr, grfMode, nullptr, 0, &real);
    if (FAILED(hr) || real == nullptr) return FAILED(hr) ? hr : E_FAIL;
    *ppstgOpen = new StorageWrapper(real);
    return S_OK;
  }
};

}  // namespace

HRESULT CreateSystemComponent(const GUID& riid, void** ppv) {
  *ppv = nullptr;
  if (!(riid == IID_ITStorage)) return E_NOINTERFACE;
  // Multithreaded: the program's worker threads may read the streams too. Left initialised
  // for the life of the process, as the objects may outlive any scope here.
  static const ::HRESULT initialised = ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
  if (FAILED(initialised)) return initialised;
  void* real = nullptr;
  const ::HRESULT hr =
      ::CoCreateInstance(kSystemClsid, nullptr, CLSCTX_INPROC_SERVER, kSystemIid, &real);
  if (FAILED(hr) || real == nullptr) return FAILED(hr) ? hr : E_FAIL;
  *ppv = static_cast<vaskel::IITStorage*>(
      new ComponentWrapper(static_cast<SystemITStorage*>(static_cast<::IUnknown*>(real))));
  return S_OK;
}

}  // namespace vaskel
