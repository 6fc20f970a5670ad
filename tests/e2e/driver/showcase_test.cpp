// The control showcase as a person uses it: boxes checked, radio buttons
// picked, tabs switched with the mouse, a tree node opened, a menu opened with
// Alt and a key letter; each read back through Win32: the native control's
// state and the status line that the program's callbacks write.
#include "showcase_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <thread>
#include <vector>

namespace e2e {
namespace {

constexpr unsigned kBmGetCheck = 0x00F0;
constexpr unsigned kTvmGetNextItem = 0x110A, kTvmGetItemRect = 0x1104, kTvmGetItemState = 0x1127;
constexpr unsigned long kTvgnRoot = 0, kTvisExpanded = 0x20;
constexpr unsigned kLbGetCurSel = 0x0188, kLbGetItemRect = 0x0198;
constexpr std::uint32_t kWsDisabled = 0x08000000;
enum Tab { kSwitches = 0, kLists = 1, kEntry = 2, kTree = 3, kDrawing = 4 };

class Showcase : public testing::Test {
protected:
    void SetUp() override { app = std::make_unique<ShowcaseApp>(probe); }
    void TearDown() override {
        if (app && app->process->running()) probe.postClose(app->window.hwnd);
    }

    long checked(const ChildWindow& c) { return probe.send(c.hwnd, kBmGetCheck); }
    // The spin button on the "Eingabe" page, still showing its first value.
    ChildWindow spinField() {
        if (!app->clickTab(kEntry)) return {};
        for (const auto& c : app->controls())
            if (c.visible && sameClass(c.cls, "Edit") && probe.text(c.hwnd) == "000") return c;
        return {};
    }
    void shoot(const std::string& name) {
        const std::string path = config().screenshots + "/steuerelemente-" + name + ".png";
        EXPECT_TRUE(screenshot(path, app->window.rect));
        std::cout << "screenshot: " << path << std::endl;
    }

