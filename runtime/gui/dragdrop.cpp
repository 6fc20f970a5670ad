#include "dragdrop.h"

#include <algorithm>
#include <unordered_set>
#include <vector>

#include <shlobj.h>

#include "../win32/dyncalls.h"
#include "native.h"

namespace rt {

namespace {

// The data of one format as an HGLOBAL, released with the medium.
class Medium {
 public:
  Medium(IDataObject* data, CLIPFORMAT format) {
    FORMATETC wanted{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    got_ = data && SUCCEEDED(data->GetData(&wanted, &medium_));
    ok_ = got_ && medium_.tymed == TYMED_HGLOBAL && medium_.hGlobal;
  }
  ~Medium() {
    // Whatever the source handed over is given back, also a kind not asked
    // for; a data object in hand means OLE was started on this thread.
    if (got_) {
      if (const dyn::OleApi* ole = dyn::UseOle()) ole->releaseStgMedium(&medium_);
    }
  }
  Medium(const Medium&) = delete;
  Medium& operator=(const Medium&) = delete;
  HGLOBAL get() const { return ok_ ? medium_.hGlobal : nullptr; }

 private:
  STGMEDIUM medium_{};
  bool got_ = false;
  bool ok_ = false;
};

// The text of a global memory block, up to its first zero or its end,
// whichever comes first: a source's block need not hold the zero.
template <class Char>
std::basic_string<Char> TextOf(HGLOBAL block) {
  std::basic_string<Char> text;
  if (const auto* p = static_cast<const Char*>(GlobalLock(block))) {
    const size_t most = GlobalSize(block) / sizeof(Char);
    text.assign(p, std::find(p, p + most, Char(0)));
    GlobalUnlock(block);
  }
  return text;
}

std::wstring FromCodePage(const std::string& bytes, UINT codePage) {
  if (bytes.empty()) return std::wstring();
  const int n = MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(n, 0)), L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
  return wide;
}

// The names of a file list: a DROPFILES header, then the names, wide or
// ANSI as the header says, each ended by a zero and the list by another.
// Read here rather than through the shell, which is a library of its own to
// load; a block that ends early ends the list.
template <class Char>
void NamesFrom(const BYTE* base, size_t size, size_t at, UINT codePage, Array& names) {
  const auto* p = reinterpret_cast<const Char*>(base + at);
  const auto* end = p + (size - at) / sizeof(Char);
  while (p < end && *p) {
    const auto* stop = std::find(p, end, Char(0));
    if constexpr (sizeof(Char) == 1) {
      names.push_back(Value(Narrow(FromCodePage(std::string(p, stop), codePage))));
    } else {
      names.push_back(Value(Narrow(std::wstring_view(p, static_cast<size_t>(stop - p)))));
    }
    p = stop + 1;
  }
}

Array FileNamesOf(HGLOBAL block) {
  Array names;
  const auto* base = static_cast<const BYTE*>(GlobalLock(block));
  if (!base) return names;
  const size_t size = GlobalSize(block);
  if (size >= sizeof(DROPFILES)) {
    const auto* header = reinterpret_cast<const DROPFILES*>(base);
    if (header->pFiles >= sizeof(DROPFILES) && header->pFiles < size) {
      if (header->fWide) {
        NamesFrom<wchar_t>(base, size, header->pFiles, 0, names);
      } else {
        NamesFrom<char>(base, size, header->pFiles, CP_ACP, names);
      }
    }
  }
  GlobalUnlock(block);
  return names;
}

bool IsText(CLIPFORMAT format) { return format == CF_TEXT || format == CF_OEMTEXT || format == CF_UNICODETEXT; }

// A number answer of 1 (or true) takes the drop.
bool Takes(const Value& answer) {
  return (answer.isNumber() && answer.number() == 1) || (answer.isLogical() && answer.logical());
}

class DropTarget final : public IDropTarget {
 public:
  explicit DropTarget(HWND hwnd) : hwnd_(hwnd) {}

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, dyn::kIidUnknown) || IsEqualIID(iid, dyn::kIidDropTarget)) {
      *out = static_cast<IDropTarget*>(this);
      AddRef();
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG n = InterlockedDecrement(&refs_);
    if (n == 0) delete this;
    return static_cast<ULONG>(n);
  }

  HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    accepted_ = Ask(&XbpWindow::DragEnter, data);
    return Answer(accepted_, effect);
  }
  HRESULT STDMETHODCALLTYPE DragOver(DWORD, POINTL, DWORD* effect) override { return Answer(accepted_, effect); }
  HRESULT STDMETHODCALLTYPE DragLeave() override {
    accepted_ = false;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
    accepted_ = false;
    // The one place where a drop is known to be taken: the window's content
    // has just been changed by the user.
    const bool taken = Ask(&XbpWindow::DragDrop, data);
    if (taken) TakenAsUsersChange();
    return Answer(taken, effect);
  }

 private:
  ~DropTarget() = default;

  static HRESULT Answer(bool yes, DWORD* effect) {
    if (!effect) return E_INVALIDARG;
    // Dropped text is copied, never moved: the source keeps its own.
    *effect = yes && (*effect & DROPEFFECT_COPY) ? DROPEFFECT_COPY : DROPEFFECT_NONE;
    return S_OK;
  }

  // Hands the data to the window's hook; nothing escapes into OLE.
  bool Ask(Value (XbpWindow::*hook)(const Value&, const Value&), IDataObject* data) noexcept {
    try {
      const WindowRef window = WindowRefFromHandle(hwnd_);
      if (!window || !data) return false;
      auto dragData = std::make_shared<OleDragData>(data);
      struct DetachAtEnd {
        OleDragData& d;
        ~DetachAtEnd() { d.Detach(); }
      } detach{*dragData};
      return Takes(((*window).*hook)(Value(), Value(ObjectRef(dragData))));
    } catch (...) {
      CarryException(std::current_exception());
      return false;
    }
  }

  // A drop the window took changed it by the user's hand, like typing.
  void TakenAsUsersChange() noexcept {
    try {
      if (const WindowRef window = WindowRefFromHandle(hwnd_)) window->userChanged();
    } catch (...) {
      CarryException(std::current_exception());
    }
  }

  LONG refs_ = 1;
  HWND hwnd_;
  bool accepted_ = false;
};

struct DropState {
  bool started = false;
  std::vector<HWND> pending;          // created before OLE was started
  std::unordered_set<HWND> registered;
  UINT_PTR timer = 0;                 // the delayed start, while armed
};

DropState& State() {
  static DropState state;
  return state;
}

// How long after the first idle moment an active program starts its targets:
// with the first painting before that moment, about a quarter second after
// the window shows, soon enough for a drag from a window that never takes the
// activation (a file manager's in the background); late enough that OLE stays
// out of the start-up, which ends at that moment, and that a program closed
// at once never loads it.
constexpr UINT kActiveStartDelayMs = 200;

void StopTimer() {
  if (UINT_PTR timer = std::exchange(State().timer, 0)) KillTimer(nullptr, timer);
}

bool AnyPendingVisible() { return std::ranges::any_of(State().pending, IsWindowVisible); }

void CALLBACK StartOnTimer(HWND, UINT, UINT_PTR, DWORD) {
  StopTimer();
  // Only hidden windows left (a closing one): the next idle moment with a
  // window shown arms it again.
  if (AnyPendingVisible()) StartDropTargets();
}

void Register(HWND hwnd) {
  const dyn::OleApi* ole = dyn::UseOle();
  if (!ole || !IsWindow(hwnd)) return;
  auto* target = new DropTarget(hwnd);
  if (SUCCEEDED(ole->registerDragDrop(hwnd, target))) State().registered.insert(hwnd);
  target->Release();  // OLE holds its own reference while registered
}

}  // namespace

OleDragData::OleDragData(IDataObject* data) : data_(data) {
  if (data_) data_->AddRef();
}

OleDragData::~OleDragData() { Detach(); }

void OleDragData::Detach() {
  if (data_) std::exchange(data_, nullptr)->Release();
}

