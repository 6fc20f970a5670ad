// A running Steuerelemente showcase and its controls, as the probe sees them.
#pragma once

#include "harness.h"

#include <memory>

namespace e2e {

class ShowcaseApp {
public:
    // Starts the program and waits until its window shows with the status
    // line; throws if that does not happen in time.
    explicit ShowcaseApp(Probe& probe);

    Probe& probe;
    std::unique_ptr<Process> process;
    TopWindow window;
    ChildWindow status, tabs;

    // Every descendant of the window now.
    std::vector<ChildWindow> controls();
    // The visible control of that class (case-insensitive) whose text is
    // `text` ("" matches any), waiting for it; throws when it does not come.
    ChildWindow find(const std::string& cls, const std::string& text = "", Millis timeout = 5s);
    // The same among the descendants of another window of the program.
    ChildWindow findIn(Hwnd root, const std::string& cls, const std::string& text = "", Millis timeout = 5s);
    // Opens the modal dialog with a click on its button and waits until it
    // is the active window; throws when it does not come.
    TopWindow openModalDialog();
    std::string statusText() { return probe.text(status.hwnd); }
    bool waitStatus(const std::string& text, Millis timeout = 5s);
    Hwnd focused() { return probe.focus(window.hwnd).focus; }

    // Screen rectangle of tab `index` (from 0) of the tab strip.
    Rect tabRect(int index);
    int currentTab();
    // Brings a page to front with a mouse click on its tab.
    bool clickTab(int index);

    bool click(const ChildWindow& c) { return input::click(c.rect.centreX(), c.rect.centreY()); }

    // The bytes (code page 858) of one row of a text window of the program,
    // `cols` cells from the left, as the window answers them cell by cell.
    std::string textRow(Hwnd crt, int row, int cols);
};

bool sameClass(const std::string& a, const std::string& b);

}  // namespace e2e
