// The control showcase as a person uses it: boxes checked, radio buttons
// picked, tabs switched with the mouse, a tree node opened, a menu opened with
// Alt and a key letter; each read back through Win32: the native control's
// state and the status line that the program's callbacks write.
#include "showcase_app.h"

#include <gtest/gtest.h>

#include <iostream>

namespace e2e {
namespace {

constexpr unsigned kBmGetCheck = 0x00F0;
constexpr unsigned kTvmGetNextItem = 0x110A, kTvmGetItemRect = 0x1104, kTvmGetItemState = 0x1127;
constexpr unsigned long kTvgnRoot = 0, kTvisExpanded = 0x20;
enum Tab { kSwitches = 0, kEntry = 1, kTree = 2, kDrawing = 3 };

class Showcase : public testing::Test {
protected:
    void SetUp() override { app = std::make_unique<ShowcaseApp>(probe); }
    void TearDown() override {
        if (app && app->process->running()) probe.postClose(app->window.hwnd);
    }

    long checked(const ChildWindow& c) { return probe.send(c.hwnd, kBmGetCheck); }
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
    } pages[] = {{kEntry, "Eingabe", "Edit"}, {kTree, "Baum", "SysTreeView32"}, {kDrawing, "Zeichnung", ""},
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

    // Datei, Beenden ends the program.
    ASSERT_TRUE(probe.waitForeground(app->window.hwnd));
    ASSERT_TRUE(input::key("alt+d"));
    EXPECT_TRUE(waitUntil(popupShown)) << "Alt+D opened no menu";
    ASSERT_TRUE(input::key("b"));
    auto code = app->process->waitExit(10s);
    ASSERT_TRUE(code.has_value()) << "the program did not end";
    EXPECT_EQ(*code, 0);
}

TEST_F(Showcase, TypedTextReachesTheEntryFieldsCallback) {
    ASSERT_TRUE(app->clickTab(kEntry));
    ChildWindow name = app->find("Edit");
    ASSERT_TRUE(app->click(name));
    ASSERT_TRUE(input::type("Grüße"));
    EXPECT_TRUE(app->waitStatus("Eingabefeld: Grüße")) << app->statusText();
    EXPECT_EQ(probe.text(name.hwnd), "Grüße");
}

}  // namespace
}  // namespace e2e
