// The control base: notifications reflected to the control they concern,
// event routes, the one window procedure carrying exceptions out, owned
// handles, keys and mnemonics.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <set>
#include <stdexcept>
#include <thread>

#include "controls.h"
#include "error.h"
#include "support/form.h"
#include "support/heard.h"
#include "gui/native.h"

using namespace rt;
using namespace guitest;

namespace {

constexpr long kEvProbe = kEvBase + 900;
constexpr UINT kThrowMessage = WM_APP + 1;
constexpr UINT kBreakMessage = WM_APP + 2;

// A standard list box under the runtime, recording what reaches it.
class Probe : public XbpWindow {
  RT_CLASS("Probe", Probe, XbpWindow)

 public:
  Value probed;  // callback of kEvProbe, posted on LBN_DBLCLK and NM_CLICK
  std::vector<std::string> seen;
  char letter = 0;
  int mnemonics = 0;

  bool onCommand(unsigned code) override {
    seen.push_back("command " + std::to_string(code));
    return XbpWindow::onCommand(code);
  }
  bool onNotify(const NMHDR& header, intptr_t& result) override {
    seen.push_back("notify " + std::to_string(header.code));
    return XbpWindow::onNotify(header, result);
  }
  NativeBrush onColor(NativeDC dc) override {
    seen.push_back("color");
    return XbpWindow::onColor(dc);
  }
  bool onDrawItem(const DRAWITEMSTRUCT& item) override {
    seen.push_back("draw " + std::to_string(item.itemID));
    return true;
  }
  bool onMeasureItem(MEASUREITEMSTRUCT& item) override {
    seen.push_back("measure");
    item.itemHeight = 17;
    return true;
  }
  bool onDeleteItem(const DELETEITEMSTRUCT& item) override {
    seen.push_back("delete " + std::to_string(item.itemID));
    return true;
  }
  int onCompareItem(const COMPAREITEMSTRUCT& item) override {
    seen.push_back("compare " + std::to_string(item.itemID1) + " " + std::to_string(item.itemID2));
    return -1;
  }
  bool onScroll(int request, long position) override {
    seen.push_back("scroll " + std::to_string(request) + " " + std::to_string(position));
    return true;
  }
  int onKeyToItem(unsigned key, int caret, bool character) override {
    seen.push_back(std::string(character ? "char " : "vkey ") + std::to_string(key) + " " + std::to_string(caret));
    return -2;
  }
  bool onMessage(unsigned msg, uintptr_t wparam, intptr_t lparam, intptr_t& result) override {
    if (msg == kThrowMessage) throw std::runtime_error("thrown in a window procedure");
    if (msg == kBreakMessage) Break(Value("broken"));
    return XbpWindow::onMessage(msg, wparam, lparam, result);
  }
  char mnemonic() const override { return letter; }
  void onMnemonic() override { ++mnemonics; }
  std::vector<std::string> take() { return std::exchange(seen, {}); }

 protected:
  NativeSpec nativeSpec() const override {
    NativeSpec spec;
    spec.windowClass = L"LISTBOX";
    spec.style = LBS_NOTIFY | LBS_OWNERDRAWFIXED | LBS_HASSTRINGS | LBS_WANTKEYBOARDINPUT;
    spec.subclass = true;
    return spec;
  }
  const EventRoutes& routes() const override {
    static const EventRoute rows[] = {
        {EventRoute::From::Command, LBN_DBLCLK, kEvProbe, CallbackOf(&Probe::probed)},
        {EventRoute::From::Notify, static_cast<unsigned>(NM_CLICK), kEvProbe, CallbackOf(&Probe::probed)},
    };
    static const EventRoutes table{&XbpWindow::routes(), rows};
    return table;
  }
  void eventParams(long event, Value& mp1, Value& mp2) override {
    if (event == kEvProbe) {
      mp1 = "params";
      mp2 = 2;
    }
  }
};

struct Host : ShownForm {
  std::shared_ptr<Probe> probe = add<Probe>(Value{10, 10}, Value{150, 120});

