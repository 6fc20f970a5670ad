// What screen readers read of the runtime's windows, for what the programs'
// end-to-end check does not show: which label names a field, captions with
// "&", states of items, mnemonics, names set and cleared, and objects that
// outlive their window.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>

#include "controls.h"
#include "cp858.h"
#include "support/form.h"
#include "support/gui.h"

using namespace rt;
using namespace guitest;
using namespace valumat;

namespace {

VARIANT Child(long id) {
  VARIANT v;
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

// The window's accessible object, released at the end of the scope.
struct Acc {
  IAccessible* p = nullptr;
  explicit Acc(HWND hwnd) {
    AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&p));
  }
  ~Acc() {
    if (p) p->Release();
  }
  Acc(const Acc&) = delete;
  Acc& operator=(const Acc&) = delete;

  static std::string Take(BSTR text) {
    const std::string out = text ? WideToCp858(std::wstring(text, SysStringLen(text))) : "";
    SysFreeString(text);
    return out;
  }
  std::string name(long child = 0) {
    BSTR text = nullptr;
    return p && SUCCEEDED(p->get_accName(Child(child), &text)) ? Take(text) : "(failed)";
  }
  std::string shortcut(long child = 0) {
    BSTR text = nullptr;
    return p && SUCCEEDED(p->get_accKeyboardShortcut(Child(child), &text)) ? Take(text) : "(failed)";
  }
  long role(long child = 0) {
    VARIANT v{};
    return p && SUCCEEDED(p->get_accRole(Child(child), &v)) && v.vt == VT_I4 ? v.lVal : 0;
  }
  long state(long child = 0) {
    VARIANT v{};
    return p && SUCCEEDED(p->get_accState(Child(child), &v)) && v.vt == VT_I4 ? v.lVal : 0;
  }
};

// One of each kind a screen reader tells apart, with labels before fields.
struct Readable : Form {
  WindowRef amount, afterButton, button, check, list, tree, first, second, behind;

  Readable() : Form(Value{560, 300}) {
    label(10, 250, "Betrag :");
    make<XbpStatic>(60, 250, [](XbpStatic& s) {
      s.type = XbpStatic::kTypeBitmap;
      s.caption = 931;
    });
    amount = make<XbpSLE>(100, 250);
    label(10, 210, "Vorher:");
    button = make<XbpPushButton>(60, 210, [](XbpPushButton& b) { b.caption = " ~Info"; });
    afterButton = make<XbpSLE>(160, 210);
    check = make<XbpCheckBox>(270, 210, [](XbpCheckBox& c) { c.caption = "~Rot & Blau"; });
    list = make<XbpListBox>(10, 120, [](XbpListBox& l) {
      l.addItem("Eins");
      l.addItem("Zwei");
    }, kBig);
    auto outline = make<XbpTreeView>(120, 20, {}, kBig);
    outline->rootItem()->addItem(Value("Deutschland"))->addItem(Value("Berlin"));
    tree = outline;
    first = make<XbpTabPage>(300, 10, [](XbpTabPage& p) { p.caption = "~Erste"; }, kBig);
    second = make<XbpTabPage>(300, 10, [](XbpTabPage& p) { p.caption = "~Zweite"; }, kBig);
    behind = New<XbpSLE>({second, NIL, Value{10, 10}, Value{100, 24}});
    behind->create();
    show();
  }

  static inline const Value kBig{200, 100};
  template <class C>
  std::shared_ptr<C> make(long x, long y, const std::function<void(C&)>& setup = {}, const Value& size = Value{90, 24}) {
    return add<C>(Value{x, y}, size, setup);
  }
  void label(long x, long y, const std::string& text) {
    make<XbpStatic>(x, y, [&](XbpStatic& s) { s.caption = text; });
  }
  HWND strip() const { return FindWindowExW(H(area), nullptr, WC_TABCONTROLW, nullptr); }
};

