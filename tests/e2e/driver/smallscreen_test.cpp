// Valumat on small screens: Wine's desktop made 640x480 and 800x600. The
// information window keeps the place the converter computes wherever it fits,
// and otherwise moves just enough to lie on the screen, its title bar and
// "OK" within reach; the converter window the same.
#include "valumat_app.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>

namespace e2e {
namespace {

constexpr const char* kInfoTitle = "Informationen zum Valumat";

// Ends every Wine process, so that the next one makes the desktop anew at
// the size the prefix names.
void RestartWineWithDesktop(const std::string& size) {
    runTool({"wineserver", "-k"}, 30s);
    ASSERT_EQ(runTool({"wineserver", "-w"}, 60s), 0) << "the Wine server did not end within 60 s of being told to";
    ASSERT_EQ(runTool({config().winerun, "reg", "add", "HKCU\\Software\\Wine\\Explorer\\Desktops", "/v", "Default", "/d",
                       size, "/f"},
                      60s),
              0);
    // The desktop is made anew only by a server started after this one ends.
    ASSERT_EQ(runTool({"wineserver", "-w"}, 60s), 0) << "the Wine server did not end within 60 s after reg";
}

struct Screen {
    int width, height;
};

class SmallScreen : public testing::TestWithParam<Screen> {
protected:
    void SetUp() override {
        RestartWineWithDesktop(std::to_string(GetParam().width) + "x" + std::to_string(GetParam().height));
        probe = std::make_unique<Probe>();
    }
    void TearDown() override {
        app.reset();
        probe.reset();
        RestartWineWithDesktop("1024x768");
    }

    bool onScreen(const Rect& r) {
        return r.left >= 0 && r.top >= 0 && r.right <= GetParam().width && r.bottom <= GetParam().height;
    }

    std::unique_ptr<Probe> probe;
    std::unique_ptr<Valumat> app;
};

TEST_P(SmallScreen, TheWindowsOpenWhereTheyCanBeReached) {
    const auto [width, height] = GetParam();
    ASSERT_EQ(probe->screenSize(), std::make_pair(width, height));
    app = std::make_unique<Valumat>(*probe);
    EXPECT_TRUE(onScreen(app->window.rect)) << toString(app->window.rect);
    ASSERT_TRUE(app->click(app->infoButton));
    std::optional<TopWindow> info;
    ASSERT_TRUE(waitUntil([&] { return (info = probe->findTop(kDialogClass, kInfoTitle)).has_value(); }, 10s));
    const std::string shot = config().screenshots + "/info-" + std::to_string(width) + "x" + std::to_string(height) + ".png";
    EXPECT_TRUE(screenshot(shot, Rect{0, 0, width, height}));
    std::cout << "screenshot: " << shot << std::endl;

    // Its place from the converter: 250 from the left, 200 above the bottom,
    // 500 x 400; where that does not fit, moved just enough.
    const Rect asked{250, height - 200 - 400, 750, height - 200};
    const Rect expected{std::min(asked.left, width - 500), std::max(asked.top, 0), 0, 0};
    EXPECT_EQ(info->rect.left, expected.left) << toString(info->rect);
    EXPECT_EQ(info->rect.top, expected.top) << toString(info->rect);
    EXPECT_TRUE(onScreen(info->rect)) << toString(info->rect);
    ChildWindow ok;
    for (const auto& c : probe->descendants(info->hwnd))
        if (c.cls == "Button" && c.text == " &OK ") ok = c;
    ASSERT_NE(ok.hwnd, 0u);
    EXPECT_TRUE(onScreen(ok.rect)) << toString(ok.rect);
    // The user can close it with "OK".
    ASSERT_TRUE(input::click(ok.rect.centreX(), ok.rect.centreY()));
    EXPECT_TRUE(waitUntil([&] { return !probe->exists(info->hwnd); }));
    probe->postClose(app->window.hwnd);
    EXPECT_TRUE(app->process->waitExit(10s).has_value());
}

INSTANTIATE_TEST_SUITE_P(Screens, SmallScreen, testing::Values(Screen{640, 480}, Screen{800, 600}),
                         [](const auto& info) {
                             return std::to_string(info.param.width) + "x" + std::to_string(info.param.height);
                         });

}  // namespace
}  // namespace e2e
