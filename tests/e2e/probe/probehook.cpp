// Loaded into the observed program by winprobe's message hook, to ask a window
// from inside its own process what Wine does not pass between processes:
// its icons (WM_GETICON, class icons) and its font (WM_GETFONT; a font handle
// means nothing in another process). Answers are posted to the window handle
// in the query's wParam:
//   winprobe.icon: WM_APP (big, small), WM_APP + 1 (class big, class small)
//   winprobe.font: WM_APP + 2 (global atom of the face name, MAKELPARAM(points
//                  or 0 without a font, weight))
//   winprobe.fit:  WM_APP + 3 (MAKEWPARAM(texts that fit, texts), global atom
//                  of the first that does not, "text: needs WxH, has WxH")
//   winprobe.iconsize: WM_APP + 4 (MAKEWPARAM(big width, height),
//                  MAKELPARAM(small width, height) of the icons the frame
//                  shows, its own or its class's; 0 without)
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>

namespace {

// Whether each text of a control fits the room the control gives it, as the
// control draws it: in its font, measured here, in the control's process.
// Margins are those of the standard controls, scaled with the window's dpi.
class FitCheck {
public:
    explicit FitCheck(HWND h) : h_(h), dc_(GetDC(h)) {
        font_ = reinterpret_cast<HFONT>(SendMessageW(h, WM_GETFONT, 0, 0));
        old_ = SelectObject(dc_, font_ ? font_ : GetStockObject(SYSTEM_FONT));
        GetTextMetricsW(dc_, &tm_);
        GetClientRect(h, &client_);
        using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
        auto forWindow = reinterpret_cast<GetDpiForWindowFn>(
            reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), "GetDpiForWindow")));
        dpi_ = forWindow ? static_cast<int>(forWindow(h)) : GetDeviceCaps(dc_, LOGPIXELSX);
    }
    ~FitCheck() {
        SelectObject(dc_, old_);
        ReleaseDC(h_, dc_);
    }

    void run() {
        wchar_t name[64] = {};
        GetClassNameW(h_, name, 64);
        const std::wstring cls = name;
        const LONG style = GetWindowLongW(h_, GWL_STYLE);
        const int w = client_.right, hgt = client_.bottom;
        if (cls == L"Button") {
            const LONG type = style & BS_TYPEMASK;
            const std::wstring text = windowText();
            if (text.empty()) return;
            const SIZE need = measure(text, DT_SINGLELINE);
            if (type == BS_GROUPBOX) check(text, need, w - px(16), hgt);
            else if (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_3STATE ||
                     type == BS_AUTO3STATE || type == BS_AUTORADIOBUTTON)
                check(text, need, w - px(13 + 4), hgt);
            else check(text, need, w - px(4), hgt - px(4));
        } else if (cls == L"XbpStatic") {
            const std::wstring text = windowText();
            if (!text.empty()) check(text, measure(text, DT_SINGLELINE | DT_NOPREFIX), w, hgt);
        } else if (_wcsicmp(name, L"Static") == 0) {
            const std::wstring text = windowText();
            const LONG kind = style & SS_TYPEMASK;
            if (text.empty() || kind == SS_ICON || kind == SS_BITMAP) return;
            const UINT prefix = style & SS_NOPREFIX ? DT_NOPREFIX : 0;
            check(text, measure(text, DT_WORDBREAK | DT_EXPANDTABS | prefix, w), w, hgt);
        } else if (cls == L"Edit") {
            const std::wstring text = windowText();
            SIZE need = measure(text, DT_SINGLELINE | DT_NOPREFIX);
            if (style & ES_MULTILINE) need.cx = 0;  // it wraps
            need.cy = tm_.tmHeight;
            check(text, need, w - px(2), hgt);
        } else if (cls == L"ListBox") {
            const int items = static_cast<int>(SendMessageW(h_, LB_GETCOUNT, 0, 0));
            const int row = static_cast<int>(SendMessageW(h_, LB_GETITEMHEIGHT, 0, 0));
            for (int i = 0; i < items && i < 1000; ++i) {
                std::wstring text(static_cast<size_t>(SendMessageW(h_, LB_GETTEXTLEN, i, 0)) + 1, L'\0');
                const LRESULT length = SendMessageW(h_, LB_GETTEXT, i, reinterpret_cast<LPARAM>(text.data()));
                text.resize(static_cast<size_t>(std::max<LRESULT>(length, 0)));
                SIZE need = measure(text, DT_SINGLELINE | DT_NOPREFIX);
                need.cy = tm_.tmHeight;
                check(text, need, w, row);
            }
        } else if (cls == WC_TABCONTROLW) {
            const int tabs = static_cast<int>(SendMessageW(h_, TCM_GETITEMCOUNT, 0, 0));
            for (int i = 0; i < tabs && i < 100; ++i) {
                wchar_t buffer[256] = {};
                TCITEMW item{};
                item.mask = TCIF_TEXT;
                item.pszText = buffer;
                item.cchTextMax = 256;
                RECT r{};
                if (!SendMessageW(h_, TCM_GETITEMW, i, reinterpret_cast<LPARAM>(&item)) ||
                    !SendMessageW(h_, TCM_GETITEMRECT, i, reinterpret_cast<LPARAM>(&r)))
                    continue;
                check(buffer, measure(buffer, DT_SINGLELINE), r.right - r.left - px(4), r.bottom - r.top);
            }
        } else if (cls == WC_TREEVIEWW) {
            for (auto item = reinterpret_cast<HTREEITEM>(SendMessageW(h_, TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
                 item; item = reinterpret_cast<HTREEITEM>(SendMessageW(h_, TVM_GETNEXTITEM, TVGN_NEXTVISIBLE,
                                                                      reinterpret_cast<LPARAM>(item)))) {
                wchar_t buffer[256] = {};
                TVITEMW tv{};
                tv.mask = TVIF_TEXT;
                tv.hItem = item;
                tv.pszText = buffer;
                tv.cchTextMax = 256;
                SendMessageW(h_, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv));
                RECT r{};
                *reinterpret_cast<HTREEITEM*>(&r) = item;
                if (!SendMessageW(h_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r))) continue;
                // Within the view, and the item as high as a line of its text.
                SIZE need = measure(buffer, DT_SINGLELINE | DT_NOPREFIX);
                need.cy = tm_.tmHeight;
                check(buffer, need, std::min<int>(r.right - r.left, w - r.left), r.bottom - r.top);
            }
        } else if (cls == L"XbpCrt") {
            // The cells are its font's: the client area is a whole grid of them.
            SIZE m{};
            GetTextExtentPoint32W(dc_, L"M", 1, &m);
            ++total;
            if (m.cx > 0 && w > 0 && hgt > 0 && w % m.cx == 0 && hgt % tm_.tmHeight == 0) ++fitting;
            else note(L"cells", {m.cx, tm_.tmHeight}, w, hgt);
        }
    }

    int fitting = 0, total = 0;
    std::wstring misfit;

