// Shared by the menu tests: a dialog with a bar that has one menu, "Datei"
// (its key letter answered),
// callbacks that log how they were called, and choosing an item the way the
// system reports a click.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "controls.h"
#include "menu.h"
#include "menubar.h"
#include "support/form.h"
#include "support/heard.h"

namespace menutest {

inline BOOL CALLBACK FindOpenMenu(HWND hwnd, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(hwnd, name, 16);
  if (std::wstring(name) != L"#32768" || !IsWindowVisible(hwnd)) return TRUE;
  *reinterpret_cast<HWND*>(found) = hwnd;
  return FALSE;
}

// The menu the system shows open now (a visible pop-up menu window of this
// thread), or nullptr.
inline HMENU OpenMenu() {
  HWND popup = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindOpenMenu, reinterpret_cast<LPARAM>(&popup));
  return popup ? reinterpret_cast<HMENU>(SendMessageW(popup, MN_GETHMENU, 0, 0)) : nullptr;
}

struct MenuForm : guitest::Form {
  std::shared_ptr<rt::XbpBaseMenubar> bar;
  std::shared_ptr<valumat::XbpMenu> file;
  guitest::Heard calls;

  explicit MenuForm(const rt::Value& presParams = rt::NIL) : Form(rt::Value{320, 200}, "Men\x81", rt::Value{140, 140}) {
    bar = rt::New<valumat::XbpMenuBar>({dlg, rt::NIL, rt::NIL, rt::NIL, presParams});
    bar->create();
    file = rt::New<valumat::XbpMenu>({bar});
    file->create();
    file->title = "~Datei";
    bar->addItem({file, rt::NIL, rt::NIL, rt::kMenuKeyLetter});  // Alt+D opens it
  }

  // Notes "what index", expecting NIL as the second parameter and `menu` as
  // the third.
  rt::Value record(const std::string& what, const std::shared_ptr<rt::XbpMenuItems>& menu) {
    return calls.block(what, guitest::Heard::First, menu.get(), {2});
  }

  // What the system sends the window when the user clicks the item at
  // 1-based `pos` of `menu`.
  void click(HMENU menu, int pos) const {
    PostMessageW(dlg->nativeHandle(), WM_COMMAND, MAKEWPARAM(GetMenuItemID(menu, pos - 1), 0), 0);
  }
};

}  // namespace menutest