TEST(Accessible, NamesAndItemsAreReadAsShown) {
  Readable f;
  const struct {
    HWND hwnd;
    long child;
    long role;
    const char* name;
  } cases[] = {
      {H(f.amount), 0, ROLE_SYSTEM_TEXT, "Betrag"},  // the picture passed over, the colon not read
      {H(f.afterButton), 0, ROLE_SYSTEM_TEXT, ""},   // the button stands between it and the label
      {H(f.button), 0, ROLE_SYSTEM_PUSHBUTTON, "Info"},
      {H(f.check), 0, ROLE_SYSTEM_CHECKBUTTON, "Rot & Blau"},
      {H(f.list), 2, ROLE_SYSTEM_LISTITEM, "Zwei"},
      {H(f.tree), 2, ROLE_SYSTEM_OUTLINEITEM, "Berlin"},
      {f.strip(), 2, ROLE_SYSTEM_PAGETAB, "Zweite"},
  };
  for (const auto& c : cases) {
    Acc acc(c.hwnd);
    EXPECT_EQ(acc.role(c.child), c.role) << c.name;
    EXPECT_EQ(acc.name(c.child), c.name) << "role " << c.role;
  }
  Acc tree(H(f.tree));
  long children = 0;
  EXPECT_EQ(tree.p->get_accChildCount(&children), S_OK);
  EXPECT_EQ(children, 2);
  EXPECT_EQ(tree.name(3), "(failed)");
  EXPECT_EQ(Acc(H(f.button)).shortcut(), "Alt+I");
  EXPECT_EQ(Acc(f.strip()).shortcut(2), "Alt+Z");
}

// A tree view that numbers its items for accessibility itself, as the common
// controls of Windows do (Wine's do not): its item handles as ids.
LRESULT CALLBACK OwnIds(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == TVM_MAPHTREEITEMTOACCID) return static_cast<LRESULT>(wparam);
  return CallWindowProcW(reinterpret_cast<WNDPROC>(GetPropW(hwnd, L"test.next")), hwnd, msg, wparam, lparam);
}

TEST(Accessible, TreeItemsGoByTheTreesOwnIds) {
  Readable f;
  const HWND tree = H(f.tree);
  SetPropW(tree, L"test.next", reinterpret_cast<HANDLE>(GetWindowLongPtrW(tree, GWLP_WNDPROC)));
  SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(OwnIds));
  const auto land = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  const auto berlin = reinterpret_cast<HTREEITEM>(SendMessageW(tree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(land)));
  Acc acc(tree);
  VARIANT children[3];
  long got = 0;
  ASSERT_TRUE(SUCCEEDED(AccessibleChildren(acc.p, 0, 3, children, &got)));
  ASSERT_EQ(got, 2);
  EXPECT_EQ(children[0].lVal, reinterpret_cast<LONG>(land));
  EXPECT_EQ(children[1].lVal, reinterpret_cast<LONG>(berlin));
  EXPECT_EQ(acc.name(reinterpret_cast<LONG>(berlin)), "Berlin");
  EXPECT_EQ(acc.name(2), "(failed)");
  SetWindowLongPtrW(tree, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetPropW(tree, L"test.next")));
  RemovePropW(tree, L"test.next");
}

TEST(Accessible, StatesFollowTheControls) {
  Readable f;
  EXPECT_TRUE(Acc(H(f.tree)).state(1) & STATE_SYSTEM_COLLAPSED);
  EXPECT_TRUE(Acc(H(f.tree)).state(2) & STATE_SYSTEM_INVISIBLE);  // inside the closed item
  std::static_pointer_cast<XbpListBox>(f.list)->setData(Value{2});
  std::static_pointer_cast<XbpCheckBox>(f.check)->setData(true);
  EXPECT_FALSE(Acc(H(f.list)).state(1) & STATE_SYSTEM_SELECTED);
  EXPECT_TRUE(Acc(H(f.list)).state(2) & STATE_SYSTEM_SELECTED);
  EXPECT_TRUE(Acc(H(f.check)).state() & STATE_SYSTEM_CHECKED);
  EXPECT_TRUE(Acc(f.strip()).state(1) & STATE_SYSTEM_SELECTED);
  // On the page behind the first.
  EXPECT_TRUE(Acc(H(f.behind)).state() & STATE_SYSTEM_INVISIBLE);
}

TEST(Accessible, NameSetByTheProgramReplacesTheRulesUntilCleared) {
  Readable f;
  EXPECT_EQ(f.amount->accessibleName("Betrag in DM"), "");
  EXPECT_EQ(Acc(H(f.amount)).name(), "Betrag in DM");
  EXPECT_EQ(f.amount->accessibleName(""), "Betrag in DM");
  EXPECT_EQ(Acc(H(f.amount)).name(), "Betrag");
}

TEST(Accessible, ObjectOutlivingItsWindowAnswersWithAFailure) {
  auto f = std::make_unique<Readable>();
  Acc acc(H(f->list));
  ASSERT_TRUE(acc.p);
  f.reset();
  long children = -1;
  EXPECT_EQ(acc.name(), "(failed)");
  EXPECT_TRUE(FAILED(acc.p->get_accChildCount(&children)));
}

}  // namespace
