// A data object as a drag source offers it to OLE: Unicode text, a list of
// dropped files, or both. Reference counted as COM wants; start with one
// reference and Release it when done.
#pragma once

#include <windows.h>

#include <ole2.h>

#include <optional>
#include <string>
#include <vector>

namespace support {

class DataObject final : public IDataObject {
 public:
  // `listFormats` false: EnumFormatEtc fails, as with some sources, and the
  // formats must be asked for one by one.
  DataObject(std::optional<std::wstring> text, std::vector<std::wstring> files, bool listFormats = true);

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
  ULONG STDMETHODCALLTYPE AddRef() override;
  ULONG STDMETHODCALLTYPE Release() override;
  HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override;
  HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override;
  HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override;
  HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
  HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
    return OLE_E_ADVISENOTSUPPORTED;
  }
  HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
  HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }

  // The file list with ANSI names, as older sources give it.
  bool ansiNames = false;
  // How often the data of each format was asked for.
  int textRequests = 0;
  int fileRequests = 0;

 private:
  ~DataObject() = default;
  bool offers(CLIPFORMAT format) const;

  LONG refs_ = 1;
  std::optional<std::wstring> text_;
  std::vector<std::wstring> files_;
  bool listFormats_;
};

// Makes a shortcut file `link` leading to `target` with the shell's own link
// object; false when that fails. COM must be started on the thread.
bool MakeShortcut(const std::wstring& link, const std::wstring& target);

}  // namespace support
