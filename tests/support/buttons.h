// Shared by the tests of check boxes, 3-state boxes and radio buttons: a form
// to put them on, the way their callbacks are heard, and the colours and font
// they are given.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "controls.h"
#include "events.h"
#include "support/form.h"
#include "support/heard.h"
#include "gui/native.h"

namespace buttontest {

// A shown form to put the buttons on.
struct ButtonForm : guitest::ShownForm {
  ButtonForm() : ShownForm(rt::Value{420, 300}, "Auswahl") {}

  // A control of kind T at (x, y), 140 x 22, not yet created.
  template <class T>
  std::shared_ptr<T> make(long x, long y, const std::string& caption, const rt::Value& presentation = rt::NIL) {
    auto control = rt::New<T>({area, rt::NIL, rt::Value{x, y}, rt::Value{140, 22}, presentation});
    if constexpr (requires { control->caption; }) control->caption = caption;
    return control;
  }
  template <class T>
  std::shared_ptr<T> add(long x, long y, const std::string& caption, const rt::Value& presentation = rt::NIL) {
    auto control = make<T>(x, y, caption, presentation);
    control->create();
    return control;
  }
  using ShownForm::add;
};

// What a button's `selected` callback heard: its first parameter, each call
// checked to come from `self` without a second one.
inline rt::Value Selected(guitest::Heard& heard, const rt::Object* self) {
  return heard.block({}, guitest::Heard::First, self, {2});
}

// Red captions on cyan in bold Arial.
inline rt::Value RedOnCyanBold() {
  return rt::Value{rt::Value{rt::kPPForeground, 2}, rt::Value{rt::kPPBackground, 5},
                   rt::Value{rt::kPPCompoundName, "10.Arial Fett"}};
}

// A control made with RedOnCyanBold shows its caption so, and without the red
// once disabled (the control greys it as usual). Leaves it disabled.
inline void ExpectRedOnCyanBoldUntilDisabled(rt::XbpWindow& control) {
  const HWND hwnd = control.nativeHandle();
  EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0)), rt::FontOf("10.Arial Fett"));
  EXPECT_EQ(guitest::FontOfControl(hwnd).lfWeight, FW_BOLD);
  std::vector<COLORREF> shown = guitest::Pixels(hwnd);
  EXPECT_GT(guitest::CountOf(shown, RGB(255, 0, 0)), 20);
  EXPECT_GT(guitest::CountOf(shown, RGB(0, 255, 255)), static_cast<long>(shown.size()) / 2);
  control.disable();
  shown = guitest::Pixels(hwnd);
  EXPECT_EQ(guitest::CountOf(shown, RGB(255, 0, 0)), 0);
  EXPECT_GT(guitest::CountOf(shown, RGB(0, 255, 255)), static_cast<long>(shown.size()) / 2);
}

inline long NativeState(HWND hwnd) { return static_cast<long>(SendMessageW(hwnd, BM_GETCHECK, 0, 0)); }

}  // namespace buttontest
