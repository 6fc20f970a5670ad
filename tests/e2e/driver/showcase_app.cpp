#include "showcase_app.h"

#include <algorithm>
#include <stdexcept>

namespace e2e {

namespace {
constexpr const char* kTitle = "Steuerelemente";
constexpr unsigned kTcmGetCurSel = 0x130B, kTcmGetItemRect = 0x130A;
constexpr unsigned kCrtMsgCellAt = 0x0400 + 2;  // a text window's answer: the byte in a cell
}  // namespace

bool sameClass(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

ShowcaseApp::ShowcaseApp(Probe& p) : probe(p) {
    if (config().sample.empty()) throw std::runtime_error("no Steuerelemente.exe was built");
    if (!waitUntil([&] { return !probe.findTop("XbpDialog", kTitle); }, 10s, 100ms))
        throw std::runtime_error("a showcase window from an earlier start is still open");
    process = std::make_unique<Process>(std::vector<std::string>{config().winerun, config().sample});
    bool ready = waitUntil(
        [&] {
            if (!process->running()) return true;
            auto top = probe.findTop("XbpDialog", kTitle);
            if (!top) return false;
            window = *top;
            try {
                for (const auto& c : probe.descendants(window.hwnd)) {
                    if (sameClass(c.cls, "XbpStatic") && c.text == "Bereit") status = c;
                    if (sameClass(c.cls, "SysTabControl32")) tabs = c;
                }
            } catch (const std::runtime_error&) {
                return false;
            }
            return status.hwnd && tabs.hwnd;
        },
        20s, 100ms);
    if (!process->running()) throw std::runtime_error("Steuerelemente ended during start-up");
    if (!ready) throw std::runtime_error("Steuerelemente did not show its window with status line and tabs in 20 s");
    std::string why;
    if (!probe.waitForeground(window.hwnd, &why))
        throw std::runtime_error("the showcase did not become the active window: " + why);
}

std::vector<ChildWindow> ShowcaseApp::controls() { return probe.descendants(window.hwnd); }

ChildWindow ShowcaseApp::find(const std::string& cls, const std::string& text, Millis timeout) {
    return findIn(window.hwnd, cls, text, timeout);
}

ChildWindow ShowcaseApp::findIn(Hwnd root, const std::string& cls, const std::string& text, Millis timeout) {
    ChildWindow found;
    waitUntil(
        [&] {
            for (const auto& c : probe.descendants(root)) {
                if (c.visible && sameClass(c.cls, cls) && (text.empty() || c.text == text)) {
                    found = c;
                    return true;
                }
            }
            return false;
        },
        timeout);
    if (!found.hwnd) throw std::runtime_error("no visible " + cls + " \"" + text + "\"");
    return found;
}

TopWindow ShowcaseApp::openModalDialog() {
    if (!click(find("Button", "&Modaler Dialog...")))
        throw std::runtime_error("could not click the button of the modal dialog");
    std::optional<TopWindow> dialog;
    waitUntil([&] { return (dialog = probe.findTop("XbpDialog", "Modaler Dialog")).has_value(); });
    if (!dialog) throw std::runtime_error("the modal dialog did not show");
    std::string why;
    if (!probe.waitForeground(dialog->hwnd, &why))
        throw std::runtime_error("the modal dialog did not become the active window: " + why);
    return *dialog;
}

bool ShowcaseApp::waitStatus(const std::string& text, Millis timeout) {
    return waitUntil([&] { return statusText() == text; }, timeout);
}

Rect ShowcaseApp::tabRect(int index) {
    auto [ok, r] = probe.sendRect(tabs.hwnd, kTcmGetItemRect, static_cast<unsigned long>(index));
    if (!ok) throw std::runtime_error("no tab " + std::to_string(index));
    // Client coordinates of the tab control; its client area starts at its
    // window's corner (no border of its own).
    const ChildWindow now = probe.info(tabs.hwnd);
    return Rect{now.rect.left + r.left, now.rect.top + r.top, now.rect.left + r.right, now.rect.top + r.bottom};
}

int ShowcaseApp::currentTab() { return static_cast<int>(probe.send(tabs.hwnd, kTcmGetCurSel)); }

std::string ShowcaseApp::textRow(Hwnd crt, int row, int cols) {
    std::string bytes;
    for (int col = 0; col < cols; ++col) {
        const long cell = probe.send(crt, kCrtMsgCellAt, static_cast<unsigned long>(row), static_cast<unsigned long>(col));
        if (cell < 0) break;
        bytes += static_cast<char>(cell);
    }
    return bytes;
}

bool ShowcaseApp::clickTab(int index) {
    const Rect r = tabRect(index);
    return input::click(r.centreX(), r.centreY());
}

}  // namespace e2e
