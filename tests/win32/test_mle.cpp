// Multi-line entry fields: the standard edit control driven as a user drives
// it, read back through Win32 and through the runtime.
#include <windows.h>
#include <gtest/gtest.h>

#include <functional>

#include "events.h"
#include "mle.h"
#include "sle.h"
#include "support/every_kind.h"
#include "support/heard.h"
#include "gui/native.h"
#include "dialog.h"

using namespace rt;
using namespace guitest;
using valumat::XbpMLE;

namespace {

// A shown dialog with a field of notes above a single-line field; the notes
// have the focus.
struct Notes : Form {
  std::shared_ptr<XbpMLE> notes;
  std::shared_ptr<valumat::XbpSLE> next;

  explicit Notes(const std::function<void(XbpMLE&)>& setUp = {}, const Value& presentation = Value())
      : Form(Value{360, 260}) {
    notes = add<XbpMLE>(Value{10, 60}, Value{200, 120}, setUp, presentation);
    next = add<valumat::XbpSLE>(Value{10, 20}, Value{200, 24});
    show(notes);
  }
  HWND edit() const { return H(notes); }
  long lines() const { return static_cast<long>(SendMessageW(edit(), EM_GETLINECOUNT, 0, 0)); }
};

}  // namespace

TEST(MultiLineEdit, TextGoesInAndComesOutWithCrLfLinesInCodePage858) {
  std::string linked = "aus der Verkn\x81pfung";
  std::vector<std::string> handed;
  Notes form([&](XbpMLE& m) {
    m.setData("vorher\nda");  // before the field exists
    m.dataLink = [&](const Args& a) -> Value {
      if (PCount(a) == 0) return linked;
      handed.push_back(Arg(a, 1).text());
      return NIL;
    };
  });
  EXPECT_EQ(WindowTextOf(form.edit()), L"vorher\r\nda");
  EXPECT_EQ(form.lines(), 2);

  // Every kind of line end arrives as the CR LF the control shows as a break.
  form.notes->setData("Gr\x94\xe1" "e \xd5\nzwei\rdrei\r\nvier");
  EXPECT_EQ(WindowTextOf(form.edit()), L"Gr\u00f6\u00dfe \u20ac\r\nzwei\r\ndrei\r\nvier");
  EXPECT_EQ(form.lines(), 4);
  EXPECT_EQ(form.notes->editBuffer(), "Gr\x94\xe1" "e \xd5\r\nzwei\r\ndrei\r\nvier");

  EXPECT_EQ(form.notes->getData(), "Gr\x94\xe1" "e \xd5\r\nzwei\r\ndrei\r\nvier");
  EXPECT_EQ(handed, std::vector<std::string>{"Gr\x94\xe1" "e \xd5\r\nzwei\r\ndrei\r\nvier"});
  form.notes->setData();
  EXPECT_EQ(form.notes->editBuffer(), linked);
  form.notes->setData(Args{Value(12.5)});
  EXPECT_EQ(form.notes->editBuffer(), "12,5");
  form.notes->clear();
  EXPECT_EQ(WindowTextOf(form.edit()), L"");
}

TEST(MultiLineEdit, TypingChangesTheTextEnterBreaksTheLineTabLeaves) {
  Notes form;
  Heard changes, keys;  // keys as "key:text", each noted after it took effect
  form.notes->change = changes.block({}, {}, form.notes.get());
  form.notes->keyboard =
      keys.block({}, [&](const Args& a) { return Heard::First(a) + ":" + form.notes->editBuffer(); });
  Type(form.notes, L"ab\rc\u00f6");
  Drain();
  EXPECT_EQ(WindowTextOf(form.edit()), L"ab\r\nc\u00f6");
  EXPECT_EQ(form.lines(), 2);
  EXPECT_EQ(changes.size(), 5u);
  EXPECT_EQ(keys.take(),
            (Lines{"97:a", "98:ab", std::to_string(kKeyEnter) + ":ab\r\n", "99:ab\r\nc", "148:ab\r\nc\x94"}));

  // Backspace over the line break joins the lines again.
  Type(form.notes, L"\b\b\b");
  Drain();
  EXPECT_EQ(form.notes->editBuffer(), "ab");
  EXPECT_EQ(changes.size(), 8u);

  // Esc changes nothing; Tab inserts nothing and moves on to the next field.
  Type(form.notes, L"\x1b\t");
  Drain();
  EXPECT_EQ(form.notes->editBuffer(), "ab");
  EXPECT_EQ(changes.size(), 8u);
  EXPECT_EQ(GetFocus(), H(form.next));
  const Lines last = keys.take();
  ASSERT_FALSE(last.empty());
  EXPECT_EQ(last.back(), std::to_string(kKeyTab) + ":ab");
}

