// What a screen reader in another process reads of Valumat and of the
// showcase: the name and role of every control, list, tree and tab items
// included, and the accessibility library loaded only once it asks.
#include "showcase_app.h"
#include "valumat_app.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <map>
#include <set>

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

// Roles of what takes input or acts: a user must hear what each is for.
const std::set<long> kActing{kPropertyPage, kText, kPushButton, kCheckButton, kRadioButton, kComboBox, kList,
                             kListItem, kOutline, kOutlineItem, kPageTab, kSpinButton, kScrollBar};

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
        if (kActing.count(e.role))
            EXPECT_FALSE(e.name.empty()) << roleName(e.role) << " without a name, window 0x" << std::hex << e.hwnd
                                         << " child " << std::dec << e.child;
        read.insert({e.role, e.name});
    }
    return read;
}

void expectAmong(const std::multiset<Named>& read, const std::vector<Named>& wanted) {
    for (const auto& w : wanted)
        EXPECT_TRUE(read.count(w)) << roleName(w.first) << " \"" << w.second << "\" was not read";
}

TEST(Accessibility, ValumatNamesEveryControlOnceAReaderAsks) {
    Probe probe;
    Valumat app(probe);
    EXPECT_FALSE(probe.hasModule(app.window.pid, "oleacc.dll")) << "the accessibility library is loaded at start";
    const auto read = readAll(probe, app.drawingArea.hwnd, "converter window");
    EXPECT_TRUE(probe.hasModule(app.window.pid, "oleacc.dll"));
    // The drawing area, two flags, two fields, two labels, two buttons, the rate.
    const std::multiset<Named> wanted{
        {kClient, ""},
        {kGraphic, ""},
        {kGraphic, ""},
        {kText, "Betrag in DM"},
        {kText, "Betrag in Euro"},
        {kStaticText, "DM"},
        {kStaticText, "\u20ac"},
        {kPushButton, "Info"},
        {kPushButton, "Beenden"},
        {kStaticText, "Kurs: 1\u20ac = 1,95583 DM"},
    };
    EXPECT_EQ(read, wanted);

    ASSERT_TRUE(app.click(app.infoButton));
    std::optional<TopWindow> info;
    ASSERT_TRUE(waitUntil([&] { return (info = probe.findTop(kDialogClass, "Informationen zum Valumat")).has_value(); }))
        << "no information window";
    ASSERT_TRUE(waitUntil([&] {
        for (const auto& c : probe.descendants(info->hwnd))
            if (c.text == " &OK ") return true;
        return false;
    })) << "the information window did not get its OK button";
    expectAmong(readAll(probe, info->hwnd, "information window"),
                {{kPushButton, "OK"}, {kStaticText, "Valumat"}, {kStaticText, "Version V2.01"}, {kGraphic, ""}});
}

TEST(Accessibility, ShowcaseNamesEveryControlOfEveryPage) {
    Probe probe;
    ShowcaseApp app(probe);
    // The pages behind the front one are read as they are: hidden.
    expectAmong(readAll(probe, app.window.hwnd, "showcase"),
                {{kPageTab, "Schalter"},
                 {kPageTab, "Listen"},
                 {kPageTab, "Eingabe"},
                 {kPageTab, "Baum"},
                 {kPageTab, "Zeichnen"},
                 {kPropertyPage, "Schalter"},
                 {kCheckButton, "Kontrollk\u00e4stchen"},
                 {kCheckButton, "Dreistufig"},
                 {kRadioButton, "Rot"},
                 {kRadioButton, "Blau"},
                 {kRadioButton, "Wei\u00df"},
                 {kPushButton, "Anklicken"},
                 {kList, "Liste"},
                 {kListItem, "Eintrag 1"},
                 {kListItem, "Eintrag 8"},
                 {kComboBox, "Stadt"},
                 {kListItem, "K\u00f6ln"},
                 {kText, "Stadt"},
                 {kText, "Name"},
                 {kText, "Notizen"},
                 {kText, "Anzahl"},
                 {kSpinButton, "Anzahl"},
                 {kScrollBar, "Lautst\u00e4rke"},
                 {kOutline, "Baum"},
                 {kOutlineItem, "Deutschland"},
                 {kOutlineItem, "K\u00f6ln"},
                 {kOutlineItem, "Cent"},
                 {kPushButton, "Modaler Dialog..."},
                 {kPushButton, "Zentrieren"},
                 {kPushButton, "Textfenster..."},
                 {kStaticText, "Bereit"}});

    const TopWindow dialog = app.openModalDialog();
    expectAmong(readAll(probe, dialog.hwnd, "modal dialog"),
                {{kPushButton, "OK"},
                 {kPushButton, "Abbrechen"},
                 {kStaticText, "Das Fenster dahinter wartet auf die Antwort."}});
}

}  // namespace
}  // namespace e2e