  Host() : ShownForm(Value{300, 200}, "", Value{50, 50}) {
    Drain();
    probe->take();
  }
  HWND hwnd() const { return H(probe); }
  UINT id() const { return static_cast<UINT>(GetDlgCtrlID(hwnd())); }
};

}  // namespace

TEST(Reflection, EveryNotificationReachesItsControlUnpacked) {
  Host host;
  // Measured while the list box was being created, before it was adopted.
  EXPECT_TRUE(host.probe->isCreated());
  EXPECT_EQ(SendMessageW(host.hwnd(), LB_GETITEMHEIGHT, 0, 0), 17);

  const LPARAM from = reinterpret_cast<LPARAM>(host.hwnd());
  SendMessageW(H(host.area), WM_COMMAND, MAKEWPARAM(host.id(), LBN_SELCANCEL), from);
  NMHDR header{host.hwnd(), host.id(), static_cast<UINT>(NM_RCLICK)};
  SendMessageW(H(host.area), WM_NOTIFY, host.id(), reinterpret_cast<LPARAM>(&header));
  HDC dc = GetDC(H(host.area));
  for (UINT msg : {WM_CTLCOLOREDIT, WM_CTLCOLORLISTBOX, WM_CTLCOLORBTN, WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC}) {
    EXPECT_EQ(SendMessageW(H(host.area), msg, reinterpret_cast<WPARAM>(dc), from),
              reinterpret_cast<LRESULT>(host.probe->backgroundBrush()));
  }
  ReleaseDC(H(host.area), dc);
  DRAWITEMSTRUCT draw{ODT_LISTBOX, host.id(), 4, ODA_DRAWENTIRE, 0, host.hwnd(), nullptr, {}, 0};
  EXPECT_EQ(SendMessageW(H(host.area), WM_DRAWITEM, host.id(), reinterpret_cast<LPARAM>(&draw)), TRUE);
  MEASUREITEMSTRUCT measure{ODT_LISTBOX, host.id(), 0, 0, 0, 0};
  SendMessageW(H(host.area), WM_MEASUREITEM, host.id(), reinterpret_cast<LPARAM>(&measure));
  EXPECT_EQ(measure.itemHeight, 17u);
  DELETEITEMSTRUCT removed{ODT_LISTBOX, host.id(), 3, host.hwnd(), 0};
  SendMessageW(H(host.area), WM_DELETEITEM, host.id(), reinterpret_cast<LPARAM>(&removed));
  COMPAREITEMSTRUCT compare{ODT_LISTBOX, host.id(), host.hwnd(), 1, 0, 2, 0, 0};
  EXPECT_EQ(SendMessageW(H(host.area), WM_COMPAREITEM, host.id(), reinterpret_cast<LPARAM>(&compare)), -1);
  SendMessageW(H(host.area), WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 42), from);
  SendMessageW(H(host.area), WM_HSCROLL, MAKEWPARAM(SB_LINEUP, 0), from);
  EXPECT_EQ(SendMessageW(H(host.area), WM_VKEYTOITEM, MAKEWPARAM(VK_DOWN, 5), from), -2);
  SendMessageW(H(host.area), WM_CHARTOITEM, MAKEWPARAM('x', 1), from);

  EXPECT_EQ(host.probe->take(), (std::vector<std::string>{
                                    "command " + std::to_string(LBN_SELCANCEL),
                                    "notify " + std::to_string(NM_RCLICK),
                                    "color", "color", "color", "color", "color",
                                    "draw 4",
                                    "measure",
                                    "delete 3",
                                    "compare 1 2",
                                    "scroll " + std::to_string(SB_THUMBTRACK) + " 42",
                                    "scroll " + std::to_string(SB_LINEUP) + " 0",
                                    "vkey " + std::to_string(VK_DOWN) + " 5",
                                    "char 120 1",
                                }));

  // A window's own scroll bars and menus name no control: not reflected.
  SendMessageW(H(host.area), WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0);
  SendMessageW(H(host.area), WM_COMMAND, MAKEWPARAM(5, 0), 0);
  EXPECT_TRUE(host.probe->take().empty());
}

