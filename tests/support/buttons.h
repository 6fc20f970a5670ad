// Shared by the tests of check boxes, 3-state boxes and radio buttons: a form
// to put them on, a recorder for their callbacks, and the colours and font
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

// Calls of one callback, with their arguments.
struct Recorder {
  struct Call {
    rt::Value mp1, mp2;
    rt::ObjectRef self;
  };
  std::shared_ptr<std::vector<Call>> calls = std::make_shared<std::vector<Call>>();

  rt::Value block() const {
    auto into = calls;
    return [into](const rt::Args& a) -> rt::Value {
      into->push_back({rt::Arg(a, 1), rt::Arg(a, 2), rt::Arg(a, 3).object()});
      return rt::NIL;
    };
  }
  size_t count() const { return calls->size(); }
  std::vector<rt::Value> firsts() const {
    std::vector<rt::Value> out;
    for (const Call& c : *calls) out.push_back(c.mp1);
    return out;
  }
};

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
