// What screen readers read of the runtime's windows. Standard controls keep
// the system's own support (reading by character and word, selection) and
// get their names by annotation where the system offers it; a control that
// served an object of its own would be handed to readers through the older
// bridge instead. The runtime's own classes, and standard controls where
// annotation is missing (Wine), answer with an object of ours: a control
// tells its role and the name a sighted user reads beside it; lists,
// combination boxes, trees, tab strips and the rows of a text-mode window
// add their items as simple elements. The rest (parent, navigation, hit
// testing, states and values of the window itself) comes from the system's
// standard object for the window, made at the first question that needs it.
#include "accessible.h"

#include <commctrl.h>

#include <algorithm>
#include <cwctype>
#include <optional>
#include <unordered_map>
#include <string>
#include <utility>
#include <vector>

#include "crt.h"
#include "static.h"
#include "tabpage.h"
#include "../win32/dyncalls.h"
#include "native.h"

namespace rt {

namespace {

constexpr GUID kIidOleWindow{0x00000114, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kIidEnumVariant{0x00020404, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
constexpr GUID kClsidAccPropServices{0xB5F8350B, 0x0548, 0x48B1, {0xA6, 0xEE, 0x88, 0xBD, 0x00, 0xB4, 0xA5, 0xE7}};
constexpr GUID kIidAccPropServices{0x6E26E776, 0x04F0, 0x495D, {0x80, 0xE4, 0x33, 0x30, 0x35, 0x2E, 0x31, 0x69}};
constexpr GUID kPropName{0x608D3DF8, 0x8128, 0x4AA7, {0xA4, 0x28, 0xF5, 0x5E, 0x49, 0x26, 0x72, 0x91}};
constexpr GUID kPropShortcut{0x7D9BCEEE, 0x7D1E, 0x4979, {0x93, 0x82, 0x51, 0x80, 0xF4, 0x17, 0x2C, 0x34}};

// How a kind of window is named when application code gave it no name.
enum class Naming : uint8_t {
  Standard,  // as the system's object says
  Caption,   // its own caption, without the mnemonic marker
  Text,      // its text as shown (static texts)
  Label,     // the text label right before it in the tab order
  Buddy,     // as the entry field it steps (spin arrows)
  Page,      // the caption of its tab
  Window,    // the title of the window it stands in (tab strips)
  Nothing,   // no name (pictures the program did not name)
};

enum class Items : uint8_t { None, List, Combo, Tree, Tabs, Rows };

struct Kind {
  long role = 0;  // ROLE_SYSTEM_*; 0: as the system's object says
  Naming naming = Naming::Standard;
  Items items = Items::None;
};

bool ClassIs(HWND hwnd, const wchar_t* name) {
  wchar_t cls[64];
  return GetClassNameW(hwnd, cls, 64) && lstrcmpiW(cls, name) == 0;
}

Kind KindOf(HWND hwnd) {
  if (ClassIs(hwnd, L"Button")) {
    switch (GetWindowLongPtrW(hwnd, GWL_STYLE) & BS_TYPEMASK) {
      case BS_CHECKBOX:
      case BS_AUTOCHECKBOX:
      case BS_3STATE:
      case BS_AUTO3STATE: return {ROLE_SYSTEM_CHECKBUTTON, Naming::Caption};
      case BS_RADIOBUTTON:
      case BS_AUTORADIOBUTTON: return {ROLE_SYSTEM_RADIOBUTTON, Naming::Caption};
      case BS_GROUPBOX: return {ROLE_SYSTEM_GROUPING, Naming::Caption};
      default: return {ROLE_SYSTEM_PUSHBUTTON, Naming::Caption};
    }
  }
  if (ClassIs(hwnd, L"XbpStatic")) {
    const auto* picture = dynamic_cast<const XbpBaseStatic*>(WindowFromHandle(hwnd));
    if (picture && picture->type == XbpBaseStatic::kTypeBitmap) return {ROLE_SYSTEM_GRAPHIC, Naming::Nothing};
    return {ROLE_SYSTEM_STATICTEXT, Naming::Text};
  }
  static const struct {
    const wchar_t* windowClass;
    Kind kind;
  } kKinds[] = {
      {L"Edit", {ROLE_SYSTEM_TEXT, Naming::Label}},
      {L"ListBox", {ROLE_SYSTEM_LIST, Naming::Label, Items::List}},
      {L"ComboLBox", {ROLE_SYSTEM_LIST, Naming::Label, Items::List}},
      {L"ComboBox", {ROLE_SYSTEM_COMBOBOX, Naming::Label, Items::Combo}},
      {L"ScrollBar", {ROLE_SYSTEM_SCROLLBAR, Naming::Label}},
      {WC_TREEVIEWW, {ROLE_SYSTEM_OUTLINE, Naming::Label, Items::Tree}},
      {WC_TABCONTROLW, {ROLE_SYSTEM_PAGETABLIST, Naming::Window, Items::Tabs}},
      {UPDOWN_CLASSW, {ROLE_SYSTEM_SPINBUTTON, Naming::Buddy}},
      {L"XbpTabPage", {ROLE_SYSTEM_PROPERTYPAGE, Naming::Page}},
      {L"XbpCrt", {0, Naming::Standard, Items::Rows}},
  };
  for (const auto& [windowClass, kind] : kKinds) {
    if (ClassIs(hwnd, windowClass)) return kind;
  }
  return {};
}

std::wstring Trimmed(std::wstring text) {
  while (!text.empty() && std::iswspace(text.back())) text.pop_back();
  size_t first = 0;
  while (first < text.size() && std::iswspace(text[first])) ++first;
  return text.substr(first);
}

// A native caption as it reads: "&&" is "&", "&x" is x.
std::wstring WithoutMnemonic(std::wstring_view caption) {
  std::wstring out;
  for (size_t i = 0; i < caption.size(); ++i) {
    if (caption[i] == L'&' && ++i == caption.size()) break;
    out += caption[i];
  }
  return Trimmed(std::move(out));
}

// "Alt+X" for a native caption with the mnemonic X, "" without one.
std::wstring ShortcutOf(std::wstring_view caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] != L'&') return L"Alt+" + std::wstring(1, static_cast<wchar_t>(std::towupper(caption[i + 1])));
    ++i;
  }
  return {};
}

// The text label right before `hwnd` among its siblings: pictures and empty
// texts in between are passed over, any other window ends the search. Its
// closing colon is not read.
std::wstring LabelBefore(HWND hwnd) {
  for (HWND before = GetWindow(hwnd, GW_HWNDPREV); before; before = GetWindow(before, GW_HWNDPREV)) {
    const auto* label = dynamic_cast<const XbpBaseStatic*>(WindowFromHandle(before));
    if (!label) return {};
    if (label->type != XbpBaseStatic::kTypeText) continue;
    std::wstring text = Trimmed(WindowTextOf(before));
    if (!text.empty() && text.back() == L':') text = Trimmed(text.substr(0, text.size() - 1));
    if (!text.empty()) return text;
  }
  return {};
}

std::wstring NativeCaptionOf(HWND hwnd) {
  if (const auto* page = dynamic_cast<const XbpBaseTabPage*>(WindowFromHandle(hwnd))) {
    return NativeCaption(page->caption);
  }
  return WindowTextOf(hwnd);
}

// The name of `hwnd`, a native part of `self` or `self` itself; nothing when
// the system's object knows better.
std::optional<std::wstring> NameOf(HWND hwnd, HWND self) {
  if (const XbpWindow* window = WindowFromHandle(self); window && !window->accessibleName().empty()) {
    return Wide(window->accessibleName());
  }
  switch (KindOf(hwnd).naming) {
    case Naming::Caption:
    case Naming::Page: return WithoutMnemonic(NativeCaptionOf(hwnd));
    case Naming::Text: return Trimmed(WindowTextOf(hwnd));
    case Naming::Label: return LabelBefore(self);
    case Naming::Buddy: {
      const auto buddy = reinterpret_cast<HWND>(SendMessageW(hwnd, UDM_GETBUDDY, 0, 0));
      return buddy && buddy != hwnd ? NameOf(buddy, buddy).value_or(L"") : L"";
    }
    case Naming::Window: return Trimmed(WindowTextOf(GetAncestor(hwnd, GA_ROOT)));
    case Naming::Nothing: return L"";
    case Naming::Standard: break;
  }
  return std::nullopt;
}

// A tree's items in the order they stand one below the other when all are
// open, kept by the object that reads them: a reader asks about every item in
// turn, and walking the tree at each question would cost the whole tree per
// item. Made again when the tree's count changes, or when an item the tree
// numbers itself no longer stands under its id.
struct TreeOrder {
  struct Entry {
    HTREEITEM item;
    long id;
    long parent;  // index of the parent entry; -1 for a top-level item
  };
  std::vector<Entry> entries;
  std::unordered_map<long, size_t> byId;
  std::unordered_map<HTREEITEM, size_t> byItem;
  long count = -1;  // the tree's count when made; -1: not made
  bool ownIds = false;
};

// The items of a list, combination box, tree, tab strip or text-mode window,
// read from the window at each question: they change while a client looks.
// Items are numbered from 1 in the order they stand; their child ids are
// those numbers, except for a tree view that keeps ids of its own for its
// items (the one it reports focus changes with).
class ItemList {
 public:
  ItemList(HWND hwnd, Items kind, TreeOrder& order) : hwnd_(hwnd), kind_(kind), order_(order) {
    if (kind == Items::Tree) refreshTree();
  }

