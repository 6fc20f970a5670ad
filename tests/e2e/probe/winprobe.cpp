// winprobe: reads back what windows show, through the Win32 API, for the
// host-side end-to-end driver. One command per stdin line, answers on stdout.
//
// Protocol (fields tab-separated, handles as 0x-prefixed hex):
//   single answers:  "ok<TAB>field..."  or  "err<TAB>message"
//   list answers:    zero or more data lines, then "end" (or one "err" line)
// Texts are UTF-8 with backslash, tab, CR and LF escaped as \\ \t \r \n.
//
//   ping                      ok
//   screen                    ok  width height
//   top [pid]                 per visible-or-not top-level window:
//                             hwnd pid class title visible l t r b style exstyle owner
//   tree HWND                 per descendant (depth first):
//                             hwnd parent class text style exstyle visible l t r b id
//   info HWND                 ok  same fields as a "tree" line
//   text HWND                 ok  text
//   exists HWND               ok  0|1
//   focus HWND                ok  hwndFocus hwndActive hwndCapture hwndCaret   (of HWND's GUI thread)
//   client HWND               ok  l t r b   the client area in screen coordinates
//   foreground                ok  hwnd pid class title                (the window keys go to)
//   icon HWND                 ok  big small classbig classsmall   (WM_GETICON, class icons)
//   font HWND                 ok  face points weight    (WM_GETFONT; points 0: no font)
//   pixel X Y                 ok  r g b
//   count L T R B RRGGBB [T]  ok  n x y     pixels of that colour (each channel within T,
//                                           default 0) in [L,R)x[T,B); first hit
//   closebox HWND             ok  x y       centre of the caption's close button
//   close HWND                ok            WM_CLOSE posted
//   click HWND                ok            BM_CLICK posted
//   move HWND X Y             ok            the window's top-left corner to X, Y (as a
//                                           window manager moves it; size and order kept)
//   send HWND MSG WP LP       ok  result    SendMessage of a message without pointers
//                                           (states of controls: BM_GETCHECK, LB_GETCURSEL, ...)
//   sendrect HWND MSG WP [V]  ok  result l t r b   SendMessage whose LPARAM points to a RECT,
//                                           placed in the window's process; V (optional)
//                                           fills its first 4 bytes beforehand (the item of
//                                           TVM_GETITEMRECT); the RECT as the window left it
//   access HWND               per element of HWND and of its descendants (depth first), read
//                             as a screen reader reads them (AccessibleObjectFromWindow,
//                             OBJID_CLIENT): hwnd child role state name; child 0 is the
//                             window itself, 1.. its items (list, tree and tab items);
//                             role 0 when the window answers no accessible object
//   module PID NAME           ok  0|1       whether process PID has loaded the library NAME
//   fit HWND                  ok  fitting total first  texts of the control that fit the room it
//                                           gives them, as it draws them; the first that does
//                                           not, with its size and its room ("" if all fit)
//   iconsize HWND             ok  bigW bigH smallW smallH   the icons its frame shows (0 without)
//   workarea                  ok  l t r b   the desktop's work area
//   quit                      ok, then exit
#include <windows.h>

#include <oleacc.h>
#include <tlhelp32.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <io.h>
#include <string>
#include <vector>

namespace {

std::string utf8(const wchar_t* w, int len = -1) {
    if (len == 0) return {};
    int n = WideCharToMultiByte(CP_UTF8, 0, w, len, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return {};
    std::string s(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w, len, s.data(), n, nullptr, nullptr);
    if (len < 0 && !s.empty() && s.back() == '\0') s.pop_back();
    return s;
}

std::string escape(const std::string& s) {
    std::string out;
    out.reserve(s.size());
    for (char c : s) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
    return out;
}

std::string hex(const void* p) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%lx", static_cast<unsigned long>(reinterpret_cast<uintptr_t>(p)));
    return buf;
}

std::string hex32(unsigned long v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "0x%lx", v);
    return buf;
}

HWND parseHwnd(const std::string& s) {
    return reinterpret_cast<HWND>(static_cast<uintptr_t>(std::strtoull(s.c_str(), nullptr, 0)));
}

std::string className(HWND h) {
    wchar_t buf[256];
    int n = GetClassNameW(h, buf, 256);
    return utf8(buf, n);
}

