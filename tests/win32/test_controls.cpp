// What every control kind must do, whatever it is: bear its public name over
// the runtime's base class, be set up once, take its colours and font from
// presentation parameters, be known to the window registry while it lives,
// and give back every handle it took when it is destroyed.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <string>

#include "classes.h"
#include "controls.h"
#include "support/event_loop.h"
#include "gui/native.h"

using namespace rt;
using namespace valumat;
using namespace guitest;

namespace {

constexpr long kRed = 16777216 + 200;          // RGB(200, 0, 0)
constexpr long kGreen = 16777216 + 210 * 256;  // RGB(0, 210, 0)
const char* const kFont = "11.Arial Fett";

Value Colours() {
  return Value{Value{kPPForeground, kRed}, Value{kPPBackground, kGreen}, Value{kPPCompoundName, kFont}};
}

// How a kind is made ready, and how its native control says which colours it
// paints with. Most kinds ask their parent (WM_CTLCOLOR*); some set them into
// the control.
template <class T>
struct Kind {
  static constexpr bool kShowsText = true;
  static std::shared_ptr<T> make(const WindowRef& parent) {
    auto control = New<T>({parent, NIL, Value{20, 20}, Value{160, 90}, Colours()});
    control->create();
    return control;
  }
  static std::pair<COLORREF, COLORREF> colours(const WindowRef& control) {
    HWND hwnd = H(control);
    HDC dc = CreateCompatibleDC(nullptr);
    SendMessageW(GetParent(hwnd), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd));
    const std::pair<COLORREF, COLORREF> result{GetTextColor(dc), GetBkColor(dc)};
    DeleteDC(dc);
    return result;
  }
};

template <>
struct Kind<XbpTreeView> : Kind<XbpStatic> {
  static std::shared_ptr<XbpTreeView> make(const WindowRef& parent) {
    auto tree = New<XbpTreeView>({parent, NIL, Value{20, 20}, Value{160, 90}, Colours()});
    tree->create();
    tree->rootItem()->addItem("Wurzel");
    return tree;
  }
  static std::pair<COLORREF, COLORREF> colours(const WindowRef& tree) {
    return {static_cast<COLORREF>(SendMessageW(H(tree), TVM_GETTEXTCOLOR, 0, 0)),
            static_cast<COLORREF>(SendMessageW(H(tree), TVM_GETBKCOLOR, 0, 0))};
  }
};

// A scroll bar shows no text: it has colours, but no font.
template <>
struct Kind<XbpScrollBar> : Kind<XbpStatic> {
  static constexpr bool kShowsText = false;
  static std::shared_ptr<XbpScrollBar> make(const WindowRef& parent) {
    auto bar = New<XbpScrollBar>({parent, NIL, Value{20, 20}, Value{160, 20}, Colours()});
    bar->create();
    return bar;
  }
};

template <>
struct Kind<XbpTabPage> : Kind<XbpStatic> {
  static std::shared_ptr<XbpTabPage> make(const WindowRef& parent) {
    auto page = New<XbpTabPage>({parent, NIL, Value{20, 20}, Value{160, 90}, Colours()});
    page->caption = "~Seite";
    page->minimized = false;
    page->create();
    return page;
  }
};

struct Form {
  std::shared_ptr<XbpDialog> dlg = New<XbpDialog>({AppDesktop(), NIL, Value{60, 60}, Value{320, 240}, NIL, false});
  Form() {
    dlg->create();
    dlg->show();
    Drain();
  }
  ~Form() {
    dlg->destroy();
    Drain();
  }
  WindowRef area() const { return dlg->drawingArea(); }
};

template <class T>
class EveryKind : public ::testing::Test {};

using WindowKinds = ::testing::Types<XbpStatic, XbpPushButton, XbpSLE, XbpCheckBox, Xbp3State, XbpRadioButton,
                                     XbpListBox, XbpCombobox, XbpMLE, XbpSpinButton, XbpScrollBar, XbpTreeView,
                                     XbpTabPage>;
TYPED_TEST_SUITE(EveryKind, WindowKinds);