  long count() const {
    LRESULT n = 0;
    switch (kind_) {
      case Items::List: n = SendMessageW(hwnd_, LB_GETCOUNT, 0, 0); break;
      case Items::Combo: n = SendMessageW(hwnd_, CB_GETCOUNT, 0, 0); break;
      case Items::Tree: n = static_cast<LRESULT>(order_.entries.size()); break;
      case Items::Tabs: n = SendMessageW(hwnd_, TCM_GETITEMCOUNT, 0, 0); break;
      case Items::Rows:
        if (const XbpBaseCrt* crt = Crt()) n = crt->MaxRow + 1;
        break;
      case Items::None: break;
    }
    return n > 0 ? static_cast<long>(n) : 0;
  }

  long idAt(long n) const { return kind_ == Items::Tree ? order_.entries[static_cast<size_t>(n - 1)].id : n; }
  // The number of the item with child id `id`; 0 for none.
  long numberOf(long id) const {
    if (kind_ != Items::Tree) return id >= 1 && id <= count() ? id : 0;
    return treeNumberOf(id);
  }

  long role() const {
    switch (kind_) {
      case Items::Tree: return ROLE_SYSTEM_OUTLINEITEM;
      case Items::Tabs: return ROLE_SYSTEM_PAGETAB;
      case Items::Rows: return ROLE_SYSTEM_STATICTEXT;
      default: return ROLE_SYSTEM_LISTITEM;
    }
  }

