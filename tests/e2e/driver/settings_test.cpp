// Valumat and the showcase as users run them: at 100, 125, 150 and 200 %
// display scaling (96, 120, 144, 192 dpi, on a desktop that many times larger,
// as such screens are), with visual styles and without. In every window the
// program opens (converter, information window, each showcase page, the
// modal dialog, the text window, an error box) every text fits its control,
// no control lies over another, the window lies inside the work area, and
// pictures and icons have the scaled size. Screenshots go to
// screenshots/look/, the count of fitting texts per setting and window to
// screenshots/look/table.md.
#include "showcase_app.h"
#include "valumat_app.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>

namespace e2e {
namespace {

struct Setting {
    int dpi;
    bool styles;
};

std::string nameOf(const Setting& s) { return std::to_string(s.dpi) + (s.styles ? "-styles" : "-classic"); }

int scaled(double v, int dpi) { return static_cast<int>(std::lround(v * dpi / 96.0)); }

std::string toolsDir() {
    const std::string& run = config().winerun;
    return run.substr(0, run.find_last_of('/'));
}

// Texts that fit / texts: setting, window, counts, in the order they came.
struct Row {
    std::string setting, window;
    int fitting, total;
};
std::vector<Row>& table() {
    static std::vector<Row> rows;
    return rows;
}

bool inside(const Rect& outer, const Rect& r) {
    return r.left >= outer.left && r.top >= outer.top && r.right <= outer.right && r.bottom <= outer.bottom;
}

bool overlap(const Rect& a, const Rect& b) {
    return std::max(a.left, b.left) < std::min(a.right, b.right) &&
           std::max(a.top, b.top) < std::min(a.bottom, b.bottom);
}

// Tab pages lie on their tab control by design.
bool meantToOverlap(const ChildWindow& a, const ChildWindow& b) {
    auto is = [](const ChildWindow& c, const char* cls) { return sameClass(c.cls, cls); };
    return (is(a, "SysTabControl32") && is(b, "XbpTabPage")) || (is(b, "SysTabControl32") && is(a, "XbpTabPage")) ||
           (is(a, "XbpTabPage") && is(b, "XbpTabPage"));
}

class Scaled : public testing::TestWithParam<Setting> {
protected:
    static void TearDownTestSuite() {
        // Back to what the other tests expect.
        runTool({toolsDir() + "/winesetting", "--dpi", "96", "--theme", "on", "--desktop", "1024x768"}, 180s);
        std::ofstream out(lookDir() + "/table.md");
        out << "| setting | window | texts fitting / total |\n| --- | --- | --- |\n";
        for (const Row& row : table())
            out << "| " << row.setting << " | " << row.window << " | " << row.fitting << " / " << row.total << " |\n";
        std::cout << "table: " << lookDir() << "/table.md" << std::endl;
    }

    void SetUp() override {
        const Setting s = GetParam();
        const std::string desktop = std::to_string(scaled(1024, s.dpi)) + "x" + std::to_string(scaled(768, s.dpi));
        const std::vector<std::string> setting{toolsDir() + "/winesetting", "--dpi", std::to_string(s.dpi), "--theme",
                                               s.styles ? "on" : "off", "--desktop", desktop};
        ASSERT_EQ(runTool(setting, 180s), 0) << "tools/winesetting failed";
        mkdir(lookDir().c_str(), 0755);
        probe = std::make_unique<Probe>();
        work = probe->workArea();
    }
    void TearDown() override { probe.reset(); }

    static std::string lookDir() { return config().screenshots + "/look"; }

    // Checks one window of the program and everything in it; counts its texts.
    void examine(Hwnd top, const std::string& window) {
        SCOPED_TRACE(window);
        const ChildWindow frame = probe->info(top);
        EXPECT_TRUE(inside(work, frame.rect)) << "window " << toString(frame.rect) << ", work area " << toString(work);
        std::vector<ChildWindow> shown{frame};
        for (const auto& c : probe->descendants(top))
            if (c.visible) shown.push_back(c);
        int fitting = 0, total = 0;
        for (const auto& c : shown) {
            const Fit f = probe->fit(c.hwnd);
            fitting += f.fitting;
            total += f.total;
            EXPECT_TRUE(f.firstMisfit.empty()) << c.cls << " does not hold its text: " << f.firstMisfit;
        }
        for (size_t i = 1; i < shown.size(); ++i)
            for (size_t j = i + 1; j < shown.size(); ++j) {
                const ChildWindow &a = shown[i], &b = shown[j];
                if (a.parent == b.parent && overlap(a.rect, b.rect) && !meantToOverlap(a, b))
                    ADD_FAILURE() << a.cls << " \"" << a.text << "\" " << toString(a.rect) << " overlaps " << b.cls
                                  << " \"" << b.text << "\" " << toString(b.rect);
            }
        table().push_back({nameOf(GetParam()), window, fitting, total});
        const std::string shot = lookDir() + "/" + nameOf(GetParam()) + "-" + window + ".png";
        EXPECT_TRUE(screenshot(shot, frame.rect));
        std::cout << "screenshot: " << shot << std::endl;
    }

