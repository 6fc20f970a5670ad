// Text drawn into rectangles through the native "DrawTextA": what reaches the
// native call (against a journaling library-call facility), the argument
// errors, and the real drawing read back as pixels: the caption's box, the
// underlined key letter, the text kept across repaints, the text-mode
// window's refresh.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "caption.h"
#include "controls.h"
#include "graphics.h"
#include "error.h"
#include "support/errors.h"
#include "support/journal.h"
#include "settings.h"
#include "support/form.h"
#include "gui/native.h"

using namespace rt;
using namespace valumat;
using dlltest::Journal;
using errtest::Raised;

namespace {

struct Rect4 {
  long left, top, right, bottom;
  bool operator==(const Rect4&) const = default;
};

Rect4 RectOf(const std::string& bytes) {
  EXPECT_EQ(bytes.size(), 16u);
  int32_t v[4] = {};
  std::memcpy(v, bytes.data(), std::min<size_t>(bytes.size(), sizeof v));
  return {v[0], v[1], v[2], v[3]};
}

// What one DrawTextA call received.
struct TextCall {
  long hdc = 0;
  std::string text;
  long length = 0;
  Rect4 rect{};
  long format = 0;
};

// A journal that knows the two libraries and keeps the DrawTextA calls.
struct DrawJournal : Journal {
  std::vector<TextCall> texts;
  std::vector<long> alignHdcs;
  DrawJournal() {
    handles = {{"GDI32.DLL", 11}, {"USER32.DLL", 12}};
    answers = {{"DrawTextA", 16}};
    onCall = [this](const std::string& entry, std::span<DllArg> a) {
      if (entry == "SetTextAlign") {
        alignHdcs.push_back(a[0].value().integer());
        EXPECT_EQ(a[1].value(), Value(0));
      }
      if (entry == "DrawTextA")
        texts.push_back({a[0].value().integer(), a[1].value().text(), a[2].value().integer(),
                         RectOf(a[3].value().text()), a[4].value().integer()});
    };
  }
};

// Settings 43 and 46 put back after each test.
struct SettingsKept {
  Value charset = Set(kSetCharset), tildes = Set(kSetTildeMarkers);
  ~SettingsKept() {
    Set(kSetCharset, charset);
    Set(kSetTildeMarkers, tildes);
  }
};

// A dialog whose drawing area (white) carries an XbpPresSpace.
struct Canvas : guitest::Form {
  std::shared_ptr<XbpPresSpace> ps = New<XbpPresSpace>();
  Canvas() : Form(Value{360, 240}, "", Value{20, 20}) {
    area->setColorBG(0);
    show();
    ps->create({area});
    UpdateWindow(guitest::H(dlg));
  }
  HWND hwnd() const { return guitest::H(area); }
  long height() const {
    RECT r{};
    GetClientRect(hwnd(), &r);
    return r.bottom;
  }
};

// A copy of a window's client area, pixel by pixel (COLORREF values).
struct Shot {
  long width = 0, height = 0;
  std::vector<COLORREF> pixels;
  COLORREF at(long x, long y) const { return pixels[static_cast<size_t>(y * width + x)]; }
};

Shot Take(HWND hwnd) {
  RECT r{};
  GetClientRect(hwnd, &r);
  return {r.right, r.bottom, guitest::Pixels(hwnd, false)};
}

// Bounding box (device pixels, right/bottom exclusive) of what is not `ground`.
Rect4 Ink(const Shot& s, COLORREF ground = RGB(255, 255, 255)) {
  Rect4 box{s.width, s.height, -1, -1};
  for (long y = 0; y < s.height; ++y)
    for (long x = 0; x < s.width; ++x) {
      if (s.at(x, y) == ground) continue;
      box = {std::min(box.left, x), std::min(box.top, y), std::max(box.right, x + 1), std::max(box.bottom, y + 1)};
    }
  return box;
}

void Repaint(HWND hwnd) { RedrawWindow(hwnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN); }

}  // namespace