  // Items are counted from 1, as their child ids.
  std::wstring name(long id) const {
    const WPARAM index = static_cast<WPARAM>(id - 1);
    switch (kind_) {
      case Items::List:
      case Items::Combo: {
        const bool list = kind_ == Items::List;
        const LRESULT length = SendMessageW(hwnd_, list ? LB_GETTEXTLEN : CB_GETLBTEXTLEN, index, 0);
        if (length < 0) return {};
        std::wstring text(static_cast<size_t>(length) + 1, L'\0');
        const LRESULT got =
            SendMessageW(hwnd_, list ? LB_GETTEXT : CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()));
        text.resize(got > 0 ? static_cast<size_t>(got) : 0);
        return text;
      }
      case Items::Tree: {
        wchar_t text[512] = {};
        TVITEMW item{};
        item.mask = TVIF_TEXT | TVIF_HANDLE;
        item.hItem = order_.entries[index].item;
        item.pszText = text;
        item.cchTextMax = 512;
        SendMessageW(hwnd_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return text;
      }
      case Items::Tabs: return WithoutMnemonic(tabText(index));
      case Items::Rows: {
        const XbpBaseCrt* crt = Crt();
        return crt ? Trimmed(Wide(crt->rowText(static_cast<long>(index)))) : std::wstring();
      }
      case Items::None: break;
    }
    return {};
  }

  std::wstring shortcut(long id) const {
    return kind_ == Items::Tabs ? ShortcutOf(tabText(static_cast<WPARAM>(id - 1))) : std::wstring();
  }

  long state(long id) const {
    const WPARAM index = static_cast<WPARAM>(id - 1);
    if (kind_ == Items::Rows) return STATE_SYSTEM_READONLY;
    long state = STATE_SYSTEM_SELECTABLE | STATE_SYSTEM_FOCUSABLE;
    bool selected = false;
    switch (kind_) {
      case Items::List: {
        const bool several = GetWindowLongPtrW(hwnd_, GWL_STYLE) & (LBS_EXTENDEDSEL | LBS_MULTIPLESEL);
        selected = several ? SendMessageW(hwnd_, LB_GETSEL, index, 0) > 0
                           : SendMessageW(hwnd_, LB_GETCURSEL, 0, 0) == static_cast<LRESULT>(index);
        RECT item{}, client{}, both{};
        GetClientRect(hwnd_, &client);
        SendMessageW(hwnd_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&item));
        if (!IntersectRect(&both, &item, &client)) state |= STATE_SYSTEM_OFFSCREEN;
        break;
      }
      case Items::Combo: selected = SendMessageW(hwnd_, CB_GETCURSEL, 0, 0) == static_cast<LRESULT>(index); break;
      case Items::Tree: {
        const TreeOrder::Entry& entry = order_.entries[index];
        selected = SendMessageW(hwnd_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(entry.item), TVIS_SELECTED) &
                   TVIS_SELECTED;
        if (TreeNext(entry.item, TVGN_CHILD)) {
          state |= expanded(entry.item) ? STATE_SYSTEM_EXPANDED : STATE_SYSTEM_COLLAPSED;
        }
        // Inside a closed item.
        for (long up = entry.parent; up >= 0; up = order_.entries[static_cast<size_t>(up)].parent) {
          if (!expanded(order_.entries[static_cast<size_t>(up)].item)) {
            state |= STATE_SYSTEM_INVISIBLE;
            break;
          }
        }
        break;
      }
      case Items::Tabs: selected = SendMessageW(hwnd_, TCM_GETCURSEL, 0, 0) == static_cast<LRESULT>(index); break;
      default: break;
    }
    if (selected) state |= STATE_SYSTEM_SELECTED;
    if (focused() == id) state |= STATE_SYSTEM_FOCUSED;
    return state;
  }

  // The level of a tree item ("0" for the top), as outline items tell it.
  std::optional<std::wstring> value(long id) const {
    if (kind_ != Items::Tree) return std::nullopt;
    int level = 0;
    for (long up = order_.entries[static_cast<size_t>(id - 1)].parent; up >= 0;
         up = order_.entries[static_cast<size_t>(up)].parent) {
      ++level;
    }
    // Digits are ASCII: the narrow conversion keeps the wide printf out of
    // the program.
    const std::string digits = std::to_string(level);
    return std::wstring(digits.begin(), digits.end());
  }

  // The item's rectangle on the screen; false where it has none (the items
  // of a closed combination box, the rows of a text-mode window).
  bool location(long id, RECT& r) const {
    const WPARAM index = static_cast<WPARAM>(id - 1);
    r = {};
    LRESULT ok = 0;
    switch (kind_) {
      case Items::List: ok = SendMessageW(hwnd_, LB_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)) != LB_ERR; break;
      case Items::Tree:
        // The item goes in where the rectangle comes out.
        *reinterpret_cast<HTREEITEM*>(&r) = order_.entries[index].item;
        ok = SendMessageW(hwnd_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        break;
      case Items::Tabs: ok = SendMessageW(hwnd_, TCM_GETITEMRECT, index, reinterpret_cast<LPARAM>(&r)); break;
      default: break;
    }
    if (!ok) return false;
    MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return true;
  }

