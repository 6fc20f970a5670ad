// Every public class over the runtime class of its kind, made as application
// code makes it; and what every kind must do (support/every_kind.h) for the
// kinds without a test file of their own.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "classes.h"
#include "controls.h"
#include "support/every_kind.h"
#include "gui/native.h"

using namespace rt;
using namespace valumat;
using namespace guitest;

namespace {

using everykind::Colours;
using everykind::kFont;

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
  ShownForm form;
  auto tree = New<XbpTreeView>({form.area, NIL, Value{10, 10}, Value{100, 100}});
  auto dlg = New<XbpDialog>({AppDesktop(), NIL, Value{10, 10}, Value{200, 100}, NIL, false});
  const std::pair<ObjectRef, const char*> made[] = {
      {dlg->menuBar(), "XbpMenuBar"},
      {dlg->presSpace(), "XbpPresSpace"},
      {form.area->lockPS(), "XbpPresSpace"},
      {tree->rootItem(), "XbpTreeViewItem"},
      {tree->rootItem()->addItem("Text"), "XbpTreeViewItem"},
  };
  for (const auto& [object, name] : made) {
    EXPECT_EQ(object->className(), name);
    EXPECT_TRUE(object->isDerivedFrom(name)) << name;
  }
  form.area->unlockPS(form.area->presSpace());
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
  ShownForm form;
  const Args five{form.area, NIL, Value{12, 34}, Value{150, 26}, Colours()};
  auto own = New<XbpSLE>(five);
  auto base = New<XbpBaseSLE>(five);
  for (const auto& field : {std::static_pointer_cast<XbpBaseSLE>(own), base}) {
    field->create();
    EXPECT_EQ(Pair(field->currentPos()), P(12, 34));
    EXPECT_EQ(Pair(field->currentSize()), P(150, 26));
    EXPECT_EQ(field->resolvedForeground(), RGB(200, 0, 0));
    EXPECT_EQ(field->fontCompoundName(), kFont);
    EXPECT_TRUE(field->isVisible());  // the sixth, left out, keeps the default
    EXPECT_EQ(field->setParent(), form.area);
  }
}

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(Static, EveryKind, valumat::XbpStatic);
INSTANTIATE_TYPED_TEST_SUITE_P(PushButton, EveryKind, valumat::XbpPushButton);
INSTANTIATE_TYPED_TEST_SUITE_P(Sle, EveryKind, valumat::XbpSLE);