// Cross-process WM_GETTEXT with a time-out, so a hung target cannot hang the probe.
std::string windowText(HWND h) {
    DWORD_PTR len = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &len)) return {};
    std::vector<wchar_t> buf(len + 2, L'\0');
    DWORD_PTR got = 0;
    if (!SendMessageTimeoutW(h, WM_GETTEXT, buf.size(), reinterpret_cast<LPARAM>(buf.data()),
                             SMTO_ABORTIFHUNG, 2000, &got))
        return {};
    return utf8(buf.data(), static_cast<int>(got));
}

std::string rectFields(HWND h) {
    RECT r{};
    GetWindowRect(h, &r);
    char buf[96];
    std::snprintf(buf, sizeof buf, "%ld\t%ld\t%ld\t%ld", r.left, r.top, r.right, r.bottom);
    return buf;
}

std::string childLine(HWND h) {
    std::string line = hex(h);
    line += '\t' + hex(GetAncestor(h, GA_PARENT));
    line += '\t' + escape(className(h));
    line += '\t' + escape(windowText(h));
    line += '\t' + hex32(static_cast<unsigned long>(GetWindowLongW(h, GWL_STYLE)));
    line += '\t' + hex32(static_cast<unsigned long>(GetWindowLongW(h, GWL_EXSTYLE)));
    line += '\t' + std::string(IsWindowVisible(h) ? "1" : "0");
    line += '\t' + rectFields(h);
    line += '\t' + std::to_string(GetDlgCtrlID(h));
    return line;
}

void emit(const std::string& line) {
    std::fputs(line.c_str(), stdout);
    std::fputc('\n', stdout);
}

void done(const std::string& line) {
    emit(line);
    std::fflush(stdout);
}

struct TopQuery {
    DWORD pid;  // 0 = every process
    std::vector<HWND> found;
};

BOOL CALLBACK collectTop(HWND h, LPARAM lp) {
    auto* q = reinterpret_cast<TopQuery*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    if (q->pid == 0 || q->pid == pid) q->found.push_back(h);
    return TRUE;
}

BOOL CALLBACK collectChild(HWND h, LPARAM lp) {
    reinterpret_cast<std::vector<HWND>*>(lp)->push_back(h);
    return TRUE;
}

void cmdTop(const std::vector<std::string>& a) {
    TopQuery q{a.size() > 1 ? static_cast<DWORD>(std::strtoul(a[1].c_str(), nullptr, 0)) : 0, {}};
    EnumWindows(collectTop, reinterpret_cast<LPARAM>(&q));
    for (HWND h : q.found) {
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        wchar_t title[512];
        int n = GetWindowTextW(h, title, 512);
        std::string line = hex(h) + '\t' + std::to_string(pid) + '\t' + escape(className(h)) + '\t' +
                           escape(utf8(title, n)) + '\t' + (IsWindowVisible(h) ? "1" : "0") + '\t' +
                           rectFields(h) + '\t' +
                           hex32(static_cast<unsigned long>(GetWindowLongW(h, GWL_STYLE))) + '\t' +
                           hex32(static_cast<unsigned long>(GetWindowLongW(h, GWL_EXSTYLE))) + '\t' +
                           hex(GetWindow(h, GW_OWNER));
        emit(line);
    }
    done("end");
}

void cmdTree(HWND root) {
    std::vector<HWND> kids;
    EnumChildWindows(root, collectChild, reinterpret_cast<LPARAM>(&kids));
    for (HWND h : kids) emit(childLine(h));
    done("end");
}

void cmdClient(HWND h) {
    RECT r{};
    GetClientRect(h, &r);
    MapWindowPoints(h, HWND_DESKTOP, reinterpret_cast<POINT*>(&r), 2);
    done("ok\t" + std::to_string(r.left) + '\t' + std::to_string(r.top) + '\t' + std::to_string(r.right) + '\t' +
         std::to_string(r.bottom));
}

void cmdFocus(HWND h) {
    DWORD tid = GetWindowThreadProcessId(h, nullptr);
    GUITHREADINFO gi{};
    gi.cbSize = sizeof gi;
    if (!tid || !GetGUIThreadInfo(tid, &gi)) {
        done("err\tGetGUIThreadInfo failed");
        return;
    }
    done("ok\t" + hex(gi.hwndFocus) + '\t' + hex(gi.hwndActive) + '\t' + hex(gi.hwndCapture) + '\t' +
         hex(gi.hwndCaret));
}

