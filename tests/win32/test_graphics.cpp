#include <gtest/gtest.h>

#include "controls.h"
#include "error.h"
#include "events.h"
#include "graphics.h"
#include "support/errors.h"
#include "support/form.h"
#include "gui/native.h"

using namespace rt;
using namespace valumat;

namespace {

// A presentation space that notes which method it got and with how many arguments.
class RecordingSpace : public XbpBasePresSpace {
 public:
  std::vector<std::pair<std::string, Args>> calls;
  Value note(const char* name, const Args& a) {
    calls.emplace_back(name, a);
    return name;
  }
  Value setColor(const Args& a) override { return note("setColor", a); }
  Value setAttrLine(const Args& a) override { return note("setAttrLine", a); }
  Value setAttrArea(const Args& a) override { return note("setAttrArea", a); }
  Value setAttrMarker(const Args& a) override { return note("setAttrMarker", a); }
  Value setAttrString(const Args& a) override { return note("setAttrString", a); }
  Value setFont(const Args& a) override { return note("setFont", a); }
  Value drawMode(const Args& a) override { return note("drawMode", a); }
  Value drawFocusRect(const Args& a) override { return note("drawFocusRect", a); }
  Value lastError(const Args& a) override { return note("lastError", a); }
};

std::vector<double> Numbers(const Value& array) {
  std::vector<double> out;
  for (size_t i = 1; i <= array.size(); ++i) out.push_back(array.at(i).number());
  return out;
}

}  // namespace

TEST(GraphicsProcedures, ForwardAsManyArgumentsAsThePresentationSpaceShouldGet) {
  auto ps = std::make_shared<RecordingSpace>();
  GraSetColor({ps});
  GraSetColor({ps, NIL});
  GraSetColor({ps, 2, 3});
  ASSERT_EQ(ps->calls.size(), 3u);
  EXPECT_EQ(ps->calls[0].second.size(), 0u);
  ASSERT_EQ(ps->calls[1].second.size(), 1u);
  EXPECT_TRUE(ps->calls[1].second[0].isNil());  // a NIL argument still counts
  ASSERT_EQ(ps->calls[2].second.size(), 2u);
  EXPECT_EQ(ps->calls[2].second[0], Value(2));
  EXPECT_EQ(ps->calls[2].second[1], Value(3));

  ps->calls.clear();
  Value attrs = NewArray(4);
  EXPECT_EQ(GraSetAttrLine({ps, attrs}), Value("setAttrLine"));  // the method's result comes back
  GraSetAttrLine({ps});
  GraSetAttrArea({ps, NIL});
  GraSetAttrMarker({ps, attrs});
  GraSetAttrString({ps, attrs});
  GraSetFont({ps, "10.Arial"});
  GraSegDrawMode({ps, 2});
  GraFocusRect({ps, Value{1, 2}, Value{3, 4}});
  GraError({ps});
  const std::vector<std::pair<std::string, size_t>> expected{
      {"setAttrLine", 1}, {"setAttrLine", 0}, {"setAttrArea", 1}, {"setAttrMarker", 1}, {"setAttrString", 1},
      {"setFont", 1},     {"drawMode", 1},    {"drawFocusRect", 2}, {"lastError", 0}};
  ASSERT_EQ(ps->calls.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(ps->calls[i].first, expected[i].first);
    EXPECT_EQ(ps->calls[i].second.size(), expected[i].second) << expected[i].first;
  }
  EXPECT_EQ(ps->calls[0].second[0], attrs);  // the very array, not a copy
}

TEST(GraphicsProcedures, NilStandsForTheApplicationWindowsSpace) {
  PresSpaceRef appSpace = SetAppWindow()->presSpace();
  GraSetColor({NIL, 2, 3});
  const Value now = appSpace->setColor({});
  EXPECT_EQ(now.at(1), Value(2));
  EXPECT_EQ(now.at(2), Value(3));
}

// A first argument that is neither NIL nor a presentation space cannot take
// the method: the error system hears of it, nothing is drawn or set.
TEST(GraphicsProcedures, AnyOtherFirstArgumentIsRaisedAsAMissingMethod) {
  std::vector<ErrorRef> raised;
  {
    errtest::Raised caught;
    EXPECT_EQ(valumat::GraSetColor({5, 2, 3}), Value());
    EXPECT_EQ(valumat::GraSetAttrLine({"Stift", Value{1}}), Value());
    EXPECT_EQ(valumat::GraFocusRect({Value{1, 2}, Value{0, 0}, Value{9, 9}}), Value());
    EXPECT_EQ(valumat::GraError({true}), Value());
    raised = caught.errors;
  }
  ASSERT_EQ(raised.size(), 4u);
  const char* methods[] = {"setColor", "setAttrLine", "drawFocusRect", "lastError"};
  for (size_t i = 0; i < raised.size(); ++i) {
    EXPECT_EQ(raised[i]->genCode, Value(kGenNoMethod)) << i;
    EXPECT_EQ(raised[i]->operation, Value(methods[i])) << i;
    EXPECT_EQ(raised[i]->description, Value("Methode nicht vorhanden")) << i;
  }
  // The receiver first, then the method's arguments.
  EXPECT_EQ(raised[0]->args.size(), 3u);
  EXPECT_EQ(raised[0]->args.at(1), Value(5));
  EXPECT_EQ(raised[1]->args.at(1), Value("Stift"));
}

