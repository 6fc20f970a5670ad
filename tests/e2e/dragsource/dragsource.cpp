// A drag source as another program is one, an editor that stays open: a
// small window that, pressed with the left mouse button, starts an OLE drag.
// The test moves the mouse with real input over the target and releases it
// there. Each line read prepares the next drag and prints "bereit":
//   text TEXT                     (UTF-8)
//   files PATH<TAB>PATH...        (Windows paths, UTF-8)
// It prints "zieht" when the drag runs, then "kopiert" when the target took a
// copy or "abgelehnt" when it refused or the drag ended otherwise. An empty
// line or the end of input ends it; exit code 2 on a set-up error.
//   dragsource [noactivate]
// With "noactivate" its window never takes the activation, not even when
// pressed, as a file manager's window in the background lets a user drag out
// of it: the program in front stays the active one.
// And, to prepare a drop, makes a shortcut with the shell's link object:
//   dragsource link LINK TARGET   (exit 0 when made)
#include <windows.h>

#include <ole2.h>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "support/dataobject.h"
#include "support/files.h"

namespace {

class DropSource final : public IDropSource {
 public:
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropSource)) {
      *out = static_cast<IDropSource*>(this);
      return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
  }
  // Lives on the stack for the whole drag.
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL escape, DWORD keys) override {
    if (escape) return DRAGDROP_S_CANCEL;
    return keys & MK_LBUTTON ? S_OK : DRAGDROP_S_DROP;
  }
  HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

IDataObject* g_data = nullptr;
bool g_noActivate = false;

// Reads the next line into g_data; false at the end.
bool NextData() {
  char line[8192];
  if (!std::fgets(line, sizeof line, stdin)) return false;
  std::string s(line);
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r')) s.pop_back();
  std::optional<std::wstring> text;
  std::vector<std::wstring> files;
  if (s.rfind("text ", 0) == 0) {
    text = support::Widen(s.substr(5));
  } else if (s.rfind("files ", 0) == 0) {
    for (size_t at = 6, tab = 0; at <= s.size(); at = tab + 1) {
      tab = std::min(s.find('\t', at), s.size());
      files.push_back(support::Widen(s.substr(at, tab - at)));
    }
  } else {
    return false;
  }
  if (g_data) g_data->Release();
  g_data = new support::DataObject(text, files);
  std::puts("bereit");
  std::fflush(stdout);
  return true;
}

LRESULT CALLBACK SourceProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_MOUSEACTIVATE:
      if (g_noActivate) return MA_NOACTIVATE;
      break;
    case WM_LBUTTONDOWN: {
      std::puts("zieht");
      std::fflush(stdout);
      DropSource source;
      DWORD effect = DROPEFFECT_NONE;
      const HRESULT hr = DoDragDrop(g_data, &source, DROPEFFECT_COPY, &effect);
      std::puts(hr == DRAGDROP_S_DROP && effect == DROPEFFECT_COPY ? "kopiert" : "abgelehnt");
      std::fflush(stdout);
      if (!NextData()) DestroyWindow(hwnd);
      return 0;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      RECT r;
      GetClientRect(hwnd, &r);
      DrawTextW(dc, L"Ziehen", -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(hwnd, msg, wparam, lparam);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "link") {
    if (FAILED(CoInitialize(nullptr))) return 2;
    const bool made = support::MakeShortcut(support::Widen(argv[2]), support::Widen(argv[3]));
    CoUninitialize();
    return made ? 0 : 2;
  }
  g_noActivate = argc == 2 && std::string(argv[1]) == "noactivate";
  if (argc > 1 && !g_noActivate) return 2;
  if (FAILED(OleInitialize(nullptr))) return 2;

  WNDCLASSW wc{};
  wc.lpfnWndProc = SourceProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  wc.lpszClassName = L"Ziehquelle";
  RegisterClassW(&wc);
  const DWORD exStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | (g_noActivate ? WS_EX_NOACTIVATE : 0);
  HWND hwnd = CreateWindowExW(exStyle, L"Ziehquelle", L"Ziehquelle", WS_POPUP | WS_BORDER,
                              0, 0, 100, 40, nullptr, nullptr, wc.hInstance, nullptr);
  if (!hwnd) return 2;
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd);
  if (!NextData()) return 2;

  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  if (g_data) g_data->Release();
  OleUninitialize();
  return 0;
}
