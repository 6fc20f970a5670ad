// The window base class: construction arguments, native creation, geometry
// in the runtime's bottom-up coordinates, colours, fonts and events; the
// desktop, the application window and the focus.
#include "native.h"

#include <cmath>
#include <mutex>
#include <utility>
#include <vector>

#include "../events.h"
#include "dragdrop.h"

namespace rt {

long Pixels(const Value& v) { return std::lround(v.number()); }

namespace {

bool IsPair(const Value& v) { return v.at(1).isNumber() && v.at(2).isNumber(); }

bool IsDesktop(const XbpWindow* w) { return dynamic_cast<const XbpDesktop*>(w) != nullptr; }

// A window of its own opens where it was asked to, unless part of it would
// lie outside the work area of the monitor it is on (a small screen): then it
// moves just enough to lie inside it, its top-left corner first when it is
// larger, so that its title bar can always be reached. A window that lies on
// no monitor comes onto the nearest.
void KeepInWorkArea(long& left, long& top, long width, long height) {
  const RECT work = WorkAreaAround(RECT{left, top, left + width, top + height});
  if (work.right <= work.left || work.bottom <= work.top) return;
  if (left + width > work.right) left = work.right - width;
  if (top + height > work.bottom) top = work.bottom - height;
  if (left < work.left) left = work.left;
  if (top < work.top) top = work.top;
}

BOOL CALLBACK RefreshChildFont(HWND child, LPARAM) {
  if (XbpWindow* w = WindowFromHandle(child)) {
    SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(w->resolvedFont()), TRUE);
  }
  return TRUE;
}

// Parents come before their children, as the system enumerates them.
BOOL CALLBACK CollectDescendant(HWND child, LPARAM list) {
  reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
  return TRUE;
}

bool IsTopLevel(const XbpWindow& w, const WindowRef& parent) {
  return !IsDesktop(&w) && (!parent || IsDesktop(parent.get()));
}

constexpr unsigned kFirstChildId = 1000;
constexpr unsigned kChildIds = 60000;  // ids stay within the 16 bits WM_COMMAND carries

// An id no live child of `parent` has: WM_MEASUREITEM names its control by
// id alone, so once the counter has gone round, ids still in use are skipped.
UINT_PTR FreeChildId(HWND parent) {
  unsigned& next = ChildIdCounter();
  for (unsigned tried = 0; tried < kChildIds; ++tried) {
    const unsigned id = kFirstChildId + next % kChildIds;
    next = (next + 1) % kChildIds;
    if (!parent || !GetDlgItem(parent, static_cast<int>(id))) return id;
  }
  return kFirstChildId + next;  // every id taken: no window has so many children
}

}  // namespace

XbpWindow::XbpWindow() {
  pos_ = Value{0, 0};
  size_ = Value{0, 0};
}

unsigned& ChildIdCounter() {
  static unsigned next = 0;
  return next;
}

XbpWindow::~XbpWindow() {
  // Objects normally outlive their native window; if not, take it down now
  // rather than leave a window whose procedure points at freed memory.
  if (handle_ && IsWindow(Hwnd(handle_))) DestroyWindow(Hwnd(handle_));
}

void XbpWindow::init(const Args& args) {
  if (WindowRef parent = Arg(args, 1).as<XbpWindow>()) parent_ = parent;
  if (!parent_) parent_ = SetAppWindow();
  if (WindowRef owner = Arg(args, 2).as<XbpWindow>()) owner_ = owner;
  if (!owner_) owner_ = parent_;
  if (Arg(args, 3).isArray()) pos_ = Value{Arg(args, 3).at(1), Arg(args, 3).at(2)};
  if (Arg(args, 4).isArray()) size_ = Value{Arg(args, 4).at(1), Arg(args, 4).at(2)};
  const Value pp = Arg(args, 5);
  for (size_t i = 1; i <= pp.size(); ++i) {
    const Value pair = pp.at(i);
    const long id = pair.at(1).integer();
    const Value value = pair.at(2);
    if (id == kPPForeground && value.isNumber()) fg_ = value;
    if (id == kPPBackground && value.isNumber()) bg_ = value;
    if (id == kPPCompoundName && value.isText()) font_ = value.text();
  }
  if (Arg(args, 6).isLogical()) visible = Arg(args, 6).logical();
}