// Icons and fonts are read inside the target process through a message hook
// in winprobe_hook.dll: Wine answers neither WM_GETICON nor the class icons of
// another process's window, and a font handle means nothing outside its
// process. Posts the query to `h` and collects `count` answers of WM_APP +
// `first` onwards, in order of their message numbers; false with the error
// line sent when that fails.
bool askInside(HWND h, const wchar_t* query, UINT first, int count, MSG* answers) {
    static HMODULE dll = [] {
        wchar_t path[MAX_PATH];
        DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
        while (n > 0 && path[n - 1] != L'\\' && path[n - 1] != L'/') --n;
        path[n] = L'\0';
        return LoadLibraryW((std::wstring(path) + L"winprobe_hook.dll").c_str());
    }();
    static HWND reply = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    auto proc = dll ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "winprobeGetMessage")))
                    : nullptr;
    if (!proc || !reply) {
        done("err\tcannot load winprobe_hook.dll");
        return false;
    }
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, proc, dll, GetWindowThreadProcessId(h, nullptr));
    if (!hook) {
        done("err\tSetWindowsHookEx failed");
        return false;
    }
    const UINT low = WM_APP + first, high = WM_APP + first + static_cast<UINT>(count) - 1;
    MSG stale;
    while (PeekMessageW(&stale, reply, low, high, PM_REMOVE)) {
    }
    PostMessageW(h, RegisterWindowMessageW(query), reinterpret_cast<WPARAM>(reply), 0);
    int got = 0;
    for (DWORD start = GetTickCount(); got < count && GetTickCount() - start < 3000;) {
        MSG m{};
        if (PeekMessageW(&m, reply, low, high, PM_REMOVE)) {
            answers[m.message - low] = m;
            ++got;
            continue;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_POSTMESSAGE);
    }
    UnhookWindowsHookEx(hook);
    if (got < count) {
        done("err\tthe window's thread did not answer the query");
        return false;
    }
    return true;
}

// Two answers: window icons, then class icons.
void cmdIcon(HWND h) {
    MSG m[2] = {};
    if (!askInside(h, L"winprobe.icon", 0, 2, m)) return;
    done("ok\t" + hex(reinterpret_cast<void*>(m[0].wParam)) + '\t' + hex(reinterpret_cast<void*>(m[0].lParam)) + '\t' +
         hex(reinterpret_cast<void*>(m[1].wParam)) + '\t' + hex(reinterpret_cast<void*>(m[1].lParam)));
}

// The face name comes as a global atom, which this side deletes.
void cmdFont(HWND h) {
    MSG m[1] = {};
    if (!askInside(h, L"winprobe.font", 2, 1, m)) return;
    const auto atom = static_cast<ATOM>(m[0].wParam);
    wchar_t face[LF_FACESIZE + 1] = {};
    if (atom) {
        GlobalGetAtomNameW(atom, face, LF_FACESIZE + 1);
        GlobalDeleteAtom(atom);
    }
    done("ok\t" + escape(utf8(face)) + '\t' + std::to_string(LOWORD(m[0].lParam)) + '\t' +
         std::to_string(HIWORD(m[0].lParam)));
}

void cmdFit(HWND h) {
    MSG m[1] = {};
    if (!askInside(h, L"winprobe.fit", 3, 1, m)) return;
    const auto atom = static_cast<ATOM>(m[0].lParam);
    wchar_t misfit[256] = {};
    if (atom) {
        GlobalGetAtomNameW(atom, misfit, 256);
        GlobalDeleteAtom(atom);
    }
    done("ok\t" + std::to_string(LOWORD(m[0].wParam)) + '\t' + std::to_string(HIWORD(m[0].wParam)) + '\t' +
         escape(utf8(misfit)));
}

void cmdIconSize(HWND h) {
    MSG m[1] = {};
    if (!askInside(h, L"winprobe.iconsize", 4, 1, m)) return;
    done("ok\t" + std::to_string(LOWORD(m[0].wParam)) + '\t' + std::to_string(HIWORD(m[0].wParam)) + '\t' +
         std::to_string(LOWORD(m[0].lParam)) + '\t' + std::to_string(HIWORD(m[0].lParam)));
}

void cmdPixel(int x, int y) {
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(nullptr, dc);
    if (c == CLR_INVALID) {
        done("err\toutside the screen");
        return;
    }
    done("ok\t" + std::to_string(GetRValue(c)) + '\t' + std::to_string(GetGValue(c)) + '\t' +
         std::to_string(GetBValue(c)));
}