// Once the id counter has gone round, a new child skips the ids its live
// siblings hold: the list box measured while it is created is the new one,
// not an older sibling that had its id.
TEST(ChildIds, StayUniqueAmongLiveSiblingsWhenTheCounterGoesRound) {
  ShownForm form;
  unsigned& counter = ChildIdCounter();
  const unsigned saved = counter;
  counter = 0;
  auto first = form.add<Probe>(Value{10, 10}, Value{60, 60});
  auto second = form.add<Probe>(Value{80, 10}, Value{60, 60});
  counter = 59999;  // the last id, then round to the first
  auto last = form.add<Probe>(Value{150, 10}, Value{60, 60});
  first->take();
  auto wrapped = form.add<Probe>(Value{220, 10}, Value{60, 60});
  counter = saved;

  std::set<int> ids;
  for (HWND child = GetWindow(H(form.area), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    EXPECT_TRUE(ids.insert(GetDlgCtrlID(child)).second) << "two children have the id " << GetDlgCtrlID(child);
  }
  EXPECT_EQ(ids.size(), 4u);
  EXPECT_EQ(SendMessageW(H(wrapped), LB_GETITEMHEIGHT, 0, 0), 17);
  EXPECT_TRUE(first->take().empty());
}

TEST(EventRoutes, TheTablePostsRunsAndDropsTheCallback) {
  Host host;
  Heard calls;
  host.probe->probed = calls.block(
      {}, [](const Args& a) { return Arg(a, 1).text() + "/" + std::to_string(Arg(a, 2).integer()); }, host.probe.get());
  const LPARAM from = reinterpret_cast<LPARAM>(host.hwnd());
  SendMessageW(H(host.area), WM_COMMAND, MAKEWPARAM(host.id(), LBN_DBLCLK), from);
  NMHDR header{host.hwnd(), host.id(), static_cast<UINT>(NM_CLICK)};
  SendMessageW(H(host.area), WM_NOTIFY, host.id(), reinterpret_cast<LPARAM>(&header));
  // A notification without a route posts nothing.
  SendMessageW(H(host.area), WM_COMMAND, MAKEWPARAM(host.id(), LBN_SETFOCUS + 100), from);
  EXPECT_EQ(Only(Drain(), kEvProbe).size(), 2u);
  EXPECT_EQ(calls.take(), (Lines{"params/2", "params/2"}));

  // Posted by the program, the event runs the same callback.
  PostAppEvent(kEvProbe, "own", 7, host.probe);
  Drain();
  EXPECT_EQ(calls.take(), Lines{"own/7"});

  // Every routed callback goes with the native window, the base's too.
  host.probe->keyboard = [](const Args&) -> Value { return NIL; };
  host.probe->destroy();
  EXPECT_TRUE(host.probe->probed.isNil());
  EXPECT_TRUE(host.probe->keyboard.isNil());
}

TEST(WindowProcedure, AnExceptionInAHandlerIsRethrownFromTheEventLoop) {
  Host host;
  PostMessageW(host.hwnd(), kThrowMessage, 0, 0);
  Value mp1, mp2;
  ObjectRef object;
  EXPECT_THROW(AppEvent(mp1, mp2, object, 20), std::runtime_error);
  // Once: the loop goes on afterwards.
  EXPECT_EQ(AppEvent(mp1, mp2, object, 1), kEvNone);

  // A break inside a window procedure reaches the recovery block around the loop.
  PostMessageW(host.hwnd(), kBreakMessage, 0, 0);
  Value broken;
  Sequence(
      [&]() -> Value { return AppEvent(mp1, mp2, object, 20); },
      [&](const Value& v) -> Value { return broken = v; });
  EXPECT_EQ(broken, Value("broken"));

  // Thrown while the program itself sent the message: the program's next call
  // into the loop rethrows it.
  SendMessageW(host.hwnd(), kThrowMessage, 0, 0);
  EXPECT_THROW(AppEvent(mp1, mp2, object, 1), std::runtime_error);

  // Several before the loop runs: each comes out in its turn, none is lost.
  SendMessageW(host.hwnd(), kThrowMessage, 0, 0);
  SendMessageW(host.hwnd(), kBreakMessage, 0, 0);
  EXPECT_THROW(AppEvent(mp1, mp2, object, 1), std::runtime_error);
  EXPECT_THROW(AppEvent(mp1, mp2, object, 1), BreakSignal);
  EXPECT_EQ(AppEvent(mp1, mp2, object, 1), kEvNone);
}

// Another's subclass put over the runtime's after it: still in front when
// the window ends, and still reached by every message.
std::map<HWND, WNDPROC> g_under;
std::map<HWND, bool> g_inFrontAtEnd;

LRESULT CALLBACK Over(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  const WNDPROC under = g_under[hwnd];
  const LRESULT result = CallWindowProcW(under, hwnd, msg, wparam, lparam);
  if (msg == WM_NCDESTROY)
    g_inFrontAtEnd[hwnd] = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)) == Over;
  return result;
}