TEST(CaptionDrawing, RectangleFormatAndTabStopsAsTheNativeCallGetsThem) {
  Canvas c;
  DrawJournal j;
  const long H = c.height();
  const Value start{10, 20};
  const Value box = GraQueryTextBox(c.ps, "Wort");
  const long w = box.at(3).at(1).integer() - box.at(2).at(1).integer();
  const long h = box.at(3).at(2).integer() - box.at(2).at(2).integer();
  ASSERT_GT(w, 0);
  ASSERT_GT(h, 0);

  // The text box at the start point, one line, vertically centred.
  EXPECT_TRUE(c.ps->DrawCaptionStr({start, NIL, "Wort"}));
  ASSERT_EQ(j.texts.size(), 1u);
  EXPECT_EQ(j.texts[0].rect, (Rect4{10, H - 1 - (20 + h), 10 + w, H - 1 - 20}));
  EXPECT_EQ(j.texts[0].format, 100);
  EXPECT_EQ(j.texts[0].text, "Wort");
  EXPECT_EQ(j.texts[0].length, 4);
  // Alignment first, on the same real device context, each library released.
  EXPECT_EQ(j.alignHdcs, std::vector<long>{j.texts[0].hdc});
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(j.texts[0].hdc))),
            static_cast<DWORD>(OBJ_DC));
  EXPECT_EQ(j.log.front(), "load GDI32.DLL");
  EXPECT_EQ(j.open, 0);
  EXPECT_EQ(start.size(), 2u);  // the caller's point untouched

  // Formats are added to, not or-ed with; the tab size rides in bits 8..15.
  EXPECT_TRUE(c.ps->DrawCaptionStr({start, NIL, "Wort", 1}));
  EXPECT_TRUE(c.ps->DrawCaptionStr({start, NIL, "Wort", 32}));
  EXPECT_TRUE(c.ps->DrawCaptionStr({start, NIL, "Wort", NIL, 4}));
  EXPECT_TRUE(c.ps->DrawFormattedStr({start, Value{90, 60}, "Wort", 37}));
  EXPECT_TRUE(c.ps->DrawFormattedStr({start, Value{90, 60}, "Wort", 37, NIL}));
  ASSERT_EQ(j.texts.size(), 6u);
  EXPECT_EQ(j.texts[1].format, 97);
  EXPECT_EQ(j.texts[2].format, 128);
  EXPECT_EQ(j.texts[3].format, 1252);
  EXPECT_EQ(j.texts[4].format, 37);
  EXPECT_EQ(j.texts[5].format, 37);

  // Left and right as given, top and bottom ordered either way round.
  j.texts.clear();
  EXPECT_TRUE(c.ps->DrawFormattedStr({Value{200, 30}, Value{50, 90}, "x", 0}));
  EXPECT_TRUE(c.ps->DrawFormattedStr({Value{50, 90}, Value{200, 30}, "x", 0}));
  ASSERT_EQ(j.texts.size(), 2u);
  EXPECT_EQ(j.texts[0].rect, (Rect4{200, H - 1 - 90, 50, H - 1 - 30}));
  EXPECT_EQ(j.texts[1].rect, (Rect4{50, H - 1 - 90, 200, H - 1 - 30}));

  // A tab size that reaches bit 16 must not let the call write into the text.
  j.texts.clear();
  c.ps->DrawFormattedStr({start, Value{90, 60}, "a\tb", 0, 256});
  ASSERT_EQ(j.texts.size(), 1u);
  EXPECT_EQ(j.texts[0].format, 128);

  // A height of 0 or less is no drawing.
  j.answers["DrawTextA"] = 0;
  EXPECT_FALSE(c.ps->DrawFormattedStr({start, Value{90, 60}, "x", 0}));
  j.answers["DrawTextA"] = -3;
  EXPECT_FALSE(c.ps->DrawFormattedStr({start, Value{90, 60}, "x", 0}));
}