TYPED_TEST(EveryKind, TakesItsColoursAndFontLivesInTheRegistryAndGivesBackItsHandles) {
  Form form;
  // The first one of a kind fills the process-wide caches (fonts, libraries).
  Kind<TypeParam>::make(form.area())->destroy();
  Drain();
  const long before = LiveHandles();
  const size_t classes = ClassCount();

  auto control = Kind<TypeParam>::make(form.area());
  HWND hwnd = H(control);
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(WindowFromHandle(hwnd), control.get());
  EXPECT_EQ(ClassCount(), classes) << "set up a second time";

  const auto [text, back] = Kind<TypeParam>::colours(control);
  EXPECT_EQ(text, RGB(200, 0, 0));
  EXPECT_EQ(back, RGB(0, 210, 0));
  if (Kind<TypeParam>::kShowsText) {
    HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
    EXPECT_EQ(font, FontOf(kFont));
    LOGFONTW lf{};
    GetObjectW(font, sizeof lf, &lf);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
  }

  control->destroy();
  Drain();
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(WindowFromHandle(hwnd), nullptr);
  EXPECT_FALSE(control->isCreated());
  EXPECT_EQ(LiveHandles(), before);
}

template <class T>
class LinkedKind : public ::testing::Test {};

using LinkedKinds = ::testing::Types<XbpSLE, XbpCheckBox, Xbp3State, XbpRadioButton, XbpListBox, XbpCombobox,
                                     XbpMLE, XbpSpinButton, XbpScrollBar>;
TYPED_TEST_SUITE(LinkedKind, LinkedKinds);

