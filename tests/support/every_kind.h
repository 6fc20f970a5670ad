// What every control kind must do, whatever it is: take its colours and font
// from presentation parameters, be set up once, be known to the window
// registry while it lives, give back every handle it took when destroyed, and
// (kinds that hold a value) outlive a data link that destroys it. Each kind's
// own test file runs these for it, so a new kind needs nothing else:
//   INSTANTIATE_TYPED_TEST_SUITE_P(SpinButton, EveryKind, valumat::XbpSpinButton);
// after specialising ControlKind<T> where the kind is made or asked for its
// colours differently.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "classes.h"
#include "controls.h"
#include "support/form.h"
#include "gui/native.h"  // WindowFromHandle, FontOf

namespace everykind {

constexpr long kRed = 16777216 + 200;          // RGB(200, 0, 0)
constexpr long kGreen = 16777216 + 210 * 256;  // RGB(0, 210, 0)
inline const char* const kFont = "11.Arial Fett";

inline rt::Value Colours() {
  return rt::Value{rt::Value{rt::kPPForeground, kRed}, rt::Value{rt::kPPBackground, kGreen},
                   rt::Value{rt::kPPCompoundName, kFont}};
}

}  // namespace everykind

// How a kind is made ready, and how its native control says which colours it
// paints with. Most kinds ask their parent (WM_CTLCOLOR*); some set them into
// the control.
template <class T>
struct ControlKind {
  static constexpr bool kShowsText = true;
  static std::shared_ptr<T> make(const rt::WindowRef& parent) {
    auto control = rt::New<T>({parent, rt::NIL, rt::Value{20, 20}, rt::Value{160, 90}, everykind::Colours()});
    control->create();
    return control;
  }
  static std::pair<COLORREF, COLORREF> colours(const rt::WindowRef& control) {
    HWND hwnd = guitest::H(control);
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
    const std::pair<COLORREF, COLORREF> result{GetTextColor(dc), GetBkColor(dc)};
    DeleteDC(dc);
    return result;
  }
};

template <class T>
class EveryKind : public ::testing::Test {};
TYPED_TEST_SUITE_P(EveryKind);

TYPED_TEST_P(EveryKind, TakesItsColoursAndFontLivesInTheRegistryAndGivesBackItsHandles) {
  using Kind = ControlKind<TypeParam>;
  guitest::ShownForm form;
  // The first one of a kind fills the process-wide caches (fonts, libraries).
  Kind::make(form.area)->destroy();
  guitest::Drain();
  const long before = rt::LiveHandles();
  const size_t classes = rt::ClassCount();

  auto control = Kind::make(form.area);
  HWND hwnd = guitest::H(control);
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(rt::WindowFromHandle(hwnd), control.get());
  EXPECT_EQ(rt::ClassCount(), classes) << "set up a second time";

  const auto [text, back] = Kind::colours(control);
  EXPECT_EQ(text, RGB(200, 0, 0));
  EXPECT_EQ(back, RGB(0, 210, 0));
  if (Kind::kShowsText) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    EXPECT_EQ(font, rt::FontOf(everykind::kFont));
    EXPECT_EQ(guitest::LogFontOf(font).lfWeight, FW_BOLD);
  }

  control->destroy();
  guitest::Drain();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(rt::WindowFromHandle(hwnd), nullptr);
  EXPECT_FALSE(control->isCreated());
  EXPECT_EQ(rt::LiveHandles(), before);
}

// A data link may close the form its control stands on, which drops the link:
// the running closure must live until it returns, whether setData or getData
// ran it.
TYPED_TEST_P(EveryKind, ADataLinkThatDestroysItsControlRunsToItsEnd) {
  if constexpr (!requires(TypeParam& t) {
                  t.setData();
                  t.getData();
                }) {
    GTEST_SKIP() << "holds no value";
  } else {
    static bool freed;
    struct Capture {
      ~Capture() { freed = true; }
    };
    guitest::ShownForm form;
    for (const bool viaSetData : {true, false}) {
      SCOPED_TRACE(viaSetData ? "setData" : "getData");
      freed = false;
      auto control = rt::New<TypeParam>({form.area, rt::NIL, rt::Value{20, 20}, rt::Value{160, 90}});
      control->create();
      std::weak_ptr<TypeParam> weak = control;
      control->dataLink = [capture = std::make_shared<Capture>(), weak](const rt::Args&) -> rt::Value {
        if (auto self = weak.lock()) self->destroy();
        EXPECT_FALSE(freed) << "the closure was freed while it ran";
        return rt::NIL;
      };
      if (viaSetData) {
        control->setData();
      } else {
        control->getData();
      }
      EXPECT_FALSE(control->isCreated());
      EXPECT_TRUE(freed);  // and let go once it returned
    }
  }
}

REGISTER_TYPED_TEST_SUITE_P(EveryKind, TakesItsColoursAndFontLivesInTheRegistryAndGivesBackItsHandles,
                            ADataLinkThatDestroysItsControlRunsToItsEnd);