TEST(CaptionDrawing, TildeMarkersAndCodePageBySettings) {
  SettingsKept kept;
  Canvas c;
  DrawJournal j;
  const Value a{10, 20}, b{200, 60};
  Set(kSetTildeMarkers, true);
  for (const char* text : {"~Beschriftung", "Ende~", "a~~b", "x~~~y", "~"})
    c.ps->DrawFormattedStr({a, b, text, 0});
  Set(kSetTildeMarkers, false);
  c.ps->DrawFormattedStr({a, b, "~Beschriftung", 0});
  Set(kSetCharset, 1);
  c.ps->DrawFormattedStr({a, b, "Gr\x94\xe1" "e \xd5", 0});
  Set(kSetTildeMarkers, true);
  c.ps->DrawFormattedStr({a, b, "~\x8enderung", 0});

  std::vector<std::string> texts;
  for (const TextCall& t : j.texts) {
    texts.push_back(t.text);
    EXPECT_EQ(t.length, static_cast<long>(t.text.size()));
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"&Beschriftung", "Ende&", "a~~b", "x~~&y", "&", "~Beschriftung",
                                             "Gr\xf6\xdf" "e \x80", "&\xc4nderung"}));
}

TEST(CaptionDrawing, WithoutADeviceContextNothingIsDrawnOrGivenBack) {
  // Counts what the space lends and gets back.
  struct Counting : XbpPresSpace {
    int locks = 0, unlocks = 0;
    Value lockHDC(long mode, Value& hdc) override {
      const Value token = XbpPresSpace::lockHDC(mode, hdc);
      if (token.number() != 0) ++locks;
      return token;
    }
    bool UnlockHDC(const Value& token, const Value& hdc) override {
      ++unlocks;
      return XbpPresSpace::UnlockHDC(token, hdc);
    }
  };
  DrawJournal j;
  // Not bound to a window: the screen is not lent.
  auto unbound = std::make_shared<Counting>();
  EXPECT_FALSE(unbound->DrawFormattedStr({Value{1, 2}, Value{30, 40}, "x", 0}));
  EXPECT_FALSE(unbound->DrawCaptionStr({Value{1, 2}, NIL, "x"}));
  // Bound to a window that is not created yet.
  auto dlg = New<XbpDialog>({AppDesktop(), NIL, Value{20, 20}, Value{200, 100}, NIL, false});
  auto early = std::make_shared<Counting>();
  early->create({dlg});
  EXPECT_FALSE(early->DrawCaptionStr({Value{1, 2}, NIL, "x"}));
  EXPECT_TRUE(j.log.empty());
  EXPECT_EQ(unbound->unlocks + early->unlocks, 0);

  // Once the window exists, every lock is given back, also when the error
  // handler breaks out of the native call.
  dlg->create();
  EXPECT_TRUE(early->DrawCaptionStr({Value{1, 2}, NIL, "x"}));
  EXPECT_EQ(early->locks, 1);
  EXPECT_EQ(early->unlocks, 1);
  j.onCall = [](const std::string& entry, std::span<DllArg>) {
    if (entry == "DrawTextA") throw BreakSignal(Value());
  };
  EXPECT_THROW(early->DrawCaptionStr({Value{1, 2}, NIL, "x"}), BreakSignal);
  EXPECT_EQ(early->locks, 2);
  EXPECT_EQ(early->unlocks, 2);
  dlg->destroy();
}

