// Message boxes and the choice box.
#include "native.h"

#include <algorithm>
#include <vector>

#include "../boxes.h"
#include "../sysinfo.h"
#include "crt.h"

namespace rt {

namespace {

HWND OwnerHandle(const Value& owner) {
  if (auto window = owner.as<XbpWindow>()) return Hwnd(window->nativeHandle());
  return nullptr;
}

std::string ProgramTitle() {
  std::string name = AppName(false);
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return name;
}

// --- Choice box -----------------------------------------------------------

constexpr int kFirstButtonId = 1001;
constexpr int kMargin = 12;
constexpr int kGap = 8;
constexpr int kButtonHeight = 24;
constexpr int kMinButtonWidth = 80;
constexpr int kMaxTextWidth = 640;

struct AlertSpec {
  std::wstring text;  // lines separated by CR LF
  std::vector<std::wstring> options;
};

SIZE TextExtent(HDC dc, const std::wstring& s) {
  SIZE size{};
  GetTextExtentPoint32W(dc, s.c_str(), static_cast<int>(s.size()), &size);
  return size;
}

void LayOut(HWND dlg, const AlertSpec& spec) {
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(dlg, WM_GETFONT, 0, 0));
  const HINSTANCE instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(dlg, GWLP_HINSTANCE));
  WindowDC dc(dlg);
  SelectInScope selected(dc.get(), font);
  // The layout's measures are pixels at 96 dpi, as everywhere in the runtime.
  const unsigned dpi = DpiOfWindow(dlg);
  const auto px = [dpi](int v) { return static_cast<int>(ToDevice(v, dpi)); };
  const int margin = px(kMargin), gap = px(kGap), buttonHeight = px(kButtonHeight);

  RECT textRect{0, 0, px(kMaxTextWidth), 0};
  DrawTextW(dc.get(), spec.text.c_str(), -1, &textRect, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);

  std::vector<int> widths;
  int row = 0;
  for (const auto& option : spec.options) {
    const int w = std::max<int>(px(kMinButtonWidth), TextExtent(dc.get(), option).cx + px(24));
    widths.push_back(w);
    row += w;
  }
  row += gap * static_cast<int>(spec.options.size() - 1);

  const int clientWidth = std::max<int>({textRect.right, row, px(200)}) + 2 * margin;
  const int clientHeight = margin + textRect.bottom + 2 * gap + buttonHeight + margin;

  HWND text = CreateWindowExW(0, L"STATIC", spec.text.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, margin,
                              margin, clientWidth - 2 * margin, textRect.bottom, dlg, nullptr, instance, nullptr);
  SendMessageW(text, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);

  int x = (clientWidth - row) / 2;
  const int y = margin + textRect.bottom + 2 * gap;
  for (size_t i = 0; i < spec.options.size(); ++i) {
    const DWORD style = WS_CHILD | WS_VISIBLE | WS_TABSTOP | (i == 0 ? BS_DEFPUSHBUTTON | WS_GROUP : BS_PUSHBUTTON);
    HWND button = CreateWindowExW(0, L"BUTTON", spec.options[i].c_str(), style, x, y, widths[i], buttonHeight, dlg,
                                  reinterpret_cast<HMENU>(static_cast<INT_PTR>(kFirstButtonId + i)), instance, nullptr);
    SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    x += widths[i] + gap;
  }
  SendMessageW(dlg, DM_SETDEFID, kFirstButtonId, 0);

  // Size the frame around the client area and centre it on the work area of
  // the owner's monitor, where the user looks (the primary's without one).
  RECT frame{0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongW(dlg, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongW(dlg, GWL_EXSTYLE)));
  const RECT work = WorkAreaOf(GetWindow(dlg, GW_OWNER));
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  SetWindowPos(dlg, nullptr, work.left + (work.right - work.left - w) / 2, work.top + (work.bottom - work.top - h) / 2,
               w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK AlertProc(HWND dlg, UINT msg, WPARAM wparam, LPARAM lparam) {
  switch (msg) {
    case WM_INITDIALOG: {
      const auto* spec = reinterpret_cast<const AlertSpec*>(lparam);
      LayOut(dlg, *spec);
      SetFocus(GetDlgItem(dlg, kFirstButtonId));
      return FALSE;  // focus set here
    }
    case WM_COMMAND: {
      const int id = LOWORD(wparam);
      if (id >= kFirstButtonId && GetDlgItem(dlg, id) != nullptr) EndDialog(dlg, id - kFirstButtonId + 1);
      // IDCANCEL (Escape, Alt+F4) and IDOK without a button: no choice, no end.
      return TRUE;
    }
    case WM_CLOSE:
      return TRUE;
    default:
      return FALSE;
  }
}

// In-memory dialog template: no controls (they are laid out at WM_INITDIALOG),
// the caption, and the message-box font.
std::vector<WORD> AlertTemplate(const std::wstring& title) {
  std::vector<WORD> t(sizeof(DLGTEMPLATE) / sizeof(WORD), 0);
  auto* header = reinterpret_cast<DLGTEMPLATE*>(t.data());
  // No WS_SYSMENU: no close button.
  header->style = WS_POPUP | WS_CAPTION | DS_MODALFRAME | DS_SETFONT | DS_SHELLFONT;
  header->dwExtendedStyle = WS_EX_DLGMODALFRAME;
  header->cdit = 0;
  header->cx = 200;
  header->cy = 60;
  t.push_back(0);  // no menu
  t.push_back(0);  // standard dialog class
  t.insert(t.end(), title.begin(), title.end());
  t.push_back(0);
  t.push_back(8);  // point size
  const std::wstring face = L"MS Shell Dlg";
  t.insert(t.end(), face.begin(), face.end());
  t.push_back(0);
  return t;
}

}  // namespace

long ConfirmBox(const Value& owner, const std::string& text, const std::string& title, long buttons, long style) {
  return MessageBoxW(OwnerHandle(owner), Wide(text).c_str(), Wide(title).c_str(),
                     static_cast<UINT>(buttons) | static_cast<UINT>(style));
}

void MsgBox(const std::string& text, const std::string& title) {
  MessageBoxW(nullptr, Wide(text).c_str(), Wide(title.empty() ? ProgramTitle() : title).c_str(), MB_OK);
}

long Alert(const std::string& text, const std::vector<std::string>& options, const std::string& title) {
  if (options.empty()) return -1;
  // A program whose application window is a text-mode window asks in it.
  if (const auto crt = std::dynamic_pointer_cast<XbpBaseCrt>(SetAppWindow()); crt && crt->isCreated()) {
    const long answer = crt->choiceBox(text, options);
    if (answer != -1) return answer;
  }
  AlertSpec spec;
  std::string lines;
  for (char c : text) {
    if (c == ';') {
      lines += "\r\n";
    } else {
      lines += c;
    }
  }
  spec.text = Wide(lines);
  for (const auto& option : options) spec.options.push_back(Wide(option));
  const std::vector<WORD> tmpl = AlertTemplate(Wide(title));
  // Modal to the window the user works in, if it is one of ours.
  HWND owner = GetActiveWindow();
  const INT_PTR result = DialogBoxIndirectParamW(ModuleInstance(), reinterpret_cast<const DLGTEMPLATE*>(tmpl.data()),
                                                 owner, AlertProc, reinterpret_cast<LPARAM>(&spec));
  if (result < 1 || result > static_cast<INT_PTR>(options.size())) return -1;
  return static_cast<long>(result);
}

}  // namespace rt
