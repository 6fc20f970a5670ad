// Native handles in the runtime's public headers: the Win32 handle types,
// declared here as <windows.h> declares them, and one owning type for every
// handle a window keeps (brushes, pens, fonts, bitmaps, icons, menus, memory
// device contexts, modules, themes).
//
// An Owned handle is move-only and closes its handle exactly once: when it is
// reset, assigned over or destroyed. Every open Owned handle is counted, by
// kind, so that tests can prove that creating and destroying windows gives
// back everything they took; the system's own counters (GetGuiResources) are
// not available everywhere.
#pragma once

#include <utility>

struct HWND__;
struct HDC__;
struct HBRUSH__;
struct HPEN__;
struct HFONT__;
struct HBITMAP__;
struct HICON__;
struct HMENU__;
struct HINSTANCE__;

namespace rt {

using NativeWindow = HWND__*;
using NativeDC = HDC__*;
using NativeBrush = HBRUSH__*;
using NativePen = HPEN__*;
using NativeFont = HFONT__*;
using NativeBitmap = HBITMAP__*;
using NativeIcon = HICON__*;
using NativeMenu = HMENU__*;
using NativeModule = HINSTANCE__*;

enum class HandleKind { Brush, Pen, Font, Bitmap, Icon, Menu, MemoryDC, Module, Theme, Count };
using NativeTheme = void*;  // HTHEME

// Handles held by Owned objects now: of one kind, and of all kinds together.
long LiveHandles(HandleKind kind);
long LiveHandles();

namespace handle_detail {
void Count(HandleKind kind, int delta);
// Each closes its handle the way its kind requires (DeleteObject, DestroyIcon,
// DestroyMenu, DeleteDC, FreeLibrary).
void Close(NativeBrush h);
void Close(NativePen h);
void Close(NativeFont h);
void Close(NativeBitmap h);
void Close(NativeIcon h);
void Close(NativeMenu h);
void CloseMemoryDC(NativeDC h);
void Close(NativeModule h);
void CloseTheme(NativeTheme h);
}  // namespace handle_detail

template <class H, HandleKind K>
class Owned {
 public:
  using Handle = H;
  static constexpr HandleKind kKind = K;

  Owned() = default;
  explicit Owned(H handle) : handle_(handle) {
    if (handle_) handle_detail::Count(K, 1);
  }
  ~Owned() { reset(); }
  Owned(const Owned&) = delete;
  Owned& operator=(const Owned&) = delete;
  Owned(Owned&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Owned& operator=(Owned&& other) noexcept {
    if (this != &other) {
      reset();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }

  H get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

  // Closes the handle held and takes `handle` instead.
  void reset(H handle = nullptr) {
    if (handle_ == handle) return;
    if (handle_) {
      if constexpr (K == HandleKind::MemoryDC) {
        handle_detail::CloseMemoryDC(handle_);
      } else if constexpr (K == HandleKind::Theme) {
        handle_detail::CloseTheme(handle_);
      } else {
        handle_detail::Close(handle_);
      }
      handle_detail::Count(K, -1);
    }
    handle_ = handle;
    if (handle_) handle_detail::Count(K, 1);
  }
  // Gives the handle up without closing it, to an owner that closes it
  // (a menu inserted into another menu, a menu bar set on its window).
  H release() {
    if (handle_) handle_detail::Count(K, -1);
    return std::exchange(handle_, nullptr);
  }

 private:
  H handle_ = nullptr;
};

using OwnedBrush = Owned<NativeBrush, HandleKind::Brush>;
using OwnedPen = Owned<NativePen, HandleKind::Pen>;
using OwnedFont = Owned<NativeFont, HandleKind::Font>;
using OwnedBitmap = Owned<NativeBitmap, HandleKind::Bitmap>;
using OwnedIcon = Owned<NativeIcon, HandleKind::Icon>;
using OwnedMenu = Owned<NativeMenu, HandleKind::Menu>;
using OwnedMemoryDC = Owned<NativeDC, HandleKind::MemoryDC>;
using OwnedModule = Owned<NativeModule, HandleKind::Module>;
using OwnedTheme = Owned<NativeTheme, HandleKind::Theme>;

}  // namespace rt