  // The item with the keyboard focus; 0 when the control has none, or none
  // of its items has it.
  long focused() const {
    if (GetFocus() != hwnd_) return 0;
    LRESULT index = -1;
    switch (kind_) {
      case Items::List: index = SendMessageW(hwnd_, LB_GETCARETINDEX, 0, 0); break;
      case Items::Tree: {
        const auto found = order_.byItem.find(TreeNext(nullptr, TVGN_CARET));
        if (found != order_.byItem.end()) index = static_cast<LRESULT>(found->second);
        break;
      }
      case Items::Tabs: index = SendMessageW(hwnd_, TCM_GETCURFOCUS, 0, 0); break;
      default: break;
    }
    return index >= 0 && index < count() ? static_cast<long>(index) + 1 : 0;
  }

 private:
  const XbpBaseCrt* Crt() const { return dynamic_cast<const XbpBaseCrt*>(WindowFromHandle(hwnd_)); }

  HTREEITEM TreeNext(HTREEITEM from, UINT how) const {
    return reinterpret_cast<HTREEITEM>(SendMessageW(hwnd_, TVM_GETNEXTITEM, how, reinterpret_cast<LPARAM>(from)));
  }
  bool expanded(HTREEITEM item) const {
    return SendMessageW(hwnd_, TVM_GETITEMSTATE, reinterpret_cast<WPARAM>(item), TVIS_EXPANDED) & TVIS_EXPANDED;
  }

  // One message per question while the tree keeps its count. A tree that
  // numbers its items itself also tells, at each id asked for, whether the
  // item still stands (an id is never given again); positions are all a
  // tree without ids of its own offers (Wine's), which checks the handles it
  // is given.
  void refreshTree() const {
    const auto count = static_cast<long>(SendMessageW(hwnd_, TVM_GETCOUNT, 0, 0));
    if (count != order_.count) rebuildTree(count);
  }
  void rebuildTree(long count) const {
    order_ = TreeOrder{};
    order_.count = count;
    collect(TreeNext(nullptr, TVGN_ROOT), -1);
  }
  long treeNumberOf(long id) const {
    auto found = order_.byId.find(id);
    if (order_.ownIds) {
      const auto now = reinterpret_cast<HTREEITEM>(SendMessageW(hwnd_, TVM_MAPACCIDTOHTREEITEM, static_cast<WPARAM>(id), 0));
      if (!now) return 0;
      if (found == order_.byId.end() || order_.entries[found->second].item != now) {
        rebuildTree(order_.count);
        found = order_.byId.find(id);
      }
    }
    return found == order_.byId.end() ? 0 : static_cast<long>(found->second) + 1;
  }

  // Depth first, as the items stand one below the other when all are open.
  void collect(HTREEITEM first, long parent) const {
    for (HTREEITEM item = first; item; item = TreeNext(item, TVGN_NEXT)) {
      const auto own = static_cast<long>(SendMessageW(hwnd_, TVM_MAPHTREEITEMTOACCID, reinterpret_cast<WPARAM>(item), 0));
      if (own > 0) order_.ownIds = true;
      const size_t index = order_.entries.size();
      const long id = own > 0 ? own : static_cast<long>(index) + 1;
      order_.entries.push_back({item, id, parent});
      order_.byId.emplace(id, index);
      order_.byItem.emplace(item, index);
      collect(TreeNext(item, TVGN_CHILD), static_cast<long>(index));
    }
  }

  std::wstring tabText(WPARAM index) const {
    wchar_t text[512] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = text;
    item.cchTextMax = 512;
    SendMessageW(hwnd_, TCM_GETITEMW, index, reinterpret_cast<LPARAM>(&item));
    return text;
  }

  HWND hwnd_;
  Items kind_;
  TreeOrder& order_;
};

// The accessible object of one window. It holds the window's handle only and
// reads everything at each question: the window may change, or be gone,
// while a client holds the object.
class AccessibleWindow final : public IAccessible, public IOleWindow, public IEnumVARIANT {
 public:
  AccessibleWindow(HWND hwnd, HWND self, const dyn::AccessibilityApi& api)
      : hwnd_(hwnd), self_(self), api_(api), hasItems_(KindOf(hwnd).items != Items::None) {}
  AccessibleWindow(const AccessibleWindow&) = delete;
  AccessibleWindow& operator=(const AccessibleWindow&) = delete;

  // IUnknown
  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    if (iid == dyn::kIidUnknown || iid == dyn::kIidDispatch || iid == dyn::kIidAccessible) {
      *out = static_cast<IAccessible*>(this);
    } else if (iid == kIidOleWindow) {
      *out = static_cast<IOleWindow*>(this);
    } else if (iid == kIidEnumVariant && hasItems_) {
      *out = static_cast<IEnumVARIANT*>(this);
    } else {
      *out = nullptr;
      return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(InterlockedIncrement(&refs_)); }
  ULONG STDMETHODCALLTYPE Release() override {
    const LONG left = InterlockedDecrement(&refs_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
  }

  // IDispatch: clients use the interface's own methods.
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
    return E_NOTIMPL;
  }

