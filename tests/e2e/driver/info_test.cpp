// The information window as a user meets it: where it opens, the ways of
// closing it and where the focus goes then, the converter beside it, and the
// red drawings that must survive being hidden.
#include "valumat_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <stdexcept>
#include <thread>

namespace e2e {
namespace {

constexpr const char* kInfoTitle = "Informationen zum Valumat";
// (250, 200) from the lower-left corner of the 1024x768 desktop, 500x400.
constexpr Rect kInfoRect{250, 168, 750, 568};
constexpr Rgb kRed{255, 0, 0}, kPink{255, 0, 255}, kBlue{0, 0, 255};
constexpr std::uint32_t kWsExToolWindow = 0x80, kWsExAppWindow = 0x40000;
// Longer than the double-click time: two presses closer together at one spot
// are a double click, which is a different test.
constexpr Millis kApartPresses = 700ms;

struct InfoWindow {
    TopWindow window;
    ChildWindow area, date, ok;

    // Screen rectangle of the pixels [x1, x2) x [y1, y2) of the drawing area
    // in its own coordinates: x to the right, y upwards from its bottom row.
    Rect inArea(int x1, int y1, int x2, int y2) const {
        return Rect{area.rect.left + x1, area.rect.bottom - y2, area.rect.left + x2, area.rect.bottom - y1};
    }
};

class Info : public testing::Test {
protected:
    void SetUp() override { app = std::make_unique<Valumat>(probe); }

    std::vector<TopWindow> infoWindows() {
        std::vector<TopWindow> out;
        for (const auto& w : probe.topWindows())
            if (w.visible && w.pid == app->window.pid && w.cls == kDialogClass && w.title == kInfoTitle)
                out.push_back(w);
        return out;
    }

    // The window with its drawing area, date label and OK button, once all exist.
    std::optional<InfoWindow> read(const TopWindow& w) {
        InfoWindow info{w, {}, {}, {}};
        try {
            for (const auto& c : probe.descendants(w.hwnd)) {
                if (c.cls == "XbpDrawingArea" && c.parent == w.hwnd) info.area = c;
                if (c.cls == "XbpStatic" && c.text == "05. Juni 2003") info.date = c;
                if (c.cls == "Button" && c.text == " &OK ") info.ok = c;
            }
        } catch (const std::runtime_error&) {
            return std::nullopt;  // gone between the two questions
        }
        if (!info.area.hwnd || !info.date.hwnd || !info.ok.hwnd) return std::nullopt;
        return info;
    }

    InfoWindow reread(const InfoWindow& w) {
        for (const auto& t : infoWindows())
            if (t.hwnd == w.window.hwnd)
                if (auto info = read(t)) return *info;
        throw std::runtime_error("the information window has gone");
    }

    // Clicks Info where no information window covers it and returns the new
    // window once it is complete and active.
    InfoWindow openInfo() {
        std::this_thread::sleep_until(lastInfoPress_ + kApartPresses);
        auto before = infoWindows();
        Rect b = app->infoButton.rect;
        for (const auto& w : before)
            if (w.rect.contains(b.left, b.centreY())) b.left = std::max(b.left, w.rect.right);
        if (b.width() < 4) throw std::runtime_error("the Info button is covered");
        if (!input::click(b.centreX(), b.centreY())) throw std::runtime_error("xdotool failed");
        lastInfoPress_ = std::chrono::steady_clock::now();

        std::optional<InfoWindow> info;
        waitUntil(
            [&] {
                for (const auto& w : infoWindows())
                    if (std::none_of(before.begin(), before.end(), [&](auto& o) { return o.hwnd == w.hwnd; }))
                        return (info = read(w)).has_value();
                return false;
            },
            10s, 100ms);
        if (!info) throw std::runtime_error("no complete information window appeared within 10 s");
        std::string why;
        if (!probe.waitForeground(info->window.hwnd, &why))
            throw std::runtime_error("the information window did not become active: " + why);
        return *info;
    }

    bool waitGone(const InfoWindow& w) {
        return waitUntil([&] { return !probe.exists(w.window.hwnd); });
    }

