// Dialog windows and their drawing area.
#include "../events.h"
#include "dialog.h"
#include "menubar.h"
#include "pushbutton.h"
#include "native.h"

namespace rt {

// --- drawing area ----------------------------------------------------------

XbpWindow::NativeSpec XbpDrawingArea::nativeSpec() const {
  NativeSpec spec;
  spec.windowClass = L"XbpDrawingArea";
  spec.style = WS_CLIPCHILDREN;
  return spec;
}

bool XbpDrawingArea::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(Hwnd(handle_), &ps);
    replayDrawing(dc);
    EndPaint(Hwnd(handle_), &ps);
    result = 0;
    return true;
  }
  if (msg == WM_ERASEBKGND) {
    RECT r{};
    GetClientRect(Hwnd(handle_), &r);
    FillRect(reinterpret_cast<HDC>(wparam), &r, backgroundBrush());
    result = 1;
    return true;
  }
  return XbpWindow::onMessage(msg, wparam, lparam, result);
}

// --- dialog ----------------------------------------------------------------

namespace {

// Owner of the dialogs kept off the task bar: never shown, so it neither gets
// a button itself nor takes the activation when an owned window goes. One per
// thread, as an owner on another thread would join the two threads' input.
HWND HiddenOwner() {
  thread_local HWND owner = nullptr;
  if (!owner || !IsWindow(owner)) {
    owner = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, ModuleInstance(), nullptr);
  }
  return owner;
}

}  // namespace

XbpBaseDialog::XbpBaseDialog() { clipChildren = true; }

XbpWindow::NativeSpec XbpBaseDialog::nativeSpec() const {
  NativeSpec spec;
  spec.windowClass = L"XbpDialog";
  spec.style = WS_OVERLAPPED | WS_CAPTION;
  if (sysMenu) spec.style |= WS_SYSMENU;
  if (minButton) spec.style |= WS_MINIMIZEBOX;
  if (maxButton) spec.style |= WS_MAXIMIZEBOX;
  if (taskList) spec.exStyle |= WS_EX_APPWINDOW;
  spec.text = Wide(title);
  return spec;
}

void XbpBaseDialog::afterCreate() {
  HWND hwnd = Hwnd(handle_);
  // Before it is first shown: the shell decides on the button then.
  const bool child = (GetWindowLongW(hwnd, GWL_STYLE) & WS_CHILD) != 0;
  if (!taskList && !child && !GetWindow(hwnd, GW_OWNER)) {
    if (HWND owner = HiddenOwner()) SetWindowLongPtrW(hwnd, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(owner));
  }
  applyIcons();
  // The bar first: it takes its line off the client area.
  if (menuBar_) menuBar_->attach();
  RECT client{};
  GetClientRect(hwnd, &client);
  std::shared_ptr<XbpDrawingArea> area = drawingArea_.lock();
  if (!area) {
    area = std::make_shared<XbpDrawingArea>();
    drawingArea_ = area;
  }
  const WindowRef self = std::static_pointer_cast<XbpWindow>(shared_from_this());
  area->init({Value(self), Value(self), Value{0, 0}, Value{ToApp(client.right, dpi()), ToApp(client.bottom, dpi())},
              Value(), true});
  area->create();
}

void XbpBaseDialog::applyIcons() {
  HWND hwnd = Hwnd(handle_);
  // The program's icon at the system's dpi comes with the window class, as
  // Windows expects it; another icon, or any at another dpi, is sent in the
  // sizes of the window's dpi, from the icon's own variants where the
  // program carries them.
  const long id = icon.isNumber() ? static_cast<long>(icon.integer()) : ProgramIcon();
  if (id == 0) return;
  if (id == ProgramIcon() && dpi() == SystemDpi()) {
    if (iconBig_ || iconSmall_) {  // back from another dpi: the class's again
      SendMessageW(hwnd, WM_SETICON, ICON_BIG, 0);
      SendMessageW(hwnd, WM_SETICON, ICON_SMALL, 0);
      iconBig_.reset();
      iconSmall_.reset();
    }
    return;
  }
  iconBig_.reset(LoadIconForDpi(static_cast<int>(id), MetricForDpi(SM_CXICON, dpi()), dpi()));
  iconSmall_.reset(LoadIconForDpi(static_cast<int>(id), MetricForDpi(SM_CXSMICON, dpi()), dpi()));
  if (iconBig_) SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(iconBig_.get()));
  if (iconSmall_) SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(iconSmall_.get()));
}

