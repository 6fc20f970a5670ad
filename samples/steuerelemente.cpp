// Steuerelemente: the framework's showcase. One window with a menu bar and
// tab pages that hold one of every control kind, each created through its
// public class; a status line says what the last callback reported. A column
// of buttons beside the pages runs a dialog modally, opens a text window and
// centres a control.
// Texts are code page 858, written as UTF-8 literals with _cp858.
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "boxes.h"
#include "caption.h"
#include "controls.h"
#include "crt.h"
#include "error.h"
#include "output.h"
#include "sysinfo.h"
#include "text858.h"
#include "errorsys.h"
#include "events.h"
#include "graphics.h"
#include "nativecalls.h"
#include "settings.h"
#include "startrecord.h"
#include "transform.h"

using namespace rt;
using namespace valumat;

namespace {

// What every page's controls share: the status line they report to.
struct Showcase {
  std::shared_ptr<XbpDialog> dialog;
  std::shared_ptr<XbpStatic> status;
  long event = kEvNone;

  void report(const std::string& text) { status->setCaption(text); }
  void quit() {
    event = kEvClose;
    dialog->destroy();
  }
};

// Page size and the place of the pages inside the window's drawing area.
const Value kPagePos{10, 36};
const Value kPageSize{570, 320};

std::shared_ptr<XbpTabPage> Page(Showcase& app, const std::string& caption, const std::string& name, bool front) {
  auto page = New<XbpTabPage>({app.dialog->drawingArea(), NIL, kPagePos, kPageSize});
  page->caption = caption;
  page->minimized = !front;
  page->tabActivate = [&app, name](const Args&) -> Value {
    app.report("Register: " + name);
    return NIL;
  };
  page->create();
  return page;
}

std::shared_ptr<XbpStatic> Label(const WindowRef& parent, long x, long y, long width, const std::string& text) {
  auto label = New<XbpStatic>({parent, NIL, Value{x, y}, Value{width, 20}});
  label->caption = text;
  label->options = XbpStatic::kTextVCenter;
  label->create();
  return label;
}

// Returns the page's first control, which has the focus at start.
WindowRef SwitchesPage(Showcase& app, const WindowRef& page) {
  auto check = New<XbpCheckBox>({page, NIL, Value{20, 240}, Value{200, 24}});
  check->caption = "~Kontrollkästchen"_cp858;
  check->selected = [&app](const Args& a) -> Value {
    app.report(std::string("Kontrollkästchen: "_cp858) + (Arg(a, 1).logical() ? "an" : "aus"));
    return NIL;
  };
  check->create();

  auto three = New<Xbp3State>({page, NIL, Value{20, 205}, Value{200, 24}});
  three->caption = "Dreistufi~g";
  three->selected = [&app](const Args& a) -> Value {
    static const char* const kStates[] = {"aus", "an", "unbestimmt"};
    const long state = Arg(a, 1).integer();
    app.report(std::string("Dreistufig: ") + (state >= 0 && state <= 2 ? kStates[state] : "?"));
    return NIL;
  };
  three->create();

  Label(page, 260, 240, 200, "Farbe:");
  const char* const colours[] = {"~Rot", "Bla~u", "~Weiß"_cp858};
  const char* const names[] = {"Rot", "Blau", "Weiß"_cp858};
  for (int i = 0; i < 3; ++i) {
    auto radio = New<XbpRadioButton>({page, NIL, Value{270, 205 - 32 * i}, Value{160, 24}});
    radio->caption = colours[i];
    radio->group = i == 0 ? XbpRadioButton::kGroupBegin : XbpRadioButton::kGroupWithin;
    radio->selection = i == 0;
    const std::string name = names[i];
    radio->selected = [&app, name](const Args&) -> Value {
      app.report("Optionsfeld: " + name + " gewählt"_cp858);
      return NIL;
    };
    radio->create();
  }

  auto button = New<XbpPushButton>({page, NIL, Value{20, 120}, Value{120, 28}});
  button->caption = "~Anklicken";
  auto presses = std::make_shared<long>(0);
  button->activate = [&app, presses](const Args&) -> Value {
    app.report("Schaltfläche: "_cp858 + std::to_string(++*presses) + "-mal gedrückt"_cp858);
    return NIL;
  };
  button->create();
  return check;
}

void ListsPage(Showcase& app, const WindowRef& page) {
  Label(page, 20, 262, 200, "Liste:");
  auto list = New<XbpListBox>({page, NIL, Value{20, 40}, Value{200, 220}});
  for (int i = 1; i <= 8; ++i) list->addItem("Eintrag " + std::to_string(i));
  auto marked = [list](const char* what) {
    return [list, what](const Args&) -> Value {
      const Value positions = list->getData();
      return positions.size() ? Value("Liste: Eintrag " + std::to_string(positions.at(1).integer()) + what) : NIL;
    };
  };
  list->itemMarked = [&app, text = marked(" markiert")](const Args& a) -> Value {
    if (const Value t = text(a); t.isText()) app.report(t.text());
    return NIL;
  };
  list->itemSelected = [&app, text = marked(" gewählt"_cp858)](const Args& a) -> Value {
    if (const Value t = text(a); t.isText()) app.report(t.text());
    return NIL;
  };
  list->create();

  Label(page, 260, 262, 200, "Stadt:");
  auto city = New<XbpCombobox>({page, NIL, Value{260, 236}, Value{200, 24}});
  for (const char* name : {"Berlin", "Bonn", "Hamburg", "Köln"_cp858, "München"_cp858}) city->addItem(name);
  // Keys that write into the entry; arrows take list items, reported below.
  city->keyboard = [&app, city](const Args& a) -> Value {
    const long key = Arg(a, 1).integer();
    if (key >= 32 || key == kKeyBackspace || key == kKeyDelete) app.report("Stadt: " + city->getData());
    return NIL;
  };
  city->itemMarked = [&app, city](const Args&) -> Value {
    app.report("Stadt: " + city->getData() + " markiert");
    return NIL;
  };
  city->itemSelected = [&app, city](const Args&) -> Value {
    app.report("Stadt: " + city->getData() + " gewählt"_cp858);
    return NIL;
  };
  city->create();
}

void EntryPage(Showcase& app, const WindowRef& page) {
  Label(page, 20, 262, 110, "Name:");
  auto name = New<XbpSLE>({page, NIL, Value{130, 260}, Value{200, 24}});
  name->bufferLength = 40;
  name->keyboard = [&app, name](const Args&) -> Value {
    app.report("Eingabefeld: " + name->editBuffer());
    return NIL;
  };
  name->create();

  Label(page, 20, 222, 110, "Notizen:");
  auto notes = New<XbpMLE>({page, NIL, Value{130, 130}, Value{300, 114}});
  notes->change = [&app, notes](const Args&) -> Value {
    const std::string text = notes->editBuffer();
    long lines = 1;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1)) ++lines;
    app.report("Notizen: " + std::to_string(lines) + (lines == 1 ? " Zeile" : " Zeilen"));
    return NIL;
  };
  notes->create();

  Label(page, 20, 92, 110, "Anzahl:");
  auto count = New<XbpSpinButton>({page, NIL, Value{130, 90}, Value{80, 24}});
  count->PadWithZeros = true;
  count->setNumLimits(0, 999);
  auto spun = [&app, count](const Args&) -> Value {
    app.report("Anzahl: " + count->editBuffer());
    return NIL;
  };
  count->up = spun;
  count->down = spun;
  count->change = spun;
  count->create();
  count->setData(Value(0));

  Label(page, 20, 44, 110, "Lautstärke:"_cp858);
  auto volume = New<XbpScrollBar>({page, NIL, Value{130, 44}, Value{300, 20}});
  volume->setRange(Value{0, 100});
  volume->setScrollBoxSize(10);
  volume->scroll = [&app](const Args& a) -> Value {
    app.report("Lautstärke: "_cp858 + std::to_string(Arg(a, 1).at(1).integer()));
    return NIL;
  };
  volume->create();
}

