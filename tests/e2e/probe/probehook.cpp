// Loaded into the observed program by winprobe's message hook, to ask a window
// for its icons from inside its own process: Wine does not pass WM_GETICON
// between processes. Answers with WM_APP (big, small) and WM_APP + 1 (class
// big, class small) posted to the window handle in the query's wParam.
#include <windows.h>

extern "C" __declspec(dllexport) LRESULT CALLBACK winprobeGetMessage(int code, WPARAM wp, LPARAM lp) {
    static const UINT query = RegisterWindowMessageW(L"winprobe.icon");
    if (code == HC_ACTION && wp == PM_REMOVE) {
        auto* m = reinterpret_cast<MSG*>(lp);
        if (m->message == query && m->hwnd) {
            LRESULT big = SendMessageW(m->hwnd, WM_GETICON, ICON_BIG, 0);
            LRESULT small = SendMessageW(m->hwnd, WM_GETICON, ICON_SMALL, 0);
            auto reply = reinterpret_cast<HWND>(m->wParam);
            PostMessageW(reply, WM_APP, static_cast<WPARAM>(big), small);
            // Class icons too: Wine does not read them for other processes either.
            PostMessageW(reply, WM_APP + 1, GetClassLongPtrW(m->hwnd, GCLP_HICON),
                         static_cast<LPARAM>(GetClassLongPtrW(m->hwnd, GCLP_HICONSM)));
            // The program's own loop then sees a message that means nothing.
            m->message = WM_NULL;
        }
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}