private:
    int px(int v) const { return MulDiv(v, dpi_, 96); }
    std::wstring windowText() const {
        wchar_t buffer[1024] = {};
        GetWindowTextW(h_, buffer, 1024);
        return buffer;
    }
    SIZE measure(const std::wstring& text, UINT format, int width = 0) {
        RECT r{0, 0, width, 0};
        DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &r, format | DT_CALCRECT);
        if (text.empty()) r.bottom = 0;
        return {r.right, r.bottom};
    }
    void check(const std::wstring& text, SIZE need, int width, int height) {
        ++total;
        if (need.cx <= width && need.cy <= height) ++fitting;
        else note(text, need, width, height);
    }
    void note(const std::wstring& text, SIZE need, int width, int height) {
        if (!misfit.empty()) return;
        misfit = text.substr(0, 120) + L": needs " + std::to_wstring(need.cx) + L"x" + std::to_wstring(need.cy) +
                 L", has " + std::to_wstring(width) + L"x" + std::to_wstring(height);
    }

    HWND h_;
    HDC dc_;
    HFONT font_;
    HGDIOBJ old_;
    TEXTMETRICW tm_{};
    RECT client_{};
    int dpi_ = 96;
};

SIZE IconSize(HICON icon) {
    ICONINFO info{};
    if (!icon || !GetIconInfo(icon, &info)) return {};
    BITMAP bm{};
    GetObjectW(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bm, &bm);
    const SIZE size{bm.bmWidth, info.hbmColor ? bm.bmHeight : bm.bmHeight / 2};
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return size;
}