// One BitBlt of the rectangle instead of a GetPixel per pixel: the latter is
// a round trip to the display server each under Wine.
void cmdCount(int l, int t, int r, int b, unsigned long rgb, int tol) {
    int w = r - l, h = b - t;
    if (w <= 0 || h <= 0) {
        done("err\tempty rectangle");
        return;
    }
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = w;
    bi.bmiHeader.biHeight = -h;  // top-down rows
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP dib = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(mem, dib);
    BOOL ok = BitBlt(mem, 0, 0, w, h, screen, l, t, SRCCOPY);
    GdiFlush();
    long n = 0, fx = -1, fy = -1;
    if (ok) {
        const auto* px = static_cast<const uint32_t*>(bits);
        auto within = [tol](uint32_t a, uint32_t b, int shift) {
            return std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) <= tol;
        };
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint32_t p = px[y * w + x];  // 0x00RRGGBB in a 32-bit DIB
                if (within(p, rgb, 16) && within(p, rgb, 8) && within(p, rgb, 0) && n++ == 0) fx = l + x, fy = t + y;
            }
    }
    SelectObject(mem, old);
    DeleteObject(dib);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    if (!ok) {
        done("err\tBitBlt failed");
        return;
    }
    done("ok\t" + std::to_string(n) + '\t' + std::to_string(fx) + '\t' + std::to_string(fy));
}

// Asks the window itself (WM_NCHITTEST) where its close button is, so that
// the driver can click it wherever the frame's metrics put it.
void cmdCloseBox(HWND h) {
    auto hit = [h](int x, int y) {
        DWORD_PTR r = HTNOWHERE;
        SendMessageTimeoutW(h, WM_NCHITTEST, 0, MAKELPARAM(x, y), SMTO_ABORTIFHUNG, 2000, &r);
        return static_cast<LRESULT>(r);
    };
    RECT r{};
    GetWindowRect(h, &r);
    int row = -1;
    for (int y = r.top; y < r.bottom && y < r.top + 64 && row < 0; ++y)
        if (hit((r.left + r.right) / 2, y) == HTCAPTION) row = y;
    if (row < 0) {
        done("err\tno caption");
        return;
    }
    // The caption row may start above the buttons' top edge: try a few rows.
    for (int y = row; y < row + 12 && y < r.bottom; ++y) {
        int right = -1, left = -1;
        for (int x = r.right - 1; x >= r.left; --x) {
            bool close = hit(x, y) == HTCLOSE;
            if (close && right < 0) right = x;
            if (!close && right >= 0) {
                left = x + 1;
                break;
            }
        }
        if (right < 0) continue;
        int x = (left + right) / 2, top = y, bottom = y;
        while (bottom + 1 < r.bottom && hit(x, bottom + 1) == HTCLOSE) ++bottom;
        done("ok\t" + std::to_string(x) + '\t' + std::to_string((top + bottom) / 2));
        return;
    }
    done("err\tno close button");
}

unsigned long number(const std::string& s) { return std::strtoul(s.c_str(), nullptr, 0); }

void cmdSend(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutW(h, msg, wp, lp, SMTO_ABORTIFHUNG, 3000, &result)) {
        done("err\tthe window did not answer");
        return;
    }
    done("ok\t" + std::to_string(static_cast<long>(result)));
}