TEST(MultiLineEdit, ChangesByTheProgramFireNoChangeEvent) {
  Notes form;
  int changes = 0;
  form.notes->change = [&](const Args&) -> Value { return ++changes; };
  form.notes->setData("eins");
  form.notes->Insert(NIL, "zwei");
  form.notes->Insert(1, "null");
  form.notes->clear();
  const std::vector<Event> events = Drain();
  EXPECT_TRUE(Only(events, kEvChange).empty());
  EXPECT_EQ(changes, 0);
  // The user's change right after still counts.
  Type(form.notes, L"x");
  Drain();
  EXPECT_EQ(changes, 1);
}

TEST(MultiLineEdit, InsertAtTheCursorKeepsTheMarking) {
  Notes form;
  form.notes->setData("Hallo Welt");
  form.notes->setMarked(Value{6, 11});  // "Welt", marked forwards: the cursor after it
  EXPECT_EQ(Pair(form.notes->queryMarked()), P(6, 11));
  EXPECT_TRUE(form.notes->Insert(NIL, "!\nund Mond"));
  EXPECT_EQ(form.notes->editBuffer(), "Hallo Welt!\r\nund Mond");
  EXPECT_EQ(Pair(form.notes->queryMarked()), P(6, 11));

  // Marked backwards, as Shift+Left does: the cursor stands before the marking.
  form.notes->setData("abcdef");
  SetFocus(H(form.notes));
  SendMessageW(H(form.notes), EM_SETSEL, 6, 4);
  Drain();
  ASSERT_EQ(Pair(form.notes->queryMarked()), P(4, 7));  // "ef"
  EXPECT_TRUE(form.notes->Insert(NIL, "XY"));
  EXPECT_EQ(form.notes->editBuffer(), "abcdXYef");
  EXPECT_EQ(Pair(form.notes->queryMarked()), P(6, 9));  // still "ef"

  // At a bare cursor the cursor goes on after the text; typing follows it.
  form.notes->setData("Hallo");
  form.notes->setMarked(Value{5, 6});
  EXPECT_TRUE(form.notes->Insert(NIL, " Welt"));
  EXPECT_EQ(Pair(form.notes->queryMarked()), P(10, 11));
  Type(form.notes, L"!");
  Drain();
  EXPECT_EQ(form.notes->editBuffer(), "Hallo Welt!");
}

TEST(MultiLineEdit, InsertAtAPositionKeepsTheUsersMarkingOnItsText) {
  Notes form;
  form.notes->setData("abcdef");
  form.notes->setMarked(Value{2, 5});  // "cd"
  EXPECT_TRUE(form.notes->Insert(1, "XY"));  // before the marking
  EXPECT_EQ(form.notes->editBuffer(), "XYabcdef");
  EXPECT_EQ(Pair(form.notes->queryMarked()), P(4, 7));
  EXPECT_TRUE(form.notes->Insert(6, "-"));  // inside it: the marking grows
  EXPECT_EQ(form.notes->editBuffer(), "XYabc-def");
  EXPECT_EQ(Pair(form.notes->queryMarked()), P(4, 8));
  EXPECT_TRUE(form.notes->Insert(8, "+"));  // right after it: the marking stays
  EXPECT_EQ(form.notes->editBuffer(), "XYabc-d+ef");
  EXPECT_EQ(Pair(form.notes->queryMarked()), P(4, 8));
  EXPECT_TRUE(form.notes->Insert(999, "\nEnde"));  // past the end: at the end
  EXPECT_EQ(form.notes->editBuffer(), "XYabc-d+ef\r\nEnde");
  EXPECT_FALSE(form.notes->Insert(0, "nie"));
  EXPECT_FALSE(form.notes->Insert("1", "nie"));
  EXPECT_EQ(form.notes->editBuffer(), "XYabc-d+ef\r\nEnde");

  // A bare cursor stays before the character it stood before.
  form.notes->setMarked(Value{2, 3});
  EXPECT_TRUE(form.notes->Insert(3, "__"));
  EXPECT_EQ(form.notes->editBuffer(), "XY__abc-d+ef\r\nEnde");
  EXPECT_EQ(Pair(form.notes->queryMarked()), P(4, 5));
}

TEST(MultiLineEdit, BufferLengthHoldsForTypingSetDataAndInsert) {
  Notes form([](XbpMLE& m) { m.bufferLength = 8; });
  Type(form.notes, L"123\r4567890");
  Drain();
  EXPECT_EQ(form.notes->editBuffer(), "123\r\n456");

  // A cut never leaves half a line break behind.
  form.notes->setData("1234567\n89");
  EXPECT_EQ(form.notes->editBuffer(), "1234567");
  // An insertion goes in whole or not at all.
  EXPECT_FALSE(form.notes->Insert(1, "ab"));
  EXPECT_EQ(form.notes->editBuffer(), "1234567");
  EXPECT_TRUE(form.notes->Insert(1, "a"));
  EXPECT_EQ(form.notes->editBuffer(), "a1234567");
  // At the cursor too: the marked text stays, so it makes no room.
  form.notes->setMarked(Value{1, 5});
  EXPECT_FALSE(form.notes->Insert(NIL, "x"));
  EXPECT_EQ(form.notes->editBuffer(), "a1234567");

  // Without a limit the control's own initial limit of some 30000 does not
  // hold. (Unwrapped: wrapping one line of 40000 letters takes Wine seconds.)
  Notes unlimited([](XbpMLE& m) { m.wordWrap = false; });
  unlimited.notes->setData(std::string(40000, 'x'));
  Type(unlimited.notes, L"yz");
  Drain();
  EXPECT_EQ(unlimited.notes->editBuffer().size(), 40002u);
}

