// Loaded into the observed program by winprobe's message hook, to ask a window
// from inside its own process what Wine does not pass between processes:
// its icons (WM_GETICON, class icons) and its font (WM_GETFONT; a font handle
// means nothing in another process). Answers are posted to the window handle
// in the query's wParam:
//   winprobe.icon: WM_APP (big, small), WM_APP + 1 (class big, class small)
//   winprobe.font: WM_APP + 2 (global atom of the face name, MAKELPARAM(points
//                  or 0 without a font, weight))
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK winprobeGetMessage(int code, WPARAM wp, LPARAM lp) {
    static const UINT iconQuery = RegisterWindowMessageW(L"winprobe.icon");
    static const UINT fontQuery = RegisterWindowMessageW(L"winprobe.font");
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
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
