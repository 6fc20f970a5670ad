// Host-side plumbing for end-to-end tests of Win32 programs running under Wine:
// child processes, the winprobe server, X input through xdotool, screenshots.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace e2e {

using namespace std::chrono_literals;
using Millis = std::chrono::milliseconds;

// Paths handed in on the command line by CTest.
struct Config {
    std::string winerun;      // tools/winerun
    std::string probe;        // winprobe.exe
    std::string valumat;      // Valumat.exe; empty when the target does not exist
    std::string bareWindow;   // bare_window.exe; empty when not built
    std::string sample;       // Steuerelemente.exe; empty when not built
    std::string dragSource;   // dragsource.exe, another program's drag
    std::string errproc;      // errproc.exe, a program that raises errors into its boxes
    std::string screenshots;  // directory for screenshots
    std::string visualStyles; // "on" or "off" as the prefix has them; "" when not told
};
Config& config();

// Polls `pred` every `interval` until it holds or `timeout` passes; returns its last value.
bool waitUntil(const std::function<bool()>& pred, Millis timeout = 5s, Millis interval = 30ms);

// A child process in its own process group. The destructor kills the group
// and reaps the child, so a failing test leaves nothing behind.
class Process {
public:
    // With `pipes`, the child's stdin and stdout are connected to us.
    explicit Process(const std::vector<std::string>& argv, bool pipes = false);
    ~Process();
    Process(const Process&) = delete;
    Process& operator=(const Process&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // Exit code once the child has ended within `timeout`, 128 + signal if it
    // was killed, nothing if it is still running.
    std::optional<int> waitExit(Millis timeout);
    void kill();

    // Pipe I/O; only with `pipes`.
    bool writeLine(const std::string& line);
    std::optional<std::string> readLine(Millis timeout);

private:
    bool reap(int options);

    pid_t pid_ = -1;
    std::optional<int> exitCode_;
    int in_ = -1, out_ = -1;
    std::string buffer_;
};

// Runs a program to its end; its exit code, or -1 when it could not be started
// or had to be killed after `timeout`. Its stdout goes to `output` if given.
int runTool(const std::vector<std::string>& argv, Millis timeout = 15s, std::string* output = nullptr);

struct Rect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int width() const { return right - left; }
    int height() const { return bottom - top; }
    int centreX() const { return (left + right) / 2; }
    int centreY() const { return (top + bottom) / 2; }
    bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
    bool operator==(const Rect&) const = default;
};
std::string toString(const Rect& r);

using Hwnd = std::uintptr_t;

struct TopWindow {
    Hwnd hwnd = 0;
    unsigned pid = 0;
    std::string cls, title;
    bool visible = false;
    Rect rect;
    std::uint32_t style = 0, exStyle = 0;
    Hwnd owner = 0;
};

struct ChildWindow {
    Hwnd hwnd = 0, parent = 0;
    std::string cls, text;
    std::uint32_t style = 0, exStyle = 0;
    bool visible = false;
    Rect rect;  // screen coordinates
    int id = 0;
};

struct FocusInfo {
    Hwnd focus = 0, active = 0, capture = 0, caret = 0;
};

struct IconInfo {
    Hwnd big = 0, small = 0;             // WM_GETICON
    Hwnd classBig = 0, classSmall = 0;   // of the window class
};

// A window's font as the window itself reports it (WM_GETFONT).
struct FontInfo {
    std::string face;
    int points = 0;  // 0: the window has no font of its own
    int weight = 0;  // 400 normal, 700 bold
    bool operator==(const FontInfo&) const = default;
};
std::string toString(const FontInfo& f);

// One element as a screen reader reads it from another process.
struct AccessibleElement {
    Hwnd hwnd = 0;
    long child = 0;  // 0: the window itself; 1 on: its items
    long role = 0;   // ROLE_SYSTEM_*; 0: the window answered no accessible object
    std::uint32_t state = 0;
    std::string name;
};