void XbpBaseDialog::onDpiChanged() {
  XbpWindow::onDpiChanged();
  applyIcons();
}

std::shared_ptr<XbpBaseMenubar> XbpBaseDialog::menuBar() {
  if (!menuBar_) NewPublic<XbpBaseMenubar>({Value(shared_from_this())})->create();  // sets itself in
  return menuBar_;
}

bool XbpBaseDialog::setTitle(const std::string& newTitle) {
  title = newTitle;
  return !handle_ || SetWindowTextW(Hwnd(handle_), Wide(title).c_str());
}

HWND XbpBaseDialog::focusOnReturn() const {
  HWND hwnd = Hwnd(handle_);
  const auto takesFocus = [hwnd](HWND control) {
    return control && IsWindow(control) && IsChild(hwnd, control) && IsWindowVisible(control) &&
           IsWindowEnabled(control);
  };
  // Back to the control that had the focus, as dialogs do; not if it was
  // hidden or disabled meanwhile (a tab page went behind).
  HWND target = takesFocus(lastFocus_) ? lastFocus_ : nullptr;
  const bool button = target && dynamic_cast<XbpBasePushButton*>(WindowFromHandle(target));
  if (!target || button) {
    if (const WindowRef preferred = focusOnActivation.lock(); preferred && takesFocus(Hwnd(preferred->nativeHandle()))) {
      target = Hwnd(preferred->nativeHandle());
    }
  }
  return target;
}

const EventRoutes& XbpBaseDialog::routes() const {
  static const EventRoute rows[] = {
      {EventRoute::From::Posted, 0, kEvClose, CallbackOf(&XbpBaseDialog::close)},
  };
  static const EventRoutes table{&XbpWindow::routes(), rows};
  return table;
}

bool XbpBaseDialog::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  HWND hwnd = Hwnd(handle_);
  const auto noteFocus = [&] {
    HWND focus = GetFocus();
    if (focus && IsChild(hwnd, focus)) lastFocus_ = focus;
  };
  switch (msg) {
    case WM_CLOSE:
      // The close button is an event for the application, not an order.
      post(kEvClose);
      result = 0;
      return true;
    case WM_SYSCOMMAND:
      // Minimising takes the focus away before the window is deactivated:
      // remember it first, as dialogs do.
      if ((wparam & 0xFFF0) != SC_MINIMIZE) return false;
      noteFocus();
      {
        // The fields' kill-focus events tell that the user turned away.
        Minimising minimising;
        result = callNative(msg, wparam, lparam);
        // Windows leaves no control of a minimised window the focus (keys go
        // to the frame as system keys); Wine may leave it where it was.
        if (HWND focus = GetFocus(); IsIconic(hwnd) && focus && IsChild(hwnd, focus)) SetFocus(nullptr);
      }
      return true;
    case WM_ACTIVATE:
      if (LOWORD(wparam) == WA_INACTIVE) {
        // Minimised, the focus is gone already: keep what was known then.
        noteFocus();
        return false;
      }
      // Minimised, the window takes no focus; it gets it when restored.
      if (HIWORD(wparam) != 0) return false;
      [[fallthrough]];
    case WM_SETFOCUS:
      // Active again, or the frame itself given the focus (restored, or
      // SetAppFocus on the dialog): on to its control.
      if (HWND target = focusOnReturn()) {
        SetFocus(target);
        result = 0;
        return true;
      }
      return false;
    case WM_SIZE:
      if (const auto area = drawingArea_.lock(); area && area->isCreated()) {
        MoveWindow(Hwnd(area->nativeHandle()), 0, 0, LOWORD(lparam), HIWORD(lparam), TRUE);
      }
      return false;
    case WM_MENUCHAR:
      // A letter in the active bar that no item shows underlined.
      if (!menuBar_ || reinterpret_cast<HMENU>(lparam) != menuBar_->nativeMenu()) return false;
      result = menuBar_->onMenuChar(WideToCp858(std::wstring(1, static_cast<wchar_t>(LOWORD(wparam))), '\0')[0]);
      return true;
    default: return XbpWindow::onMessage(msg, wparam, lparam, result);
  }
}

void XbpBaseDialog::onNativeDestroyed() {
  XbpWindow::onNativeDestroyed();
  if (menuBar_) menuBar_->onWindowDestroyed();  // the window destroys the bar's native menu
  menuBar_.reset();
  iconBig_.reset();
  iconSmall_.reset();
  lastFocus_ = nullptr;
}

}  // namespace rt