TEST(CaptionDrawing, LentDeviceContextsCarryTheSpacesTextAttributesAndGoBackOnce) {
  Canvas c;
  Value hdc = 0;
  EXPECT_EQ(c.ps->lockHDC(1, hdc), Value(0));  // only the text mode
  EXPECT_EQ(hdc, Value(0));
  // A context is only lent on the window's own thread.
  Value elsewhere = -1;
  std::thread([&] {
    Value h = 0;
    elsewhere = c.ps->lockHDC(kLockHdcText, h);
  }).join();
  EXPECT_EQ(elsewhere, Value(0));

  Value attrs = NewArray(kStringAttrCount);
  attrs[1] = 2;                 // red
  attrs[5] = Value{10, 30};     // character box: a font made for it
  GraSetAttrString({c.ps, attrs});
  // The first lock fills the process-wide font cache.
  ASSERT_TRUE(c.ps->UnlockHDC(c.ps->lockHDC(kLockHdcText, hdc), hdc));
  const long handles = LiveHandles();
  const Value token = c.ps->lockHDC(kLockHdcText, hdc);
  ASSERT_NE(token.number(), 0);
  HDC dc = reinterpret_cast<HDC>(static_cast<uintptr_t>(hdc.number()));
  EXPECT_EQ(GetTextColor(dc), RGB(255, 0, 0));
  EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
  TEXTMETRICW tm{};
  GetTextMetricsW(dc, &tm);
  EXPECT_EQ(tm.tmHeight, 30);
  EXPECT_EQ(LiveHandles(), handles + 1);

  // A second lock gets a token of its own; wrong pairs and repeats do nothing.
  Value hdc2 = 0;
  const Value token2 = c.ps->lockHDC(kLockHdcText, hdc2);
  EXPECT_NE(token2, token);
  EXPECT_FALSE(c.ps->UnlockHDC(token, hdc2));
  EXPECT_FALSE(c.ps->UnlockHDC(12345, hdc));
  EXPECT_TRUE(c.ps->UnlockHDC(token, hdc));
  EXPECT_FALSE(c.ps->UnlockHDC(token, hdc));
  EXPECT_TRUE(c.ps->UnlockHDC(token2, hdc2));
  EXPECT_EQ(LiveHandles(), handles);

  // Space points to client pixels and back; to the screen and back.
  const long H = c.height();
  EXPECT_EQ(guitest::Pair(c.ps->MapPoint(Value{10, 20})), (guitest::P{10, H - 21}));
  EXPECT_EQ(guitest::Pair(c.ps->MapPoint(Value{10.5, 19.6})), (guitest::P{11, H - 21}));
  EXPECT_EQ(guitest::Pair(c.ps->MapPoint(Value{10, H - 21}, false, true)), (guitest::P{10, 20}));
  POINT screen{10, H - 21};
  ClientToScreen(c.hwnd(), &screen);
  EXPECT_EQ(guitest::Pair(c.ps->MapPoint(Value{10, 20}, true, false)), (guitest::P{screen.x, screen.y}));
  EXPECT_EQ(guitest::Pair(c.ps->MapPoint(Value{screen.x, screen.y}, false, false)), (guitest::P{10, 20}));
  EXPECT_TRUE(c.ps->MapPoint(Value{10}).isNil());
  EXPECT_TRUE(c.ps->MapPoint(NIL).isNil());
}

TEST(CaptionDrawing, ArgumentErrorsAreRaisedWithAllFiveArgumentsAndTheCallGoesOn) {
  Canvas c;
  DrawJournal j;
  Raised raised;
  auto codes = [&] {
    std::vector<long> out;
    for (const ErrorRef& e : raised.errors) out.push_back(e->genCode.integer());
    raised.errors.clear();
    return out;
  };

  // Too few arguments, and the missing format: two raises, nothing drawn.
  const Value start{1, 2}, end{30, 40};
  EXPECT_FALSE(c.ps->DrawFormattedStr({start, end, "x"}));
  ASSERT_EQ(raised.errors.size(), 2u);
  const ErrorRef& first = raised.errors[0];
  EXPECT_EQ(first->genCode, Value(3));
  EXPECT_EQ(first->subSystem, Value("XBP"));
  EXPECT_EQ(first->subCode, Value(0));
  EXPECT_NE(first->operation.text().find("DrawFormattedStr"), std::string::npos);
  ASSERT_EQ(first->args.size(), 5u);
  EXPECT_EQ(first->args.at(1), start);  // the very arrays the caller passed
  EXPECT_EQ(first->args.at(3), Value("x"));
  EXPECT_TRUE(first->args.at(4).isNil());
  EXPECT_TRUE(first->args.at(5).isNil());
  EXPECT_EQ(raised.errors[1]->genCode, Value(2));
  EXPECT_NE(raised.errors[1]->args, first->args);  // an array for each raise
  raised.errors.clear();

  // Points missing or short: refused, and false instead of a crash afterwards.
  EXPECT_FALSE(c.ps->DrawFormattedStr({NIL, end, "x", 0}));
  EXPECT_EQ(codes(), std::vector<long>{2});
  EXPECT_FALSE(c.ps->DrawFormattedStr({start, Value{5}, "x", 0}));
  EXPECT_EQ(codes(), std::vector<long>{2});
  EXPECT_FALSE(c.ps->DrawFormattedStr({start, end, 7, "0"}));
  EXPECT_EQ(codes(), (std::vector<long>{2, 2}));
  EXPECT_TRUE(j.texts.empty());

  // The caption form: a number as end point passes its checks and is refused
  // by the formatted form; a short end point by both.
  EXPECT_FALSE(c.ps->DrawCaptionStr({start, 5, "x"}));
  ASSERT_EQ(raised.errors.size(), 1u);
  EXPECT_EQ(raised.errors[0]->genCode, Value(2));
  EXPECT_NE(raised.errors[0]->operation.text().find("DrawFormattedStr"), std::string::npos);
  EXPECT_EQ(raised.errors[0]->args.at(2), Value(5));
  raised.errors.clear();
  EXPECT_FALSE(c.ps->DrawCaptionStr({start, Value{5}, "x"}));
  EXPECT_EQ(codes(), (std::vector<long>{2, 2}));
  EXPECT_FALSE(c.ps->DrawCaptionStr({start}));
  EXPECT_EQ(codes(), (std::vector<long>{3, 2}));
  EXPECT_FALSE(c.ps->DrawCaptionStr({NIL, NIL, "x"}));
  EXPECT_EQ(codes(), std::vector<long>{2});
  EXPECT_TRUE(j.texts.empty());

  // Through the procedure the count never falls short: only type checks.
  EXPECT_FALSE(GraCaptionStr({c.ps, start}).logical());
  ASSERT_EQ(raised.errors.size(), 1u);
  EXPECT_EQ(raised.errors[0]->genCode, Value(2));
  EXPECT_EQ(raised.errors[0]->args.size(), 5u);
  raised.errors.clear();
  EXPECT_TRUE(GraCaptionStr({c.ps, start, NIL, "Wort"}).logical());
  EXPECT_TRUE(raised.errors.empty());
  ASSERT_EQ(j.texts.size(), 1u);
  EXPECT_EQ(j.texts[0].format, 100);
}