TEST(WindowProcedure, ASubclassPutOverTheRuntimesStaysInFrontToTheEnd) {
  Host host;
  auto sle = New<valumat::XbpSLE>({host.dlg->drawingArea(), NIL, Value{10, 140}, Value{100, 24}});
  sle->create();
  auto box = New<valumat::XbpCombobox>({host.dlg->drawingArea(), NIL, Value{150, 10}, Value{120, 120}});
  box->create();
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  ASSERT_TRUE(GetComboBoxInfo(H(box), &info));
  const HWND windows[] = {H(sle), info.hwndItem};
  for (HWND hwnd : windows)
    g_under[hwnd] = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Over)));
  // The runtime still hears the keys through it.
  SendMessageW(H(sle), WM_CHAR, L'7', 0);
  EXPECT_EQ(sle->editBuffer(), "7");
  sle->destroy();
  box->destroy();
  for (HWND hwnd : windows) EXPECT_TRUE(g_inFrontAtEnd[hwnd]);
}

TEST(EventQueue, PostsFromOtherThreadsWakeTheLoopAndKeepTheirOrder) {
  auto dlg = New<valumat::XbpDialog>();
  constexpr int kPerThread = 500;
  std::atomic<bool> go{false};
  auto poster = [&](long code) {
    while (!go) std::this_thread::yield();
    for (int i = 0; i < kPerThread; ++i) PostAppEvent(code, i, NIL, dlg);
  };
  std::thread a(poster, kEvBase + 801), b(poster, kEvBase + 802);
  go = true;
  int next[2] = {0, 0};
  Value mp1, mp2;
  ObjectRef object;
  int received = 0;
  while (received < 2 * kPerThread) {
    const long code = AppEvent(mp1, mp2, object, 300);
    ASSERT_NE(code, kEvNone) << "the loop was not woken";
    const int which = code == kEvBase + 801 ? 0 : 1;
    EXPECT_EQ(mp1.integer(), next[which]++);
    ++received;
  }
  a.join();
  b.join();
}

TEST(Handles, OwnedHandlesCloseOnceAndAreCounted) {
  const long before = LiveHandles(HandleKind::Brush);
  {
    OwnedBrush a(CreateSolidBrush(RGB(1, 2, 3)));
    EXPECT_EQ(LiveHandles(HandleKind::Brush), before + 1);
    OwnedBrush b(std::move(a));
    EXPECT_FALSE(a);
    EXPECT_EQ(LiveHandles(HandleKind::Brush), before + 1);
    HBRUSH raw = b.get();
    b = OwnedBrush(CreateSolidBrush(RGB(4, 5, 6)));
    // The first brush was deleted when it was assigned over.
    EXPECT_EQ(GetObjectType(raw), 0u);
    EXPECT_EQ(LiveHandles(HandleKind::Brush), before + 1);
    HBRUSH kept = b.release();
    EXPECT_EQ(LiveHandles(HandleKind::Brush), before);
    EXPECT_EQ(GetObjectType(kept), static_cast<DWORD>(OBJ_BRUSH));
    DeleteObject(kept);
  }
  EXPECT_EQ(LiveHandles(HandleKind::Brush), before);
}