void TreePage(Showcase& app, const WindowRef& page) {
  auto tree = New<XbpTreeView>({page, NIL, Value{20, 20}, Value{300, 250}});
  // No label stands before it: screen readers hear the page's name.
  tree->accessibleName("Baum");
  tree->itemMarked = [&app](const Args& a) -> Value {
    if (auto item = Arg(a, 1).as<XbpBaseTreeViewItem>()) app.report("Baum: " + item->caption + " markiert");
    return NIL;
  };
  tree->itemSelected = [&app](const Args& a) -> Value {
    if (auto item = Arg(a, 1).as<XbpBaseTreeViewItem>()) app.report("Baum: " + item->caption + " gewählt"_cp858);
    return NIL;
  };
  tree->itemExpanded = [&app](const Args& a) -> Value {
    if (auto item = Arg(a, 1).as<XbpBaseTreeViewItem>()) app.report("Baum: " + item->caption + " aufgeklappt");
    return NIL;
  };
  tree->itemCollapsed = [&app](const Args& a) -> Value {
    if (auto item = Arg(a, 1).as<XbpBaseTreeViewItem>()) app.report("Baum: " + item->caption + " zugeklappt");
    return NIL;
  };
  tree->create();
  auto branch = [&](const std::string& caption, std::initializer_list<const char*> leaves) {
    auto item = New<XbpTreeViewItem>();
    item->caption = caption;
    for (const char* leaf : leaves) {
      auto child = New<XbpTreeViewItem>();
      child->caption = leaf;
      item->addItem(Value(child));
    }
    tree->rootItem()->addItem(Value(item));
  };
  branch("Deutschland", {"Berlin", "Bonn", "Köln"_cp858});
  branch("Europa", {"Euro", "Cent"});
}

