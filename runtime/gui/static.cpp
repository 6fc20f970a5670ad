// Static texts and pictures.
#include "static.h"
#include "native.h"

namespace rt {

XbpWindow::NativeSpec XbpBaseStatic::nativeSpec() const {
  NativeSpec spec;
  spec.windowClass = L"XbpStatic";
  if (type == kTypeText) spec.text = Wide(caption.text());
  return spec;
}

void XbpBaseStatic::beforeCreate() {
  // Measured first and made at its size: moving it afterwards costs a
  // second layout of the window.
  if (type == kTypeBitmap) loadBitmap();
  long width = 0, height = 0;
  if (autoSize && contentExtent(width, height)) size_ = Value{ToApp(width, dpi()), ToApp(height, dpi())};
}

bool XbpBaseStatic::setCaption(const Value& newCaption) {
  caption = newCaption;
  if (!handle_) return true;
  if (type == kTypeBitmap) {
    loadBitmap();
  } else {
    SetWindowTextW(Hwnd(handle_), Wide(caption.text()).c_str());
  }
  if (autoSize) fitToContent();
  invalidate();
  return true;
}

void XbpBaseStatic::loadBitmap() {
  bitmap_.reset();
  if (caption.isNumber()) bitmap_.reset(LoadBitmapForDpi(static_cast<int>(caption.integer()), dpi()));
}

void XbpBaseStatic::onDpiChanged() {
  if (type == kTypeBitmap) loadBitmap();
  if (autoSize) {
    long width = 0, height = 0;
    if (contentExtent(width, height)) size_ = Value{ToApp(width, dpi()), ToApp(height, dpi())};
  }
  XbpWindow::onDpiChanged();
}

bool XbpBaseStatic::contentExtent(long& width, long& height) {
  SIZE extent{};
  if (type == kTypeBitmap) {
    BITMAP info{};
    if (!bitmap_ || !GetObjectW(bitmap_.get(), sizeof info, &info)) return false;
    extent = {info.bmWidth, info.bmHeight};
  } else {
    // The screen's context measures as the window's does: same font.
    const std::wstring text = Wide(caption.text());
    WindowDC dc(nullptr);
    SelectInScope font(dc.get(), resolvedFont());
    GetTextExtentPoint32W(dc.get(), text.c_str(), static_cast<int>(text.size()), &extent);
  }
  width = extent.cx;
  height = extent.cy;
  return true;
}

void XbpBaseStatic::fitToContent() {
  long width = 0, height = 0;
  // The lower-left corner stays where it was placed.
  if (contentExtent(width, height)) setPosAndSize(currentPos(), Value{ToApp(width, dpi()), ToApp(height, dpi())});
}

void XbpBaseStatic::paint(NativeDC dc) {
  RECT r{};
  GetClientRect(Hwnd(handle_), &r);
  FillRect(dc, &r, backgroundBrush());
  if (type == kTypeBitmap) {
    BITMAP info{};
    if (!bitmap_ || !GetObjectW(bitmap_.get(), sizeof info, &info)) return;
    OwnedMemoryDC memory(CreateCompatibleDC(dc));
    SelectInScope select(memory.get(), bitmap_.get());
    BitBlt(dc, 0, 0, info.bmWidth, info.bmHeight, memory.get(), 0, 0, SRCCOPY);
    return;
  }
  UINT format = DT_SINGLELINE | DT_NOPREFIX;
  if (options & kTextRight) format |= DT_RIGHT;
  else if (options & kTextCenter) format |= DT_CENTER;
  if (options & kTextVCenter) format |= DT_VCENTER;
  else if (options & kTextBottom) format |= DT_BOTTOM;
  SelectInScope font(dc, resolvedFont());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, resolvedForeground());
  std::wstring text = Wide(caption.text());
  DrawTextW(dc, text.data(), static_cast<int>(text.size()), &r, format);
}

bool XbpBaseStatic::onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) {
  switch (msg) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Hwnd(handle_), &ps);
      paint(dc);
      replayDrawing(dc);
      EndPaint(Hwnd(handle_), &ps);
      result = 0;
      return true;
    }
    case WM_ERASEBKGND:
      result = 1;  // painted whole in WM_PAINT, without flicker
      return true;
    case WM_NCHITTEST:
      // Like a plain label: clicks go to what lies beneath.
      result = HTTRANSPARENT;
      return true;
    default: return XbpWindow::onMessage(msg, wparam, lparam, result);
  }
}

void XbpBaseStatic::onNativeDestroyed() {
  XbpWindow::onNativeDestroyed();
  bitmap_.reset();
}

}  // namespace rt