void XbpWindow::create(const Args& args) {
  if (!args.empty()) init(args);
  if (handle_) return;
  RegisterWindowClasses();
  beforeCreate();
  const NativeSpec spec = nativeSpec();
  const bool topLevel = !parent_ || IsDesktop(parent_.get());
  DWORD style = spec.style;
  if (!topLevel) style |= WS_CHILD;
  if (clipSiblings) style |= WS_CLIPSIBLINGS;
  if (clipChildren) style |= WS_CLIPCHILDREN;
  if (tabStop) style |= WS_TABSTOP;
  if (visible && !topLevel) style |= WS_VISIBLE;

  // A top-level window is laid out at the system's dpi first; the one of the
  // monitor it lands on is known once it exists.
  if (topLevel) dpi_ = SystemDpi();
  const unsigned at = dpi(), placedAt = parent_ ? parent_->dpi() : SystemDpi();
  const long x = ToDevice(pos_.at(1).number(), placedAt), y = ToDevice(pos_.at(2).number(), placedAt);
  const long w = ToDevice(size_.at(1).number(), at), h = ToDevice(size_.at(2).number(), at);
  const long areaHeight = parentAreaHeight();
  HWND nativeParent = nullptr;
  if (!topLevel) {
    nativeParent = Hwnd(parent_->childParentHandle());
  } else if (owner_ && !IsDesktop(owner_.get())) {
    nativeParent = Hwnd(owner_->nativeHandle());
  }
  const UINT_PTR id = topLevel ? 0 : FreeChildId(nativeParent);
  long left = x, top = areaHeight - y - h;
  if (topLevel) KeepInWorkArea(left, top, w, h);
  HWND hwnd;
  {
    CreatingScope creating(this, id);
    hwnd = CreateWindowExW(spec.exStyle, spec.windowClass, spec.text.c_str(), style, left, top, w, h,
                           nativeParent, reinterpret_cast<HMENU>(id), ModuleInstance(),
                           spec.subclass ? nullptr : static_cast<XbpWindow*>(this));
  }
  if (!hwnd) {
    RethrowCarriedException();
    return;
  }
  if (spec.subclass) {
    subclassed_ = true;
    AdoptControl(hwnd, std::static_pointer_cast<XbpWindow>(shared_from_this()));
  }
  if (topLevel && DpiOfWindow(hwnd) != dpi_) {
    // Laid out again at its monitor's dpi, and kept in that monitor's work area.
    dpi_ = DpiOfWindow(hwnd);
    const long scaledW = ToDevice(size_.at(1).number(), dpi_), scaledH = ToDevice(size_.at(2).number(), dpi_);
    left = x;
    top = areaHeight - y - scaledH;
    KeepInWorkArea(left, top, scaledW, scaledH);
    SetWindowPos(hwnd, nullptr, left, top, scaledW, scaledH, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  applyFont(false);  // no children yet
  afterCreate();
  if (acceptsDrops()) RegisterDropTarget(hwnd);
  if (visible && topLevel) show();
  RethrowCarriedException();
}

void XbpWindow::destroy() {
  if (!handle_) return;
  DestroyWindow(Hwnd(handle_));
  RethrowCarriedException();
}

bool XbpWindow::show() {
  if (!handle_) return false;
  ShowWindow(Hwnd(handle_), SW_SHOW);
  UpdateWindow(Hwnd(handle_));
  return true;
}

bool XbpWindow::hide() {
  if (!handle_) return false;
  ShowWindow(Hwnd(handle_), SW_HIDE);
  return true;
}

bool XbpWindow::isVisible() const { return handle_ && IsWindowVisible(Hwnd(handle_)); }
bool XbpWindow::isEnabled() const { return handle_ && IsWindowEnabled(Hwnd(handle_)); }
bool XbpWindow::enable() { return handle_ && (EnableWindow(Hwnd(handle_), TRUE), true); }
bool XbpWindow::disable() { return handle_ && (EnableWindow(Hwnd(handle_), FALSE), true); }

unsigned XbpWindow::dpi() const {
  if (IsDesktop(this)) return SystemDpi();
  if (IsTopLevel(*this, parent_)) return dpi_ ? dpi_ : SystemDpi();
  return parent_->dpi();
}

long XbpWindow::parentAreaHeight() const {
  return parent_ ? parent_->childAreaHeight() : GetSystemMetrics(SM_CYSCREEN);
}

long XbpWindow::childAreaHeight() const {
  RECT r{};
  GetClientRect(Hwnd(childParentHandle()), &r);
  return r.bottom;
}

Value XbpWindow::currentPos() const {
  if (!handle_) return Value{pos_.at(1), pos_.at(2)};
  RECT r{};
  GetWindowRect(Hwnd(handle_), &r);
  HWND nativeParent = GetParent(Hwnd(handle_));
  if (GetWindowLongPtrW(Hwnd(handle_), GWL_STYLE) & WS_CHILD) {
    MapWindowPoints(HWND_DESKTOP, nativeParent, reinterpret_cast<POINT*>(&r), 2);
  }
  const long areaHeight = parentAreaHeight();
  const unsigned placedAt = parent_ ? parent_->dpi() : SystemDpi();
  return Value{ToApp(r.left, placedAt), ToApp(areaHeight - r.bottom, placedAt)};
}

Value XbpWindow::currentSize() const {
  if (!handle_) return Value{size_.at(1), size_.at(2)};
  RECT r{};
  GetWindowRect(Hwnd(handle_), &r);
  return Value{ToApp(r.right - r.left, dpi()), ToApp(r.bottom - r.top, dpi())};
}

bool XbpWindow::setPos(const Value& pos) { return setPosAndSize(pos, currentSize()); }
bool XbpWindow::setSize(const Value& size) { return setPosAndSize(currentPos(), size); }

bool XbpWindow::setPosAndSize(const Value& pos, const Value& size) {
  // A NIL or half position would land the window at 0.
  if (!IsPair(pos) || !IsPair(size)) return false;
  pos_ = Value{pos.at(1), pos.at(2)};
  size_ = Value{size.at(1), size.at(2)};
  return !handle_ || placeNative();
}

bool XbpWindow::placeNative() {
  const unsigned at = dpi(), placedAt = parent_ ? parent_->dpi() : SystemDpi();
  const long areaHeight = parentAreaHeight();
  const long w = ToDevice(size_.at(1).number(), at), h = ToDevice(size_.at(2).number(), at);
  const long x = ToDevice(pos_.at(1).number(), placedAt), y = ToDevice(pos_.at(2).number(), placedAt);
  return SetWindowPos(Hwnd(handle_), nullptr, x, areaHeight - y - h, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

void XbpWindow::onDpiChanged() {
  // A top-level window has its frame from the system's suggestion.
  if (!IsTopLevel(*this, parent_)) placeNative();
}

void XbpWindow::changeDpi(unsigned newDpi, long left, long top, long right, long bottom) {
  HWND hwnd = Hwnd(handle_);
  dpi_ = newDpi;
  SetWindowPos(hwnd, nullptr, left, top, right - left, bottom - top, SWP_NOZORDER | SWP_NOACTIVATE);
  std::vector<HWND> descendants;
  EnumChildWindows(hwnd, CollectDescendant, reinterpret_cast<LPARAM>(&descendants));
  onDpiChanged();
  for (HWND child : descendants) {
    if (const WindowRef w = WindowRefFromHandle(child)) w->onDpiChanged();
  }
  applyFont();  // every window's, at the new dpi
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
}

bool XbpWindow::setModalState(long state) {
  if (state != 1 && state != 2) return false;
  // Only the owner's window is touched, so a run whose window was destroyed
  // still gives its owner back.
  if (owner_ && owner_.get() != this && owner_->isCreated())
    EnableWindow(Hwnd(owner_->nativeHandle()), state == 1 ? TRUE : FALSE);
  return true;
}

Value XbpWindow::mapPoint(const WindowRef& destination, const Value& point) const {
  if (!destination || !IsPair(point)) return Value();
  const bool fromDesktop = IsDesktop(this), toDesktop = IsDesktop(destination.get());
  if ((!fromDesktop && !handle_) || (!toDesktop && !destination->isCreated())) return Value();
  HWND from = fromDesktop ? HWND_DESKTOP : Hwnd(childParentHandle());
  HWND to = toDesktop ? HWND_DESKTOP : Hwnd(destination->childParentHandle());
  // Only the offset between the two areas is mapped natively, so that the
  // point keeps its fractions until it becomes pixels.
  POINT origin{0, 0};
  MapWindowPoints(from, to, &origin, 1);
  const double scale = dpi() / static_cast<double>(kBaseDpi);
  const double x = point.at(1).number() * scale + origin.x;
  const double yFromTop = childAreaHeight() - point.at(2).number() * scale + origin.y;
  return Value{ToApp(x, destination->dpi()), ToApp(destination->childAreaHeight() - yFromTop, destination->dpi())};
}

bool XbpWindow::setColorBG(long color) {
  bg_ = color;
  invalidate();
  return true;
}

bool XbpWindow::setColorFG(long color) {
  fg_ = color;
  invalidate();
  return true;
}

bool XbpWindow::setFontCompoundName(const std::string& name) {
  font_ = name;
  applyFont();
  return true;
}

std::string XbpWindow::fontCompoundName() const {
  if (!font_.empty()) return font_;
  return parent_ ? parent_->fontCompoundName() : std::string();
}

unsigned long XbpWindow::resolvedBackground() const {
  if (bg_.isNumber()) return ColorOf(bg_.integer());
  if (hasFieldColours()) return GetSysColor(COLOR_WINDOW);
  return parent_ ? parent_->resolvedBackground() : GetSysColor(COLOR_BTNFACE);
}

unsigned long XbpWindow::resolvedForeground() const {
  if (fg_.isNumber()) return ColorOf(fg_.integer());
  if (hasFieldColours()) return GetSysColor(COLOR_WINDOWTEXT);
  return parent_ ? parent_->resolvedForeground() : GetSysColor(COLOR_WINDOWTEXT);
}

NativeFont XbpWindow::resolvedFont() const {
  const std::string name = fontCompoundName();
  return name.empty() ? DefaultFont(dpi()) : FontOf(name, dpi());
}

void XbpWindow::applyFont(bool children) {
  if (!handle_) return;
  // A window not shown yet paints with the font when it is shown.
  HWND hwnd = Hwnd(handle_);
  SendMessageW(hwnd, WM_SETFONT, reinterpret_cast<WPARAM>(resolvedFont()), IsWindowVisible(hwnd));
  // Children without a font of their own follow this one.
  if (children) EnumChildWindows(hwnd, RefreshChildFont, 0);
}

void XbpWindow::invalidate() {
  // Children without colours of their own show this window's: they paint again
  // too. A window not shown yet is painted whole when it is shown.
  if (handle_ && IsWindowVisible(Hwnd(handle_)))
    RedrawWindow(Hwnd(handle_), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

PresSpaceRef XbpWindow::presSpace() {
  if (!presSpace_) {
    presSpace_ = NewPublic<XbpBasePresSpace>();
    presSpace_->bind(std::static_pointer_cast<XbpWindow>(shared_from_this()));
  }
  return presSpace_;
}

PresSpaceRef XbpWindow::presSpace(const PresSpaceRef& ps) {
  PresSpaceRef previous = presSpace_;
  if (!ps || locks_ > 0) return previous;
  ps->bind(std::static_pointer_cast<XbpWindow>(shared_from_this()));
  presSpace_ = ps;
  invalidate();
  return previous;
}

PresSpaceRef XbpWindow::lockPS() {
  PresSpaceRef ps = presSpace();
  // A window not yet created has no device context to lend: GetDC would
  // answer the whole screen's. The space then draws as it does unlocked.
  if (locks_++ == 0 && handle_) {
    lockedFrom_ = handle_;
    ps->attachDC(GetDC(lockedFrom_));
  }
  return ps;
}

bool XbpWindow::unlockPS(const PresSpaceRef& ps) {
  if (!ps || ps != presSpace_ || locks_ == 0) return false;
  if (--locks_ == 0) releaseLockedDC();
  return true;
}

void XbpWindow::releaseLockedDC() {
  if (HDC dc = presSpace_ ? presSpace_->detachDC() : nullptr) ReleaseDC(lockedFrom_, dc);
  lockedFrom_ = nullptr;
}

void XbpWindow::replayDrawing(NativeDC dc) {
  if (presSpace_ && presSpace_->hasRecording()) presSpace_->replay(dc);
}

NativeBrush XbpWindow::backgroundBrush() {
  const COLORREF background = resolvedBackground();
  if (!brush_ || brushColor_ != background) {
    brush_.reset(CreateSolidBrush(background));
    brushColor_ = background;
  }
  return brush_.get();
}

// --- desktop ---------------------------------------------------------------

XbpDesktop::XbpDesktop() { visible = true; }

long XbpDesktop::childAreaHeight() const { return GetSystemMetrics(SM_CYSCREEN); }

Value XbpDesktop::currentSize() const {
  return Value{ToApp(GetSystemMetrics(SM_CXSCREEN), SystemDpi()), ToApp(GetSystemMetrics(SM_CYSCREEN), SystemDpi())};
}

namespace {

// Line output asks for the application window from any thread.
struct AppWindowSlot {
  std::mutex lock;
  WindowRef window;
};

AppWindowSlot& AppWindowHeld() {
  static AppWindowSlot slot;
  return slot;
}

}  // namespace

WindowRef AppDesktop() {
  static const WindowRef desktop = std::make_shared<XbpDesktop>();
  return desktop;
}

WindowRef SetAppWindow() {
  AppWindowSlot& slot = AppWindowHeld();
  std::unique_lock guard(slot.lock);
  WindowRef window = slot.window;
  guard.unlock();
  return window ? window : AppDesktop();
}

WindowRef SetAppWindow(const WindowRef& window) {
  AppWindowSlot& slot = AppWindowHeld();
  std::unique_lock guard(slot.lock);
  WindowRef previous = std::exchange(slot.window, window);
  guard.unlock();
  // The previous window may be released here, never under the lock.
  return previous ? previous : AppDesktop();
}

WindowRef SetAppFocus() { return OwningWindow(GetFocus()); }

WindowRef SetAppFocus(const WindowRef& window) {
  WindowRef previous = SetAppFocus();
  if (window && window->isCreated()) {
    HWND hwnd = Hwnd(window->nativeHandle());
    HWND root = GetAncestor(hwnd, GA_ROOT);
    if (root && GetForegroundWindow() != root) SetForegroundWindow(root);
    SetFocus(hwnd);
  }
  return previous;
}

}  // namespace rt