TEST(RgbColours, MakeClampsIntoTheCallersArray) {
  EXPECT_EQ(GraMakeRGBColor(Value{255, 0, 0}), Value(16777471));
  EXPECT_EQ(GraMakeRGBColor(Value{0, 0, 0}), Value(16777216));
  EXPECT_EQ(GraMakeRGBColor(Value{255, 255, 255}), Value(33554431));
  Value rgb{300, -5, 128};
  EXPECT_EQ(GraMakeRGBColor(rgb), Value(25166079));
  EXPECT_EQ(Numbers(rgb), (std::vector<double>{255, 0, 128}));
  EXPECT_EQ(GraMakeRGBColor(Value{1, 2, 3, "anything"}), Value(16974337));
  EXPECT_TRUE(GraMakeRGBColor(Value{1, 2}).isNil());
  EXPECT_TRUE(GraMakeRGBColor(Value{1, "2", 3}).isNil());
  EXPECT_TRUE(GraMakeRGBColor(Value(5)).isNil());
}

TEST(RgbColours, TestAndTakeApart) {
  EXPECT_FALSE(GraIsRGBColor(15));
  EXPECT_FALSE(GraIsRGBColor(16777215));
  EXPECT_FALSE(GraIsRGBColor("16777216"));
  EXPECT_TRUE(GraIsRGBColor(16777216));
  EXPECT_TRUE(GraIsRGBColor(33554432));
  EXPECT_EQ(Numbers(GraGetRGBIntensity(16777471)), (std::vector<double>{255, 0, 0}));
  EXPECT_EQ(Numbers(GraGetRGBIntensity(33554432)), (std::vector<double>{0, 0, 256}));  // blue unmasked
  EXPECT_TRUE(GraGetRGBIntensity(5).isNil());
  for (int r : {0, 1, 127, 255})
    for (int g : {0, 64, 255})
      for (int b : {0, 200, 255}) {
        EXPECT_EQ(Numbers(GraGetRGBIntensity(GraMakeRGBColor(Value{r, g, b}))), (std::vector<double>{1.0 * r, 1.0 * g, 1.0 * b}));
      }
}

TEST(PresentationSpace, DrawsInBottomUpCoordinatesAndKeepsItAcrossRepaints) {
  guitest::Form form(Value{300, 200}, "", Value{20, 20});
  auto area = form.area;
  area->setColorBG(15);
  form.show();
  UpdateWindow(form.dlg->nativeHandle());

  PresSpaceRef ps = area->lockPS();
  Value line = NewArray(4);
  line[1] = 2;
  GraSetAttrLine({ps, line});
  GraLine(ps, Value{10, 5}, Value{100, 5});
  area->unlockPS(ps);

  HWND hwnd = static_cast<HWND>(area->nativeHandle());
  RECT client{};
  GetClientRect(hwnd, &client);
  auto pixel = [&](int x, int y) {
    WindowDC dc(hwnd);
    return GetPixel(dc.get(), x, client.bottom - 1 - y);
  };
  EXPECT_EQ(pixel(50, 5), RGB(255, 0, 0));
  EXPECT_EQ(pixel(50, 6), RGB(192, 192, 192));
  // Paint the area over; the line comes back.
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  EXPECT_EQ(pixel(50, 5), RGB(255, 0, 0));
  EXPECT_EQ(pixel(100, 5), RGB(255, 0, 0));  // the end point belongs to the line
  EXPECT_EQ(pixel(101, 5), RGB(192, 192, 192));

  // Locks come in pairs: a second unlock is refused.
  EXPECT_FALSE(area->unlockPS(ps));
  const Value box = GraQueryTextBox(ps, "Freeware");
  EXPECT_GT(box.at(3).at(1).number(), 0);  // upper right lies right of the start
  EXPECT_GT(box.at(1).at(2).number(), 0);  // above the baseline
}

TEST(PresentationSpace, ACreatedSpaceBecomesItsWindowsAndIsRepaintedWithIt) {
  guitest::Form form(Value{300, 200}, "", Value{20, 20});
  auto area = form.area;
  area->setColorBG(15);
  form.show();
  auto ps = New<valumat::XbpPresSpace>();
  EXPECT_EQ(ps->create({area}).object(), ps);
  EXPECT_EQ(area->presSpace(), ps);
  EXPECT_EQ(ps->window(), area);
  Value line = NewArray(4);
  line[1] = 1;  // blue
  GraSetAttrLine({ps, line});
  GraLine(ps, Value{10, 20}, Value{100, 20});

  HWND hwnd = area->nativeHandle();
  RECT client{};
  GetClientRect(hwnd, &client);
  RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  WindowDC dc(hwnd);
  EXPECT_EQ(GetPixel(dc.get(), 50, client.bottom - 1 - 20), RGB(0, 0, 255));
}

TEST(PresentationSpace, ALockBeforeTheWindowExistsBorrowsNoDeviceContext) {
  auto dlg = New<XbpDialog>({AppDesktop(), NIL, Value{20, 20}, Value{300, 200}, NIL, false});
  PresSpaceRef ps = dlg->lockPS();
  // Not the screen's: drawing would land on the desktop.
  EXPECT_FALSE(ps->isLocked());
  dlg->create();
  EXPECT_TRUE(dlg->unlockPS(ps));
  // Locked again now that the window exists: its own context, given back with
  // the window when the lock is still held.
  ps = dlg->lockPS();
  EXPECT_TRUE(ps->isLocked());
  dlg->destroy();
  EXPECT_FALSE(ps->isLocked());
}