TEST(Handles, WindowsGiveBackWhatTheyTook) {
  auto build = [] {
    auto dlg = New<valumat::XbpDialog>({AppDesktop(), NIL, Value{50, 50}, Value{300, 200}, NIL, false});
    dlg->icon = 333;
    dlg->create();
    auto area = dlg->drawingArea();
    area->setColorBG(15);
    auto flag = New<valumat::XbpStatic>({area, NIL, Value{5, 5}, Value{10, 10}});
    flag->type = XbpBaseStatic::kTypeBitmap;
    flag->caption = 931;
    flag->create();
    auto button = New<valumat::XbpPushButton>({area, NIL, Value{50, 5}, Value{80, 24},
                                               Value{Value{kPPCompoundName, "10.Arial"}}});
    button->caption = "~OK";
    button->create();
    dlg->show();
    UpdateWindow(H(dlg));
    Drain();
    dlg->destroy();
    Drain();
  };
  EXPECT_EQ(HandlesLeftBy(build), 0);
  EXPECT_EQ(LiveHandles(HandleKind::Icon), 0);
  EXPECT_EQ(LiveHandles(HandleKind::Bitmap), 0);
}

// A frame without an icon of its own shows the program's; the program's icon
// comes with the class, never sent after the frame is made.
TEST(Frames, ShowTheProgramsIconFromTheirClass) {
  auto crt = New<valumat::XbpCrt>({AppDesktop(), NIL, Value{60, 60}, 5, 20, "Textfenster", false});
  crt->create();
  std::vector<WindowRef> frames{crt};
  for (const Value& icon : {Value(), Value(333)}) {
    auto dlg = New<valumat::XbpDialog>({AppDesktop(), NIL, Value{50, 50}, Value{200, 100}, NIL, false});
    dlg->icon = icon;
    dlg->create();
    frames.push_back(dlg);
  }
  for (const WindowRef& frame : frames) {
    EXPECT_NE(GetClassLongPtrW(H(frame), GCLP_HICON), 0);
    EXPECT_NE(GetClassLongPtrW(H(frame), GCLP_HICONSM), 0);
    EXPECT_EQ(SendMessageW(H(frame), WM_GETICON, ICON_BIG, 0), 0);
    frame->destroy();
  }
  Drain();
}

TEST(Mnemonics, TheControlThatAnswersTheLetterGetsIt) {
  Host host;
  host.probe->letter = 'Q';
  PostMessageW(host.hwnd(), WM_SYSCHAR, L'q', 1 << 29);
  Drain();
  EXPECT_EQ(host.probe->mnemonics, 1);
  host.probe->letter = 0;
  PostMessageW(host.hwnd(), WM_SYSCHAR, L'q', 1 << 29);
  Drain();
  EXPECT_EQ(host.probe->mnemonics, 1);
  EXPECT_EQ(MnemonicOf("Be~enden"), 'E');
  EXPECT_EQ(MnemonicOf("ohne~"), 0);
}

TEST(Mnemonics, UmlautLettersAnswerInEitherCase) {
  // "Ü" and "ü" in code page 858.
  EXPECT_EQ(MnemonicOf("~\x9a" "bernehmen"), '\x9a');
  EXPECT_EQ(MnemonicOf("~\x81" "bernehmen"), '\x9a');
  EXPECT_EQ(MnemonicOf("~\xd5"), '\xd5');  // no case to it
  Host host;
  host.probe->letter = MnemonicOf("~\x9a" "bernehmen");
  PostMessageW(host.hwnd(), WM_SYSCHAR, L'\u00fc', 1 << 29);  // Alt+ü
  Drain();
  EXPECT_EQ(host.probe->mnemonics, 1);
  PostMessageW(host.hwnd(), WM_SYSCHAR, L'\u00dc', 1 << 29);  // Alt+Shift+Ü
  Drain();
  EXPECT_EQ(host.probe->mnemonics, 2);
}