// The system carries the RECT of its own messages across processes itself;
// for the others (the common controls') it lives in the window's process, as
// a pointer into ours would mean nothing there.
void cmdSendRect(HWND h, UINT msg, WPARAM wp, unsigned long first) {
    if (msg < WM_USER) {
        RECT r{static_cast<LONG>(first), 0, 0, 0};
        DWORD_PTR result = 0;
        if (!SendMessageTimeoutW(h, msg, wp, reinterpret_cast<LPARAM>(&r), SMTO_ABORTIFHUNG, 3000, &result)) {
            done("err\tthe window did not answer");
            return;
        }
        done("ok\t" + std::to_string(static_cast<long>(result)) + '\t' + std::to_string(r.left) + '\t' +
             std::to_string(r.top) + '\t' + std::to_string(r.right) + '\t' + std::to_string(r.bottom));
        return;
    }
    DWORD pid = 0;
    GetWindowThreadProcessId(h, &pid);
    HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
    if (!process) {
        done("err\tOpenProcess failed");
        return;
    }
    void* remote = VirtualAllocEx(process, nullptr, sizeof(RECT), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    RECT r{static_cast<LONG>(first), 0, 0, 0};
    DWORD_PTR result = 0;
    SIZE_T moved = 0;
    bool ok = remote && WriteProcessMemory(process, remote, &r, sizeof r, &moved) &&
              SendMessageTimeoutW(h, msg, wp, reinterpret_cast<LPARAM>(remote), SMTO_ABORTIFHUNG, 3000, &result) &&
              ReadProcessMemory(process, remote, &r, sizeof r, &moved);
    if (remote) VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    CloseHandle(process);
    if (!ok) {
        done("err\tsendrect failed");
        return;
    }
    done("ok\t" + std::to_string(static_cast<long>(result)) + '\t' + std::to_string(r.left) + '\t' +
         std::to_string(r.top) + '\t' + std::to_string(r.right) + '\t' + std::to_string(r.bottom));
}

// One line per element: the window's client object, then its simple children.
void accessLines(HWND h) {
    static const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    IAccessible* acc = nullptr;
    if (!com || FAILED(AccessibleObjectFromWindow(h, static_cast<DWORD>(OBJID_CLIENT), IID_IAccessible,
                                                  reinterpret_cast<void**>(&acc))) || !acc) {
        emit(hex(h) + "\t0\t0\t0x0\t");
        return;
    }
    auto line = [&](long child) {
        VARIANT id;
        VariantInit(&id);
        id.vt = VT_I4;
        id.lVal = child;
        VARIANT role, state;
        VariantInit(&role);
        VariantInit(&state);
        BSTR name = nullptr;
        acc->get_accRole(id, &role);
        acc->get_accState(id, &state);
        acc->get_accName(id, &name);
        emit(hex(h) + '\t' + std::to_string(child) + '\t' + std::to_string(role.vt == VT_I4 ? role.lVal : 0) + '\t' +
             hex32(state.vt == VT_I4 ? static_cast<unsigned long>(state.lVal) : 0) + '\t' +
             escape(name ? utf8(name, static_cast<int>(SysStringLen(name))) : std::string()));
        SysFreeString(name);
        VariantClear(&role);
        VariantClear(&state);
    };
    line(CHILDID_SELF);
    // As a screen reader walks them. Child windows come as objects of their
    // own and get lines of their own; items are simple elements, read
    // through their parent.
    long count = 0;
    if (SUCCEEDED(acc->get_accChildCount(&count)) && count > 0) {
        std::vector<VARIANT> children(static_cast<size_t>(count));
        long got = 0;
        if (SUCCEEDED(AccessibleChildren(acc, 0, count, children.data(), &got))) {
            for (long i = 0; i < got; ++i) {
                // Wine hands out every child as an id: one with an object of its own is a window.
                IDispatch* object = nullptr;
                if (children[i].vt == VT_I4 && acc->get_accChild(children[i], &object) == S_FALSE && !object)
                    line(children[i].lVal);
                if (object) object->Release();
                VariantClear(&children[i]);
            }
        }
    }
    acc->Release();
}

void cmdAccess(HWND root) {
    std::vector<HWND> all{root};
    EnumChildWindows(root, collectChild, reinterpret_cast<LPARAM>(&all));
    for (HWND h : all) accessLines(h);
    done("end");
}

void cmdModule(DWORD pid, const std::string& name) {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
    if (snapshot == INVALID_HANDLE_VALUE) {
        done("err\tno module list of process " + std::to_string(pid));
        return;
    }
    MODULEENTRY32W entry{};
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Module32FirstW(snapshot, &entry); more && !found; more = Module32NextW(snapshot, &entry))
        found = _stricmp(utf8(entry.szModule).c_str(), name.c_str()) == 0;
    CloseHandle(snapshot);
    done(std::string("ok\t") + (found ? "1" : "0"));
}

std::vector<std::string> split(const std::string& line) {
    std::vector<std::string> out;
    size_t start = 0;
    while (true) {
        size_t tab = line.find('\t', start);
        if (tab == std::string::npos) {
            out.push_back(line.substr(start));
            return out;
        }
        out.push_back(line.substr(start, tab - start));
        start = tab + 1;
    }
}