    // Moves `w` 200 pixels to the left, as a window manager would, then
    // activates `under` and `w` again by clicks on their captions: `under`
    // then lies between `w` and the converter, and is what Windows itself
    // would activate when `w` goes. (A drag by xdotool's press and move in
    // one go now and then reached Wine with the press where the pointer had
    // been before.)
    void stackOver(InfoWindow& w, const InfoWindow& under) {
        const int captionY = probe.closeBox(w.window.hwnd).second;
        const Rect moved{w.window.rect.left - 200, w.window.rect.top, w.window.rect.right - 200, w.window.rect.bottom};
        std::string why;
        probe.move(w.window.hwnd, moved.left, moved.top);
        if (!waitUntil([&] { return probe.info(w.window.hwnd).rect == moved; }))
            throw std::runtime_error("moving the information window failed: " + toString(probe.info(w.window.hwnd).rect));
        w = reread(w);
        if (!input::click(w.window.rect.right + 40, captionY) || !probe.waitForeground(under.window.hwnd, &why))
            throw std::runtime_error("clicking the lower information window did not activate it: " + why);
        if (!input::click(w.window.rect.left + 100, captionY) || !probe.waitForeground(w.window.hwnd, &why))
            throw std::runtime_error("clicking the moved information window did not activate it: " + why);
    }

    // The converter is the active window and the focus is on its frame or on
    // one of its controls.
    bool waitFocusInConverter(std::string* why) {
        Hwnd focus = 0, active = 0;
        bool ok = waitUntil([&] {
            focus = probe.focus(app->window.hwnd).focus;
            active = probe.foreground().hwnd;
            if (active != app->window.hwnd) return false;
            return focus == app->window.hwnd ||
                   std::any_of(app->controls.begin(), app->controls.end(), [&](auto& c) { return c.hwnd == focus; });
        });
        if (!ok) {
            TopWindow fg = probe.foreground();
            *why = "the active window is \"" + fg.title + "\", the focus on " + std::to_string(focus);
        }
        return ok;
    }

    // Clicks a point of the converter's drawing area that neither its
    // controls nor `cover` hide, which activates the converter and nothing else.
    void activateConverter(const Rect& cover) {
        const Rect& da = app->drawingArea.rect;
        for (int x = da.right - 2; x >= da.left + 2; --x)
            for (int y = da.top + 2; y < da.bottom - 2; y += 2) {
                if (cover.contains(x, y)) continue;
                bool hidden = std::any_of(app->controls.begin(), app->controls.end(), [&](auto& c) {
                    return c.hwnd != app->drawingArea.hwnd &&
                           Rect{c.rect.left - 2, c.rect.top - 2, c.rect.right + 2, c.rect.bottom + 2}.contains(x, y);
                });
                if (hidden) continue;
                std::string why;
                if (!input::click(x, y) || !probe.waitForeground(app->window.hwnd, &why))
                    throw std::runtime_error("clicking the converter did not activate it: " + why);
                return;
            }
        throw std::runtime_error("no free point of the converter is visible");
    }

    // Underline along the date label's bottom row, the rule at y = 130 from
    // x = 300 to 470, the note with its baseline at (305, 80): red where they
    // belong and nowhere next to them. Polled, since repainting is
    // asynchronous.
    void expectRedDrawings(const InfoWindow& w, const std::string& when) {
        const Rect& d = w.date.rect;
        const struct {
            const char* what;
            Rect area;
            long min, max;
        } checks[] = {
            {"underline", Rect{d.left, d.bottom - 1, d.right, d.bottom}, std::min(d.width(), 150) - 1, 151},
            {"row above the underline", Rect{d.left, d.bottom - 2, d.right, d.bottom - 1}, 0, 0},
            {"rule", w.inArea(300, 130, 471, 131), 165, 171},
            {"rows below the rule", w.inArea(290, 126, 480, 130), 0, 0},
            {"rows above the rule", w.inArea(290, 131, 480, 135), 0, 0},
            {"note", w.inArea(300, 78, 440, 122), 150, 100000},
            {"below the note's baseline", w.inArea(290, 40, 480, 76), 0, 0},
        };
        std::string report;
        bool ok = waitUntil(
            [&] {
                report.clear();
                for (const auto& c : checks) {
                    long n = probe.count(c.area, kRed).count;
                    if (n < c.min || n > c.max)
                        report += std::string(c.what) + " " + toString(c.area) + ": " + std::to_string(n) +
                                  " red pixels, expected " + std::to_string(c.min) + ".." + std::to_string(c.max) +
                                  "; ";
                }
                return report.empty();
            },
            4s, 200ms);
        EXPECT_TRUE(ok) << when << ": " << report;
    }

