#include "valumat_app.h"

#include <algorithm>
#include <stdexcept>

namespace e2e {

namespace {

bool sameClass(const std::string& a, const std::string& b) {
    // Window class names compare without regard to case on Windows.
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

const ChildWindow* byText(const std::vector<ChildWindow>& all, const std::string& cls, const std::string& text) {
    for (const auto& c : all)
        if (sameClass(c.cls, cls) && c.text == text) return &c;
    return nullptr;
}

}  // namespace

std::string trimLeft(const std::string& s) {
    size_t i = s.find_first_not_of(' ');
    return i == std::string::npos ? std::string() : s.substr(i);
}

bool faceIs(const std::string& face, const std::string& wanted) {
    static const std::vector<std::pair<std::string, std::vector<std::string>>> alternatives{
        {"Arial", {"Liberation Sans", "DejaVu Sans"}},
        {"Times New Roman", {"Liberation Serif", "DejaVu Serif"}},
        {"Tahoma", {"DejaVu Sans", "Liberation Sans"}},
        {"MS Sans Serif", {"Microsoft Sans Serif", "Tahoma", "Liberation Sans"}},
    };
    if (face == wanted) return true;
    for (const auto& [name, others] : alternatives)
        if (name == wanted) return std::find(others.begin(), others.end(), face) != others.end();
    return false;
}

const ChildWindow* placedAt(const std::vector<ChildWindow>& all, const ChildWindow& area, int x, int y) {
    for (const auto& c : all)
        if (c.hwnd != area.hwnd && c.rect.left == area.rect.left + x && c.rect.bottom == area.rect.bottom - y)
            return &c;
    return nullptr;
}

bool waitNoConverterWindow(Probe& probe, Millis timeout) {
    return waitUntil([&] { return !probe.findTop(kDialogClass, kTitle); }, timeout, 100ms);
}

Valumat::Valumat(Probe& p) : probe(p) {
    if (config().valumat.empty()) throw std::runtime_error("no Valumat.exe was built (target Valumat missing)");
    if (!waitNoConverterWindow(probe)) throw std::runtime_error("a converter window from an earlier start is still open");
    process = std::make_unique<Process>(std::vector<std::string>{config().winerun, config().valumat});

    // The window is complete once all nine controls exist below the drawing area.
    std::string missing = "converter window";
    bool ready = waitUntil(
        [&] {
            if (!process->running()) return true;
            auto top = probe.findTop(kDialogClass, kTitle);
            if (!top) return false;
            window = *top;
            try {
                controls = probe.descendants(window.hwnd);
            } catch (const std::runtime_error&) {
                return false;  // the window went away between the two questions
            }
            const ChildWindow* da = nullptr;
            for (const auto& c : controls)
                if (sameClass(c.cls, "XbpDrawingArea") && c.parent == window.hwnd) da = &c;
            if (!da) return (missing = "drawing area", false);
            std::vector<ChildWindow> edits;
            for (const auto& c : controls)
                if (sameClass(c.cls, "Edit")) edits.push_back(c);
            if (edits.size() != 2) return (missing = "two Edit controls", false);
            std::sort(edits.begin(), edits.end(), [](auto& a, auto& b) { return a.rect.top < b.rect.top; });
            auto* info = byText(controls, "Button", " &Info");
            auto* quit = byText(controls, "Button", " &Beenden");
            auto* rate = byText(controls, "XbpStatic", "Kurs: 1\u20ac = 1,95583 DM");
            if (!info || !quit) return (missing = "buttons \" &Info\" and \" &Beenden\"", false);
            if (!rate) return (missing = "rate label", false);
            drawingArea = *da;
            dmField = edits[0];
            euroField = edits[1];
            infoButton = *info;
            quitButton = *quit;
            rateLabel = *rate;
            return true;
        },
        20s, 100ms);
    if (!process->running()) {
        auto code = process->waitExit(0ms);
        throw std::runtime_error("Valumat ended during start-up with exit code " + std::to_string(code.value_or(-1)));
    }
    if (!ready) throw std::runtime_error("Valumat did not show its " + missing + " within 20 s");
    // Keys go to the active window: the converter must be it, as for a user
    // who has just started the program.
    std::string why;
    if (!probe.waitForeground(window.hwnd, &why))
        throw std::runtime_error("the converter window did not become the active window: " + why);
}

bool Valumat::waitFields(const std::string& dm, const std::string& euro, Millis timeout) {
    return waitUntil([&] { return trimLeft(dmText()) == dm && trimLeft(euroText()) == euro; }, timeout);
}

bool Valumat::waitFocus(Hwnd h, Millis timeout) {
    return waitUntil([&] { return focused() == h; }, timeout);
}

bool Valumat::click(const ChildWindow& c) { return input::click(c.rect.centreX(), c.rect.centreY()); }

bool Valumat::pressAndSlideOff(const ChildWindow& c) {
    // Released outside the window: the button has the capture, sees the release
    // outside its rectangle and so does not fire.
    return input::pressMoveRelease(c.rect.centreX(), c.rect.centreY(), window.rect.right + 60, window.rect.bottom + 60);
}

}  // namespace e2e
