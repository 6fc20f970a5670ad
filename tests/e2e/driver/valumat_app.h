// A running Valumat and the controls of its converter window, as the probe sees them.
#pragma once

#include "harness.h"

#include <memory>

namespace e2e {

inline constexpr const char* kDialogClass = "XbpDialog";
inline constexpr const char* kTitle = " Valumat";

class Valumat {
public:
    // Starts the program and waits until its converter window is visible with
    // all of its controls; throws if that does not happen in time.
    explicit Valumat(Probe& probe);

    Probe& probe;
    std::unique_ptr<Process> process;
    TopWindow window;
    ChildWindow drawingArea, dmField, euroField, infoButton, quitButton, rateLabel;
    std::vector<ChildWindow> controls;  // every descendant

    std::string dmText() { return probe.text(dmField.hwnd); }
    std::string euroText() { return probe.text(euroField.hwnd); }
    Hwnd focused() { return probe.focus(window.hwnd).focus; }
    bool windowGone() { return !probe.exists(window.hwnd); }

    // Waits until both fields show these texts (amounts compared without the
    // leading blanks the formatter may pad with).
    bool waitFields(const std::string& dm, const std::string& euro, Millis timeout = 5s);
    bool waitFocus(Hwnd h, Millis timeout = 5s);

    // Clicks a control's centre.
    bool click(const ChildWindow& c);
    // Gives a button the focus the way a user can without pressing it: left
    // button down on it, moved off the window, released there.
    bool pressAndSlideOff(const ChildWindow& c);
};

// Waits until no converter window is left over from an earlier start.
bool waitNoConverterWindow(Probe& probe, Millis timeout = 10s);

std::string trimLeft(const std::string& s);

// Whether a window's font face is `wanted`, or the face the runtime puts in
// its place where `wanted` is not installed (the same kind of letters).
bool faceIs(const std::string& face, const std::string& wanted);

// The control of `all` whose lower-left corner lies at (x, y) in `area`, x to
// the right and y upwards from the area's bottom row; nullptr if none.
const ChildWindow* placedAt(const std::vector<ChildWindow>& all, const ChildWindow& area, int x, int y);

}  // namespace e2e
