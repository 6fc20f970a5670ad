// Another program's drag, as a person's drag runs: a drag source pressed with
// the mouse, the mouse moved with real input over an entry field of ours and
// released there. The field shows what was dropped, or stays as it was when
// the drop is refused (and the source learns the refusal).
#include "showcase_app.h"
#include "valumat_app.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <thread>

namespace e2e {
namespace {

namespace fs = std::filesystem;

// Another program's drag source, open for one drag after another. Each drag
// is a person's: pressed on the source, moved in steps with a moment over
// the target, released there.
class Source {
public:
    // `activates` false: the source's window never takes the activation, as a
    // file manager's window in the background lets a user drag out of it.
    explicit Source(Probe& probe, bool activates = true)
        : process_(activates ? std::vector<std::string>{config().winerun, config().dragSource}
                             : std::vector<std::string>{config().winerun, config().dragSource, "noactivate"},
                   true),
          probe_(probe) {}
    ~Source() {
        process_.writeLine("");
        process_.waitExit(10s);
    }

    // Drags what `line` offers ("text TEXT", "files PATH<TAB>PATH...") onto
    // the centre of `target`: "kopiert" when the target took a copy,
    // "abgelehnt" when it refused, else what went wrong.
    std::string drop(const std::string& line, const Rect& target) {
        if (!process_.writeLine(line) || process_.readLine(30s) != "bereit") return "source not ready";
        if (!window_) window_ = probe_.findTop("Ziehquelle", "Ziehquelle");
        if (!window_ && !waitUntil([&] { return (window_ = probe_.findTop("Ziehquelle", "Ziehquelle")).has_value(); }))
            return "no drag source window";
        const int x0 = window_->rect.centreX(), y0 = window_->rect.centreY();
        input::buttonDown(x0, y0);
        if (process_.readLine(10s) != "zieht") {
            input::buttonUp();
            return "the drag did not start";
        }
        for (int step = 1; step <= 8; ++step) {
            input::moveTo(x0 + (target.centreX() - x0) * step / 8, y0 + (target.centreY() - y0) * step / 8);
            std::this_thread::sleep_for(60ms);
        }
        std::this_thread::sleep_for(300ms);
        input::buttonUp();
        return process_.readLine(20s).value_or("no answer from the drag source");
    }

private:
    Process process_;
    Probe& probe_;
    std::optional<TopWindow> window_;
};

// A host path as Windows programs under Wine see it.
std::string WindowsPath(const fs::path& path) {
    std::string s = "Z:" + path.string();
    std::replace(s.begin(), s.end(), '/', '\\');
    return s;
}

class Drop : public testing::Test {
protected:
    void SetUp() override {
        if (config().dragSource.empty()) GTEST_SKIP() << "no dragsource.exe given";
        folder = fs::temp_directory_path() / ("valumat-drop-" + std::to_string(getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    fs::path file(const std::string& name, const std::string& content) {
        const fs::path path = folder / name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }
    fs::path shortcut(const std::string& name, const fs::path& target) {
        const fs::path path = folder / name;
        EXPECT_EQ(runTool({config().winerun, config().dragSource, "link", WindowsPath(path), WindowsPath(target)}, 60s),
                  0);
        return path;
    }

    // Drags `what` ({"text", TEXT} or {"files", PATH...}) from a new drag
    // source onto the centre of `target`: 0 when the target took a copy, 1
    // when it refused.
    int drag(const std::vector<std::string>& what, const Rect& target) {
        std::string line = what.at(0);
        for (size_t i = 1; i < what.size(); ++i) line += (i == 1 ? " " : "\t") + what[i];
        const std::string answer = Source(probe).drop(line, target);
        if (answer == "kopiert" || answer == "abgelehnt") return answer == "abgelehnt";
        ADD_FAILURE() << answer;
        return -1;
    }

    Probe probe;
    fs::path folder;
};

// The entry fields of the showcase's page "Eingabe", top to bottom.
std::vector<ChildWindow> inputPageEdits(ShowcaseApp& app) {
    std::vector<ChildWindow> edits;
    if (!app.clickTab(2)) return edits;
    for (const auto& c : app.controls())
        if (c.visible && sameClass(c.cls, "Edit")) edits.push_back(c);
    std::sort(edits.begin(), edits.end(), [](const auto& a, const auto& b) { return a.rect.top < b.rect.top; });
    return edits;
}

TEST_F(Drop, TextDroppedOnTheEuroFieldConvertsAtOnce) {
    Valumat app(probe);
    ASSERT_TRUE(app.waitFocus(app.euroField.hwnd));
    EXPECT_EQ(drag({"text", "100"}, app.euroField.rect), 0);
    // A drop the field took is the user's change, converted like a key.
    EXPECT_TRUE(app.waitFields("195,58", "100")) << app.dmText() << " / " << app.euroText();
    probe.postClose(app.window.hwnd);
    EXPECT_TRUE(app.process->waitExit(10s).has_value());
}

TEST_F(Drop, TextFilesAndShortcutsGoIntoTheShowcasesFieldsOtherFilesDoNot) {
    ShowcaseApp app(probe);
    const std::vector<ChildWindow> edits = inputPageEdits(app);
    ASSERT_EQ(edits.size(), 3u) << "name, notes and count";
    const ChildWindow& name = edits[0];
    const ChildWindow& notes = edits[1];

    const fs::path lines = file("Notizen.TXT", "Erste Zeile\r\nZweite Zeile");
    EXPECT_EQ(drag({"files", WindowsPath(lines)}, notes.rect), 0);
    EXPECT_TRUE(waitUntil([&] { return probe.text(notes.hwnd) == "Erste Zeile\r\nZweite Zeile"; }))
        << probe.text(notes.hwnd);

    const fs::path link = shortcut("Gruss.lnk", file("gruss.txt", "Hallo"));
    EXPECT_EQ(drag({"files", WindowsPath(link)}, name.rect), 0);
    EXPECT_TRUE(waitUntil([&] { return probe.text(name.hwnd) == "Hallo"; })) << probe.text(name.hwnd);

    // A letter is no text file: refused, the field as it was.
    EXPECT_EQ(drag({"files", WindowsPath(file("Brief.doc", "Brief"))}, name.rect), 1);
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(probe.text(name.hwnd), "Hallo");
    probe.postClose(app.window.hwnd);
}

// A drag out of a window that never takes the activation: the program in
// front stays the active one and takes the drop all the same, a text and a
// text file (whose final line break an editor added stays out of the amount).
TEST_F(Drop, ADragFromAWindowThatNeverTakesTheActivationIsTaken) {
    {
        Valumat app(probe);
        ASSERT_TRUE(app.waitFocus(app.euroField.hwnd));
        Source source(probe, false);
        EXPECT_EQ(source.drop("text 100", app.euroField.rect), "kopiert");
        EXPECT_TRUE(app.waitFields("195,58", "100")) << app.dmText() << " / " << app.euroText();
        const fs::path amount = file("betrag.txt", "42\r\n");
        // In place of the text dropped before, which the field marked.
        EXPECT_EQ(source.drop("files " + WindowsPath(amount), app.euroField.rect), "kopiert");
        EXPECT_TRUE(app.waitFields("82,14", "42")) << app.dmText() << " / " << app.euroText();
        EXPECT_EQ(probe.foreground().hwnd, app.window.hwnd) << "the drag source took the activation";
        probe.postClose(app.window.hwnd);
        EXPECT_TRUE(app.process->waitExit(10s).has_value());
    }
    ShowcaseApp app(probe);
    const std::vector<ChildWindow> edits = inputPageEdits(app);
    ASSERT_EQ(edits.size(), 3u) << "name, notes and count";
    EXPECT_EQ(Source(probe, false).drop("text Hintergrund", edits[0].rect), "kopiert");
    EXPECT_TRUE(waitUntil([&] { return probe.text(edits[0].hwnd).find("Hintergrund") != std::string::npos; }))
        << probe.text(edits[0].hwnd);
    EXPECT_EQ(probe.foreground().hwnd, app.window.hwnd) << "the drag source took the activation";
    probe.postClose(app.window.hwnd);
}

// Twenty drops from one source, on two fields in turn: each must land in the
// field under the pointer, none in the other, none refused.
TEST_F(Drop, TwentyDropsInTurnEachLandInTheFieldUnderThePointer) {
    struct Field {
        const char* name;
        Hwnd hwnd;
        Rect rect;
    };
    auto run = [&](const Field (&fields)[2], const std::string& prefix) {
        Source source(probe);
        int right = 0;
        for (int i = 0; i < 20; ++i) {
            const Field& to = fields[i % 2];
            const Field& other = fields[1 - i % 2];
            const std::string text = prefix + std::to_string(4711 + i);
            const std::string answer = source.drop("text " + text, to.rect);
            const bool landed = waitUntil([&] { return probe.text(to.hwnd).find(text) != std::string::npos; }, 2s);
            const std::string otherAfter = probe.text(other.hwnd);
            EXPECT_EQ(answer, "kopiert") << "drop " << i + 1 << " on " << to.name;
            EXPECT_TRUE(landed) << "drop " << i + 1 << " of \"" << text << "\" on " << to.name << ": it shows \""
                                << probe.text(to.hwnd) << "\", " << other.name << " \"" << otherAfter << "\"";
            EXPECT_EQ(otherAfter.find(text), std::string::npos) << "drop " << i + 1 << " went into " << other.name;
            right += answer == "kopiert" && landed && otherAfter.find(text) == std::string::npos;
        }
        std::cout << prefix << "drops right: " << right << " / 20" << std::endl;
    };
    {
        Valumat app(probe);
        run({{"DM", app.dmField.hwnd, app.dmField.rect}, {"Euro", app.euroField.hwnd, app.euroField.rect}}, "");
        probe.postClose(app.window.hwnd);
        EXPECT_TRUE(app.process->waitExit(10s).has_value());
    }
    ShowcaseApp app(probe);
    const std::vector<ChildWindow> edits = inputPageEdits(app);
    ASSERT_EQ(edits.size(), 3u) << "name, notes and count";
    run({{"Name", edits[0].hwnd, edits[0].rect}, {"Notizen", edits[1].hwnd, edits[1].rect}}, "Notiz ");
    probe.postClose(app.window.hwnd);
}

}  // namespace
}  // namespace e2e
