// What screen readers read of the runtime's windows through the standard
// accessibility interface: names as a sighted user reads them, roles, items
// and their states, and objects that outlive their window.
#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <oleacc.h>

#include <string>
#include <tuple>

#include "controls.h"
#include "support/event_loop.h"
#include "support/gui.h"

using namespace rt;
using namespace guitest;
using namespace valumat;

namespace {

struct Read {
  long role = 0;
  long state = 0;
  std::string name;
};

VARIANT Child(long id) {
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_I4;
  v.lVal = id;
  return v;
}

IAccessible* AccessibleOf(HWND hwnd) {
  IAccessible* acc = nullptr;
  AccessibleObjectFromWindow(hwnd, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible, reinterpret_cast<void**>(&acc));
  return acc;
}

std::string Utf8(BSTR text) {
  if (!text) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(SysStringLen(text)), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, static_cast<int>(SysStringLen(text)), out.data(), n, nullptr, nullptr);
  SysFreeString(text);
  return out;
}

Read ReadOf(HWND hwnd, long child = CHILDID_SELF) {
  Read r;
  IAccessible* acc = AccessibleOf(hwnd);
  if (!acc) return r;
  VARIANT role, state;
  VariantInit(&role);
  VariantInit(&state);
  BSTR name = nullptr;
  if (SUCCEEDED(acc->get_accRole(Child(child), &role)) && role.vt == VT_I4) r.role = role.lVal;
  if (SUCCEEDED(acc->get_accState(Child(child), &state)) && state.vt == VT_I4) r.state = state.lVal;
  acc->get_accName(Child(child), &name);
  r.name = Utf8(name);
  acc->Release();
  return r;
}

HWND ChildOfClass(HWND parent, const std::string& cls) {
  for (HWND h : support::ChildWindows(parent)) {
    if (support::HasClass(h, cls)) return h;
  }
  return nullptr;
}

// One of every control kind, each with what stands before it in the tab order.
struct Form {
  std::shared_ptr<XbpDialog> dlg = New<XbpDialog>({AppDesktop(), NIL, Value{100, 100}, Value{620, 420}, NIL, false});
  WindowRef area;
  std::shared_ptr<XbpSLE> amount, named, afterButton, behind;
  std::shared_ptr<XbpPushButton> button;
  std::shared_ptr<XbpCheckBox> check;
  std::shared_ptr<XbpRadioButton> radio;
  std::shared_ptr<XbpStatic> title, picture;
  std::shared_ptr<XbpListBox> list;
  std::shared_ptr<XbpCombobox> city;
  std::shared_ptr<XbpSpinButton> count;
  std::shared_ptr<XbpScrollBar> volume;
  std::shared_ptr<XbpTreeView> tree;
  std::shared_ptr<XbpTabPage> first, second;

  Form() {
    dlg->create();
    area = dlg->drawingArea();
    label(10, 380, "Betrag :");
    picture = make<XbpStatic>(60, 380, 33, 21);
    picture->type = XbpStatic::kTypeBitmap;
    picture->caption = 931;
    picture->create();
    amount = make<XbpSLE>(100, 380, 100, 24);
    amount->create();
    label(210, 380, "Etikett");
    named = make<XbpSLE>(260, 380, 100, 24);
    named->accessibleName("Eigener Name");
    named->create();
    label(10, 340, "Vorher:");
    button = make<XbpPushButton>(60, 340, 90, 24);
    button->caption = " ~Info";
    button->create();
    afterButton = make<XbpSLE>(160, 340, 100, 24);
    afterButton->create();
    check = make<XbpCheckBox>(270, 340, 150, 24);
    check->caption = "~Rot & Blau";
    check->create();
    radio = make<XbpRadioButton>(430, 340, 150, 24);
    radio->caption = "Wei~\xe1";
    radio->create();
    title = label(10, 300, " Valumat ");
    label(10, 270, "Liste:");
    list = make<XbpListBox>(60, 200, 100, 90);
    list->addItem("Eins");
    list->addItem("Zwei");
    list->create();
    label(170, 270, "Stadt:");
    city = make<XbpCombobox>(220, 266, 120, 24);
    city->addItem("Bonn");
    city->addItem("K\x94ln");
    city->create();
    label(350, 270, "Anzahl:");
    count = make<XbpSpinButton>(410, 266, 80, 24);
    count->create();
    label(350, 230, "Lautst\x84rke:");
    volume = make<XbpScrollBar>(430, 230, 150, 20);
    volume->create();
    tree = make<XbpTreeView>(170, 100, 150, 150);
    tree->accessibleName("Orte");
    tree->create();
    auto land = tree->rootItem()->addItem(Value("Deutschland"));
    land->addItem(Value("Berlin"));
    tree->rootItem()->addItem(Value("Europa"));
    first = page("~Erste");
    second = page("~Zweite");
    behind = New<XbpSLE>({second, NIL, Value{10, 10}, Value{100, 24}});
    behind->create();
    dlg->show();
    Drain();
  }
  ~Form() {
    dlg->destroy();
    Drain();
  }
  Form(const Form&) = delete;
  Form& operator=(const Form&) = delete;