// Returns false on "quit".
bool handle(const std::vector<std::string>& a) {
    const std::string& cmd = a[0];
    auto needs = [&](size_t n) {
        if (a.size() >= n + 1) return true;
        done("err\t" + cmd + " needs " + std::to_string(n) + " argument(s)");
        return false;
    };
    auto hwndArg = [&]() -> HWND {
        HWND h = parseHwnd(a[1]);
        if (!IsWindow(h)) {
            done("err\tno such window " + a[1]);
            return nullptr;
        }
        return h;
    };
    if (cmd == "quit") {
        done("ok");
        return false;
    } else if (cmd == "ping") {
        done("ok");
    } else if (cmd == "workarea") {
        RECT r{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &r, 0);
        done("ok\t" + std::to_string(r.left) + '\t' + std::to_string(r.top) + '\t' + std::to_string(r.right) + '\t' +
             std::to_string(r.bottom));
    } else if (cmd == "fit" || cmd == "iconsize") {
        if (!needs(1)) return true;
        if (HWND h = hwndArg()) cmd == "fit" ? cmdFit(h) : cmdIconSize(h);
    } else if (cmd == "screen") {
        done("ok\t" + std::to_string(GetSystemMetrics(SM_CXSCREEN)) + '\t' +
             std::to_string(GetSystemMetrics(SM_CYSCREEN)));
    } else if (cmd == "top") {
        cmdTop(a);
    } else if (cmd == "foreground") {
        HWND h = GetForegroundWindow();
        DWORD pid = 0;
        GetWindowThreadProcessId(h, &pid);
        wchar_t title[512];
        int n = h ? GetWindowTextW(h, title, 512) : 0;
        done("ok\t" + hex(h) + '\t' + std::to_string(pid) + '\t' + escape(h ? className(h) : "") + '\t' +
             escape(utf8(title, n)));
    } else if (cmd == "exists") {
        if (needs(1)) done(std::string("ok\t") + (IsWindow(parseHwnd(a[1])) ? "1" : "0"));
    } else if (cmd == "module") {
        if (needs(2)) cmdModule(static_cast<DWORD>(std::strtoul(a[1].c_str(), nullptr, 0)), a[2]);
    } else if (cmd == "pixel") {
        if (needs(2)) cmdPixel(std::atoi(a[1].c_str()), std::atoi(a[2].c_str()));
    } else if (cmd == "count") {
        if (needs(5))
            cmdCount(std::atoi(a[1].c_str()), std::atoi(a[2].c_str()), std::atoi(a[3].c_str()),
                     std::atoi(a[4].c_str()), std::strtoul(a[5].c_str(), nullptr, 16) & 0xFFFFFF,
                     a.size() > 6 ? std::atoi(a[6].c_str()) : 0);
    } else if (cmd == "move") {
        if (!needs(3)) return true;
        HWND h = hwndArg();
        if (!h) return true;
        if (SetWindowPos(h, nullptr, std::atoi(a[2].c_str()), std::atoi(a[3].c_str()), 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE))
            done("ok");
        else
            done("err\tthe window did not move");
    } else if (cmd == "send" || cmd == "sendrect") {
        if (!needs(cmd == "send" ? 4 : 3)) return true;
        HWND h = hwndArg();
        if (!h) return true;
        if (cmd == "send") cmdSend(h, number(a[2]), number(a[3]), static_cast<LPARAM>(number(a[4])));
        else cmdSendRect(h, number(a[2]), number(a[3]), a.size() > 4 ? number(a[4]) : 0);
    } else if (cmd == "tree" || cmd == "info" || cmd == "text" || cmd == "focus" || cmd == "icon" || cmd == "font" ||
               cmd == "close" || cmd == "click" || cmd == "closebox" || cmd == "client" || cmd == "access") {
        if (!needs(1)) return true;
        HWND h = hwndArg();
        if (!h) return true;
        if (cmd == "tree") cmdTree(h);
        else if (cmd == "info") done("ok\t" + childLine(h));
        else if (cmd == "text") done("ok\t" + escape(windowText(h)));
        else if (cmd == "focus") cmdFocus(h);
        else if (cmd == "icon") cmdIcon(h);
        else if (cmd == "font") cmdFont(h);
        else if (cmd == "closebox") cmdCloseBox(h);
        else if (cmd == "client") cmdClient(h);
        else if (cmd == "access") cmdAccess(h);
        else if (cmd == "close") done(PostMessageW(h, WM_CLOSE, 0, 0) ? "ok" : "err\tPostMessage failed");
        else done(PostMessageW(h, BM_CLICK, 0, 0) ? "ok" : "err\tPostMessage failed");
    } else {
        done("err\tunknown command " + cmd);
    }
    return true;
}

}  // namespace

int main() {
    // Binary mode: the driver reads bare LF line ends.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    std::string line;
    int c;
    while ((c = std::fgetc(stdin)) != EOF) {
        if (c == '\r') continue;
        if (c != '\n') {
            line += static_cast<char>(c);
            continue;
        }
        if (!line.empty() && !handle(split(line))) return 0;
        line.clear();
    }
    return 0;
}