TEST(CaptionDrawing, GraCaptionStrTakesTheApplicationWindowsSpaceForNil) {
  Canvas c;
  DrawJournal j;
  const WindowRef previous = SetAppWindow(c.area);
  EXPECT_TRUE(GraCaptionStr({NIL, Value{10, 20}, NIL, "Wort", 1, NIL}).logical());
  ASSERT_EQ(j.texts.size(), 1u);
  EXPECT_EQ(j.texts[0].format, 97);
  // The space the runtime made itself for a window draws captions too.
  auto plain = New<XbpDialog>({AppDesktop(), NIL, Value{20, 20}, Value{200, 100}, NIL, false});
  plain->create();
  SetAppWindow(plain);
  EXPECT_TRUE(GraCaptionStr({NIL, Value{10, 20}, NIL, "Wort"}).logical());
  EXPECT_EQ(j.texts.size(), 2u);
  SetAppWindow(previous);
  plain->destroy();
  // Anything else is raised as a missing method, as the other procedures do.
  Raised raised;
  for (const Value& notASpace : {Value(5), Value(New<XbpBasePresSpace>())}) {
    EXPECT_FALSE(GraCaptionStr({notASpace, Value{10, 20}, NIL, "Wort"}).logical());
    ASSERT_EQ(raised.errors.size(), 1u);
    EXPECT_EQ(raised.errors[0]->genCode, Value(13));
    EXPECT_EQ(raised.errors[0]->args.at(1), notASpace);
    raised.errors.clear();
  }
  EXPECT_EQ(j.texts.size(), 2u);
}