  template <class C>
  std::shared_ptr<C> make(long x, long y, long w, long h) {
    return New<C>({area, NIL, Value{x, y}, Value{w, h}});
  }
  std::shared_ptr<XbpStatic> label(long x, long y, const std::string& text) {
    auto s = make<XbpStatic>(x, y, 48, 20);
    s->caption = text;
    s->create();
    return s;
  }
  std::shared_ptr<XbpTabPage> page(const std::string& caption) {
    auto p = make<XbpTabPage>(340, 10, 260, 200);
    p->caption = caption;
    p->create();
    return p;
  }
};

std::string Describe(const Read& r) { return std::to_string(r.role) + " \"" + r.name + "\""; }

TEST(Accessible, ControlsAreNamedAsTheyReadAndHaveTheirRoles) {
  Form f;
  const HWND comboEntry = GetWindow(H(f.city), GW_CHILD);
  const HWND strip = ChildOfClass(H(f.area), "SysTabControl32");
  const HWND arrows = ChildOfClass(H(f.area), "msctls_updown32");
  ASSERT_TRUE(comboEntry && strip && arrows);
  const struct {
    HWND hwnd;
    long child;
    long role;
    const char* name;
  } cases[] = {
      {H(f.amount), 0, ROLE_SYSTEM_TEXT, "Betrag"},  // picture passed over, colon not read
      {H(f.named), 0, ROLE_SYSTEM_TEXT, "Eigener Name"},
      {H(f.afterButton), 0, ROLE_SYSTEM_TEXT, ""},  // the button stands between it and the label
      {H(f.button), 0, ROLE_SYSTEM_PUSHBUTTON, "Info"},
      {H(f.check), 0, ROLE_SYSTEM_CHECKBUTTON, "Rot & Blau"},
      {H(f.radio), 0, ROLE_SYSTEM_RADIOBUTTON, "Wei\xc3\x9f"},
      {H(f.title), 0, ROLE_SYSTEM_STATICTEXT, "Valumat"},
      {H(f.picture), 0, ROLE_SYSTEM_GRAPHIC, ""},
      {H(f.list), 0, ROLE_SYSTEM_LIST, "Liste"},
      {H(f.list), 2, ROLE_SYSTEM_LISTITEM, "Zwei"},
      {H(f.city), 0, ROLE_SYSTEM_COMBOBOX, "Stadt"},
      {H(f.city), 2, ROLE_SYSTEM_LISTITEM, "K\xc3\xb6ln"},
      {comboEntry, 0, ROLE_SYSTEM_TEXT, "Stadt"},
      {H(f.count), 0, ROLE_SYSTEM_TEXT, "Anzahl"},
      {arrows, 0, ROLE_SYSTEM_SPINBUTTON, "Anzahl"},
      {H(f.volume), 0, ROLE_SYSTEM_SCROLLBAR, "Lautst\xc3\xa4rke"},
      {H(f.tree), 0, ROLE_SYSTEM_OUTLINE, "Orte"},
      {H(f.tree), 1, ROLE_SYSTEM_OUTLINEITEM, "Deutschland"},
      {H(f.tree), 2, ROLE_SYSTEM_OUTLINEITEM, "Berlin"},
      {H(f.tree), 3, ROLE_SYSTEM_OUTLINEITEM, "Europa"},
      {strip, 0, ROLE_SYSTEM_PAGETABLIST, ""},
      {strip, 2, ROLE_SYSTEM_PAGETAB, "Zweite"},
      {H(f.first), 0, ROLE_SYSTEM_PROPERTYPAGE, "Erste"},
  };
  for (const auto& c : cases) {
    const Read r = ReadOf(c.hwnd, c.child);
    EXPECT_EQ(r.role, c.role) << c.name << " (child " << c.child << "): " << Describe(r);
    EXPECT_EQ(r.name, c.name) << "child " << c.child << ": " << Describe(r);
  }
  // Children: the items, and none past them.
  IAccessible* acc = AccessibleOf(H(f.tree));
  ASSERT_TRUE(acc);
  long children = 0;
  EXPECT_EQ(acc->get_accChildCount(&children), S_OK);
  EXPECT_EQ(children, 3);
  BSTR name = nullptr;
  EXPECT_EQ(acc->get_accName(Child(4), &name), E_INVALIDARG);
  acc->Release();
  // Mnemonics are read as the keys that reach them.
  for (const auto& [hwnd, child, keys] : {std::tuple{H(f.button), 0L, "Alt+I"}, std::tuple{strip, 2L, "Alt+Z"}}) {
    acc = AccessibleOf(hwnd);
    ASSERT_TRUE(acc);
    BSTR shortcut = nullptr;
    acc->get_accKeyboardShortcut(Child(child), &shortcut);
    EXPECT_EQ(Utf8(shortcut), keys);
    acc->Release();
  }
}

