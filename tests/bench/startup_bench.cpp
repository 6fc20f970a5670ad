// Start-up time, from CreateProcess until
//  - visible: the process has its first visible top-level window;
//  - ready: it has also done the work it started for itself: it has waited
//    for input with nothing queued once (WaitForInputIdle), and then answered
//    a message sent to that window. Work a program defers to its first idle
//    moment runs before it takes the next message, so the answer comes after
//    it.
// Programs are started in turn (interleaved), so that drift of the machine's
// load hits all of them alike.
//
//   startup_bench [-n RUNS] EXE...
//
// Prints min and median per program and, for each pair of programs, the
// median and interquartile range of the ratios of their times in the same
// round: single starts scatter by a third, a round's pair much less.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "ticks.h"

namespace {

struct Search {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK findVisible(HWND h, LPARAM lp) {
    auto* s = reinterpret_cast<Search*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (pid == s->pid && IsWindowVisible(h)) {
        s->found = h;
        return FALSE;
    }
    return TRUE;
}

struct Times {
    double visible = -1;  // seconds; negative on failure
    double ready = -1;
};

Times measureOnce(const std::wstring& exe) {
    std::wstring cmd = L"\"" + exe + L"\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    LONGLONG start = nowTicks();
    if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
        std::fwprintf(stderr, L"cannot start %ls (error %lu)\n", exe.c_str(), GetLastError());
        return {};
    }
    Search s{pi.dwProcessId, nullptr};
    Times t;
    while (seconds(nowTicks() - start) < 30) {
        EnumWindows(findVisible, reinterpret_cast<LPARAM>(&s));
        if (s.found) {
            t.visible = seconds(nowTicks() - start);
            break;
        }
        if (WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0) break;  // ended without a window
        Sleep(1);
    }
    DWORD_PTR answer = 0;
    if (s.found && WaitForInputIdle(pi.hProcess, 10000) == 0 &&
        SendMessageTimeoutW(s.found, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &answer)) {
        t.ready = seconds(nowTicks() - start);
    }
    if (s.found) PostMessageW(s.found, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 5000) != WAIT_OBJECT_0) {
        std::fwprintf(stderr, L"%ls did not end after WM_CLOSE; terminated\n", exe.c_str());
        TerminateProcess(pi.hProcess, 1);
        WaitForSingleObject(pi.hProcess, 5000);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    if (t.visible < 0) std::fwprintf(stderr, L"%ls showed no window\n", exe.c_str());
    else if (t.ready < 0) std::fwprintf(stderr, L"%ls did not become idle and answer\n", exe.c_str());
    return t;
}

// The q-quantile by linear interpolation between the closest ranks.
double quantile(std::vector<double> v, double q) {
    std::sort(v.begin(), v.end());
    const double at = q * static_cast<double>(v.size() - 1);
    const size_t lo = static_cast<size_t>(at);
    const size_t hi = std::min(lo + 1, v.size() - 1);
    return v[lo] + (v[hi] - v[lo]) * (at - static_cast<double>(lo));
}

double median(const std::vector<double>& v) { return quantile(v, 0.5); }

const wchar_t* baseName(const std::wstring& path) {
    const wchar_t* name = std::wcsrchr(path.c_str(), L'\\');
    if (!name) name = std::wcsrchr(path.c_str(), L'/');
    return name ? name + 1 : path.c_str();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    int runs = 15;
    std::vector<std::wstring> exes;
    for (int i = 1; i < argc; ++i) {
        if (std::wcscmp(argv[i], L"-n") == 0 && i + 1 < argc) runs = std::max(1, _wtoi(argv[++i]));
        else exes.emplace_back(argv[i]);
    }
    if (exes.empty()) {
        std::fwprintf(stderr, L"usage: startup_bench [-n RUNS] EXE...\n");
        return 2;
    }

    // One unmeasured start each: the first start after boot also loads DLLs
    // into the file cache and starts Wine's helper processes.
    for (const auto& exe : exes) measureOnce(exe);

    std::vector<std::vector<double>> visible(exes.size()), ready(exes.size());
    for (int r = 0; r < runs; ++r)
        for (size_t i = 0; i < exes.size(); ++i) {
            const Times t = measureOnce(exes[i]);
            if (t.ready < 0) return 1;
            visible[i].push_back(t.visible);
            ready[i].push_back(t.ready);
            Sleep(100);  // let the ended process's windows go before the next start
        }

    const struct {
        const wchar_t* name;
        const std::vector<std::vector<double>>& times;
    } measures[] = {{L"visible", visible}, {L"ready", ready}};
    for (const auto& m : measures) {
        for (size_t i = 0; i < exes.size(); ++i) {
            double lo = *std::min_element(m.times[i].begin(), m.times[i].end());
            std::wprintf(L"%-8ls %-22ls runs %3d  min %8.1f ms  median %8.1f ms\n", m.name, baseName(exes[i]), runs,
                         lo * 1000, median(m.times[i]) * 1000);
        }
    }
    for (const auto& m : measures)
        for (size_t i = 0; i < exes.size(); ++i)
            for (size_t j = i + 1; j < exes.size(); ++j) {
                std::vector<double> ratios;
                for (int r = 0; r < runs; ++r) ratios.push_back(m.times[i][r] / m.times[j][r]);
                std::wprintf(L"%-8ls %d/%d  %ls / %ls, paired by round: median %.3f, interquartile %.3f .. %.3f\n",
                             m.name, static_cast<int>(i + 1), static_cast<int>(j + 1), baseName(exes[i]),
                             baseName(exes[j]), median(ratios), quantile(ratios, 0.25), quantile(ratios, 0.75));
            }
    std::fflush(stdout);
    return 0;
}
