// What screen readers read of the runtime's windows, for what the programs'
// end-to-end check does not show: which label names a field, captions with
// "&", states of items, mnemonics, names set and cleared, objects that
// outlive their window, standard controls named by annotation where Windows
// offers it (a stand-in for its service; Wine's has nothing behind it), and
// what reading a large tree costs.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <iostream>
#include <string>
#include <vector>

#include "gui/accessible.h"
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

  Readable() : Form(Value{560, 300}, "Lesbar") {
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
      {f.strip(), 0, ROLE_SYSTEM_PAGETABLIST, "Lesbar"},  // after the window it stands in
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
  if (msg == TVM_MAPHTREEITEMTOACCID || msg == TVM_MAPACCIDTOHTREEITEM) return static_cast<LRESULT>(wparam);
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
  IEnumVARIANT* items = nullptr;
  ASSERT_EQ(acc.p->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&items)), S_OK);
  items->Release();
  f.reset();
  long children = -1;
  EXPECT_EQ(acc.name(), "(failed)");
  EXPECT_TRUE(FAILED(acc.p->get_accChildCount(&children)));
  // COM's rule: what QueryInterface gave once, it gives for the object's life.
  ASSERT_EQ(acc.p->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&items)), S_OK);
  VARIANT next{};
  EXPECT_TRUE(FAILED(items->Next(1, &next, nullptr)));
  items->Release();
}

TEST(Accessible, TextModeWindowOffersItsRowsAsText) {
  auto crt = New<XbpCrt>({AppDesktop(), NIL, Value{60, 60}, 3, 20, "Textfenster", true});
  crt->create({AppDesktop(), NIL, Value{60, 60}, 3, 20, "Textfenster", true});
  crt->putAt(1, 2, "Gr\x94\xe1" "e");
  {
    Acc acc(Hwnd(crt->nativeHandle()));
    long rows = 0;
    EXPECT_EQ(acc.p->get_accChildCount(&rows), S_OK);
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(acc.role(2), ROLE_SYSTEM_STATICTEXT);
    EXPECT_EQ(acc.name(2), "Gr\x94\xe1" "e");  // the blanks around it not read
    EXPECT_EQ(acc.name(1), "");  // an empty row
    EXPECT_EQ(acc.name(4), "(failed)");
  }
  crt->destroy();
  Drain();
}

// A stand-in for Windows' annotation service: what reached it, "(cleared)"
// for a property taken away.
struct AnnotationService final : IAccPropServices {
  struct Entry {
    HWND hwnd;
    DWORD object, child;
    GUID property;
    std::string value;
  };
  std::vector<Entry> got;
  HRESULT answer;
  explicit AnnotationService(HRESULT a) : answer(a) { UseAnnotationService(this); }
  ~AnnotationService() { UseAnnotationService(nullptr); }

