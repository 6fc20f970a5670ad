// Cost of switching the showcase's tab pages, as a user meets it: from the
// key that selects a page until the window is repainted (the key sent to the
// tab control, then every window painted with RDW_UPDATENOW, then a message
// answered).
//
//   page_bench [-n ROUNDS] STEUERELEMENTE_EXE
//
// Each round walks right over all pages and back; prints the median and
// minimum per page it arrives at.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "ticks.h"

namespace {

struct Found {
    DWORD pid;
    HWND frame = nullptr, tabs = nullptr;
};

BOOL CALLBACK FindTabs(HWND h, LPARAM lp) {
    auto* f = reinterpret_cast<Found*>(lp);
    wchar_t cls[64] = {};
    GetClassNameW(h, cls, 64);
    if (std::wcscmp(cls, L"SysTabControl32") == 0) f->tabs = h;
    return f->tabs == nullptr;
}

BOOL CALLBACK FindFrame(HWND h, LPARAM lp) {
    auto* f = reinterpret_cast<Found*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == f->pid && IsWindowVisible(h)) {
        EnumChildWindows(h, FindTabs, lp);
        if (f->tabs) f->frame = h;
    }
    return f->frame == nullptr;
}

int Selected(HWND tabs) { return static_cast<int>(SendMessageW(tabs, TCM_GETCURSEL, 0, 0)); }

bool Answered(HWND h) {
    DWORD_PTR r;
    return SendMessageTimeoutW(h, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &r) != 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int rounds = 20;
    int a = 1;
    if (argc > 2 && std::wcscmp(argv[1], L"-n") == 0) {
        rounds = _wtoi(argv[2]);
        a = 3;
    }
    if (a >= argc) {
        std::fprintf(stderr, "usage: page_bench [-n ROUNDS] STEUERELEMENTE_EXE\n");
        return 2;
    }
    std::wstring cmd = L"\"" + std::wstring(argv[a]) + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    if (!CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fprintf(stderr, "cannot start the program (%lu)\n", GetLastError());
        return 1;
    }
    WaitForInputIdle(pi.hProcess, 20000);
    Found f{pi.dwProcessId};
    for (int i = 0; i < 2000 && !f.frame; ++i) {
        EnumWindows(FindFrame, reinterpret_cast<LPARAM>(&f));
        if (!f.frame) Sleep(5);
    }
    if (!f.frame || !Answered(f.frame)) {
        std::fprintf(stderr, "no visible window with a tab control within 10 s\n");
        TerminateProcess(pi.hProcess, 1);
        return 1;
    }
    const int pages = static_cast<int>(SendMessageW(f.tabs, TCM_GETITEMCOUNT, 0, 0));
    std::vector<std::vector<double>> times(static_cast<size_t>(pages));
    int current = Selected(f.tabs);
    for (int r = 0; r < rounds; ++r) {
        for (int step = 0; step < 2 * (pages - 1); ++step) {
            const bool right = step < pages - 1;
            const WPARAM key = right ? VK_RIGHT : VK_LEFT;
            const LONGLONG t0 = nowTicks();
            SendMessageW(f.tabs, WM_KEYDOWN, key, 1);
            SendMessageW(f.tabs, WM_KEYUP, key, 0xC0000001);
            RedrawWindow(f.frame, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
            Answered(f.frame);
            const LONGLONG t1 = nowTicks();
            const int now = Selected(f.tabs);
            if (now == current) {
                std::fprintf(stderr, "the key did not change the page (still %d)\n", now);
                TerminateProcess(pi.hProcess, 1);
                return 1;
            }
            current = now;
            times[static_cast<size_t>(now)].push_back(1000 * seconds(t1 - t0));
        }
    }
    for (int p = 0; p < pages; ++p) {
        auto& t = times[static_cast<size_t>(p)];
        if (t.empty()) continue;
        std::sort(t.begin(), t.end());
        std::printf("page %d: median %.1f ms, min %.1f ms (%zu switches)\n", p, t[t.size() / 2], t.front(), t.size());
    }
    PostMessageW(f.frame, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 0);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return 0;
}
