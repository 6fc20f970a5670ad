// What a screen reader in another process reads of Valumat and of the
// showcase: the name and role of every control, list, tree and tab items
// included, and the accessibility libraries loaded only once it asks: the
// questions the system asks without a reader load nothing.
#include "showcase_app.h"
#include "valumat_app.h"

#include <gtest/gtest.h>

#include <iostream>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace e2e {
namespace {

// ROLE_SYSTEM_* of oleacc.h.
enum Role : long {
    kClient = 10, kGrouping = 20, kPropertyPage = 38, kGraphic = 40, kStaticText = 41, kText = 42,
    kPushButton = 43, kCheckButton = 44, kRadioButton = 45, kComboBox = 46, kList = 33, kListItem = 34,
    kOutline = 35, kOutlineItem = 36, kPageTab = 37, kPageTabList = 60, kSpinButton = 52, kScrollBar = 3,
};
constexpr std::uint32_t kStateInvisible = 0x8000;

const std::map<long, const char*> kRoleNames{
    {kClient, "client"}, {kGrouping, "grouping"}, {kPropertyPage, "property page"}, {kGraphic, "graphic"},
    {kStaticText, "static text"}, {kText, "text"}, {kPushButton, "push button"}, {kCheckButton, "check button"},
    {kRadioButton, "radio button"}, {kComboBox, "combo box"}, {kList, "list"}, {kListItem, "list item"},
    {kOutline, "outline"}, {kOutlineItem, "outline item"}, {kPageTab, "page tab"}, {kPageTabList, "page tab list"},
    {kSpinButton, "spin button"}, {kScrollBar, "scroll bar"}};

// Roles a user must hear a name for: what takes input or acts, pictures
// (which would read as "graphic" alone) and tab strips.
const std::set<long> kNamed{kPropertyPage, kText, kPushButton, kCheckButton, kRadioButton, kComboBox, kList,
                            kListItem, kOutline, kOutlineItem, kPageTab, kSpinButton, kScrollBar, kGraphic,
                            kPageTabList};

constexpr unsigned kGetObject = 0x003D;  // WM_GETOBJECT
// Object ids the system asks for with no reader running: UI Automation's
// root object, the class index, the native object model, the frame, and a
// program's own id.
constexpr long kSystemQuestions[] = {-25, -12, -16, 0, 1};

using Named = std::pair<long, std::string>;  // role, name

std::string roleName(long role) {
    auto it = kRoleNames.find(role);
    return it == kRoleNames.end() ? "role " + std::to_string(role) : it->second;
}

// Reads every element below `root`, prints what was read for the record,
// and checks what holds for every control: it answers with an object, and
// what takes input or acts has a name.
std::multiset<Named> readAll(Probe& probe, Hwnd root, const std::string& title) {
    std::multiset<Named> read;
    std::cout << "--- " << title << "\n";
    for (const auto& e : probe.accessible(root)) {
        std::cout << (e.child ? "    item " : "  ") << roleName(e.role) << ": \"" << e.name << "\""
                  << ((e.state & kStateInvisible) ? " (hidden)" : "") << "\n";
        EXPECT_NE(e.role, 0) << "window 0x" << std::hex << e.hwnd << " answers no accessible object";
        if (kNamed.count(e.role)) {
            EXPECT_FALSE(e.name.empty()) << roleName(e.role) << " without a name, window 0x" << std::hex << e.hwnd
                                         << " child " << std::dec << e.child;
        }
        read.insert({e.role, e.name});
    }
    return read;
}

void expectAmong(const std::multiset<Named>& read, long role, std::initializer_list<std::string> names) {
    for (const auto& name : names)
        EXPECT_TRUE(read.count({role, name})) << roleName(role) << " \"" << name << "\" was not read";
}

TEST(Accessibility, ValumatNamesEveryControlOnceAReaderAsks) {
    Probe probe;
    Valumat app(probe);
    EXPECT_FALSE(probe.hasModule(app.window.pid, "oleacc.dll")) << "the accessibility library is loaded at start";
    const bool oleAtStart = probe.hasModule(app.window.pid, "ole32.dll");
    std::vector<Hwnd> windows{app.window.hwnd};
    for (const auto& c : probe.descendants(app.window.hwnd)) windows.push_back(c.hwnd);
    for (Hwnd w : windows) {
        for (long id : kSystemQuestions) probe.send(w, kGetObject, 0, static_cast<unsigned long>(id));
    }
    for (const char* library : {"oleacc.dll", "oleaut32.dll"})
        EXPECT_FALSE(probe.hasModule(app.window.pid, library)) << library << " loaded for a question without a reader";
    if (!oleAtStart) {
        EXPECT_FALSE(probe.hasModule(app.window.pid, "ole32.dll")) << "OLE loaded without a reader";
    }
    const auto read = readAll(probe, app.drawingArea.hwnd, "converter window");
    EXPECT_TRUE(probe.hasModule(app.window.pid, "oleacc.dll"));
    // The drawing area, two flags, two fields, two labels, two buttons, the rate.
    const std::multiset<Named> wanted{
        {kClient, ""}, {kGraphic, "Flagge Deutschlands"}, {kGraphic, "Flagge Europas"}, {kText, "Betrag in DM"},
        {kText, "Betrag in Euro"},
        {kStaticText, "DM"}, {kStaticText, "\u20ac"}, {kPushButton, "Info"}, {kPushButton, "Beenden"},
        {kStaticText, "Kurs: 1\u20ac = 1,95583 DM"}};
    EXPECT_EQ(read, wanted);

    ASSERT_TRUE(app.click(app.infoButton));
    std::optional<TopWindow> info;
    ASSERT_TRUE(waitUntil([&] {
        if (!info) info = probe.findTop(kDialogClass, "Informationen zum Valumat");
        if (!info) return false;
        for (const auto& c : probe.descendants(info->hwnd))
            if (c.text == " &OK ") return true;
        return false;
    })) << "no information window with its OK button";
    const auto infoRead = readAll(probe, info->hwnd, "information window");
    expectAmong(infoRead, kPushButton, {"OK"});
    expectAmong(infoRead, kStaticText, {"Valumat", "Version V2.01"});
    expectAmong(infoRead, kGraphic, {"Euro-Banknoten und -M\u00fcnzen"});
}

TEST(Accessibility, ShowcaseNamesEveryControlOfEveryPage) {
    Probe probe;
    ShowcaseApp app(probe);
    // The pages behind the front one are read as they are: hidden.
    const auto read = readAll(probe, app.window.hwnd, "showcase");
    expectAmong(read, kPageTabList, {"Steuerelemente"});
    expectAmong(read, kPageTab, {"Schalter", "Listen", "Eingabe", "Baum", "Zeichnen"});
    expectAmong(read, kPropertyPage, {"Schalter", "Listen", "Eingabe", "Baum", "Zeichnen"});
    expectAmong(read, kCheckButton, {"Kontrollk\u00e4stchen", "Dreistufig"});
    expectAmong(read, kRadioButton, {"Rot", "Blau", "Wei\u00df"});
    expectAmong(read, kPushButton, {"Anklicken", "Modaler Dialog...", "Zentrieren", "Textfenster..."});
    expectAmong(read, kList, {"Liste"});
    expectAmong(read, kComboBox, {"Stadt"});
    expectAmong(read, kListItem, {"Eintrag 1", "Eintrag 8", "Berlin", "K\u00f6ln"});
    expectAmong(read, kText, {"Stadt", "Name", "Notizen", "Anzahl"});
    expectAmong(read, kSpinButton, {"Anzahl"});
    expectAmong(read, kScrollBar, {"Lautst\u00e4rke"});
    expectAmong(read, kOutline, {"Baum"});
    expectAmong(read, kOutlineItem, {"Deutschland", "Berlin", "K\u00f6ln", "Europa", "Cent"});

    const TopWindow dialog = app.openModalDialog();
    const auto dialogRead = readAll(probe, dialog.hwnd, "modal dialog");
    expectAmong(dialogRead, kPushButton, {"OK", "Abbrechen"});
    expectAmong(dialogRead, kStaticText, {"Das Fenster dahinter wartet auf die Antwort."});
}

}  // namespace
}  // namespace e2e
