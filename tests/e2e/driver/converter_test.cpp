// The converter window as a user meets it: start state, conversion while
// typing, emptying on focus changes, field length, and the ways of quitting.
#include "valumat_app.h"

#include <gtest/gtest.h>

#include <iostream>
#include <tuple>

namespace e2e {
namespace {

constexpr std::uint32_t kWsExToolWindow = 0x80, kWsExAppWindow = 0x40000;

class Converter : public testing::Test {
protected:
    void SetUp() override {
        app = std::make_unique<Valumat>(probe);
        ASSERT_TRUE(app->waitFocus(app->euroField.hwnd)) << "the euro field never got the focus";
    }

    // Each way of quitting ends the process, with exit code 0, in a few
    // seconds (generous: the machine may be busy).
    void expectQuitCleanly() {
        auto code = app->process->waitExit(10s);
        ASSERT_TRUE(code.has_value()) << "Valumat still running";
        EXPECT_EQ(*code, 0);
        EXPECT_TRUE(waitUntil([&] { return app->windowGone(); }));
    }

    Probe probe;
    std::unique_ptr<Valumat> app;
};

TEST_F(Converter, StartsAtItsPlaceWithEmptyFieldsAndTheEuroFieldFocused) {
    // Lower-left corner at (507, 379) counted upwards on a 1024x768 screen, 280x140.
    EXPECT_EQ(app->window.rect, (Rect{507, 249, 787, 389})) << toString(app->window.rect);
    EXPECT_EQ(app->dmText(), "");
    EXPECT_EQ(app->euroText(), "");
    EXPECT_EQ(app->focused(), app->euroField.hwnd);
}

TEST_F(Converter, HasIconAndTaskBarEntry) {
    IconInfo icon = probe.icon(app->window.hwnd);
    EXPECT_TRUE(icon.big != 0 || icon.small != 0 || icon.classBig != 0) << "the window has no icon";
    const TopWindow& w = app->window;
    // taskList true, no owner: an application window, which Windows gives a
    // task-bar button whatever owns it; a normal frame, no tool window.
    EXPECT_TRUE(w.exStyle & kWsExAppWindow) << "no WS_EX_APPWINDOW: taskList is not true";
    EXPECT_EQ(w.owner, 0u) << "the window has an owner";
    EXPECT_FALSE(w.exStyle & kWsExToolWindow);
}

TEST_F(Converter, ControlsSitWhereTheLayoutPutsThem) {
    // Positions are lower-left corners within the drawing area, y upwards.
    const Rect& da = app->drawingArea.rect;
    auto placed = [&](int x, int y, int w, int h) { return Rect{da.left + x, da.bottom - y - h, da.left + x + w, da.bottom - y}; };
    EXPECT_EQ(app->dmField.rect, placed(44, 75, 96, 24)) << toString(app->dmField.rect);
    EXPECT_EQ(app->euroField.rect, placed(44, 40, 96, 24)) << toString(app->euroField.rect);
    EXPECT_EQ(app->infoButton.rect, placed(192, 75, 76, 24)) << toString(app->infoButton.rect);
    EXPECT_EQ(app->quitButton.rect, placed(192, 40, 76, 24)) << toString(app->quitButton.rect);
    EXPECT_EQ(app->rateLabel.rect, placed(25, 5, 240, 24)) << toString(app->rateLabel.rect);

    int dm = 0, euro = 0, flags = 0;
    for (const auto& c : app->controls) {
        if (c.cls != "XbpStatic") continue;
        dm += c.text == "DM";
        euro += c.text == "\u20ac";
        flags += c.text.empty();
    }
    EXPECT_EQ(dm, 1);
    EXPECT_EQ(euro, 1);
    EXPECT_EQ(flags, 2) << "two flag pictures";
}

// The flags, the currency labels, the buttons and the rate label read back at
// their places, in their fonts and, for the flags, in their colours.
TEST_F(Converter, FlagsLabelsAndButtonsShowTheirPicturesTextsAndFonts) {
    const ChildWindow& da = app->drawingArea;
    auto expectFont = [&](const ChildWindow& c, const std::string& face, int points, int weight) {
        const FontInfo f = probe.font(c.hwnd);
        EXPECT_TRUE(faceIs(f.face, face)) << "\"" << c.text << "\": " << toString(f) << ", not " << face;
        EXPECT_EQ(f.points, points) << "\"" << c.text << "\": " << toString(f);
        EXPECT_EQ(f.weight, weight) << "\"" << c.text << "\": " << toString(f);
    };

    // The labels and the buttons take the drawing area's "9.Arial Fett", the
    // rate label its own "10.Arial Fett", the amount fields "8.MS Sans Serif".
    const struct {
        int x, y;
        const char* text;
        int points;
    } labels[] = {{148, 75, "DM", 9}, {155, 40, "\u20ac", 9}, {192, 75, " &Info", 9}, {192, 40, " &Beenden", 9},
                  {25, 5, "Kurs: 1\u20ac = 1,95583 DM", 10}};
    for (const auto& l : labels) {
        const ChildWindow* c = placedAt(app->controls, da, l.x, l.y);
        if (!c) {
            ADD_FAILURE() << "nothing at (" << l.x << ", " << l.y << ")";
            continue;
        }
        EXPECT_EQ(c->text, l.text) << "at (" << l.x << ", " << l.y << ")";
        EXPECT_GT(c->rect.width(), 0);
        expectFont(*c, "Arial", l.points, 700);
    }
    expectFont(app->dmField, "MS Sans Serif", 8, 400);
    expectFont(app->euroField, "MS Sans Serif", 8, 400);

    // The flags at their places, at the pictures' own 33 x 21: black, red and
    // gold stripes from the top; gold stars on blue.
    const ChildWindow* de = placedAt(app->controls, da, 5, 75);
    const ChildWindow* eu = placedAt(app->controls, da, 5, 42);
    ASSERT_NE(de, nullptr) << "no flag at (5, 75)";
    ASSERT_NE(eu, nullptr) << "no flag at (5, 42)";
    for (const ChildWindow* flag : {de, eu}) {
        EXPECT_EQ(flag->cls, "XbpStatic");
        EXPECT_EQ(flag->text, "");
        EXPECT_EQ(flag->rect.width(), 33) << toString(flag->rect);
        EXPECT_EQ(flag->rect.height(), 21) << toString(flag->rect);
    }
    auto stripe = [&](int row) { return probe.pixel(de->rect.left + 16, de->rect.top + row); };
    const Rgb black = stripe(3), red = stripe(10), gold = stripe(17);
    auto show = [](Rgb c) { return std::to_string(c.r) + "," + std::to_string(c.g) + "," + std::to_string(c.b); };
    EXPECT_TRUE(black.r < 64 && black.g < 64 && black.b < 64) << "top stripe " << show(black);
    EXPECT_TRUE(red.r > 150 && red.g < 80 && red.b < 80) << "middle stripe " << show(red);
    EXPECT_TRUE(gold.r > 180 && gold.g > 120 && gold.b < 100) << "bottom stripe " << show(gold);
    const Rgb corner = probe.pixel(eu->rect.left + 1, eu->rect.top + 1);
    EXPECT_TRUE(corner.b > 100 && corner.b > corner.r + 50 && corner.b > corner.g + 50)
        << "European flag " << show(corner);
    EXPECT_GT(probe.count(eu->rect, Rgb{255, 204, 0}, 60).count, 5) << "no gold stars";
}

TEST_F(Converter, TypingEuroShowsDmAndBackspaceRecomputes) {
    ASSERT_TRUE(input::type("100"));
    ASSERT_TRUE(app->waitFields("195,58", "100")) << app->dmText() << " | " << app->euroText();

    std::string shot = config().screenshots + "/converter.png";
    ASSERT_TRUE(screenshot(shot, app->window.rect));
    std::cout << "screenshot: " << shot << std::endl;

    // 10 euro = 19.5583 DM.
    ASSERT_TRUE(input::key("BackSpace"));
    EXPECT_TRUE(app->waitFields("19,56", "10")) << app->dmText() << " | " << app->euroText();
}

TEST_F(Converter, TypingDmShowsEuro) {
    ASSERT_TRUE(app->click(app->dmField));
    ASSERT_TRUE(app->waitFocus(app->dmField.hwnd));
    ASSERT_TRUE(input::type("100"));
    EXPECT_TRUE(app->waitFields("100", "51,13")) << app->dmText() << " | " << app->euroText();
}

// Amounts of eight and nine integer digits, where a product in binary
// loses the cent, and one lying exactly half a cent between two.
TEST_F(Converter, LargeAmountsAreRightToTheCent) {
    for (const auto& [euro, dm] : {std::pair{"51129727,53", "100001054,99"}, std::pair{"1000500", "1956807,92"}}) {
        ASSERT_TRUE(input::type(euro));
        EXPECT_TRUE(app->waitFields(dm, euro)) << app->dmText() << " | " << app->euroText();
        ASSERT_TRUE(input::key("shift+Home"));
        ASSERT_TRUE(input::key("BackSpace"));
    }
    ASSERT_TRUE(app->click(app->dmField));
    ASSERT_TRUE(app->waitFocus(app->dmField.hwnd));
    ASSERT_TRUE(input::type("936158960,70"));
    EXPECT_TRUE(app->waitFields("936158960,70", "478650476,11")) << app->dmText() << " | " << app->euroText();
}

TEST_F(Converter, GermanThousandsSeparatorsAreReadAsAGermanMeansThem) {
    ASSERT_TRUE(input::type("1.000,50"));
    EXPECT_TRUE(app->waitFields("1956,81", "1.000,50")) << app->dmText() << " | " << app->euroText();
    ASSERT_TRUE(app->click(app->dmField));
    ASSERT_TRUE(app->waitFocus(app->dmField.hwnd));
    ASSERT_TRUE(input::type("1 000 000"));
    EXPECT_TRUE(app->waitFields("1 000 000", "511291,88")) << app->dmText() << " | " << app->euroText();
    // A point with other than three digits after it stays a decimal point.
    ASSERT_TRUE(app->click(app->euroField));
    ASSERT_TRUE(app->waitFocus(app->euroField.hwnd));
    ASSERT_TRUE(input::type("12.75"));
    EXPECT_TRUE(app->waitFields("24,94", "12.75")) << app->dmText() << " | " << app->euroText();
}

TEST_F(Converter, TabMovesBetweenTheFieldsAndEmptiesBoth) {
    ASSERT_TRUE(input::type("500"));
    ASSERT_TRUE(app->waitFields("977,92", "500")) << app->dmText() << " | " << app->euroText();
    ASSERT_TRUE(input::key("Tab"));
    EXPECT_TRUE(app->waitFocus(app->dmField.hwnd));
    EXPECT_TRUE(app->waitFields("", ""));

    ASSERT_TRUE(input::type("2"));
    ASSERT_TRUE(app->waitFields("2", "1,02")) << app->dmText() << " | " << app->euroText();
    ASSERT_TRUE(input::key("Tab"));
    EXPECT_TRUE(app->waitFocus(app->euroField.hwnd)) << "Tab must skip the buttons";
    EXPECT_TRUE(app->waitFields("", ""));
}

TEST_F(Converter, ClickingTheOtherFieldEmptiesBoth) {
    ASSERT_TRUE(input::type("100"));
    ASSERT_TRUE(app->waitFields("195,58", "100"));
    ASSERT_TRUE(app->click(app->dmField));
    EXPECT_TRUE(app->waitFocus(app->dmField.hwnd));
    EXPECT_TRUE(app->waitFields("", "")) << app->dmText() << " | " << app->euroText();
}

TEST_F(Converter, ClickingInfoEmptiesBoth) {
    ASSERT_TRUE(input::type("100"));
    ASSERT_TRUE(app->waitFields("195,58", "100"));
    ASSERT_TRUE(app->click(app->infoButton));
    EXPECT_TRUE(app->waitFields("", "")) << app->dmText() << " | " << app->euroText();
}

TEST_F(Converter, FieldsTakeAtMostTwentyCharacters) {
    const std::string digits = "1234567890123456789012345";
    // BackSpace after the 25 digits is handled after all of them: with the
    // limit the field then shows 19 characters, without it 24.
    auto typedAndErased = [&](auto read) {
        if (!input::type(digits) || !input::key("BackSpace")) return std::string("(xdotool failed)");
        waitUntil([&] { return read() == digits.substr(0, 19); });
        return read();
    };
    EXPECT_EQ(typedAndErased([&] { return app->euroText(); }), digits.substr(0, 19));

    ASSERT_TRUE(app->click(app->dmField));
    ASSERT_TRUE(app->waitFocus(app->dmField.hwnd));
    EXPECT_EQ(typedAndErased([&] { return app->dmText(); }), digits.substr(0, 19));
}

TEST_F(Converter, CloseButtonQuits) {
    auto [x, y] = probe.closeBox(app->window.hwnd);
    ASSERT_TRUE(input::click(x, y));
    expectQuitCleanly();
}

TEST_F(Converter, BeendenButtonQuits) {
    ASSERT_TRUE(app->click(app->quitButton));
    expectQuitCleanly();
}

TEST_F(Converter, EscapeInEuroFieldQuits) {
    ASSERT_TRUE(input::type("12"));
    ASSERT_TRUE(app->waitFields("23,47", "12"));
    ASSERT_TRUE(input::key("Escape"));
    expectQuitCleanly();
}

TEST_F(Converter, EscapeInDmFieldQuits) {
    ASSERT_TRUE(app->click(app->dmField));
    ASSERT_TRUE(app->waitFocus(app->dmField.hwnd));
    ASSERT_TRUE(input::key("Escape"));
    expectQuitCleanly();
}

TEST_F(Converter, EscapeOnFocusedBeendenButtonQuits) {
    ASSERT_TRUE(app->pressAndSlideOff(app->quitButton));
    ASSERT_TRUE(app->waitFocus(app->quitButton.hwnd)) << "pressing the button did not focus it";
    ASSERT_TRUE(app->process->running()) << "the slide-off press must not count as a click";
    ASSERT_TRUE(input::key("Escape"));
    expectQuitCleanly();
}

TEST_F(Converter, EscapeOnFocusedInfoButtonDoesNothing) {
    ASSERT_TRUE(app->pressAndSlideOff(app->infoButton));
    ASSERT_TRUE(app->waitFocus(app->infoButton.hwnd)) << "pressing the button did not focus it";
    ASSERT_TRUE(input::key("Escape"));
    // Space on the button still focused opens an information window: by the
    // time it shows, Escape before it has been handled.
    ASSERT_TRUE(input::key("space"));
    EXPECT_TRUE(waitUntil([&] { return probe.findTop(kDialogClass, "Informationen zum Valumat").has_value(); }, 10s))
        << "no information window after Escape and Space on the Info button";
    EXPECT_TRUE(app->process->running());
    EXPECT_FALSE(app->windowGone());
}

// Turning to another program, or minimising, empties the pair as any focus
// loss does; the user comes back to the same field.
TEST_F(Converter, ThePairEmptiesWhenTheUserTurnsToAnotherProgramOrMinimises) {
    constexpr unsigned kWmSysCommand = 0x0112, kScMinimize = 0xF020, kScRestore = 0xF120;
    ASSERT_TRUE(app->click(app->dmField));
    ASSERT_TRUE(app->waitFocus(app->dmField.hwnd));
    ASSERT_TRUE(input::type("250"));
    ASSERT_TRUE(app->waitFields("250", "127,82")) << app->dmText() << " | " << app->euroText();

    // The desktop belongs to another process: a click there deactivates us.
    ASSERT_TRUE(input::click(4, 4));
    EXPECT_TRUE(waitUntil([&] { return probe.foreground().hwnd != app->window.hwnd; })) << "still in front";
    EXPECT_TRUE(app->waitFields("", "")) << app->dmText() << " | " << app->euroText();
    ASSERT_TRUE(input::click(app->window.rect.left + 60, app->window.rect.top + 8));  // the title bar
    ASSERT_TRUE(probe.waitForeground(app->window.hwnd));
    EXPECT_TRUE(app->waitFocus(app->dmField.hwnd));

    ASSERT_TRUE(input::type("4"));
    ASSERT_TRUE(app->waitFields("4", "2,05")) << app->dmText() << " | " << app->euroText();
    probe.send(app->window.hwnd, kWmSysCommand, kScMinimize);
    EXPECT_TRUE(app->waitFields("", "")) << app->dmText() << " | " << app->euroText();
    probe.send(app->window.hwnd, kWmSysCommand, kScRestore);
    ASSERT_TRUE(probe.waitForeground(app->window.hwnd));
    EXPECT_TRUE(app->waitFocus(app->dmField.hwnd));
    ASSERT_TRUE(input::type("0"));
    EXPECT_TRUE(app->waitFields("0", "0,00")) << app->dmText() << " | " << app->euroText();
}

// Edits made with a field's own menu convert at once, as keys do. The menu
// of the field that did not have the focus first moves the focus, which
// empties the pair, and then pastes into the empty field.
TEST_F(Converter, EditsFromAFieldsMenuConvertAtOnce) {
    auto menuShown = [&] {
        return waitUntil([&] {
            for (const auto& w : probe.topWindows())
                if (w.visible && w.pid == app->window.pid && w.cls == "#32768") return true;
            return false;
        });
    };
    // "77" on the clipboard, copied from the euro field.
    ASSERT_TRUE(input::type("77"));
    ASSERT_TRUE(app->waitFields("150,60", "77")) << app->dmText() << " | " << app->euroText();
    ASSERT_TRUE(input::key("shift+Home"));
    ASSERT_TRUE(input::key("ctrl+c"));

    // The menu's letters are those of Wine's English edit menu: Paste, Delete,
    // Undo, Cut.
    ASSERT_TRUE(input::rightClick(app->dmField.rect.centreX(), app->dmField.rect.centreY()));
    ASSERT_TRUE(menuShown()) << "no menu";
    ASSERT_TRUE(input::key("p"));
    EXPECT_TRUE(app->waitFields("77", "39,37")) << app->dmText() << " | " << app->euroText();
    EXPECT_EQ(app->focused(), app->dmField.hwnd);

    ASSERT_TRUE(input::key("shift+Home"));
    ASSERT_TRUE(input::rightClick(app->dmField.rect.centreX(), app->dmField.rect.centreY()));
    ASSERT_TRUE(menuShown()) << "no menu";
    ASSERT_TRUE(input::key("d"));
    EXPECT_TRUE(app->waitFields("", "0,00")) << app->dmText() << " | " << app->euroText();

    // Undo brings the deleted text back, Cut takes it again.
    for (const auto& [letter, dm, euro] : {std::tuple{"u", "77", "39,37"}, std::tuple{"t", "", "0,00"}}) {
        ASSERT_TRUE(input::key("End"));
        ASSERT_TRUE(input::key("shift+Home"));
        ASSERT_TRUE(input::rightClick(app->dmField.rect.centreX(), app->dmField.rect.centreY()));
        ASSERT_TRUE(menuShown()) << "no menu";
        ASSERT_TRUE(input::key(letter));
        EXPECT_TRUE(app->waitFields(dm, euro)) << letter << ": " << app->dmText() << " | " << app->euroText();
    }
}

}  // namespace
}  // namespace e2e
