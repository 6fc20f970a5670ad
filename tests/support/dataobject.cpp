#include "dataobject.h"

#include <shlobj.h>

#include <cstring>

namespace support {

namespace {
HGLOBAL Copy(const void* bytes, size_t size) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
  if (!block) return nullptr;
  std::memcpy(GlobalLock(block), bytes, size);
  GlobalUnlock(block);
  return block;
}
}  // namespace

DataObject::DataObject(std::optional<std::wstring> text, std::vector<std::wstring> files, bool listFormats)
    : text_(std::move(text)), files_(std::move(files)), listFormats_(listFormats) {}

HRESULT DataObject::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject)) {
    *out = static_cast<IDataObject*>(this);
    AddRef();
    return S_OK;
  }
  *out = nullptr;
  return E_NOINTERFACE;
}

ULONG DataObject::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }

ULONG DataObject::Release() {
  const LONG n = InterlockedDecrement(&refs_);
  if (n == 0) delete this;
  return static_cast<ULONG>(n);
}

bool DataObject::offers(CLIPFORMAT format) const {
  return (format == CF_UNICODETEXT && text_) || (format == CF_HDROP && !files_.empty());
}

HRESULT DataObject::QueryGetData(FORMATETC* format) {
  if (!format || !(format->tymed & TYMED_HGLOBAL)) return DV_E_TYMED;
  return offers(format->cfFormat) ? S_OK : DV_E_FORMATETC;
}

HRESULT DataObject::GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) {
  if (out) out->ptd = nullptr;
  return DATA_S_SAMEFORMATETC;
}

HRESULT DataObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
  if (!format || !medium) return E_INVALIDARG;
  if (QueryGetData(format) != S_OK) return DV_E_FORMATETC;
  HGLOBAL block = nullptr;
  if (format->cfFormat == CF_UNICODETEXT) {
    ++textRequests;
    block = Copy(text_->c_str(), (text_->size() + 1) * sizeof(wchar_t));
  } else {
    ++fileRequests;
    // DROPFILES, then the names, each ending in a zero, and one zero more.
    std::wstring names;
    for (const auto& f : files_) names += f + L'\0';
    names += L'\0';
    std::string list(reinterpret_cast<const char*>(names.data()), names.size() * sizeof(wchar_t));
    if (ansiNames) list.assign(names.begin(), names.end());  // ASCII names only
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = !ansiNames;
    std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
    bytes += list;
    block = Copy(bytes.data(), bytes.size());
  }
  if (!block) return E_OUTOFMEMORY;
  medium->tymed = TYMED_HGLOBAL;
  medium->hGlobal = block;
  medium->pUnkForRelease = nullptr;
  return S_OK;
}

HRESULT DataObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!listFormats_ || direction != DATADIR_GET) return E_NOTIMPL;
  std::vector<FORMATETC> formats;
  for (CLIPFORMAT f : {CLIPFORMAT(CF_UNICODETEXT), CLIPFORMAT(CF_HDROP)}) {
    if (offers(f)) formats.push_back({f, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL});
  }
  return SHCreateStdEnumFmtEtc(static_cast<UINT>(formats.size()), formats.data(), out);
}

bool MakeShortcut(const std::wstring& link, const std::wstring& target) {
  IShellLinkW* shellLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shellLink)))) {
    return false;
  }
  IPersistFile* file = nullptr;
  bool made = SUCCEEDED(shellLink->SetPath(target.c_str())) &&
              SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
              SUCCEEDED(file->Save(link.c_str(), TRUE));
  if (file) file->Release();
  shellLink->Release();
  return made;
}

}  // namespace support