TEST(Accessible, StatesFollowTheControls) {
  Form f;
  // Berlin lies in a closed item; marked items and boxes say so.
  EXPECT_TRUE(ReadOf(H(f.tree), 2).state & STATE_SYSTEM_INVISIBLE);
  EXPECT_TRUE(ReadOf(H(f.tree), 1).state & STATE_SYSTEM_COLLAPSED);
  f.list->setData(Value{2});
  f.check->setData(true);
  EXPECT_FALSE(ReadOf(H(f.list), 1).state & STATE_SYSTEM_SELECTED);
  EXPECT_TRUE(ReadOf(H(f.list), 2).state & STATE_SYSTEM_SELECTED);
  EXPECT_TRUE(ReadOf(H(f.check)).state & STATE_SYSTEM_CHECKED);
  EXPECT_TRUE(ReadOf(ChildOfClass(H(f.area), "SysTabControl32"), 1).state & STATE_SYSTEM_SELECTED);
  // The second page is behind the first: its window and what it holds are hidden.
  EXPECT_TRUE(ReadOf(H(f.behind)).state & STATE_SYSTEM_INVISIBLE);
  f.list->disable();
  EXPECT_TRUE(ReadOf(H(f.list)).state & STATE_SYSTEM_UNAVAILABLE);
}

TEST(Accessible, NameSetByTheProgramReplacesTheRulesUntilCleared) {
  Form f;
  EXPECT_EQ(f.amount->accessibleName("Betrag in DM"), "");
  EXPECT_EQ(ReadOf(H(f.amount)).name, "Betrag in DM");
  EXPECT_EQ(f.amount->accessibleName(""), "Betrag in DM");
  EXPECT_EQ(ReadOf(H(f.amount)).name, "Betrag");
}

TEST(Accessible, ObjectOutlivingItsWindowAnswersWithAFailure) {
  IAccessible* acc = nullptr;
  {
    Form f;
    acc = AccessibleOf(H(f.list));
    ASSERT_TRUE(acc);
  }
  BSTR name = nullptr;
  long children = -1;
  EXPECT_TRUE(FAILED(acc->get_accName(Child(CHILDID_SELF), &name)));
  EXPECT_TRUE(FAILED(acc->get_accChildCount(&children)));
  EXPECT_EQ(name, nullptr);
  acc->Release();
}

}  // namespace