    Probe probe;
    std::unique_ptr<ShowcaseApp> app;
};

TEST_F(Showcase, BoxesAndRadioButtonsAnswerClicksKeysAndKeyLetters) {
    shoot("schalter");
    ChildWindow box = app->find("Button", "&Kontrollkästchen");
    ASSERT_TRUE(app->click(box));
    EXPECT_TRUE(app->waitStatus("Kontrollkästchen: an")) << app->statusText();
    EXPECT_EQ(checked(box), 1);
    // The box has the focus now: Space clears it again.
    ASSERT_TRUE(input::key("space"));
    EXPECT_TRUE(app->waitStatus("Kontrollkästchen: aus")) << app->statusText();
    EXPECT_EQ(checked(box), 0);

    ChildWindow three = app->find("Button", "Dreistufi&g");
    for (const char* state : {"an", "unbestimmt", "aus"}) {
        ASSERT_TRUE(app->click(three));
        EXPECT_TRUE(app->waitStatus(std::string("Dreistufig: ") + state)) << app->statusText();
    }

    ChildWindow red = app->find("Button", "&Rot"), blue = app->find("Button", "Bla&u"),
                white = app->find("Button", "&Weiß");
    ASSERT_TRUE(app->click(blue));
    EXPECT_TRUE(app->waitStatus("Optionsfeld: Blau gewählt")) << app->statusText();
    EXPECT_EQ(checked(blue), 1);
    EXPECT_EQ(checked(red), 0);
    // The arrow keys move the choice within the group.
    ASSERT_TRUE(input::key("Down"));
    EXPECT_TRUE(app->waitStatus("Optionsfeld: Weiß gewählt")) << app->statusText();
    EXPECT_EQ(checked(white), 1);
    EXPECT_EQ(checked(blue), 0);

    // Alt with the key letter presses the button.
    ASSERT_TRUE(input::key("alt+a"));
    EXPECT_TRUE(app->waitStatus("Schaltfläche: 1-mal gedrückt")) << app->statusText();
}

TEST_F(Showcase, TabsSwitchWithTheMouseAndShowOnePageAtATime) {
    EXPECT_EQ(app->currentTab(), kSwitches);
    const struct {
        Tab tab;
        const char* name;
        const char* cls;  // a control only that page has
    } pages[] = {{kLists, "Listen", "ListBox"},    {kEntry, "Eingabe", "msctls_updown32"},
                 {kTree, "Baum", "SysTreeView32"}, {kDrawing, "Zeichnen", ""},
                 {kSwitches, "Schalter", "Button"}};
    for (const auto& page : pages) {
        ASSERT_TRUE(app->clickTab(page.tab));
        EXPECT_TRUE(app->waitStatus(std::string("Register: ") + page.name)) << app->statusText();
        EXPECT_EQ(app->currentTab(), page.tab);
        if (*page.cls) {
            EXPECT_NO_THROW(app->find(page.cls)) << page.name;
        }
        std::string file = page.name;
        for (char& c : file) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        shoot(file);
    }
    // Behind the front page, the others' controls are hidden.
    for (const auto& c : app->controls()) {
        if (sameClass(c.cls, "SysTreeView32")) {
            EXPECT_FALSE(c.visible);
        }
    }
}

// Pages change by arrow keys and clicks in any order, and by Ctrl+Tab and
// Ctrl+Shift+Tab from a control on the page as from the tabs.
TEST_F(Showcase, PagesChangeByArrowKeysClicksAndCtrlTabFromAnywhere) {
    ASSERT_TRUE(app->clickTab(kLists));
    ASSERT_TRUE(app->waitStatus("Register: Listen")) << app->statusText();
    ASSERT_TRUE(input::key("Right"));
    EXPECT_TRUE(app->waitStatus("Register: Eingabe")) << app->statusText();
    for (const Tab tab : {kSwitches, kTree}) {
        ASSERT_TRUE(app->clickTab(tab));
        EXPECT_TRUE(waitUntil([&] { return app->currentTab() == tab; })) << "a click after an arrow key did not choose tab "
                                                                        << tab << ", still " << app->currentTab();
    }

    ASSERT_TRUE(app->clickTab(kSwitches));
    const ChildWindow box = app->find("Button", "&Kontrollkästchen");
    ASSERT_TRUE(app->click(box));
    ASSERT_TRUE(waitUntil([&] { return app->focused() == box.hwnd; })) << "focus on " << app->focused();
    ASSERT_TRUE(input::key("ctrl+Tab"));
    EXPECT_TRUE(app->waitStatus("Register: Listen")) << app->statusText();
    // The focus went on into the new page, where the same keys work again.
    const Hwnd inPage = app->focused();
    EXPECT_NE(inPage, app->tabs.hwnd);
    EXPECT_TRUE(probe.info(inPage).visible);
    ASSERT_TRUE(input::key("ctrl+shift+Tab"));
    EXPECT_TRUE(app->waitStatus("Register: Schalter")) << app->statusText();
    ASSERT_TRUE(input::key("ctrl+shift+Tab"));
    EXPECT_TRUE(app->waitStatus("Register: Zeichnen")) << app->statusText();
}

TEST_F(Showcase, TheDrawingPageShowsItsTextsAgainAfterItWasCovered) {
    ASSERT_TRUE(app->clickTab(kDrawing));
    EXPECT_TRUE(app->waitStatus("Register: Zeichnen")) << app->statusText();
    std::optional<ChildWindow> canvas, themes;
    for (const auto& c : app->controls()) {
        if (!c.visible) continue;
        if (c.text.rfind("Themen aktiv: ", 0) == 0) themes = c;
        if (c.rect.width() == 520 && c.rect.height() == 230) canvas = c;
    }
    ASSERT_TRUE(themes);
    // What the prefix has, where the run says so.
    const std::string& styles = config().visualStyles;
    if (styles.empty())
        EXPECT_TRUE(themes->text == "Themen aktiv: ja" || themes->text == "Themen aktiv: nein") << themes->text;
    else
        EXPECT_EQ(themes->text, styles == "on" ? "Themen aktiv: ja" : "Themen aktiv: nein");
    ASSERT_TRUE(canvas);

    // The program's drawing coordinates: from the canvas's bottom row up.
    const Rect& r = canvas->rect;
    auto area = [&r](int x1, int y1, int x2, int y2) {
        return Rect{r.left + x1, r.bottom - 1 - y2, r.left + x2 + 1, r.bottom - y1};
    };
    const Rect caption = area(28, 136, 200, 165), framed = area(262, 42, 488, 108), frame = area(258, 38, 492, 112);
    auto inks = [&] {
        return std::vector<long>{probe.count(caption, Rgb{0, 128, 0}, 60).count,
                                 probe.count(framed, Rgb{128, 0, 0}, 60).count,
                                 probe.count(frame, Rgb{255, 0, 255}).count};
    };
    EXPECT_TRUE(waitUntil([&] {
        const auto now = inks();
        return now[0] > 20 && now[1] > 20 && now[2] > 400;
    })) << "caption, framed text, frame: " << inks()[0] << ", " << inks()[1] << ", " << inks()[2];
    const std::vector<long> shown = inks();
    shoot("zeichnen");

    // Covered by the modal dialog and uncovered again: all of it comes back.
    const TopWindow dialog = app->openModalDialog();
    EXPECT_NE(inks(), shown) << "the dialog covers none of it";
    ASSERT_TRUE(app->click(app->findIn(dialog.hwnd, "Button", "Abbrechen")));
    EXPECT_TRUE(waitUntil([&] { return !probe.exists(dialog.hwnd); }));
    EXPECT_TRUE(waitUntil([&] { return inks() == shown; })) << inks()[0] << ", " << inks()[1] << ", " << inks()[2];
    shoot("zeichnen-wieder");
}

TEST_F(Showcase, ATreeNodeOpensWithTheKeyboard) {
    ASSERT_TRUE(app->clickTab(kTree));
    ChildWindow tree = app->find("SysTreeView32");
    const long root = probe.send(tree.hwnd, kTvmGetNextItem, kTvgnRoot);
    ASSERT_NE(root, 0);
    auto [ok, r] = probe.sendRect(tree.hwnd, kTvmGetItemRect, 1, static_cast<unsigned long>(root));
    ASSERT_TRUE(ok);
    ASSERT_TRUE(input::click(tree.rect.left + 2 + (r.left + r.right) / 2, tree.rect.top + 2 + (r.top + r.bottom) / 2));
    EXPECT_TRUE(app->waitStatus("Baum: Deutschland markiert")) << app->statusText();
    EXPECT_FALSE(probe.send(tree.hwnd, kTvmGetItemState, static_cast<unsigned long>(root), kTvisExpanded) &
                 kTvisExpanded);
    ASSERT_TRUE(input::key("Right"));
    EXPECT_TRUE(app->waitStatus("Baum: Deutschland aufgeklappt")) << app->statusText();
    EXPECT_TRUE(probe.send(tree.hwnd, kTvmGetItemState, static_cast<unsigned long>(root), kTvisExpanded) &
                kTvisExpanded);
    shoot("baum-offen");
    ASSERT_TRUE(input::key("Left"));
    EXPECT_TRUE(app->waitStatus("Baum: Deutschland zugeklappt")) << app->statusText();
}

TEST_F(Showcase, AMenuOpensWithAltAndItsKeyLetterAndAnItemRuns) {
    auto popupShown = [&] {
        for (const auto& w : probe.topWindows())
            if (w.visible && w.pid == app->window.pid && w.cls == "#32768") return true;
        return false;
    };
    ASSERT_TRUE(input::key("alt+h"));
    EXPECT_TRUE(waitUntil(popupShown)) << "Alt+H opened no menu";
    ASSERT_TRUE(input::key("i"));
    EXPECT_TRUE(app->waitStatus("Menü: Info gewählt")) << app->statusText();
    std::optional<TopWindow> box;
    EXPECT_TRUE(waitUntil([&] { return (box = probe.findTop("#32770", "Info")).has_value(); }));
    ASSERT_TRUE(box);
    ASSERT_TRUE(input::key("Return"));
    EXPECT_TRUE(waitUntil([&] { return !probe.exists(box->hwnd); }));

    // Datei opens and Escape closes it again; then Beenden ends the program.
    ASSERT_TRUE(probe.waitForeground(app->window.hwnd));
    ASSERT_TRUE(input::key("alt+d"));
    EXPECT_TRUE(waitUntil(popupShown)) << "Alt+D opened no menu";
    shoot("menue-datei");
    ASSERT_TRUE(input::key("Escape"));
    EXPECT_TRUE(waitUntil([&] { return !popupShown(); })) << "Escape left the menu open";
    ASSERT_TRUE(input::key("Escape"));  // out of the bar, which stays active
    ASSERT_TRUE(input::key("alt+d"));
    EXPECT_TRUE(waitUntil(popupShown)) << "Alt+D opened no menu";
    ASSERT_TRUE(input::key("b"));
    auto code = app->process->waitExit(10s);
    ASSERT_TRUE(code.has_value()) << "the program did not end";
    EXPECT_EQ(*code, 0);
}

TEST_F(Showcase, AListItemIsMarkedWithAClickAndChosenWithADoubleClick) {
    ASSERT_TRUE(app->clickTab(kLists));
    ChildWindow list = app->find("ListBox");
    auto [ok, r] = probe.sendRect(list.hwnd, kLbGetItemRect, 1);
    ASSERT_NE(ok, -1);
    const int x = list.rect.left + 2 + (r.left + r.right) / 2, y = list.rect.top + 2 + (r.top + r.bottom) / 2;
    ASSERT_TRUE(input::click(x, y));
    EXPECT_TRUE(app->waitStatus("Liste: Eintrag 2 markiert")) << app->statusText();
    EXPECT_EQ(probe.send(list.hwnd, kLbGetCurSel), 1);
    std::this_thread::sleep_for(700ms);  // the next click is not the second of a double click
    ASSERT_TRUE(input::doubleClick(x, y));
    EXPECT_TRUE(app->waitStatus("Liste: Eintrag 2 gewählt")) << app->statusText();
}

TEST_F(Showcase, TheComboBoxTakesTypedTextAndItemsOfItsList) {
    ASSERT_TRUE(app->clickTab(kLists));
    ChildWindow combo = app->find("ComboBox");
    ChildWindow entry;
    for (const auto& c : app->controls())
        if (c.parent == combo.hwnd && sameClass(c.cls, "Edit")) entry = c;
    ASSERT_NE(entry.hwnd, 0u) << "no entry inside the combination box";
    ASSERT_TRUE(app->click(entry));
    ASSERT_TRUE(input::type("Bo"));
    EXPECT_TRUE(app->waitStatus("Stadt: Bo")) << app->statusText();
    // The arrow keys take items of the list into the entry.
    ASSERT_TRUE(input::key("Down"));
    EXPECT_TRUE(waitUntil([&] {
        const std::string text = probe.text(entry.hwnd);
        return text != "Bo" && app->statusText() == "Stadt: " + text + " markiert";
    })) << app->statusText() << " / " << probe.text(entry.hwnd);

    // Alt+Down opens the list, no taller than its five items, and leaves the
    // menu bar alone: Down goes on in the list, Enter takes the item.
    constexpr unsigned kCbGetDroppedState = 0x0157, kLbGetItemHeight = 0x01A1;
    ASSERT_TRUE(input::key("alt+Down"));
    ASSERT_TRUE(waitUntil([&] { return probe.send(combo.hwnd, kCbGetDroppedState) == 1; })) << "no list";
    std::optional<TopWindow> list;
    for (const auto& w : probe.topWindows())
        if (w.visible && w.pid == app->window.pid && sameClass(w.cls, "ComboLBox")) list = w;
    ASSERT_TRUE(list);
    const Rect inside = probe.client(list->hwnd);
    EXPECT_EQ(inside.height(), 5 * probe.send(list->hwnd, kLbGetItemHeight)) << toString(inside);
    ASSERT_TRUE(input::key("Down"));
    EXPECT_TRUE(app->waitStatus("Stadt: " + probe.text(entry.hwnd) + " markiert")) << app->statusText();
    ASSERT_TRUE(input::key("Return"));
    EXPECT_TRUE(waitUntil([&] { return probe.send(combo.hwnd, kCbGetDroppedState) == 0; }));
    std::this_thread::sleep_for(500ms);  // a menu would have opened by now
    for (const auto& w : probe.topWindows())
        EXPECT_FALSE(w.visible && w.pid == app->window.pid && w.cls == "#32768") << "a menu opened";
    EXPECT_TRUE(app->process->running());
}

TEST_F(Showcase, TypedTextAndLinesReachTheFieldsCallbacks) {
    ASSERT_TRUE(app->clickTab(kEntry));
    std::vector<ChildWindow> edits;
    for (const auto& c : app->controls())
        if (c.visible && sameClass(c.cls, "Edit")) edits.push_back(c);
    ASSERT_EQ(edits.size(), 3u) << "name, notes and count";
    std::sort(edits.begin(), edits.end(), [](const auto& a, const auto& b) { return a.rect.top < b.rect.top; });
    const ChildWindow& name = edits[0];
    const ChildWindow& notes = edits[1];
    ASSERT_TRUE(app->click(name));
    ASSERT_TRUE(input::type("Grüße"));
    EXPECT_TRUE(app->waitStatus("Eingabefeld: Grüße")) << app->statusText();
    EXPECT_EQ(probe.text(name.hwnd), "Grüße");

    ASSERT_TRUE(app->click(notes));
    ASSERT_TRUE(input::type("eins"));
    ASSERT_TRUE(input::key("Return"));
    ASSERT_TRUE(input::type("zwei"));
    // "2 Zeilen" shows from the "z" on: the whole text is what to wait for.
    EXPECT_TRUE(waitUntil([&] { return probe.text(notes.hwnd) == "eins\r\nzwei"; })) << probe.text(notes.hwnd);
    EXPECT_TRUE(app->waitStatus("Notizen: 2 Zeilen")) << app->statusText();
}

TEST_F(Showcase, TheSpinButtonStepsWithTheArrowKeysAndKeepsItsZeros) {
    const ChildWindow count = spinField();
    ASSERT_NE(count.hwnd, 0u) << "no spin button showing 000";
    ASSERT_TRUE(app->click(count));
    ASSERT_TRUE(input::key("Up"));
    EXPECT_TRUE(app->waitStatus("Anzahl: 001")) << app->statusText();
    ASSERT_TRUE(input::key("Up"));
    EXPECT_TRUE(app->waitStatus("Anzahl: 002")) << app->statusText();
    ASSERT_TRUE(input::key("Down"));
    EXPECT_TRUE(app->waitStatus("Anzahl: 001")) << app->statusText();
    EXPECT_EQ(probe.text(count.hwnd), "001");
    // And with the mouse on the arrows beside it.
    ChildWindow arrows = app->find("msctls_updown32");
    ASSERT_TRUE(input::click(arrows.rect.centreX(), arrows.rect.top + 3));
    EXPECT_TRUE(app->waitStatus("Anzahl: 002")) << app->statusText();
}

TEST_F(Showcase, TheTextWindowWritesShowsTheClickedCellAndClosesWithEscape) {
    ASSERT_TRUE(app->click(app->find("Button", "&Textfenster...")));
    std::optional<TopWindow> crt;
    ASSERT_TRUE(waitUntil([&] { return (crt = probe.findTop("XbpCrt", "Textfenster")).has_value(); }, 5s));
    std::string why;
    ASSERT_TRUE(probe.waitForeground(crt->hwnd, &why)) << why;
    constexpr int kCols = 60;
    EXPECT_EQ(app->textRow(crt->hwnd, 1, 30), "Textfenster der Steuerelemente");
    EXPECT_NE(probe.icon(crt->hwnd).classBig, 0u) << "not the program's icon";
    screenshot(config().screenshots + "/steuerelemente-textfenster.png", crt->rect);

    // Where a click lands, as "Zeile r, Spalte c" in the window's row 6.
    // Each click lands in another cell than the one before it.
    auto clicked = [&](int x, int y) {
        std::pair<int, int> cell{-1, -1};
        const std::string before = app->textRow(crt->hwnd, 6, kCols);
        if (!input::click(x, y)) return cell;
        waitUntil(
            [&] {
                const std::string row = app->textRow(crt->hwnd, 6, kCols);
                return row != before &&
                       std::sscanf(row.c_str(), "  Zeile %d, Spalte %d", &cell.first, &cell.second) == 2 &&
                       row.find(", Spalte " + std::to_string(cell.second) + " ") != std::string::npos;
            },
            5s);
        return cell;
    };
    const Rect& r = crt->rect;
    const auto upperLeft = clicked(r.left + r.width() / 4, r.top + r.height() / 3);
    const auto lowerRight = clicked(r.left + 3 * r.width() / 4, r.top + 5 * r.height() / 6);
    EXPECT_GE(upperLeft.first, 0);
    EXPECT_GT(lowerRight.first, upperLeft.first);
    EXPECT_GT(lowerRight.second, upperLeft.second);
    EXPECT_LE(lowerRight.first, 15);
    EXPECT_LT(lowerRight.second, kCols);
    // The upper-left quarter point is near row 4, column 15 of 16 x 60 cells.
    EXPECT_NEAR(upperLeft.second, kCols / 4, 2);
    // The bottom pixel row and the one above it lie in the last row.
    const Rect grid = probe.client(crt->hwnd);
    const int cell = grid.width() / kCols;
    EXPECT_EQ(clicked(grid.left + 1, grid.bottom - 1), (std::pair<int, int>{15, 0}));
    EXPECT_EQ(clicked(grid.left + 3 * cell + 1, grid.bottom - 2), (std::pair<int, int>{15, 3}));

    // F2 shows the error system's choice box in cells; Enter answers it and
    // the window goes on with its caret.
    ASSERT_EQ(probe.focus(crt->hwnd).caret, crt->hwnd) << "no caret at first";
    ASSERT_TRUE(input::key("F2"));
    ASSERT_TRUE(waitUntil([&] {
        for (int row = 0; row < 16; ++row)
            if (app->textRow(crt->hwnd, row, kCols).find("Beispielfehler") != std::string::npos) return true;
        return false;
    })) << "no choice box";
    ASSERT_TRUE(input::key("Return"));
    EXPECT_TRUE(waitUntil([&] { return app->textRow(crt->hwnd, 6, kCols).rfind("  Zeile 15, Spalte 3", 0) == 0; }))
        << app->textRow(crt->hwnd, 6, kCols);
    EXPECT_TRUE(waitUntil([&] { return probe.focus(crt->hwnd).caret == crt->hwnd; })) << "the caret is gone";

    // Escape closes it; the showcase goes on.
    ASSERT_TRUE(input::key("Escape"));
    EXPECT_TRUE(waitUntil([&] { return !probe.exists(crt->hwnd); }, 5s));
    EXPECT_TRUE(app->process->running());
}

TEST_F(Showcase, TheModalDialogHoldsTheWindowBehindItUntilItsResult) {
    ChildWindow behind = app->find("Button", "&Anklicken");
    const struct {
        const char* how;  // the dialog's button, or "" for the close button
        const char* shown;
    } runs[] = {{"OK", "ModalResult: 1"},    {"Abbrechen", "ModalResult: abgebrochen"}, {"", "ModalResult: 2"},
                {"Return", "ModalResult: 1"}, {"Escape", "ModalResult: 2"}};
    for (const auto& run : runs) {
        SCOPED_TRACE(run.shown);
        const TopWindow dialog = app->openModalDialog();
        EXPECT_EQ(dialog.owner, app->window.hwnd);
        EXPECT_NE(probe.icon(dialog.hwnd).classBig, 0u) << "not the program's icon";
        if (*run.how == 'O') shoot("modal");
        EXPECT_TRUE(probe.info(app->window.hwnd).style & kWsDisabled) << "the window behind is not disabled";
        // A click on the window behind does nothing while the dialog runs:
        // the count after the last run shows it.
        ASSERT_TRUE(app->click(behind));
        EXPECT_TRUE(probe.foreground().hwnd == dialog.hwnd) << "the dialog stays in front";
        if (*run.how == 'R' || *run.how == 'E') {
            // Keys: the dialog's OK button has the focus.
            ASSERT_TRUE(input::key(run.how));
        } else if (*run.how) {
            ASSERT_TRUE(app->click(app->findIn(dialog.hwnd, "Button", run.how)));
        } else {
            const auto [x, y] = probe.closeBox(dialog.hwnd);
            ASSERT_TRUE(input::click(x, y));
        }
        EXPECT_NO_THROW(app->find("XbpStatic", run.shown));
        EXPECT_TRUE(waitUntil([&] { return !probe.exists(dialog.hwnd); })) << "the dialog stayed";
        EXPECT_TRUE(waitUntil([&] { return !(probe.info(app->window.hwnd).style & kWsDisabled); }))
            << "the window behind stays disabled";
    }
    // The window behind answers again; Enter presses the focused button.
    ASSERT_TRUE(probe.waitForeground(app->window.hwnd));
    ASSERT_TRUE(app->click(behind));
    EXPECT_TRUE(app->waitStatus("Schaltfläche: 1-mal gedrückt")) << app->statusText();
    ASSERT_TRUE(input::key("Return"));
    EXPECT_TRUE(app->waitStatus("Schaltfläche: 2-mal gedrückt")) << app->statusText();
}

TEST_F(Showcase, ZentrierenCentresTheMarkerInItsFrameAndTouchesNothingElse) {
    const ChildWindow marker = app->find("XbpStatic", "Markierung");
    const ChildWindow frame = probe.info(marker.parent);
    ASSERT_TRUE(app->click(app->find("Button", "&Zentrieren")));
    EXPECT_TRUE(app->waitStatus("Zentriert: Markierung im Rahmen")) << app->statusText();
    const ChildWindow moved = probe.info(marker.hwnd);
    EXPECT_LE(std::abs((moved.rect.left - frame.rect.left) - (frame.rect.right - moved.rect.right)), 1);
    EXPECT_LE(std::abs((moved.rect.top - frame.rect.top) - (frame.rect.bottom - moved.rect.bottom)), 1);
    auto overlap = [](const Rect& a, const Rect& b) {
        return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
    };
    for (const auto& c : app->controls()) {
        if (!c.visible || c.hwnd == marker.hwnd || c.hwnd == frame.hwnd || c.parent != frame.parent) continue;
        EXPECT_FALSE(overlap(c.rect, frame.rect)) << c.cls << " \"" << c.text << "\" under the frame";
    }
}

// At start a control has the focus, the pages sit right under the menu bar,
// the tabs come before the page's controls, as in property sheets, and Tab
// goes through the buttons beside them in their order on screen.
TEST_F(Showcase, StartsFocusedWithoutAGapAndTabsThroughTheColumnTopDown) {
    const ChildWindow box = app->find("Button", "&Kontrollkästchen");
    EXPECT_TRUE(waitUntil([&] { return app->focused() == box.hwnd; })) << "focus on " << app->focused();
    const ChildWindow area = probe.info(app->status.parent);
    EXPECT_LE(app->tabs.rect.top - area.rect.top, 8) << toString(app->tabs.rect) << " in " << toString(area.rect);

    // Backwards from the first control: the tabs, then the last tab stops of the window.
    std::vector<std::string> order;
    for (int i = 0; i < 4; ++i) {
        const Hwnd before = app->focused();
        ASSERT_TRUE(input::key("shift+Tab"));
        ASSERT_TRUE(waitUntil([&] { return app->focused() != before; })) << "Shift+Tab moved nothing";
        order.insert(order.begin(), app->focused() == app->tabs.hwnd ? "tabs" : probe.text(app->focused()));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"&Modaler Dialog...", "&Textfenster...", "&Zentrieren", "tabs"}));
}