  // IOleWindow: WindowFromAccessibleObject asks for the window here.
  HRESULT STDMETHODCALLTYPE GetWindow(HWND* hwnd) override {
    if (!hwnd) return E_POINTER;
    *hwnd = hwnd_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

  // IEnumVARIANT, for windows with items: their child ids, which need not
  // run from 1 to the count. Other windows' children are the system object's.
  HRESULT STDMETHODCALLTYPE Next(ULONG wanted, VARIANT* out, ULONG* fetched) override {
    if (!out) return E_POINTER;
    if (fetched) *fetched = 0;
    return guarded([&]() -> HRESULT {
      const ItemList items = itemList(KindOf(hwnd_).items);
      const auto count = static_cast<ULONG>(items.count());
      ULONG got = 0;
      for (; got < wanted && cursor_ < count; ++got, ++cursor_) {
        out[got].vt = VT_I4;
        out[got].lVal = items.idAt(static_cast<long>(cursor_) + 1);
      }
      if (fetched) *fetched = got;
      return got == wanted ? S_OK : S_FALSE;
    });
  }
  HRESULT STDMETHODCALLTYPE Skip(ULONG n) override {
    return guarded([&]() -> HRESULT {
      const auto count = static_cast<ULONG>(itemList(KindOf(hwnd_).items).count());
      cursor_ = std::min(cursor_, count);
      const bool all = count - cursor_ >= n;
      cursor_ = all ? cursor_ + n : count;
      return all ? S_OK : S_FALSE;
    });
  }
  HRESULT STDMETHODCALLTYPE Reset() override {
    cursor_ = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return guarded([&]() -> HRESULT {
      auto* copy = new AccessibleWindow(hwnd_, self_, api_);
      copy->cursor_ = cursor_;
      *out = copy;
      return S_OK;
    });
  }

  // IAccessible
  HRESULT STDMETHODCALLTYPE get_accParent(IDispatch** parent) override {
    if (!parent) return E_POINTER;
    *parent = nullptr;
    return stdObject() ? stdObject()->get_accParent(parent) : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE get_accChildCount(long* count) override {
    if (!count) return E_POINTER;
    *count = 0;
    return guarded([&]() -> HRESULT {
      if (const Kind kind = KindOf(hwnd_); kind.items != Items::None) {
        *count = itemList(kind.items).count();
        return S_OK;
      }
      return stdObject() ? stdObject()->get_accChildCount(count) : S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accChild(VARIANT child, IDispatch** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    return answer(child, [&](long item) -> HRESULT {
      return item ? S_FALSE : E_INVALIDARG;  // an item is a simple element, answered by this object
    }, [&] { return stdObject()->get_accChild(child, out); });
  }

  HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* name) override {
    if (!name) return E_POINTER;
    *name = nullptr;
    return answer(child, [&](long item) -> HRESULT {
      if (item) return text(itemList(KindOf(hwnd_).items).name(item), name);
      const std::optional<std::wstring> own = NameOf(hwnd_, self_);
      if (!own) return stdObject() ? stdObject()->get_accName(child, name) : S_FALSE;
      return text(*own, name);
    }, [&] { return stdObject()->get_accName(child, name); });
  }

  HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* value) override {
    if (!value) return E_POINTER;
    *value = nullptr;
    return answer(child, [&](long item) -> HRESULT {
      if (item) {
        const std::optional<std::wstring> level = itemList(KindOf(hwnd_).items).value(item);
        return level ? text(*level, value) : DISP_E_MEMBERNOTFOUND;
      }
      // A combination box's value is its text.
      if (KindOf(hwnd_).items == Items::Combo) return text(WindowTextOf(hwnd_), value);
      return stdObject() ? stdObject()->get_accValue(child, value) : DISP_E_MEMBERNOTFOUND;
    }, [&] { return stdObject()->get_accValue(child, value); });
  }

  HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* description) override {
    if (!description) return E_POINTER;
    *description = nullptr;
    return answer(child, [&](long item) -> HRESULT {
      return !item && stdObject() ? stdObject()->get_accDescription(child, description) : S_FALSE;
    }, [&] { return stdObject()->get_accDescription(child, description); });
  }

  HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* role) override {
    if (!role) return E_POINTER;
    role->vt = VT_EMPTY;
    return answer(child, [&](long item) -> HRESULT {
      const Kind kind = KindOf(hwnd_);
      const long number = item ? itemList(kind.items).role() : kind.role;
      if (!number) return stdObject() ? stdObject()->get_accRole(child, role) : DISP_E_MEMBERNOTFOUND;
      role->vt = VT_I4;
      role->lVal = number;
      return S_OK;
    }, [&] { return stdObject()->get_accRole(child, role); });
  }

  HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* state) override {
    if (!state) return E_POINTER;
    state->vt = VT_EMPTY;
    return answer(child, [&](long item) -> HRESULT {
      long flags = 0;
      if (item) {
        flags = itemList(KindOf(hwnd_).items).state(item);
      } else {
        VARIANT standard{};
        if (stdObject() && SUCCEEDED(stdObject()->get_accState(child, &standard)) && standard.vt == VT_I4) {
          flags = standard.lVal;
        }
        flags |= checkedState();
      }
      // Windows on a page behind another, or disabled, with everything on them.
      if (!IsWindowVisible(hwnd_)) flags |= STATE_SYSTEM_INVISIBLE;
      if (!IsWindowEnabled(hwnd_)) flags |= STATE_SYSTEM_UNAVAILABLE;
      state->vt = VT_I4;
      state->lVal = flags;
      return S_OK;
    }, [&] { return stdObject()->get_accState(child, state); });
  }