struct Rgb {
    int r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

// The texts of a control that fit the room it gives them (winprobe "fit").
struct Fit {
    int fitting = 0, total = 0;
    std::string firstMisfit;  // "text: needs WxH, has WxH"
};

struct ColourHits {
    long count = 0;
    int x = -1, y = -1;  // first hit
};

// One long-running winprobe.exe. Every call throws std::runtime_error when
// the probe answers with an error or does not answer in time.
class Probe {
public:
    Probe();
    ~Probe();

    std::pair<int, int> screenSize();
    std::vector<TopWindow> topWindows();
    std::vector<ChildWindow> descendants(Hwnd root);
    ChildWindow info(Hwnd h);
    std::string text(Hwnd h);
    bool exists(Hwnd h);
    FocusInfo focus(Hwnd anyWindowOfThread);
    // The client area in screen coordinates.
    Rect client(Hwnd h);
    // The window that keyboard input goes to (GetForegroundWindow).
    TopWindow foreground();
    // Waits until `h` is the foreground window; false with `why` filled if not.
    bool waitForeground(Hwnd h, std::string* why = nullptr, Millis timeout = 10s);
    IconInfo icon(Hwnd h);
    // Sizes of the window's big and small icon: {bigW, bigH, smallW, smallH}.
    Rect iconSizes(Hwnd h);
    Fit fit(Hwnd h);
    Rect workArea();
    FontInfo font(Hwnd h);
    Rgb pixel(int x, int y);
    // Pixels whose every channel is within `tolerance` of `colour`.
    ColourHits count(const Rect& area, Rgb colour, int tolerance = 0);
    // Screen point inside the caption's close button, found by hit-testing.
    std::pair<int, int> closeBox(Hwnd h);
    void postClose(Hwnd h);
    // Moves a top-level window of another process to the top-left corner x, y.
    void move(Hwnd h, int x, int y);
    // A message without pointers sent to a window of another process, and its
    // result (the state of a control: BM_GETCHECK, LB_GETCURSEL, ...).
    long send(Hwnd h, unsigned msg, unsigned long wparam = 0, unsigned long lparam = 0);
    // A message whose LPARAM points to a RECT (TCM_GETITEMRECT, ...): its
    // result and the RECT; `first` fills the RECT's first field beforehand.
    std::pair<long, Rect> sendRect(Hwnd h, unsigned msg, unsigned long wparam, unsigned long first = 0);

    // The window and its descendants, with their items, through the
    // standard accessibility interface (AccessibleObjectFromWindow).
    std::vector<AccessibleElement> accessible(Hwnd root);
    // Whether the process has loaded the library `name` ("oleacc.dll").
    bool hasModule(unsigned pid, const std::string& name);

    // First visible top-level window of that class and title.
    std::optional<TopWindow> findTop(const std::string& cls, const std::string& title);

private:
    std::vector<std::string> call(const std::string& line);  // fields of the "ok" line
    std::vector<std::vector<std::string>> list(const std::string& line);

    Process process_;
};

// X input through xdotool; each returns false if xdotool failed.
namespace input {
bool key(const std::string& keysym);  // e.g. "Escape", "Tab", "BackSpace"
bool type(const std::string& text);
bool click(int x, int y);
bool rightClick(int x, int y);
bool doubleClick(int x, int y);
bool moveTo(int x, int y);
// Left button down at (x, y), moved to (x2, y2), released there.
bool pressMoveRelease(int x, int y, int x2, int y2);
// The left button pressed at (x, y), and released wherever the mouse is.
bool buttonDown(int x, int y);
bool buttonUp();
}  // namespace input

// Saves the screen, or a part of it, as PNG; false on failure.
bool screenshot(const std::string& path, const std::optional<Rect>& crop = std::nullopt);

std::string unescape(const std::string& field);

}  // namespace e2e