void DrawingPage(const WindowRef& page) {
  auto canvas = New<XbpStatic>({page, NIL, Value{20, 20}, Value{520, 230}, Value{Value{kPPBackground, 0}}});
  canvas->create();
  auto ps = New<XbpPresSpace>();
  ps->create({canvas});
  // Everything is drawn once and retained: the page repaints it.
  Value line = NewArray(4);
  auto frame = [&ps](long x1, long y1, long x2, long y2) {
    GraLine(ps, Value{x1, y1}, Value{x2, y1});
    GraLine(ps, Value{x2, y1}, Value{x2, y2});
    GraLine(ps, Value{x2, y2}, Value{x1, y2});
    GraLine(ps, Value{x1, y2}, Value{x1, y1});
  };
  line[1] = 1;
  line[3] = 2;
  GraSetAttrLine({ps, line});
  frame(10, 10, 509, 219);
  line[1] = 2;
  GraSetAttrLine({ps, line});
  GraLine(ps, Value{30, 30}, Value{200, 110});
  GraLine(ps, Value{30, 110}, Value{200, 30});
  GraSetFont({ps, "12.Arial Fett"});
  GraStringAt(ps, Value{30, 180}, "Linien, Texte und Farben");

  // A caption with its key letter underlined, in dark green: one that no
  // control of the window answers, or the underline would point elsewhere.
  Set(kSetTildeMarkers, true);
  GraSetFont({ps, "12.Arial"});
  GraSetColor({ps, 12});
  GraCaptionStr({ps, Value{30, 140}, NIL, "Beschri~ftung"});

  // A text centred in a magenta frame, in dark red.
  line[1] = 3;
  line[3] = 1;
  GraSetAttrLine({ps, line});
  frame(260, 40, 490, 110);
  GraSetColor({ps, 10});
  constexpr long kCentred = 1 + 4 + 32;  // DT_CENTER, DT_VCENTER, DT_SINGLELINE
  ps->DrawFormattedStr({Value{261, 41}, Value{490, 110}, "Formatierter Text", kCentred});

  Label(page, 20, 258, 300, std::string("Themen aktiv: ") + (IsThemeActive() ? "ja" : "nein"));
}