  HRESULT STDMETHODCALLTYPE get_accHelp(VARIANT child, BSTR* help) override {
    if (!help) return E_POINTER;
    *help = nullptr;
    return answer(child, [&](long item) -> HRESULT {
      return !item && stdObject() ? stdObject()->get_accHelp(child, help) : S_FALSE;
    }, [&] { return stdObject()->get_accHelp(child, help); });
  }

  HRESULT STDMETHODCALLTYPE get_accHelpTopic(BSTR* file, VARIANT child, long* topic) override {
    if (!file || !topic) return E_POINTER;
    *file = nullptr;
    *topic = 0;
    return answer(child, [&](long item) -> HRESULT {
      return !item && stdObject() ? stdObject()->get_accHelpTopic(file, child, topic) : S_FALSE;
    }, [&] { return stdObject()->get_accHelpTopic(file, child, topic); });
  }

  HRESULT STDMETHODCALLTYPE get_accKeyboardShortcut(VARIANT child, BSTR* shortcut) override {
    if (!shortcut) return E_POINTER;
    *shortcut = nullptr;
    return answer(child, [&](long item) -> HRESULT {
      if (item) return text(itemList(KindOf(hwnd_).items).shortcut(item), shortcut);
      const Naming naming = KindOf(hwnd_).naming;
      if (naming == Naming::Caption || naming == Naming::Page) return text(ShortcutOf(NativeCaptionOf(hwnd_)), shortcut);
      return stdObject() ? stdObject()->get_accKeyboardShortcut(child, shortcut) : S_FALSE;
    }, [&] { return stdObject()->get_accKeyboardShortcut(child, shortcut); });
  }

  HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* focus) override {
    if (!focus) return E_POINTER;
    focus->vt = VT_EMPTY;
    return guarded([&]() -> HRESULT {
      const Kind kind = KindOf(hwnd_);
      if (kind.items == Items::None) return stdObject() ? stdObject()->get_accFocus(focus) : S_FALSE;
      if (GetFocus() != hwnd_) return S_FALSE;
      const ItemList items = itemList(kind.items);
      const long focused = items.focused();
      focus->vt = VT_I4;
      focus->lVal = focused ? items.idAt(focused) : CHILDID_SELF;
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* selection) override {
    if (!selection) return E_POINTER;
    selection->vt = VT_EMPTY;
    return stdObject() ? stdObject()->get_accSelection(selection) : S_FALSE;
  }

  HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT child, BSTR* action) override {
    if (!action) return E_POINTER;
    *action = nullptr;
    return answer(child, [&](long item) -> HRESULT {
      return !item && stdObject() ? stdObject()->get_accDefaultAction(child, action) : DISP_E_MEMBERNOTFOUND;
    }, [&] { return stdObject()->get_accDefaultAction(child, action); });
  }

  HRESULT STDMETHODCALLTYPE accSelect(long flags, VARIANT child) override {
    return answer(child, [&](long item) -> HRESULT {
      return !item && stdObject() ? stdObject()->accSelect(flags, child) : DISP_E_MEMBERNOTFOUND;
    }, [&] { return stdObject()->accSelect(flags, child); });
  }

  HRESULT STDMETHODCALLTYPE accLocation(long* left, long* top, long* width, long* height, VARIANT child) override {
    if (!left || !top || !width || !height) return E_POINTER;
    *left = *top = *width = *height = 0;
    return answer(child, [&](long item) -> HRESULT {
      if (!item) return stdObject() ? stdObject()->accLocation(left, top, width, height, child) : DISP_E_MEMBERNOTFOUND;
      RECT r{};
      if (!itemList(KindOf(hwnd_).items).location(item, r)) return S_FALSE;
      *left = r.left;
      *top = r.top;
      *width = r.right - r.left;
      *height = r.bottom - r.top;
      return S_OK;
    }, [&] { return stdObject()->accLocation(left, top, width, height, child); });
  }

  HRESULT STDMETHODCALLTYPE accNavigate(long direction, VARIANT start, VARIANT* end) override {
    if (!end) return E_POINTER;
    end->vt = VT_EMPTY;
    return answer(start, [&](long item) -> HRESULT {
      const ItemList items = itemList(KindOf(hwnd_).items);
      const long count = items.count();
      long to = 0;
      if (!item) {
        // Into the items; the window itself moves among its siblings as the system says.
        if (count && direction == NAVDIR_FIRSTCHILD) to = 1;
        else if (count && direction == NAVDIR_LASTCHILD) to = count;
        else return stdObject() ? stdObject()->accNavigate(direction, start, end) : S_FALSE;
      } else if (direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) {
        to = item < count ? item + 1 : 0;
      } else if (direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) {
        to = item - 1;
      }
      if (!to) return S_FALSE;
      end->vt = VT_I4;
      end->lVal = items.idAt(to);
      return S_OK;
    }, [&] { return stdObject()->accNavigate(direction, start, end); });
  }

  HRESULT STDMETHODCALLTYPE accHitTest(long x, long y, VARIANT* hit) override {
    if (!hit) return E_POINTER;
    hit->vt = VT_EMPTY;
    return guarded([&]() -> HRESULT {
      if (!stdObject()) return S_FALSE;
      const HRESULT hr = stdObject()->accHitTest(x, y, hit);
      // Over the window itself: which of its items.
      if (hr != S_OK || hit->vt != VT_I4 || hit->lVal != CHILDID_SELF) return hr;
      const ItemList items = itemList(KindOf(hwnd_).items);
      const POINT at{x, y};
      for (long item = 1, count = items.count(); item <= count; ++item) {
        RECT r{};
        if (items.location(item, r) && PtInRect(&r, at)) {
          hit->lVal = items.idAt(item);
          break;
        }
      }
      return S_OK;
    });
  }

  HRESULT STDMETHODCALLTYPE accDoDefaultAction(VARIANT child) override {
    return answer(child, [&](long item) -> HRESULT {
      return !item && stdObject() ? stdObject()->accDoDefaultAction(child) : DISP_E_MEMBERNOTFOUND;
    }, [&] { return stdObject()->accDoDefaultAction(child); });
  }

  // Setting names and values this way is retired.
  HRESULT STDMETHODCALLTYPE put_accName(VARIANT, BSTR) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE put_accValue(VARIANT, BSTR) override { return E_NOTIMPL; }

 private:
  ~AccessibleWindow() {
    if (standard_) standard_->Release();
  }

  enum class Whose : uint8_t { Self, Item, Standard, Invalid };

  // Whom a child id concerns: the window itself, one of its items (`item`,
  // its number from 1), an element of the system's object, or nothing.
  Whose whose(const VARIANT& child, long& item) const {
    item = 0;
    if (child.vt != VT_I4) return Whose::Invalid;
    if (child.lVal == CHILDID_SELF) return Whose::Self;
    const Items items = KindOf(hwnd_).items;
    if (items == Items::None) return stdObject() ? Whose::Standard : Whose::Invalid;
    item = itemList(items).numberOf(child.lVal);
    return item ? Whose::Item : Whose::Invalid;
  }

  // The system's standard object for the window, made at the first question
  // that needs it: a question the system asks without a reader ends before.
  // Null where it cannot be made.
  IAccessible* stdObject() const {
    if (!standardAsked_ && IsWindow(hwnd_)) {
      standardAsked_ = true;
      if (FAILED(api_.createStdAccessibleObject(hwnd_, OBJID_CLIENT, dyn::kIidAccessible,
                                                 reinterpret_cast<void**>(&standard_)))) {
        standard_ = nullptr;
      }
    }
    return standard_;
  }

  ItemList itemList(Items kind) const { return ItemList(hwnd_, kind, order_); }

  // Runs `f` while the window exists; exceptions never cross into the client.
  template <class F>
  HRESULT guarded(F f) const noexcept {
    try {
      return IsWindow(hwnd_) ? f() : E_FAIL;
    } catch (...) {
      return E_FAIL;
    }
  }

  // Runs `own` for the window itself (0) or one of its items, `standard` for
  // the system object's elements.
  template <class Own, class Standard>
  HRESULT answer(const VARIANT& child, Own own, Standard standard) const noexcept {
    return guarded([&]() -> HRESULT {
      long item = 0;
      switch (whose(child, item)) {
        case Whose::Self:
        case Whose::Item: return own(item);
        case Whose::Standard: return standard();
        case Whose::Invalid: break;
      }
      return E_INVALIDARG;
    });
  }

  HRESULT text(const std::wstring& value, BSTR* out) const {
    if (value.empty()) return S_FALSE;
    *out = api_.sysAllocStringLen(value.data(), static_cast<UINT>(value.size()));
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  // Check boxes and radio buttons tell whether they are marked.
  long checkedState() const {
    const long role = KindOf(hwnd_).role;
    if (role != ROLE_SYSTEM_CHECKBUTTON && role != ROLE_SYSTEM_RADIOBUTTON) return 0;
    switch (SendMessageW(hwnd_, BM_GETCHECK, 0, 0)) {
      case BST_CHECKED: return STATE_SYSTEM_CHECKED;
      case BST_INDETERMINATE: return STATE_SYSTEM_MIXED;
      default: return 0;
    }
  }

  LONG refs_ = 1;
  ULONG cursor_ = 0;  // of the enumeration
  HWND hwnd_;
  HWND self_;  // the runtime window whose name it bears: itself, or the one it is part of
  mutable IAccessible* standard_ = nullptr;
  mutable bool standardAsked_ = false;
  const dyn::AccessibilityApi& api_;
  const bool hasItems_;  // fixed: the interfaces answered stay answered (COM's rule)
  mutable TreeOrder order_;
};


// The standard controls: the system supports each itself, readers included.
bool IsStandard(HWND hwnd) {
  for (const wchar_t* name : {L"Edit", L"Button", L"ListBox", L"ComboLBox", L"ComboBox", L"ScrollBar", WC_TREEVIEWW,
                              WC_TABCONTROLW, UPDOWN_CLASSW}) {
    if (ClassIs(hwnd, name)) return true;
  }
  return false;
}

// Naming standard controls by annotation: decided at the first question to
// one of them, by what the system's annotation service answers then (Wine's
// has nothing behind it), and kept for the program's run. All on the thread
// of the runtime's windows.
struct Annotation {
  enum class Way : uint8_t { Undecided, Annotate, OwnObject };
  Way way = Way::Undecided;
  IAccPropServices* service = nullptr;  // while annotating
  IAccPropServices* standIn = nullptr;  // a test's, in place of the system's
};

Annotation& Annotations() {
  static Annotation a;
  return a;
}

IAccPropServices* SystemAnnotationService() {
  const dyn::OleApi* ole = dyn::UseOle();
  IAccPropServices* service = nullptr;
  if (!ole || FAILED(ole->coCreateInstance(kClsidAccPropServices, nullptr, CLSCTX_INPROC_SERVER, kIidAccPropServices,
                                           reinterpret_cast<void**>(&service)))) {
    return nullptr;
  }
  return service;
}

// Sets or clears one property of the control or one of its items.
HRESULT Annotate(IAccPropServices& service, HWND hwnd, long child, const GUID& property, const std::wstring& value) {
  if (value.empty()) return service.ClearHwndProps(hwnd, static_cast<DWORD>(OBJID_CLIENT), static_cast<DWORD>(child), &property, 1);
  return service.SetHwndPropStr(hwnd, static_cast<DWORD>(OBJID_CLIENT), static_cast<DWORD>(child), property, value.c_str());
}

// What the control's own support does not know: its name by the runtime's
// rules, the mnemonic of a caption, and the names and mnemonics of tabs
// (their "&" read as it is written otherwise). Set again at each question:
// labels and tabs change.
HRESULT AnnotateControl(IAccPropServices& service, HWND hwnd, HWND self) {
  HRESULT hr = Annotate(service, hwnd, CHILDID_SELF, kPropName, NameOf(hwnd, self).value_or(L""));
  if (FAILED(hr)) return hr;
  const Kind kind = KindOf(hwnd);
  if (kind.naming == Naming::Caption) {
    hr = Annotate(service, hwnd, CHILDID_SELF, kPropShortcut, ShortcutOf(NativeCaptionOf(hwnd)));
  }
  if (kind.items == Items::Tabs) {
    TreeOrder none;
    const ItemList tabs(hwnd, Items::Tabs, none);
    for (long tab = 1, count = tabs.count(); tab <= count && SUCCEEDED(hr); ++tab) {
      hr = Annotate(service, hwnd, tab, kPropName, tabs.name(tab));
      if (SUCCEEDED(hr)) hr = Annotate(service, hwnd, tab, kPropShortcut, tabs.shortcut(tab));
    }
  }
  return hr;
}

// True when the standard control `hwnd` is named by annotation, its own
// support left to answer; false when it is to answer with an object of ours.
bool NamedByAnnotation(HWND hwnd, HWND self) {
  Annotation& a = Annotations();
  const bool deciding = a.way == Annotation::Way::Undecided;
  if (deciding) {
    if (a.standIn) a.standIn->AddRef();
    a.service = a.standIn ? a.standIn : SystemAnnotationService();
    a.way = a.service ? Annotation::Way::Annotate : Annotation::Way::OwnObject;
  }
  if (a.way != Annotation::Way::Annotate) return false;
  if (SUCCEEDED(AnnotateControl(*a.service, hwnd, self))) return true;
  if (deciding) {
    a.service->Release();
    a.service = nullptr;
    a.way = Annotation::Way::OwnObject;
  }
  return false;
}

}  // namespace