Value OleDragData::GetFormats() {
  Array formats;
  if (!data_) return Value(formats);
  std::vector<CLIPFORMAT> seen;
  IEnumFORMATETC* list = nullptr;
  if (SUCCEEDED(data_->EnumFormatEtc(DATADIR_GET, &list)) && list) {
    FORMATETC entry;
    ULONG n = 0;
    while (list->Next(1, &entry, &n) == S_OK && n == 1) {
      if (entry.ptd) {
        if (const dyn::OleApi* ole = dyn::UseOle()) ole->coTaskMemFree(entry.ptd);
      }
      if (std::find(seen.begin(), seen.end(), entry.cfFormat) == seen.end()) seen.push_back(entry.cfFormat);
    }
    list->Release();
  } else {
    // A source that cannot list its formats may still give them.
    for (CLIPFORMAT f : {CLIPFORMAT(CF_UNICODETEXT), CLIPFORMAT(CF_TEXT), CLIPFORMAT(CF_OEMTEXT), CLIPFORMAT(CF_HDROP)}) {
      FORMATETC wanted{f, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
      if (data_->QueryGetData(&wanted) == S_OK) seen.push_back(f);
    }
  }
  // Text offered only as Unicode or OEM text is text all the same.
  if (std::any_of(seen.begin(), seen.end(), IsText) && std::find(seen.begin(), seen.end(), CF_TEXT) == seen.end()) {
    seen.insert(seen.begin(), CF_TEXT);
  }
  for (CLIPFORMAT f : seen) formats.push_back(Value{Value(static_cast<long>(f))});
  return Value(std::move(formats));
}

Value OleDragData::GetData(long format) {
  if (!data_) return Value();
  if (format == kFormatText) {
    // The Unicode text where offered: our table converts every character of
    // code page 858, where the ANSI text may already have lost some.
    if (Medium m(data_, CF_UNICODETEXT); m.get()) return Value(Narrow(TextOf<wchar_t>(m.get())));
    if (Medium m(data_, CF_TEXT); m.get()) return Value(Narrow(FromCodePage(TextOf<char>(m.get()), CP_ACP)));
    if (Medium m(data_, CF_OEMTEXT); m.get()) return Value(Narrow(FromCodePage(TextOf<char>(m.get()), CP_OEMCP)));
    return Value();
  }
  if (format == kFormatFiles) {
    Medium m(data_, CF_HDROP);
    return m.get() ? Value(FileNamesOf(m.get())) : Value();
  }
  return Value();
}

void RegisterDropTarget(HWND hwnd) {
  DropState& s = State();
  if (s.started) {
    Register(hwnd);
  } else {
    s.pending.push_back(hwnd);
  }
}

void RevokeDropTarget(HWND hwnd) {
  DropState& s = State();
  std::erase(s.pending, hwnd);
  if (s.pending.empty()) StopTimer();
  if (s.registered.erase(hwnd)) {
    if (const dyn::OleApi* ole = dyn::UseOle()) ole->revokeDragDrop(hwnd);
  }
}

bool DropTargetsPending() { return !State().pending.empty(); }

void StartDropTargetsWhenIdle() {
  DropState& s = State();
  if (s.pending.empty()) return;
  // No foreground window at all (a switch under way) counts as inactive.
  const HWND foreground = GetForegroundWindow();
  if (!foreground || GetWindowThreadProcessId(foreground, nullptr) != GetCurrentThreadId()) {
    StartDropTargets();
  } else if (!s.timer && AnyPendingVisible()) {
    s.timer = SetTimer(nullptr, 0, kActiveStartDelayMs, StartOnTimer);
  }
}

void OnActivateApp(bool active) {
  // A window being destroyed is hidden first and so hands the activation on:
  // that is no user turning to another program, and its fields go anyway.
  if (!active && AnyPendingVisible()) StartDropTargets();
}

bool StartDropTargets() {
  DropState& s = State();
  StopTimer();
  s.started = true;
  for (HWND hwnd : std::exchange(s.pending, {})) Register(hwnd);
  return !s.registered.empty();
}

}  // namespace rt