// A dialog on the desktop, owned by the showcase's window, run modally: "OK"
// and "Abbrechen" store their results, the close button leaves 2.
Value RunModalDialog(Showcase& app) {
  auto dlg = New<XbpDialog>({AppDesktop(), app.dialog, NIL, Value{340, 150}, NIL, false});
  dlg->title = "Modaler Dialog";
  dlg->minButton = false;
  CenterControl({dlg, app.dialog});
  dlg->create();
  const WindowRef area = dlg->drawingArea();
  Label(area, 20, 80, 300, "Das Fenster dahinter wartet auf die Antwort.");
  // Raw: the buttons live only as long as the dialog, and run only during its run.
  XbpDialog* self = dlg.get();
  auto ok = New<XbpPushButton>({area, NIL, Value{20, 20}, Value{140, 28}});
  ok->caption = "OK";
  ok->activate = [self](const Args&) -> Value {
    self->ModalResult = 1;
    return NIL;
  };
  ok->create();
  auto cancel = New<XbpPushButton>({area, NIL, Value{176, 20}, Value{140, 28}});
  cancel->caption = "Abbrechen";
  cancel->activate = [self](const Args&) -> Value {
    self->ModalResult = "abgebrochen";
    return NIL;
  };
  cancel->create();
  const Value result = dlg->ShowModal(ok);
  dlg->destroy();
  return result;
}

// The text window: console output while it is the application window, the
// cell last clicked, and the error handler's choice box in cells (F2).
void OpenTextWindow(Showcase& app) {
  auto crt = New<XbpCrt>({AppDesktop(), app.dialog, Value{140, 160}, 16, 60, "Textfenster", true});
  crt->create();
  const WindowRef previous = SetAppWindow(crt);
  const std::weak_ptr<XbpCrt> weak = crt;
  auto close = [weak, previous](const Args&) -> Value {
    if (const auto window = weak.lock()) {
      if (SetAppWindow() == window) SetAppWindow(previous);
      window->destroy();
    }
    return NIL;
  };
  crt->close = close;
  crt->lbDown = [](const Args& a) -> Value {
    const Value cell = Arg(a, 1).at(2);  // {row, column}
    SetPos(6, 2);
    std::string text = "Zeile " + DisplayText(cell.at(1)) + ", Spalte " + DisplayText(cell.at(2));
    text.resize(30, ' ');
    QQOut(text);
    return NIL;
  };
  crt->keyboard = [close](const Args& a) -> Value {
    const long key = Arg(a, 1).integer();
    if (key == kKeyEsc) return close(a);
    if (key != -1) return NIL;  // F2
    // The handler asks in text mode only outside a GUI program.
    const int type = AppType(1);
    try {
      ErrorSpec spec;
      spec.genCode = 99;
      spec.operation = "F2";
      spec.description = "Beispielfehler aus dem Textfenster";
      spec.canDefault = true;
      spec.canRetry = false;
      RaiseError(spec);
    } catch (const BreakSignal&) {
      // "Abbrechen": back here, not out of the program.
    }
    AppType(type);
    return NIL;
  };
  QOut("Textfenster der Steuerelemente");
  QOut("Klicken Sie in das Fenster: Zeile und Spalte stehen unten.");
  QOut("F2: Auswahlbox des Fehlersystems, Esc: schließen"_cp858);
  SetPos(6, 2);
  QQOut("Noch kein Klick");
  SetAppFocus(crt);
}

// The column beside the pages, in tab order from the top. "Zentrieren"
// centres a marker in a frame of its own below the buttons, where nothing
// else stands.
void ButtonColumn(Showcase& app) {
  const WindowRef area = app.dialog->drawingArea();
  auto result = Label(area, 590, 190, 160, "");
  auto modal = New<XbpPushButton>({area, NIL, Value{590, 310}, Value{160, 28}});
  modal->caption = "~Modaler Dialog...";
  modal->activate = [&app, result](const Args&) -> Value {
    result->setCaption("ModalResult: " + DisplayText(RunModalDialog(app)));
    return NIL;
  };
  modal->create();

  auto textWindow = New<XbpPushButton>({area, NIL, Value{590, 270}, Value{160, 28}});
  textWindow->caption = "~Textfenster...";
  textWindow->activate = [&app](const Args&) -> Value {
    OpenTextWindow(app);
    return NIL;
  };
  textWindow->create();

  auto frame = New<XbpStatic>({area, NIL, Value{590, 36}, Value{160, 140}, Value{Value{kPPBackground, 15}}});
  frame->clipChildren = true;
  frame->create();
  auto marker = New<XbpStatic>({frame, NIL, Value{6, 6}, Value{70, 24},
                                Value{Value{kPPBackground, 1}, Value{kPPForeground, 15}}});
  marker->caption = "Markierung";
  marker->options = XbpStatic::kTextCenter | XbpStatic::kTextVCenter;
  marker->create();

  auto centre = New<XbpPushButton>({area, NIL, Value{590, 230}, Value{160, 28}});
  centre->caption = "~Zentrieren";
  centre->activate = [&app, marker](const Args&) -> Value {
    CenterControl({marker});
    app.report("Zentriert: Markierung im Rahmen");
    return NIL;
  };
  centre->create();
}