    // Pictures without text (XbpStatic bitmaps) of `top` have these sizes.
    void expectPictures(Hwnd top, const std::vector<std::pair<int, int>>& sizes) {
        std::vector<std::pair<int, int>> found;
        for (const auto& c : probe->descendants(top))
            if (sameClass(c.cls, "XbpStatic") && c.text.empty() && c.visible)
                found.push_back({c.rect.width(), c.rect.height()});
        std::vector<std::pair<int, int>> expected;
        for (const auto& [w, h] : sizes) expected.push_back({scaled(w, GetParam().dpi), scaled(h, GetParam().dpi)});
        EXPECT_EQ(found, expected);
    }

    void expectIcons(Hwnd top) {
        const int dpi = GetParam().dpi;
        EXPECT_EQ(probe->iconSizes(top), (Rect{scaled(32, dpi), scaled(32, dpi), scaled(16, dpi), scaled(16, dpi)}));
    }

    std::unique_ptr<Probe> probe;
    Rect work;
};

TEST_P(Scaled, EveryWindowHoldsItsTextsInsideTheScreen) {
    const int dpi = GetParam().dpi;
    EXPECT_EQ(work, (Rect{0, 0, scaled(1024, dpi), scaled(768, dpi)}));
    {
        Valumat v(*probe);
        examine(v.window.hwnd, "converter");
        expectPictures(v.window.hwnd, {{33, 21}, {33, 21}});
        expectIcons(v.window.hwnd);
        ASSERT_TRUE(v.click(v.infoButton));
        std::optional<TopWindow> info;
        ASSERT_TRUE(waitUntil(
            [&] { return (info = probe->findTop(kDialogClass, "Informationen zum Valumat")).has_value(); }, 10s))
            << "no information window";
        examine(info->hwnd, "info");
        expectPictures(info->hwnd, {{281, 290}});
        expectIcons(info->hwnd);
        probe->postClose(v.window.hwnd);
        EXPECT_TRUE(v.process->waitExit(10s).has_value()) << "Valumat did not end";
    }
    {
        ShowcaseApp sc(*probe);
        const char* const pages[] = {"Schalter", "Listen", "Eingabe", "Baum", "Zeichnen"};
        for (int i = 0; i < 5; ++i) {
            if (i > 0) {
                ASSERT_TRUE(sc.clickTab(i));
                ASSERT_TRUE(sc.waitStatus(std::string("Register: ") + pages[i])) << sc.statusText();
            }
            examine(sc.window.hwnd, std::string("steuerelemente-") + pages[i]);
        }
        expectIcons(sc.window.hwnd);

        const TopWindow dialog = sc.openModalDialog();
        examine(dialog.hwnd, "modaler-dialog");
        ASSERT_TRUE(sc.click(sc.findIn(dialog.hwnd, "Button", "Abbrechen")));
        EXPECT_TRUE(waitUntil([&] { return !probe->exists(dialog.hwnd) || !probe->info(dialog.hwnd).visible; }))
            << "the modal dialog stayed";

        ASSERT_TRUE(sc.click(sc.find("Button", "&Textfenster...")));
        std::optional<TopWindow> text;
        ASSERT_TRUE(waitUntil([&] { return (text = probe->findTop("XbpCrt", "Textfenster")).has_value(); }, 10s))
            << "no text window";
        examine(text->hwnd, "textfenster");
        probe->postClose(text->hwnd);
        EXPECT_TRUE(waitUntil([&] { return !probe->exists(text->hwnd); })) << "the text window stayed";
        probe->postClose(sc.window.hwnd);
        EXPECT_TRUE(sc.process->waitExit(10s).has_value()) << "the showcase did not end";
    }
    if (!config().errproc.empty()) {
        // The standard error handler's box, with retry and default; the
        // program works in a folder of its own and ends when told to go on.
        char folder[] = "/tmp/valumat-look-XXXXXX";
        ASSERT_NE(mkdtemp(folder), nullptr);
        Process raising({"env", "-C", folder, config().winerun, config().errproc, "retry"}, true);
        std::optional<TopWindow> box;
        ASSERT_TRUE(waitUntil([&] { return (box = probe->findTop("#32770", "Fehlermeldung")).has_value(); }, 20s))
            << "no error box";
        examine(box->hwnd, "fehlermeldung");
        constexpr unsigned kBmClick = 0x00F5;
        constexpr int kIdIgnore = 5;
        for (const auto& c : probe->descendants(box->hwnd))
            if (c.id == kIdIgnore) probe->send(c.hwnd, kBmClick);
        EXPECT_EQ(raising.waitExit(20s), std::optional<int>(0)) << "errproc did not go on to its end";
        std::filesystem::remove_all(folder);
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, Scaled,
                         testing::Values(Setting{96, true}, Setting{120, true}, Setting{144, true}, Setting{192, true},
                                         Setting{96, false}, Setting{120, false}, Setting{144, false},
                                         Setting{192, false}),
                         [](const auto& info) {
                             return "Dpi" + std::to_string(info.param.dpi) + (info.param.styles ? "Styles" : "Classic");
                         });

}  // namespace
}  // namespace e2e