TEST(MultiLineEdit, InsertNeverSplitsALineBreak) {
  // Position 4 is the LF of "ab\r\ncd": the text goes before the whole break.
  Notes form([](XbpMLE& m) {
    m.setData("ab\ncd");
    EXPECT_TRUE(m.Insert(4, "X"));
  });
  EXPECT_EQ(WindowTextOf(form.edit()), L"abX\r\ncd");
  EXPECT_TRUE(form.notes->Insert(5, "Y"));
  EXPECT_EQ(form.notes->editBuffer(), "abXY\r\ncd");
  EXPECT_EQ(form.lines(), 2);
}

TEST(MultiLineEdit, InsertBeforeTheFieldExistsGoesIntoItsText) {
  Notes form([](XbpMLE& m) {
    m.setData("b");
    EXPECT_TRUE(m.Insert(NIL, "c"));
    EXPECT_TRUE(m.Insert(1, "a\n"));
  });
  EXPECT_EQ(WindowTextOf(form.edit()), L"a\r\nbc");
}

TEST(MultiLineEdit, WordWrapEditableAndBorderShapeTheControl) {
  const std::string longLine = "Ein Satz, der viel zu lang ist, um in eine Zeile des Feldes zu passen.";
  Notes wrapping([&](XbpMLE& m) { m.setData(longLine); });
  const LONG_PTR style = GetWindowLongPtrW(wrapping.edit(), GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_FALSE(style & (ES_AUTOHSCROLL | WS_HSCROLL));
  EXPECT_GT(wrapping.lines(), 1);  // one line of text, shown on several
  EXPECT_TRUE(GetWindowLongPtrW(wrapping.edit(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

  Notes scrolling([&](XbpMLE& m) {
    m.wordWrap = false;
    m.editable = false;
    m.border = false;
    m.setData(longLine);
  });
  EXPECT_TRUE(GetWindowLongPtrW(scrolling.edit(), GWL_STYLE) & (ES_AUTOHSCROLL | WS_HSCROLL));
  EXPECT_EQ(scrolling.lines(), 1);
  EXPECT_FALSE(GetWindowLongPtrW(scrolling.edit(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  Type(scrolling.notes, L"x\r");
  Drain();
  EXPECT_EQ(scrolling.notes->editBuffer(), longLine);
}

TEST(MultiLineEdit, PresentationColoursAndFontReachTheControl) {
  const COLORREF fg = RGB(0, 0, 128), bg = RGB(255, 255, 0);
  Notes form({}, Value{Value{kPPForeground, static_cast<long>(fg | 0x1000000)},
                       Value{kPPBackground, static_cast<long>(bg | 0x1000000)},
                       Value{kPPCompoundName, "10.Arial Fett"}});
  EXPECT_EQ(FontOfControl(form.edit()).lfWeight, FW_BOLD);

  // What the control paints with: asked of its parent, as the control asks.
  HDC dc = GetDC(form.edit());
  SendMessageW(GetParent(form.edit()), WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
               reinterpret_cast<LPARAM>(form.edit()));
  EXPECT_EQ(GetTextColor(dc), fg);
  EXPECT_EQ(GetBkColor(dc), bg);
  ReleaseDC(form.edit(), dc);

  // And what is painted: the field's empty area is in the background colour.
  RedrawWindow(form.edit(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
  WindowDC screen(form.edit());
  RECT client{};
  GetClientRect(form.edit(), &client);
  EXPECT_EQ(GetPixel(screen.get(), client.right / 2, client.bottom - 4), bg);
}

TEST(MultiLineEdit, DestroyKeepsTheLastTextDropsCallbacksAndGivesBackHandles) {
  std::shared_ptr<XbpMLE> gone;
  EXPECT_EQ(HandlesLeftBy([&] {
              Notes form({}, Value{Value{kPPBackground, 14}, Value{kPPCompoundName, "9.Arial"}});
              form.notes->change = [](const Args&) -> Value { return NIL; };
              form.notes->dataLink = [](const Args&) -> Value { return NIL; };
              Type(form.notes, L"zuletzt\rgetippt");
              Drain();
              RedrawWindow(form.edit(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
              form.notes->destroy();
              gone = form.notes;
            }),
            0);
  EXPECT_FALSE(gone->isCreated());
  EXPECT_TRUE(gone->change.isNil());
  EXPECT_TRUE(gone->keyboard.isNil());
  EXPECT_TRUE(gone->dataLink.isNil());
  EXPECT_EQ(gone->editBuffer(), "zuletzt\r\ngetippt");
}

INSTANTIATE_TYPED_TEST_SUITE_P(Mle, EveryKind, valumat::XbpMLE);