void UseAnnotationService(IAccPropServices* service) {
  Annotation& a = Annotations();
  if (a.service) a.service->Release();
  if (a.standIn) a.standIn->Release();
  if (service) service->AddRef();
  a = Annotation{};
  a.standIn = service;
}

bool AnswerGetObject(HWND hwnd, WPARAM wparam, LPARAM lparam, LRESULT& result, HWND partOf) {
  // Only the client object is ours. The other questions (UI Automation's
  // root object, the class index, a program's own ids) are asked by the
  // system with no reader at all: they load nothing.
  if (static_cast<LONG>(lparam) != OBJID_CLIENT) return false;
  const HWND self = partOf ? partOf : hwnd;
  if (IsStandard(hwnd) && NamedByAnnotation(hwnd, self)) return false;
  const dyn::AccessibilityApi* api = dyn::UseAccessibility();
  if (!api) return false;
  auto* object = new AccessibleWindow(hwnd, self, *api);
  const LRESULT answer = api->lresultFromObject(dyn::kIidAccessible, wparam, static_cast<IAccessible*>(object));
  object->Release();
  // Without an answer the system's own object stands in.
  if (FAILED(static_cast<HRESULT>(answer))) return false;
  result = answer;
  return true;
}

std::string XbpWindow::accessibleName(const std::string& name) {
  std::string previous = std::exchange(accessibleName_, name);
  if (!handle_ || previous == name) return previous;
  const HWND hwnd = Hwnd(handle_);
  // An annotated control is annotated again; nothing is loaded for it
  // before a reader has asked.
  if (Annotation& a = Annotations(); a.way == Annotation::Way::Annotate) {
    auto again = [&a, hwnd](HWND part) {
      if (part && IsStandard(part)) AnnotateControl(*a.service, part, hwnd);
    };
    again(hwnd);
    if (COMBOBOXINFO info{}; (info.cbSize = sizeof info) && ClassIs(hwnd, L"ComboBox") && GetComboBoxInfo(hwnd, &info)) {
      again(info.hwndItem);
      again(info.hwndList);
    }
  }
  // Screen readers read the name again.
  NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, hwnd, OBJID_CLIENT, CHILDID_SELF);
  return previous;
}

}  // namespace rt