// A data link may close the form its control stands on, which drops the link:
// the running closure must live until it returns, whether setData or getData
// ran it.
TYPED_TEST(LinkedKind, ADataLinkThatDestroysItsControlRunsToItsEnd) {
  static bool freed;
  struct Capture {
    ~Capture() { freed = true; }
  };
  Form form;
  for (const bool viaSetData : {true, false}) {
    SCOPED_TRACE(viaSetData ? "setData" : "getData");
    freed = false;
    auto control = New<TypeParam>({form.area(), NIL, Value{20, 20}, Value{160, 90}});
    control->create();
    std::weak_ptr<TypeParam> weak = control;
    control->dataLink = [capture = std::make_shared<Capture>(), weak](const Args&) -> Value {
      if (auto self = weak.lock()) self->destroy();
      EXPECT_FALSE(freed) << "the closure was freed while it ran";
      return NIL;
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

// Every public class over the runtime class of its kind, under the names as
// the runtime spells them.
template <class T>
std::pair<std::string, std::string> Chain() {
  const ClassObject& cls = UseClass<T>();
  return {cls.name(), cls.base() ? cls.base()->name() : std::string()};
}

TEST(PublicClasses, DeriveFromTheRuntimeClassOfTheirKind) {
  using Pair = std::pair<std::string, std::string>;
  EXPECT_EQ(Chain<XbpDialog>(), Pair("XbpDialog", "XbpBaseDialog"));
  EXPECT_EQ(Chain<XbpPushButton>(), Pair("XbpPushButton", "XbpBasePushButton"));
  EXPECT_EQ(Chain<XbpMenuBar>(), Pair("XbpMenuBar", "XbpBaseMenubar"));
  EXPECT_EQ(Chain<XbpMenu>(), Pair("XbpMenu", "XbpBaseMenu"));
  EXPECT_EQ(Chain<XbpSLE>(), Pair("XbpSLE", "XbpBaseSLE"));
  EXPECT_EQ(Chain<XbpMLE>(), Pair("XbpMLE", "XbpBaseMLE"));
  EXPECT_EQ(Chain<XbpCombobox>(), Pair("XbpCombobox", "XbpBaseCombobox"));
  EXPECT_EQ(Chain<XbpListBox>(), Pair("XbpListBox", "XbpBaseListBox"));
  EXPECT_EQ(Chain<XbpSpinButton>(), Pair("XbpSpinButton", "XbpBaseSpinbutton"));
  EXPECT_EQ(Chain<XbpScrollBar>(), Pair("XbpScrollBar", "XbpBaseScrollBar"));
  EXPECT_EQ(Chain<XbpTreeView>(), Pair("XbpTreeView", "XbpBaseTreeView"));
  EXPECT_EQ(Chain<XbpTreeViewItem>(), Pair("XbpTreeViewItem", "XbpBaseTreeViewItem"));
  EXPECT_EQ(Chain<Xbp3State>(), Pair("Xbp3State", "XbpBase3State"));
  EXPECT_EQ(Chain<XbpTabPage>(), Pair("XbpTabPage", "XbpBaseTabPage"));
  EXPECT_EQ(Chain<XbpCheckBox>(), Pair("XbpCheckBox", "XbpBaseCheckBox"));
  EXPECT_EQ(Chain<XbpRadioButton>(), Pair("XbpRadioButton", "XbpBaseRadioButton"));
  EXPECT_EQ(Chain<XbpStatic>(), Pair("XbpStatic", "XbpBaseStatic"));
  EXPECT_EQ(Chain<XbpPresSpace>(), Pair("XbpPresSpace", "XbpBasePresSpace"));
  // Objects answer to both names.
  auto item = New<XbpTreeViewItem>();
  EXPECT_TRUE(item->isDerivedFrom("XbpBaseTreeViewItem"));
  EXPECT_EQ(item->className(), "XbpTreeViewItem");
}

TEST(PublicClasses, WhatTheRuntimeMakesItselfIsOfThePublicClass) {
  Form form;
  auto tree = New<XbpTreeView>({form.area(), NIL, Value{10, 10}, Value{100, 100}});
  auto dlg = New<XbpDialog>({AppDesktop(), NIL, Value{10, 10}, Value{200, 100}, NIL, false});
  const std::pair<ObjectRef, const char*> made[] = {
      {dlg->menuBar(), "XbpMenuBar"},
      {dlg->presSpace(), "XbpPresSpace"},
      {form.area()->lockPS(), "XbpPresSpace"},
      {tree->rootItem(), "XbpTreeViewItem"},
      {tree->rootItem()->addItem("Text"), "XbpTreeViewItem"},
  };
  for (const auto& [object, name] : made) {
    EXPECT_EQ(object->className(), name);
    EXPECT_TRUE(object->isDerivedFrom(name)) << name;
  }
  form.area()->unlockPS(form.area()->presSpace());
}

// A class of the same shape as the public ones, over a base whose class
// initialiser counts its runs.
int g_baseClassRuns = 0;

class CountedBase : public XbpBaseStatic {
  RT_CLASS("CountedBase", CountedBase, XbpBaseStatic)

 public:
  static ClassObject& InitClass(ClassObject& cls, const Args& args) {
    ++g_baseClassRuns;
    return XbpBaseStatic::InitClass(cls, args);
  }
};

class Counted : public CountedBase {
  RT_CLASS("Counted", Counted, CountedBase)
  VALUMAT_FORWARDS_TO(CountedBase)
};

TEST(PublicClasses, ASecondUseNeitherRegistersNorInitialisesAgain) {
  New<Counted>();
  const size_t classes = ClassCount();
  EXPECT_EQ(g_baseClassRuns, 2);  // the base's own set-up, and the derived one's, passed on
  New<Counted>();
  New<Counted>({NIL, NIL, Value{1, 2}});
  EXPECT_EQ(g_baseClassRuns, 2);
  EXPECT_EQ(ClassCount(), classes);
}

TEST(PublicClasses, ADialogMadeWithNewIsNotModalAndHasNoResult) {
  auto dlg = New<XbpDialog>({AppDesktop(), NIL, Value{10, 10}, Value{200, 100}, NIL, false});
  EXPECT_FALSE(dlg->IsModal);
  EXPECT_EQ(dlg->ModalResult, Value(0));
  // More than six arguments: the base takes the six it knows, no more.
  auto seven = New<XbpDialog>({AppDesktop(), NIL, Value{10, 10}, Value{200, 100}, NIL, true, "zu viel"});
  EXPECT_TRUE(seven->visible);
  EXPECT_EQ(seven->ModalResult, Value(0));
}

TEST(PublicClasses, AnEntryFieldMadeWithFiveArgumentsIsTheBaseMadeWithTheSameFive) {
  Form form;
  const Args five{form.area(), NIL, Value{12, 34}, Value{150, 26}, Colours()};
  auto own = New<XbpSLE>(five);
  auto base = New<XbpBaseSLE>(five);
  for (const auto& field : {std::static_pointer_cast<XbpBaseSLE>(own), base}) {
    field->create();
    EXPECT_EQ(Pair(field->currentPos()), P(12, 34));
    EXPECT_EQ(Pair(field->currentSize()), P(150, 26));
    EXPECT_EQ(field->resolvedForeground(), RGB(200, 0, 0));
    EXPECT_EQ(field->fontCompoundName(), kFont);
    EXPECT_TRUE(field->isVisible());  // the sixth, left out, keeps the default
    EXPECT_EQ(field->setParent(), form.area());
  }
}

}  // namespace
