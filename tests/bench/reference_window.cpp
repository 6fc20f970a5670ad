// The reference for start-up timing: what the converter window is, written
// with plain Win32 calls and nothing else: the frame with its icon, a client
// child, three fonts, and nine controls (two flag pictures, two entry fields,
// two labels, two push buttons, the rate line), with the same manifest and
// pictures as Valumat. Valumat is measured against it: what Valumat takes
// beyond it is the cost of its runtime.
#include <windows.h>

namespace {

LRESULT CALLBACK frameProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

LRESULT CALLBACK areaProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLOREDIT) {
        SetBkColor(reinterpret_cast<HDC>(wp), RGB(192, 192, 192));
        return reinterpret_cast<LRESULT>(GetStockObject(LTGRAY_BRUSH));
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

HFONT font(int points, const wchar_t* face, bool bold) {
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(points, GetDeviceCaps(screen, LOGPIXELSY), 72);
    ReleaseDC(nullptr, screen);
    return CreateFontW(height, 0, 0, 0, bold ? FW_BOLD : FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, face);
}

HWND control(const wchar_t* cls, const wchar_t* text, DWORD style, DWORD exStyle, int x, int y, int w, int h, HWND parent,
             HFONT f) {
    HWND c = CreateWindowExW(exStyle, cls, text, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | style, x, y, w, h, parent,
                             nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(f), FALSE);
    return c;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE inst, HINSTANCE, PWSTR, int show) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = frameProc;
    wc.hInstance = inst;
    wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = L"ReferenceFrame";
    wc.hIcon = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(333), IMAGE_ICON, 32, 32, 0));
    wc.hIconSm = static_cast<HICON>(LoadImageW(inst, MAKEINTRESOURCEW(333), IMAGE_ICON, 16, 16, 0));
    if (!RegisterClassExW(&wc)) return 1;
    WNDCLASSW area{};
    area.lpfnWndProc = areaProc;
    area.hInstance = inst;
    area.hCursor = wc.hCursor;
    area.hbrBackground = static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH));
    area.lpszClassName = L"ReferenceArea";
    if (!RegisterClassW(&area)) return 1;

    const int width = 280, height = 140;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    HWND frame = CreateWindowExW(WS_EX_APPWINDOW, wc.lpszClassName, L" Valumat",
                                 WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN, x, y,
                                 width, height, nullptr, nullptr, inst, nullptr);
    if (!frame) return 1;
    RECT client;
    GetClientRect(frame, &client);
    HWND client_ = CreateWindowExW(0, area.lpszClassName, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0,
                                   client.right, client.bottom, frame, nullptr, inst, nullptr);

    HFONT areaFont = font(9, L"Arial", true), fieldFont = font(8, L"MS Sans Serif", false),
          rateFont = font(10, L"Arial", true);
    const int h = client.bottom;
    auto flag = [&](int fx, int fy, int picture) {
        HWND f = control(L"STATIC", L"", SS_BITMAP, 0, fx, h - fy - 24, 36, 24, client_, areaFont);
        SendMessageW(f, STM_SETIMAGE, IMAGE_BITMAP,
                     reinterpret_cast<LPARAM>(LoadImageW(inst, MAKEINTRESOURCEW(picture), IMAGE_BITMAP, 0, 0, 0)));
    };
    flag(5, 75, 931);
    control(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 44, h - 75 - 24, 96, 24, client_, fieldFont);
    flag(5, 42, 932);
    HWND euro = control(L"EDIT", L"", ES_AUTOHSCROLL | WS_TABSTOP, WS_EX_CLIENTEDGE, 44, h - 40 - 24, 96, 24, client_,
                        fieldFont);
    control(L"STATIC", L"DM", SS_RIGHT, 0, 148, h - 75 - 20, 24, 20, client_, areaFont);
    control(L"STATIC", L"\u20ac", SS_RIGHT, 0, 155, h - 40 - 20, 14, 20, client_, areaFont);
    control(L"BUTTON", L" &Info", BS_PUSHBUTTON, 0, 192, h - 75 - 24, 76, 24, client_, areaFont);
    control(L"BUTTON", L" &Beenden", BS_PUSHBUTTON, 0, 192, h - 40 - 24, 76, 24, client_, areaFont);
    control(L"STATIC", L"Kurs: 1\u20ac = 1,95583 DM", SS_CENTER, 0, 25, h - 5 - 24, 240, 24, client_, rateFont);

    ShowWindow(frame, show);
    UpdateWindow(frame);
    SetFocus(euro);
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (IsDialogMessageW(frame, &msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    return static_cast<int>(msg.wParam);
}