TEST(CaptionDrawing, TheCaptionFillsItsBoxUnderlinesItsLetterAndSurvivesRepaints) {
  SettingsKept kept;
  Canvas c;
  Set(kSetTildeMarkers, true);
  const long H = c.height();
  GraSetFont({c.ps, "14.Arial"});
  const Value box = GraQueryTextBox(c.ps, "~Beschriftung");
  const long w = box.at(3).at(1).integer() - box.at(2).at(1).integer();
  const long h = box.at(3).at(2).integer() - box.at(2).at(2).integer();

  ASSERT_TRUE(GraCaptionStr({c.ps, Value{10, 20}, NIL, "~Beschriftung"}).logical());
  const Shot marked = Take(c.hwnd());
  const Rect4 ink = Ink(marked);
  // Inside the text box at the start point, from its left edge on.
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.left, 13);
  EXPECT_LE(ink.right, 10 + w);
  EXPECT_GE(ink.top, H - 1 - (20 + h));
  EXPECT_LE(ink.bottom, H - 1 - 20);
  EXPECT_GT(ink.bottom - ink.top, h / 2);

  // Kept: painted over, covered and uncovered, it is there again.
  Repaint(c.hwnd());
  EXPECT_EQ(Take(c.hwnd()).pixels, marked.pixels);
  c.dlg->hide();
  c.dlg->show();
  UpdateWindow(guitest::H(c.dlg));
  guitest::Drain();
  EXPECT_EQ(Take(c.hwnd()).pixels, marked.pixels);

  // The same text without the marker, in its own space: what differs is the
  // underline, under the B alone and below the letters.
  Canvas plain;
  GraSetFont({plain.ps, "14.Arial"});
  ASSERT_TRUE(GraCaptionStr({plain.ps, Value{10, 20}, Value{10 + w, 20 + h}, "Beschriftung"}).logical());
  const Shot unmarked = Take(plain.hwnd());
  ASSERT_EQ(unmarked.pixels.size(), marked.pixels.size());
  const long bWidth = GraQueryTextBox(c.ps, "B").at(3).at(1).integer();
  const Rect4 letters = Ink(unmarked);
  long differing = 0;
  for (long y = 0; y < marked.height; ++y)
    for (long x = 0; x < marked.width; ++x) {
      if (marked.at(x, y) == unmarked.at(x, y)) continue;
      ++differing;
      EXPECT_GE(x, 9);
      EXPECT_LE(x, 10 + bWidth + 1);
      EXPECT_GT(y, letters.bottom - (letters.bottom - letters.top) / 3) << "underline above the letters' foot";
    }
  EXPECT_GE(differing, bWidth - 2);

  // Draw-only spaces keep nothing: a repaint takes the text away.
  GraSegDrawMode({plain.ps, kDrawModeDraw});
  ASSERT_TRUE(GraCaptionStr({plain.ps, Value{10, 100}, NIL, "Fl\x81" "chtig"}).logical());
  EXPECT_NE(Ink(Take(plain.hwnd())).top, letters.top);
  Repaint(plain.hwnd());
  EXPECT_EQ(Ink(Take(plain.hwnd())), letters);
}

TEST(CaptionDrawing, ATextModeWindowRepaintsTheRectangleAndKeepsTheText) {
  auto crt = New<XbpCrt>({AppDesktop(), NIL, Value{60, 60}, 10, 40, "Beschriftung", true});
  crt->create();
  const WindowRef previous = SetAppWindow(crt);
  auto ps = New<XbpPresSpace>();
  ps->create({crt});
  GraSetColor({ps, 2});
  const HWND hwnd = guitest::H(crt);
  UpdateWindow(hwnd);
  RECT client{};
  GetClientRect(hwnd, &client);

  ValidateRect(hwnd, nullptr);
  ASSERT_TRUE(ps->DrawFormattedStr({Value{20, 30}, Value{120, 60}, "Zellen", 0}));
  RECT update{};
  ASSERT_TRUE(GetUpdateRect(hwnd, &update, FALSE));
  EXPECT_EQ(update.left, 20);
  EXPECT_EQ(update.right, 121);
  EXPECT_EQ(update.top, client.bottom - 1 - 60);
  EXPECT_EQ(update.bottom, client.bottom - 30);
  UpdateWindow(hwnd);
  // The cells were painted again, and the text on top of them.
  const Shot shot = Take(hwnd);
  long inked = 0;
  const COLORREF cell = shot.at(client.right - 1, client.bottom - 1);
  for (long y = update.top; y < update.bottom; ++y)
    for (long x = update.left; x < update.right; ++x) inked += shot.at(x, y) != cell;
  EXPECT_GT(inked, 10);

  // A space that is not the text-mode window's own asks for no refresh.
  auto other = New<XbpPresSpace>();
  other->bind(crt);
  ValidateRect(hwnd, nullptr);
  ASSERT_TRUE(other->DrawFormattedStr({Value{20, 30}, Value{120, 60}, "Zellen", 0}));
  EXPECT_FALSE(GetUpdateRect(hwnd, &update, FALSE));

  SetAppWindow(previous);
  crt->destroy();
}