void MenuBar(Showcase& app) {
  auto bar = New<XbpMenuBar>({app.dialog});
  bar->create();
  auto file = New<XbpMenu>({bar});
  file->title = "~Datei";
  file->create();
  file->addItem(Value{"~Beenden", Value([&app](const Args&) -> Value {
                                    app.quit();
                                    return NIL;
                                  })});
  bar->addItem(Value{Value(file), NIL, NIL, kMenuKeyLetter});  // Alt+D

  auto help = New<XbpMenu>({bar});
  help->title = "~Hilfe";
  help->create();
  help->addItem(Value{"~Info", Value([&app](const Args&) -> Value {
                                app.report("Menü: Info gewählt"_cp858);
                                MsgBox("Steuerelemente - das Beispielprogramm der Valumat-Steuerelemente",
                                       "Info");
                                return NIL;
                              })});
  bar->addItem(Value{Value(help), NIL, NIL, kMenuKeyLetter});  // Alt+H
}

void Main() {
  Showcase app;
  const Value screen = AppDesktop()->currentSize();
  const long width = 770, height = 440;
  app.dialog = New<XbpDialog>({AppDesktop(), NIL,
                               Value{(screen.at(1).integer() - width) / 2, (screen.at(2).integer() - height) / 2},
                               Value{width, height}, NIL, false});
  app.dialog->title = "Steuerelemente";
  app.dialog->icon = 333;
  app.dialog->taskList = true;
  app.dialog->close = [&app](const Args&) -> Value {
    app.quit();
    return NIL;
  };
  // The bar first: it takes its height from the drawing area, which the
  // controls are then placed in.
  MenuBar(app);
  app.dialog->create();

  // The frame's height follows the system's caption and menu bar: the window
  // takes the height its content needs, centred again, before the controls
  // are placed from its top.
  const WindowRef area = app.dialog->drawingArea();
  const long needed = Pixels(kPagePos.at(2)) + Pixels(kPageSize.at(2)) + 6;
  const long fit = height + needed - area->currentSize().at(2).integer();
  app.dialog->setPosAndSize(Value{(screen.at(1).integer() - width) / 2, (screen.at(2).integer() - fit) / 2},
                            Value{width, fit});

  app.status = New<XbpStatic>({area, NIL, Value{10, 6}, Value{570, 22}});
  app.status->caption = "Bereit";
  app.status->options = XbpStatic::kTextVCenter;
  app.status->create();

  auto page = Page(app, "~Schalter", "Schalter", true);
  const WindowRef first = SwitchesPage(app, page);
  page = Page(app, "~Listen", "Listen", false);
  ListsPage(app, page);
  page = Page(app, "~Eingabe", "Eingabe", false);
  EntryPage(app, page);
  page = Page(app, "~Baum", "Baum", false);
  TreePage(app, page);
  // Z is the key letter of "Zentrieren".
  page = Page(app, "Zei~chnen", "Zeichnen", false);
  DrawingPage(page);
  ButtonColumn(app);

  app.dialog->show();
  SetAppFocus(app.dialog);
  SetAppFocus(first);

  Value mp1, mp2;
  ObjectRef object;
  while (app.event != kEvClose) {
    const long event = AppEvent(mp1, mp2, object);
    if (event == kEvQuit) break;
    if (object) object->handleEvent(event, mp1, mp2);
  }
}

}  // namespace

int main() {
  static const StartupRecord record{nullptr, ErrorSys, nullptr, nullptr, nullptr, Main};
  return Start(record);
}
