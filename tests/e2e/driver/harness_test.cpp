// The harness itself, against programs whose behaviour is known: our bare
// window and Wine's notepad. When these fail, the converter tests say nothing.
#include "harness.h"

#include <gtest/gtest.h>

#include <fstream>

namespace e2e {
namespace {

class Harness : public testing::Test {
protected:
    Probe probe;

    std::optional<TopWindow> waitTop(const std::string& cls, const std::string& title) {
        std::optional<TopWindow> w;
        waitUntil([&] { return (w = probe.findTop(cls, title)).has_value(); }, 20s, 100ms);
        return w;
    }
};

TEST_F(Harness, ScreenIsTheSizeTheTestsAssume) {
    EXPECT_EQ(probe.screenSize(), (std::pair{1024, 768}));
}

TEST_F(Harness, FindsWindowReadsPixelsAndClosesThroughCaptionButton) {
    if (config().bareWindow.empty()) GTEST_SKIP() << "bare_window.exe not built";
    Process app({config().winerun, config().bareWindow});
    auto w = waitTop("BareWindow", " Bare");
    ASSERT_TRUE(w) << "no bare window appeared";
    EXPECT_EQ(w->rect.width(), 280);
    EXPECT_EQ(w->rect.height(), 140);
    EXPECT_TRUE(probe.descendants(w->hwnd).empty());
    // It registers no icon at all, so the in-process icon query must say so.
    IconInfo icon = probe.icon(w->hwnd);
    EXPECT_EQ(icon.big, 0u);
    EXPECT_EQ(icon.classBig, 0u);

    // The bulk colour count and GetPixel agree on the same point.
    int x = w->rect.centreX(), y = w->rect.centreY();
    Rgb c = probe.pixel(x, y);
    EXPECT_EQ(probe.count(Rect{x, y, x + 1, y + 1}, c).count, 1);
    EXPECT_EQ(probe.count(Rect{x, y, x + 1, y + 1}, Rgb{c.r ^ 0xFF, c.g, c.b}).count, 0);

    std::string why;
    ASSERT_TRUE(probe.waitForeground(w->hwnd, &why)) << why;
    auto [cx, cy] = probe.closeBox(w->hwnd);
    ASSERT_TRUE(w->rect.contains(cx, cy));
    ASSERT_TRUE(input::click(cx, cy));
    EXPECT_EQ(app.waitExit(10s), 0);
    EXPECT_TRUE(waitUntil([&] { return !probe.exists(w->hwnd); }));
}

TEST_F(Harness, KillEndsProgramAndRemovesItsWindow) {
    if (config().bareWindow.empty()) GTEST_SKIP() << "bare_window.exe not built";
    Process app({config().winerun, config().bareWindow});
    auto w = waitTop("BareWindow", " Bare");
    ASSERT_TRUE(w);
    app.kill();
    EXPECT_EQ(app.waitExit(10s), 128 + 9) << "the killed program did not end within 10 s";
    EXPECT_TRUE(waitUntil([&] { return !probe.exists(w->hwnd); }));
}

TEST_F(Harness, TypedKeysReachTheFocusedEditControl) {
    Process app({config().winerun, "notepad"});
    std::optional<TopWindow> w;
    ASSERT_TRUE(waitUntil(
        [&] {
            for (const auto& t : probe.topWindows())
                if (t.visible && t.cls == "Notepad") return (w = t).has_value();
            return false;
        },
        20s, 100ms));
    Hwnd edit = 0;
    for (const auto& c : probe.descendants(w->hwnd))
        if (c.cls == "Edit") edit = c.hwnd;
    ASSERT_NE(edit, 0u);
    IconInfo icon = probe.icon(w->hwnd);
    EXPECT_TRUE(icon.big != 0 || icon.classBig != 0) << "notepad has an icon";
    std::string why;
    ASSERT_TRUE(probe.waitForeground(w->hwnd, &why)) << why;
    ASSERT_TRUE(waitUntil([&] { return probe.focus(w->hwnd).focus == edit; }));

    ASSERT_TRUE(input::type("Kurs 1,95583"));
    EXPECT_TRUE(waitUntil([&] { return probe.text(edit) == "Kurs 1,95583"; })) << probe.text(edit);
    ASSERT_TRUE(input::key("BackSpace"));
    EXPECT_TRUE(waitUntil([&] { return probe.text(edit) == "Kurs 1,9558"; })) << probe.text(edit);
}

TEST_F(Harness, ScreenshotIsAPngOfTheWholeScreen) {
    std::string path = config().screenshots + "/harness-screen.png";
    ASSERT_TRUE(screenshot(path));
    std::ifstream in(path, std::ios::binary);
    unsigned char head[24] = {};
    in.read(reinterpret_cast<char*>(head), sizeof head);
    ASSERT_TRUE(in);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(head) + 1, 3), "PNG");
    auto be32 = [&](int at) { return head[at] << 24 | head[at + 1] << 16 | head[at + 2] << 8 | head[at + 3]; };
    // IHDR: the X screen, which holds the Wine desktop (tools/test makes
    // it larger, for the desktops of scaled displays).
    EXPECT_GE(be32(16), 1024);
    EXPECT_GE(be32(20), 768);
}

}  // namespace
}  // namespace e2e