// The icon the frame shows: the window's own, else its class's.
HICON ShownIcon(HWND h, WPARAM which, int classIndex) {
    if (auto own = reinterpret_cast<HICON>(SendMessageW(h, WM_GETICON, which, 0))) return own;
    return reinterpret_cast<HICON>(GetClassLongPtrW(h, classIndex));
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK winprobeGetMessage(int code, WPARAM wp, LPARAM lp) {
    static const UINT iconQuery = RegisterWindowMessageW(L"winprobe.icon");
    static const UINT fontQuery = RegisterWindowMessageW(L"winprobe.font");
    static const UINT fitQuery = RegisterWindowMessageW(L"winprobe.fit");
    static const UINT iconSizeQuery = RegisterWindowMessageW(L"winprobe.iconsize");
    if (code == HC_ACTION && wp == PM_REMOVE) {
        auto* m = reinterpret_cast<MSG*>(lp);
        auto reply = reinterpret_cast<HWND>(m->wParam);
        if (m->message == iconQuery && m->hwnd) {
            LRESULT big = SendMessageW(m->hwnd, WM_GETICON, ICON_BIG, 0);
            LRESULT small = SendMessageW(m->hwnd, WM_GETICON, ICON_SMALL, 0);
            PostMessageW(reply, WM_APP, static_cast<WPARAM>(big), small);
            // Class icons too: Wine does not read them for other processes either.
            PostMessageW(reply, WM_APP + 1, GetClassLongPtrW(m->hwnd, GCLP_HICON),
                         static_cast<LPARAM>(GetClassLongPtrW(m->hwnd, GCLP_HICONSM)));
            // The program's own loop then sees a message that means nothing.
            m->message = WM_NULL;
        } else if (m->message == fontQuery && m->hwnd) {
            auto font = reinterpret_cast<HFONT>(SendMessageW(m->hwnd, WM_GETFONT, 0, 0));
            LOGFONTW lf{};
            ATOM face = 0;
            int points = 0;
            if (font && GetObjectW(font, sizeof lf, &lf)) {
                face = GlobalAddAtomW(lf.lfFaceName);
                // A negative height is the character height: points at the screen's resolution.
                HDC screen = GetDC(nullptr);
                points = MulDiv(lf.lfHeight < 0 ? -lf.lfHeight : lf.lfHeight, 72, GetDeviceCaps(screen, LOGPIXELSY));
                ReleaseDC(nullptr, screen);
            }
            PostMessageW(reply, WM_APP + 2, face, MAKELPARAM(points, lf.lfWeight));
            m->message = WM_NULL;
        } else if (m->message == fitQuery && m->hwnd) {
            FitCheck fit(m->hwnd);
            fit.run();
            const ATOM misfit = fit.misfit.empty() ? 0 : GlobalAddAtomW(fit.misfit.substr(0, 250).c_str());
            PostMessageW(reply, WM_APP + 3, MAKEWPARAM(fit.fitting, fit.total), misfit);
            m->message = WM_NULL;
        } else if (m->message == iconSizeQuery && m->hwnd) {
            const SIZE big = IconSize(ShownIcon(m->hwnd, ICON_BIG, GCLP_HICON));
            const SIZE small = IconSize(ShownIcon(m->hwnd, ICON_SMALL, GCLP_HICONSM));
            PostMessageW(reply, WM_APP + 4, MAKEWPARAM(big.cx, big.cy), MAKELPARAM(small.cx, small.cy));
            m->message = WM_NULL;
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