// Held down, the spin button's arrow speeds up: from 000 to 999 in a few
// seconds rather than fifty.
TEST_F(Showcase, AHeldSpinArrowSpeedsUp) {
    const ChildWindow count = spinField();
    ASSERT_NE(count.hwnd, 0u) << "no spin button showing 000";
    ChildWindow arrows = app->find("msctls_updown32");
    ASSERT_TRUE(input::buttonDown(arrows.rect.centreX(), arrows.rect.top + 3));
    const bool reached = app->waitStatus("Anzahl: 999", 20s);
    input::buttonUp();
    EXPECT_TRUE(reached) << app->statusText();
}

// Dragging the scroll box reports each position while the button is down.
TEST_F(Showcase, TheScrollBoxReportsWhileItIsDragged) {
    ASSERT_TRUE(app->clickTab(kEntry));
    ChildWindow bar = app->find("ScrollBar");
    const int arrow = bar.rect.height();  // square arrows at both ends
    const int y = bar.rect.centreY(), x = bar.rect.left + arrow + 4;
    ASSERT_TRUE(input::buttonDown(x, y));
    ASSERT_TRUE(input::moveTo(x + 40, y));
    ASSERT_TRUE(input::moveTo(x + 80, y));
    const bool tracked = waitUntil([&] {
        const std::string text = app->statusText();
        return text.rfind("Lautstärke: ", 0) == 0 && text != "Lautstärke: 0";
    });
    const std::string during = app->statusText();
    input::buttonUp();
    EXPECT_TRUE(tracked) << "while dragged: " << during;
}

}  // namespace
}  // namespace e2e