    Probe probe;
    std::unique_ptr<Valumat> app;

private:
    std::chrono::steady_clock::time_point lastInfoPress_{};
};

TEST_F(Info, OpensAtItsPlaceAndAgainOnEveryPress) {
    InfoWindow first = openInfo();
    EXPECT_EQ(first.window.rect, kInfoRect) << toString(first.window.rect);
    EXPECT_EQ(first.ok.rect, first.inArea(330, 10, 426, 34)) << toString(first.ok.rect);
    EXPECT_EQ(first.date.rect.left, first.area.rect.left + 335);
    EXPECT_EQ(first.date.rect.bottom, first.area.rect.bottom - 260);
    IconInfo icon = probe.icon(first.window.hwnd);
    EXPECT_TRUE(icon.big != 0 || icon.small != 0 || icon.classBig != 0) << "the window has no icon";
    // taskList true, no owner: a task-bar button of its own, a normal frame.
    EXPECT_TRUE(first.window.exStyle & kWsExAppWindow) << "no WS_EX_APPWINDOW: taskList is not true";
    EXPECT_EQ(first.window.owner, 0u) << "the window has an owner";
    EXPECT_FALSE(first.window.exStyle & kWsExToolWindow);

    InfoWindow second = openInfo();
    EXPECT_NE(second.window.hwnd, first.window.hwnd);
    EXPECT_EQ(second.window.rect, kInfoRect) << toString(second.window.rect);
    EXPECT_EQ(infoWindows().size(), 2u);
    EXPECT_TRUE(app->process->running());
}

// Each label read back at its place (lower-left corner in the drawing area,
// y upwards): its text, its font, and text pixels in its colour; the picture
// at its place in its own size.
TEST_F(Info, LabelsAndPictureShowTheirTextsFontsAndColoursAtTheirPlaces) {
    InfoWindow w = openInfo();
    const auto all = probe.descendants(w.window.hwnd);
    const struct {
        int x, y;
        const char* text;  // the whole text, or its beginning where the maker chose the rest
        bool whole;
        const char* face;
        int points, weight;
        Rgb colour;
    } labels[] = {
        {60, 320, " Valumat ", true, "Tahoma", 18, 700, kPink},
        {300, 322, "Version V2.01", true, "Tahoma", 15, 700, kRed},
        {335, 260, "05. Juni 2003", true, "Times New Roman", 10, 400, kBlue},
        {305, 210, "", false, "Times New Roman", 10, 400, kBlue},
        {305, 195, "", false, "Times New Roman", 10, 400, kBlue},
        {305, 180, "", false, "Times New Roman", 10, 400, kBlue},
        {305, 165, "EMail : ", false, "Times New Roman", 10, 400, kBlue},
        {305, 149, "Internet : ", false, "Times New Roman", 10, 400, kBlue},
    };
    std::vector<std::string> makerLines;
    for (const auto& l : labels) {
        const std::string at = "at (" + std::to_string(l.x) + ", " + std::to_string(l.y) + ")";
        const ChildWindow* c = placedAt(all, w.area, l.x, l.y);
        if (!c) {
            ADD_FAILURE() << "no label " << at;
            continue;
        }
        EXPECT_EQ(c->cls, "XbpStatic") << at;
        if (l.whole) {
            EXPECT_EQ(c->text, l.text) << at;
        } else {
            EXPECT_EQ(c->text.rfind(l.text, 0), 0u) << at << ": \"" << c->text << "\"";
            EXPECT_GT(c->text.size(), std::string(l.text).size()) << at << ": \"" << c->text << "\"";
            makerLines.push_back(c->text);
        }
        const FontInfo f = probe.font(c->hwnd);
        EXPECT_TRUE(faceIs(f.face, l.face)) << at << ": " << toString(f) << ", not " << l.face;
        EXPECT_EQ(f.points, l.points) << at << ": " << toString(f);
        EXPECT_EQ(f.weight, l.weight) << at << ": " << toString(f);
        ColourHits hits;
        EXPECT_TRUE(waitUntil([&] { return (hits = probe.count(c->rect, l.colour)).count >= 10; }, 3s, 200ms))
            << at << ": " << hits.count << " text pixels in " << l.colour.r << "," << l.colour.g << "," << l.colour.b;
    }
    // Five different maker lines.
    std::sort(makerLines.begin(), makerLines.end());
    EXPECT_EQ(std::unique(makerLines.begin(), makerLines.end()), makerLines.end());
    EXPECT_TRUE(std::any_of(makerLines.begin(), makerLines.end(), [](const std::string& t) {
        return t.rfind("EMail : ", 0) == 0 && t.find('@') != std::string::npos;
    })) << "no e-mail address";

    // The banknotes and coins, at their own 281 x 290: white around them.
    const ChildWindow* picture = placedAt(all, w.area, 5, 10);
    ASSERT_NE(picture, nullptr) << "no picture at (5, 10)";
    EXPECT_EQ(picture->cls, "XbpStatic");
    EXPECT_EQ(picture->rect, w.inArea(5, 10, 286, 300)) << toString(picture->rect);
    EXPECT_GT(probe.count(picture->rect, Rgb{255, 255, 255}, 8).count, 281 * 290 / 10) << "hardly any white";
}

// Drawn-by-us push buttons report a double click's second press apart; it
// must still open a second window.
TEST_F(Info, DoubleClickOnInfoOpensTwoWindows) {
    // The part of the button right of where the windows open stays clickable.
    const Rect& b = app->infoButton.rect;
    const int x = (std::max(b.left, kInfoRect.right) + b.right) / 2;
    ASSERT_LT(x, b.right - 1);
    ASSERT_EQ(runTool({"xdotool", "mousemove", std::to_string(x), std::to_string(b.centreY()), "click", "--repeat",
                       "2", "--delay", "100", "1"}),
              0);
    EXPECT_TRUE(waitUntil([&] { return infoWindows().size() == 2; }, 5s, 100ms))
        << infoWindows().size() << " information windows";
}

TEST_F(Info, EnterOrEscapeRightAfterOpeningClosesIt) {
    for (const char* key : {"Return", "Escape"}) {
        InfoWindow w = openInfo();
        ASSERT_TRUE(input::key(key));
        EXPECT_TRUE(waitGone(w)) << key << " left the window open";
        EXPECT_TRUE(app->process->running()) << key << " ended the program";
        EXPECT_FALSE(app->windowGone());
    }
}

// Each time another information window lies between the one closed and the
// converter, so only the program's own hand-back reaches the converter.
TEST_F(Info, CloseButtonAndOkHandTheFocusBackToTheConverter) {
    InfoWindow under = openInfo();
    std::string why;

    InfoWindow w = openInfo();
    stackOver(w, under);
    auto [x, y] = probe.closeBox(w.window.hwnd);
    ASSERT_TRUE(input::click(x, y));
    EXPECT_TRUE(waitGone(w)) << "close button";
    EXPECT_TRUE(waitFocusInConverter(&why)) << "after the close button: " << why;

    w = openInfo();
    stackOver(w, under);
    ASSERT_TRUE(input::click(w.ok.rect.centreX(), w.ok.rect.centreY()));
    EXPECT_TRUE(waitGone(w)) << "OK";
    EXPECT_TRUE(waitFocusInConverter(&why)) << "after OK: " << why;

    // Escape on the focused OK button goes the way of a click on it.
    w = openInfo();
    stackOver(w, under);
    ASSERT_TRUE(input::pressMoveRelease(w.ok.rect.centreX(), w.ok.rect.centreY(), w.window.rect.right + 60,
                                        w.window.rect.bottom + 60));
    ASSERT_TRUE(waitUntil([&] { return probe.focus(w.window.hwnd).focus == w.ok.hwnd; }))
        << "pressing OK did not focus it";
    ASSERT_TRUE(probe.exists(w.window.hwnd)) << "the slide-off press must not count as a click";
    ASSERT_TRUE(input::key("Escape"));
    EXPECT_TRUE(waitGone(w)) << "Escape on OK";
    EXPECT_TRUE(waitFocusInConverter(&why)) << "after Escape on OK: " << why;

    EXPECT_TRUE(probe.exists(under.window.hwnd));
    EXPECT_TRUE(app->process->running());
}

// Typed digits and Escape always reach an amount field once the converter is
// active again: the field that had the focus, or the euro field when a push
// button (or nothing) had it.
TEST_F(Info, AfterTheInformationWindowDigitsAndEscapeReachTheAmountFields) {
    ASSERT_TRUE(app->waitFocus(app->euroField.hwnd));
    ASSERT_TRUE(input::type("100"));
    ASSERT_TRUE(app->waitFields("195,58", "100"));
    InfoWindow w = openInfo();
    ASSERT_TRUE(input::click(w.ok.rect.centreX(), w.ok.rect.centreY()));
    ASSERT_TRUE(waitGone(w));
    EXPECT_TRUE(app->waitFocus(app->euroField.hwnd)) << "after OK";
    ASSERT_TRUE(input::type("250"));
    EXPECT_TRUE(app->waitFields("488,96", "250")) << app->dmText() << " | " << app->euroText();

    // The key letter presses Info and focuses it; Escape closes the window.
    ASSERT_TRUE(input::key("alt+i"));
    std::optional<InfoWindow> keyed;
    ASSERT_TRUE(waitUntil([&] {
        auto all = infoWindows();
        return !all.empty() && (keyed = read(all.front())).has_value();
    })) << "Alt+I opened no information window";
    std::string why;
    ASSERT_TRUE(probe.waitForeground(keyed->window.hwnd, &why)) << why;
    ASSERT_TRUE(input::key("Escape"));
    ASSERT_TRUE(waitGone(*keyed));
    EXPECT_TRUE(app->waitFocus(app->euroField.hwnd)) << "after Alt+I and Escape";
    ASSERT_TRUE(input::type("10"));
    EXPECT_TRUE(app->waitFields("19,56", "10")) << app->dmText() << " | " << app->euroText();

    // Minimised and restored: the DM field keeps the focus it had.
    ASSERT_TRUE(app->click(app->dmField));
    ASSERT_TRUE(app->waitFocus(app->dmField.hwnd));
    constexpr unsigned kWmSysCommand = 0x0112;
    constexpr unsigned long kScMinimize = 0xF020, kScRestore = 0xF120;
    probe.send(app->window.hwnd, kWmSysCommand, kScMinimize);
    constexpr std::uint32_t kWsMinimize = 0x20000000;
    ASSERT_TRUE(waitUntil([&] { return (probe.info(app->window.hwnd).style & kWsMinimize) != 0; }));
    probe.send(app->window.hwnd, kWmSysCommand, kScRestore);
    ASSERT_TRUE(waitUntil([&] { return (probe.info(app->window.hwnd).style & kWsMinimize) == 0; }));
    ASSERT_TRUE(probe.waitForeground(app->window.hwnd, &why)) << why;
    EXPECT_TRUE(app->waitFocus(app->dmField.hwnd))
        << "after minimise and restore the focus is on " << app->focused() << ", not the DM field " << app->dmField.hwnd
        << " (euro field " << app->euroField.hwnd << ", window " << app->window.hwnd << ")";
    ASSERT_TRUE(input::type("100"));
    EXPECT_TRUE(app->waitFields("100", "51,13")) << app->dmText() << " | " << app->euroText();
    ASSERT_TRUE(input::key("Escape"));
    EXPECT_TRUE(app->process->waitExit(10s).has_value()) << "Escape did not end the program";
}

TEST_F(Info, ConverterStaysUsableWhileItIsOpen) {
    InfoWindow w = openInfo();
    // It covers most of the converter: a user first brings the converter up.
    activateConverter(w.window.rect);
    ASSERT_TRUE(app->click(app->dmField));
    ASSERT_TRUE(app->waitFocus(app->dmField.hwnd));
    ASSERT_TRUE(input::type("100"));
    EXPECT_TRUE(app->waitFields("100", "51,13")) << app->dmText() << " | " << app->euroText();
    EXPECT_TRUE(probe.exists(w.window.hwnd));
    EXPECT_TRUE(probe.info(w.window.hwnd).visible);
}

TEST_F(Info, UnderlineRuleAndNoteAreRedAlsoAfterBeingHidden) {
    InfoWindow w = openInfo();
    expectRedDrawings(w, "when opened");
    std::string shot = config().screenshots + "/info.png";
    ASSERT_TRUE(screenshot(shot, w.window.rect));
    std::cout << "screenshot: " << shot << std::endl;

    // Wine brings back what another window uncovers from its own copy of the
    // window, without a repaint; what lay beyond the screen's edge the window
    // has to draw again. So: moved until the date, the rule and the note lie
    // below the edge, then back.
    auto top = [&] { return probe.info(w.window.hwnd).rect.top; };
    probe.move(w.window.hwnd, kInfoRect.left, kInfoRect.top + 500);
    ASSERT_TRUE(waitUntil([&] { return top() == kInfoRect.top + 500; })) << top();
    probe.move(w.window.hwnd, kInfoRect.left, kInfoRect.top);
    ASSERT_TRUE(waitUntil([&] { return top() == kInfoRect.top; })) << top();
    expectRedDrawings(w, "after it was dragged partly off the screen and back");
}

}  // namespace
}  // namespace e2e