  // The last value set for a property, "(none)" when none reached it.
  std::string last(HWND hwnd, long child, const GUID& property) const {
    std::string value = "(none)";
    for (const Entry& e : got) {
      if (e.hwnd == hwnd && e.child == static_cast<DWORD>(child) && e.property == property) value = e.value;
    }
    return value;
  }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    *out = iid == IID_IUnknown || iid == IID_IAccPropServices ? this : nullptr;
    return *out ? S_OK : E_NOINTERFACE;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE SetHwndPropStr(HWND h, DWORD object, DWORD child, MSAAPROPID p, LPCWSTR s) override {
    got.push_back({h, object, child, p, WideToCp858(s)});
    return answer;
  }
  HRESULT STDMETHODCALLTYPE ClearHwndProps(HWND h, DWORD object, DWORD child, const MSAAPROPID* p, int n) override {
    for (int i = 0; i < n; ++i) got.push_back({h, object, child, p[i], "(cleared)"});
    return answer;
  }
  HRESULT STDMETHODCALLTYPE SetPropValue(const BYTE*, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetPropServer(const BYTE*, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ClearProps(const BYTE*, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetHwndProp(HWND, DWORD, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetHwndPropServer(HWND, DWORD, DWORD, const MSAAPROPID*, int, IAccPropServer*,
                                              AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ComposeHwndIdentityString(HWND, DWORD, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DecomposeHwndIdentityString(const BYTE*, DWORD, HWND*, DWORD*, DWORD*) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE SetHmenuProp(HMENU, DWORD, MSAAPROPID, VARIANT) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetHmenuPropStr(HMENU, DWORD, MSAAPROPID, LPCWSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE SetHmenuPropServer(HMENU, DWORD, const MSAAPROPID*, int, IAccPropServer*, AnnoScope) override {
    return E_NOTIMPL;
  }
  HRESULT STDMETHODCALLTYPE ClearHmenuProps(HMENU, DWORD, const MSAAPROPID*, int) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE ComposeHmenuIdentityString(HMENU, DWORD, BYTE**, DWORD*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE DecomposeHmenuIdentityString(const BYTE*, DWORD, HMENU*, DWORD*) override {
    return E_NOTIMPL;
  }
};

// UI Automation's question for its root object (uiautomationcoreapi.h).
constexpr LPARAM kUiaRootObjectId = -25;

// What a client asking for the client object gets back: 0 leaves the
// question to the control's own support.
LRESULT AskClient(HWND hwnd) { return SendMessageW(hwnd, WM_GETOBJECT, 0, static_cast<LPARAM>(OBJID_CLIENT)); }

TEST(Accessible, StandardControlsAreAnnotatedAndKeepTheirOwnSupport) {
  AnnotationService service(S_OK);
  Readable f;
  const HWND standard[] = {H(f.amount), H(f.button), H(f.check), H(f.list), H(f.tree), f.strip()};
  for (HWND hwnd : standard) EXPECT_EQ(AskClient(hwnd), 0) << "class of " << hwnd << " serves an object of its own";
  const struct {
    HWND hwnd;
    long child;
    const GUID& property;
    const char* value;
  } cases[] = {
      {H(f.amount), 0, PROPID_ACC_NAME, "Betrag"},
      {H(f.button), 0, PROPID_ACC_NAME, "Info"},
      {H(f.button), 0, PROPID_ACC_KEYBOARDSHORTCUT, "Alt+I"},
      {H(f.check), 0, PROPID_ACC_NAME, "Rot & Blau"},
      {H(f.list), 0, PROPID_ACC_NAME, "(cleared)"},  // no label: the control's own name stands
      {f.strip(), 0, PROPID_ACC_NAME, "Lesbar"},
      {f.strip(), 2, PROPID_ACC_NAME, "Zweite"},
      {f.strip(), 2, PROPID_ACC_KEYBOARDSHORTCUT, "Alt+Z"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(service.last(c.hwnd, c.child, c.property), c.value) << c.hwnd << " " << c.child;
  }
  for (const auto& e : service.got) EXPECT_EQ(e.object, static_cast<DWORD>(OBJID_CLIENT));
  // A name the program sets reaches the service at once, once a reader has asked.
  f.amount->accessibleName("Betrag in DM");
  EXPECT_EQ(service.last(H(f.amount), 0, PROPID_ACC_NAME), "Betrag in DM");
  // The runtime's own classes keep their own object.
  EXPECT_EQ(Acc(H(f.first)).role(), ROLE_SYSTEM_PROPERTYPAGE);
  EXPECT_EQ(Acc(H(f.first)).name(), "Erste");
}

TEST(Accessible, WithoutAnnotationStandardControlsServeTheirOwnObjectDecidedOnce) {
  AnnotationService service(E_NOTIMPL);
  Readable f;
  EXPECT_EQ(Acc(H(f.amount)).name(), "Betrag");
  EXPECT_EQ(service.got.size(), 1u) << "the first question asks the service";
  EXPECT_EQ(Acc(H(f.button)).name(), "Info");
  f.amount->accessibleName("Betrag in DM");
  EXPECT_EQ(Acc(H(f.amount)).name(), "Betrag in DM");
  EXPECT_EQ(service.got.size(), 1u) << "the choice is made once";
}

TEST(Accessible, NothingReachesTheServiceBeforeAClientAsksForTheClientObject) {
  AnnotationService service(S_OK);
  Readable f;
  f.amount->accessibleName("Betrag in DM");
  // Asked by the system with no reader: UI Automation's root object, the
  // class index, a program's own ids, the window's frame.
  const LPARAM others[] = {kUiaRootObjectId, OBJID_QUERYCLASSNAMEIDX, OBJID_NATIVEOM, OBJID_WINDOW, 1};
  for (HWND hwnd : {H(f.amount), H(f.button), H(f.tree), f.strip(), H(f.first), H(f.area)}) {
    for (LPARAM lparam : others) {
      const LRESULT r = SendMessageW(hwnd, WM_GETOBJECT, 0, lparam);
      if (lparam != OBJID_QUERYCLASSNAMEIDX) {
        EXPECT_EQ(r, 0) << hwnd << " answered " << lparam;
      }
    }
  }
  EXPECT_TRUE(service.got.empty());
}

// Counts the messages a tree view is sent.
LRESULT CALLBACK Counted(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  ++*static_cast<long*>(GetPropW(hwnd, L"test.count"));
  return CallWindowProcW(reinterpret_cast<WNDPROC>(GetPropW(hwnd, L"test.next")), hwnd, msg, wparam, lparam);
}

TEST(Accessible, ReadingATreeCostsAFewMessagesPerItem) {
  Form f(Value{300, 300});
  auto tree = f.add<XbpTreeView>(Value{10, 10}, Value{280, 280});
  constexpr long kTop = 20, kBelow = 9, kItems = kTop * (1 + kBelow);
  for (long i = 0; i < kTop; ++i) {
    auto top = tree->rootItem()->addItem(Value("Land " + std::to_string(i)));
    for (long j = 0; j < kBelow; ++j) top->addItem(Value("Stadt " + std::to_string(j)));
    top->expand();
  }
  const HWND hwnd = H(tree);
  long sent = 0;
  SetPropW(hwnd, L"test.count", &sent);
  SetPropW(hwnd, L"test.next", reinterpret_cast<HANDLE>(GetWindowLongPtrW(hwnd, GWLP_WNDPROC)));
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Counted));
  {
    // As a reader reads every item: its role, state and name.
    Acc acc(hwnd);
    std::vector<VARIANT> children(kItems);
    long got = 0;
    ASSERT_TRUE(SUCCEEDED(AccessibleChildren(acc.p, 0, kItems, children.data(), &got)));
    ASSERT_EQ(got, kItems);
    for (const VARIANT& child : children) {
      EXPECT_EQ(acc.role(child.lVal), ROLE_SYSTEM_OUTLINEITEM);
      acc.state(child.lVal);
      acc.name(child.lVal);
    }
    EXPECT_EQ(acc.name(children[kItems - 1].lVal), "Stadt 8");
  }
  std::cout << "messages per tree item read: " << sent / kItems << "\n";
  EXPECT_LT(sent / kItems, 40);
  SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(GetPropW(hwnd, L"test.next")));
  RemovePropW(hwnd, L"test.next");
  RemovePropW(hwnd, L"test.count");
}

}  // namespace
