// Text and text files dropped on entry fields: what the fields answer and
// take, with a journaling drag data, real files and real shortcuts; and the
// runtime's OLE side with a data object as another program offers one.
#include <windows.h>
#include <gtest/gtest.h>
#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <string>
#include <vector>

#include "dialog.h"
#include "dragdata.h"
#include "files.h"
#include "mle.h"
#include "sle.h"
#include "support/dataobject.h"
#include "support/form.h"
#include "support/file_blocker.h"
#include "support/files.h"
#include "support/gui.h"
#include "support/process.h"
#include "textdrop.h"
#include "gui/dragdrop.h"
#include "gui/native.h"

using namespace rt;
using namespace guitest;
using namespace std::chrono_literals;
using valumat::XbpMLE;
using valumat::XbpSLE;

namespace {

// Drag data that offers what a test gives it and writes down what was asked.
class JournalDrag final : public DragData {
  RT_CLASS("DragData", JournalDrag, void)

 public:
  std::vector<long> formats;
  Value text;
  std::vector<std::string> files;
  std::vector<std::string> journal;

  Value GetFormats() override {
    journal.push_back("formats");
    Array list;
    for (long f : formats) list.push_back(Value{Value(f)});
    return Value(std::move(list));
  }
  Value GetData(long format) override {
    journal.push_back("data " + std::to_string(format));
    if (format == kFormatText && Offers(format)) return text;
    if (format == kFormatFiles && Offers(format)) {
      Array names;
      for (const auto& f : files) names.push_back(Value(f));
      return Value(std::move(names));
    }
    return Value();
  }

 private:
  bool Offers(long format) const { return std::find(formats.begin(), formats.end(), format) != formats.end(); }
};

std::shared_ptr<JournalDrag> Text(const std::string& text) {
  auto drag = std::make_shared<JournalDrag>();
  drag->formats = {kFormatText};
  drag->text = text;
  return drag;
}

std::shared_ptr<JournalDrag> Files(std::vector<std::string> files) {
  auto drag = std::make_shared<JournalDrag>();
  drag->formats = {kFormatFiles};
  drag->files = std::move(files);
  return drag;
}

Value V(const std::shared_ptr<JournalDrag>& drag) { return Value(drag); }

// A shown dialog with a single-line field and an editor, and a folder of
// files to drop.
struct DropForm : Form {
  std::shared_ptr<XbpSLE> field;
  std::shared_ptr<XbpMLE> notes;
  support::TempFolder folder;

  DropForm() : Form(Value{360, 260}) {
    static const bool com = SUCCEEDED(CoInitialize(nullptr));  // for the shortcuts the tests make
    (void)com;
    field = add<XbpSLE>(Value{10, 200}, Value{300, 24}, [](XbpSLE& f) { f.bufferLength = 200; });
    notes = add<XbpMLE>(Value{10, 20}, Value{300, 160});
    show();
  }
  // A file in the folder with `content`; its full name in code page 858.
  std::string file(const std::string& name, const std::string& content) const {
    const std::wstring path = folder.file(Wide(name));
    EXPECT_TRUE(support::WriteWholeFile(path, content));
    return Narrow(path);
  }
  std::string shortcut(const std::string& name, const std::string& target) const {
    const std::wstring path = folder.file(Wide(name));
    EXPECT_TRUE(support::MakeShortcut(path, Wide(target)));
    return Narrow(path);
  }
};

}  // namespace

TEST(TextDrop, TextFilesAreKnownByTheEndOfTheirNameWhateverTheCase) {
  DropForm form;
  for (const auto& field : std::vector<std::shared_ptr<XbpWindow>>{form.field, form.notes}) {
    EXPECT_EQ(field->DragEnter(NIL, V(Files({form.file("notes.txt", "x")}))), Value(1));
    EXPECT_EQ(field->DragEnter(NIL, V(Files({form.file("notes.doc", "x")}))), Value(0));
    EXPECT_EQ(field->DragEnter(NIL, V(Files({form.file("NOTES.Txt", "x")}))), Value(1));
    EXPECT_EQ(field->DragEnter(NIL, V(Files({"C:\\txt"}))), Value(0));
    EXPECT_EQ(field->DragEnter(NIL, V(Text("Hallo"))), Value(1));
    EXPECT_EQ(field->DragEnter(NIL, V(std::make_shared<JournalDrag>())), Value(0));  // nothing offered
    EXPECT_EQ(field->DragEnter(NIL, Value("keine Ziehdaten")), Value(0));
  }
  // A window that takes no drops refuses them.
  EXPECT_EQ(form.dlg->DragEnter(NIL, V(Text("Hallo"))), Value(0));
}

TEST(TextDrop, OnlyTheFirstTextFileAmongTheDroppedOnesIsRead) {
  DropForm form;
  const auto drag = Files({form.file("a.doc", "A"), form.file("b.txt", "Inhalt von b"), form.file("c.txt", "C")});
  EXPECT_EQ(form.field->DragDrop(NIL, V(drag)), Value(1));
  EXPECT_EQ(form.field->editBuffer(), "Inhalt von b");
  EXPECT_EQ(drag->journal, (std::vector<std::string>{"formats", "data 15"}));

  // Decoded where the file says what it is (here UTF-8 with its mark), else
  // taken as written: in code page 858, as the runtime writes its own files.
  const std::string utf8 = form.file("utf8.txt", "\xEF\xBB\xBF" "5 \xE2\x82\xAC f\xC3\xBCr \xC3\x84pfel");
  EXPECT_EQ(form.notes->DragDrop(NIL, V(Files({utf8}))), Value(1));
  EXPECT_EQ(WindowTextOf(H(form.notes)), L"5 \u20ac f\u00fcr \u00c4pfel");
  const std::string oem = form.file("oem.txt", "Gr\x81\xE1" "e 5 \xD5");
  EXPECT_EQ(form.field->DragDrop(NIL, V(Files({oem}))), Value(1));
  EXPECT_EQ(WindowTextOf(H(form.field)), L"Gr\u00fc\u00dfe 5 \u20ac");
}

TEST(TextDrop, ShortcutsCountAsTheFileTheyLeadTo) {
  DropForm form;
  const std::string readme = form.file("Liesmich.txt", "aus der Verkn\x81pfung");
  const std::string link = form.shortcut("Readme.lnk", readme);
  EXPECT_EQ(ShellLinkResolve(link), readme);

  EXPECT_EQ(form.notes->DragEnter(NIL, V(Files({link}))), Value(1));
  EXPECT_EQ(form.notes->DragDrop(NIL, V(Files({link}))), Value(1));
  EXPECT_EQ(form.notes->editBuffer(), "aus der Verkn\x81pfung");

  // To a folder, or to a file of another kind: refused, the field unchanged.
  const std::string toFolder = form.shortcut("Ordner.lnk", Narrow(form.folder.path()));
  const std::string toDoc = form.shortcut("Brief.lnk", form.file("Brief.doc", "Brief"));
  for (const std::string& refused : {toFolder, toDoc}) {
    EXPECT_EQ(form.field->DragEnter(NIL, V(Files({refused}))), Value(0)) << refused;
    EXPECT_EQ(form.field->DragDrop(NIL, V(Files({refused}))), Value(0)) << refused;
  }
  EXPECT_EQ(form.field->editBuffer(), "");

  // A file that is no shortcut, or none at all, leads nowhere.
  EXPECT_EQ(ShellLinkResolve(readme), "");
  EXPECT_EQ(ShellLinkResolve(Narrow(form.folder.file(L"fehlt.lnk"))), "");
  // A shortcut among others counts where it stands.
  EXPECT_EQ(form.field->DragDrop(NIL, V(Files({form.file("x.doc", "x"), link, form.file("z.txt", "z")}))), Value(1));
  EXPECT_EQ(form.field->editBuffer(), "aus der Verkn\x81pfung");
}

TEST(TextDrop, OfferedTextIsPreferredAndNoFileIsOpened) {
  DropForm form;
  auto drag = Files({form.file("b.txt", "aus der Datei")});
  drag->formats = {kFormatFiles, kFormatText};
  drag->text = "gezogen";
  EXPECT_EQ(form.field->DragEnter(NIL, V(drag)), Value(1));
  EXPECT_EQ(form.field->DragDrop(NIL, V(drag)), Value(1));
  EXPECT_EQ(form.field->editBuffer(), "gezogen");
  // The file names were never asked for.
  EXPECT_EQ(drag->journal, (std::vector<std::string>{"formats", "formats", "data 1"}));
}

TEST(TextDrop, TheSingleLineFieldPutsTheTextInPlaceOfTheMarking) {
  DropForm form;
  form.field->setData("123456");
  form.field->setMarked(Value{2, 5});  // "34"
  ASSERT_EQ(Pair(form.field->queryMarked()), P(2, 5));
  EXPECT_EQ(form.field->DragDrop(NIL, V(Text("x"))), Value(1));
  EXPECT_EQ(form.field->editBuffer(), "12x56");

  // Nothing marked: at the cursor.
  form.field->setMarked(Value{1, 2});
  EXPECT_EQ(form.field->DragDrop(NIL, V(Text("--"))), Value(1));
  EXPECT_EQ(form.field->editBuffer(), "1--2x56");

  // The dropped text is marked afterwards.
  EXPECT_EQ(Pair(form.field->queryMarked()), P(1, 4));

  // A file goes in whole, all its lines, but for the one line break an
  // editor ends it with; the editor takes that too.
  const struct {
    std::string content, taken;
  } files[] = {
      {"eins\r\nzwei\r\ndrei", "eins\r\nzwei\r\ndrei"},
      {"42\r\n", "42"},
      {"42\n", "42"},
      {"42\r", "42"},
      {"42\r\n\r\n", "42\r\n"},
  };
  for (const auto& f : files) {
    form.field->setData("<>");
    form.field->setMarked(Value{1, 2});
    const std::string name = form.file("zeilen.txt", f.content);
    EXPECT_EQ(form.field->DragDrop(NIL, V(Files({name}))), Value(1)) << f.content;
    EXPECT_EQ(form.field->editBuffer(), "<" + f.taken + ">") << f.content;
  }
  form.notes->setData("");
  EXPECT_EQ(form.notes->DragDrop(NIL, V(Files({form.file("zeilen.txt", "42\r\n")}))), Value(1));
  EXPECT_EQ(form.notes->editBuffer(), "42\r\n");

  // What the field cannot hold is refused whole, the field unchanged; a line
  // break alone brings nothing.
  form.field->setData("1--2x56");
  form.field->bufferLength = 10;
  EXPECT_EQ(form.field->DragDrop(NIL, V(Text("abcd"))), Value(0));
  EXPECT_EQ(form.field->DragDrop(NIL, V(Files({form.file("leer.txt", "\r\n")}))), Value(0));
  EXPECT_EQ(form.field->editBuffer(), "1--2x56");
  form.field->setMarked(Value{1, 4});
  EXPECT_EQ(form.field->DragDrop(NIL, V(Text("abcde\r\n"))), Value(1));
  EXPECT_EQ(form.field->editBuffer(), "1abcde2x56");
}

TEST(TextDrop, TheEditorInsertsAtTheCursorAndKeepsItsMarking) {
  DropForm form;
  form.notes->setData("Hallo Welt");
  form.notes->setMarked(Value{0, 6});  // "Hallo"
  EXPECT_EQ(form.notes->DragDrop(NIL, V(Text(","))), Value(1));
  EXPECT_EQ(form.notes->editBuffer(), "Hallo, Welt");
  EXPECT_EQ(Pair(form.notes->queryMarked()), P(0, 6));

  // Beyond its buffer length nothing goes in, and the drop says so.
  form.notes->bufferLength = 12;
  EXPECT_EQ(form.notes->DragDrop(NIL, V(Text("zu lang"))), Value(0));
  EXPECT_EQ(form.notes->editBuffer(), "Hallo, Welt");
}

TEST(TextDrop, NothingToTakeLeavesTheFieldUnchanged) {
  DropForm form;
  form.field->setData("bleibt");
  support::FileBlocker blocker;
  const std::wstring locked = form.folder.file(L"gesperrt.txt");
  ASSERT_TRUE(blocker.block(locked));
  for (const auto& drag : {Text(""), Files({form.file("leer.txt", "")}), Files({form.file("a.doc", "a")}),
                           Files({Narrow(form.folder.file(L"fehlt.txt"))}), Files({Narrow(locked)})}) {
    EXPECT_EQ(form.field->DragDrop(NIL, V(drag)), Value(0));
    EXPECT_EQ(form.notes->DragDrop(NIL, V(drag)), Value(0));
  }
  EXPECT_EQ(form.field->editBuffer(), "bleibt");
  EXPECT_EQ(form.notes->editBuffer(), "");
}

TEST(TextDrop, AFileAboveTheSizeLimitIsRefusedWhole) {
  DropForm form;
  std::string content(valumat::kDroppedFileLimit, 'a');
  const std::string atLimit = form.file("gross.txt", content);
  const std::optional<std::string> read = valumat::DroppedText(V(Files({atLimit})));
  ASSERT_TRUE(read.has_value());
  EXPECT_EQ(read->size(), content.size());

  content += 'b';
  form.field->setData("bleibt");
  const std::string above = form.file("zu-gross.txt", content);
  EXPECT_EQ(form.field->DragDrop(NIL, V(Files({above}))), Value(0));
  EXPECT_EQ(form.field->editBuffer(), "bleibt");
}

TEST(TextDrop, ThePlainFileOperationsReadInBoundedPieces) {
  support::TempFolder folder;
  std::string content(200000, 'x');
  content[199999] = 'E';
  ASSERT_TRUE(support::WriteWholeFile(folder.file(L"f.txt"), content));
  const long file = FOpen(Narrow(folder.file(L"f.txt")));
  ASSERT_NE(file, -1);
  EXPECT_EQ(FSize(file), 200000);
  EXPECT_EQ(FRead(file, 5), "xxxxx");
  // Asked for more than is left: what is there.
  const std::string rest = FRead(file, 1 << 20);
  EXPECT_EQ(rest.size(), 199995u);
  EXPECT_EQ(rest.back(), 'E');
  EXPECT_EQ(FRead(file, 10), "");
  EXPECT_TRUE(FClose(file));
  EXPECT_EQ(FOpen(Narrow(folder.file(L"fehlt.txt"))), -1);
  EXPECT_EQ(FError(), 2);  // file not found
}

// The runtime's OLE side: a field is a drop target once the program has been
// deactivated, and hands the data of another program's data object to its
// hooks.
TEST(TextDrop, TheOleDropTargetTakesTextAndFilesFromADataObject) {
  DropForm form;
  // Deactivated: a drag from another program can come, the targets start.
  SendMessageW(H(form.dlg), WM_ACTIVATEAPP, FALSE, 0);
  auto* target = static_cast<IDropTarget*>(GetPropW(H(form.field), L"OleDropTargetInterface"));
  ASSERT_NE(target, nullptr);
  // A field made later, as on a dialog opened afterwards, is one at once.
  auto later = New<XbpSLE>({form.dlg->drawingArea(), NIL, Value{10, 230}, Value{300, 24}});
  later->create();
  EXPECT_NE(GetPropW(H(later), L"OleDropTargetInterface"), nullptr);

  // Unicode text only: offered as text, converted through code page 858.
  auto* text = new support::DataObject(L"Preis: 5 \u20ac", {});
  DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(target->DragEnter(text, 0, {0, 0}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
  EXPECT_EQ(target->DragOver(0, {0, 0}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(target->Drop(text, 0, {0, 0}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(form.field->editBuffer(), "Preis: 5 \xd5");
  text->Release();

  // A source that only moves cannot give a copy.
  auto* moveOnly = new support::DataObject(L"x", {});
  effect = DROPEFFECT_MOVE;
  target->DragEnter(moveOnly, 0, {0, 0}, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  target->DragLeave();
  moveOnly->Release();

  // A file list from a source that cannot list its formats.
  const std::wstring doc = form.folder.file(L"a.doc"), txt = form.folder.file(L"b.txt");
  ASSERT_TRUE(support::WriteWholeFile(doc, "A"));
  ASSERT_TRUE(support::WriteWholeFile(txt, "B"));
  auto* files = new support::DataObject(std::nullopt, {doc, txt}, false);
  auto* editor = static_cast<IDropTarget*>(GetPropW(H(form.notes), L"OleDropTargetInterface"));
  ASSERT_NE(editor, nullptr);
  effect = DROPEFFECT_COPY;
  EXPECT_EQ(editor->DragEnter(files, 0, {0, 0}, &effect), S_OK);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_COPY));
  EXPECT_EQ(editor->Drop(files, 0, {0, 0}, &effect), S_OK);
  EXPECT_EQ(form.notes->editBuffer(), "B");
  files->Release();

  // Only a .doc: the no-drop answer, the field unchanged.
  auto* docOnly = new support::DataObject(std::nullopt, {doc});
  effect = DROPEFFECT_COPY;
  editor->DragEnter(docOnly, 0, {0, 0}, &effect);
  EXPECT_EQ(effect, static_cast<DWORD>(DROPEFFECT_NONE));
  editor->DragLeave();
  docOnly->Release();
  EXPECT_EQ(form.notes->editBuffer(), "B");
}

TEST(TextDrop, DragDataKeptPastTheCallAnswersNothing) {
  // Names given as ANSI text read as well.
  auto* ansi = new support::DataObject(std::nullopt, {L"C:\\a b.txt", L"D:\\c"});
  ansi->ansiNames = true;
  const Value ansiNames = OleDragData(ansi).GetData(kFormatFiles);
  ASSERT_EQ(ansiNames.size(), 2u);
  EXPECT_EQ(ansiNames.at(1), Value("C:\\a b.txt"));
  EXPECT_EQ(ansiNames.at(2), Value("D:\\c"));
  ansi->Release();

  auto* source = new support::DataObject(L"Hallo", {L"C:\\a.txt"});
  auto data = std::make_shared<OleDragData>(source);
  // Text offered as Unicode only is listed as text too, first.
  const Value formats = data->GetFormats();
  ASSERT_EQ(formats.size(), 3u);
  EXPECT_EQ(formats.at(1).at(1), Value(1));
  EXPECT_EQ(formats.at(2).at(1), Value(CF_UNICODETEXT));
  EXPECT_EQ(formats.at(3).at(1), Value(CF_HDROP));
  EXPECT_EQ(data->GetData(kFormatText), Value("Hallo"));
  const Value names = data->GetData(kFormatFiles);
  ASSERT_EQ(names.size(), 1u);
  EXPECT_EQ(names.at(1), Value("C:\\a.txt"));
  EXPECT_EQ(data->GetData(2), Value());
  data->Detach();
  EXPECT_EQ(data->GetFormats().size(), 0u);
  EXPECT_EQ(data->GetData(kFormatText), Value());
  source->Release();
}

namespace {
bool Loaded(DWORD pid, const wchar_t* module) {
  const HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, pid);
  if (snapshot == INVALID_HANDLE_VALUE) return false;
  MODULEENTRY32W entry{};
  entry.dwSize = sizeof entry;
  bool found = false;
  for (BOOL more = Module32FirstW(snapshot, &entry); more && !found; more = Module32NextW(snapshot, &entry)) {
    found = lstrcmpiW(entry.szModule, module) == 0;
  }
  CloseHandle(snapshot);
  return found;
}

// The libraries a program loads in its whole life, as its debugger hears of
// them, while `drive` uses it; lower case, without folder. `drive` may call
// its `mark` to put "|" among them at that moment.
std::vector<std::wstring> LibrariesLoadedBy(const std::wstring& exe,
                                            const std::function<void(DWORD pid, const std::function<void()>& mark)>& drive) {
  std::vector<std::wstring> names;
  std::mutex lock;
  std::atomic<DWORD> pid = 0;
  std::thread debugger([&] {  // debug events reach the thread that started the process
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::wstring line = L"\"" + exe + L"\"";
    const std::wstring folder = exe.substr(0, exe.find_last_of(L'\\') + 1);
    if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, DEBUG_ONLY_THIS_PROCESS, nullptr,
                        folder.c_str(), &si, &pi)) {
      pid = MAXDWORD;
      return;
    }
    pid = pi.dwProcessId;
    for (DEBUG_EVENT ev{}; WaitForDebugEvent(&ev, 60000);) {
      DWORD answer = DBG_CONTINUE;
      if (ev.dwDebugEventCode == LOAD_DLL_DEBUG_EVENT && ev.u.LoadDll.hFile) {
        wchar_t path[MAX_PATH] = L"";
        if (GetFinalPathNameByHandleW(ev.u.LoadDll.hFile, path, MAX_PATH, 0)) {
          std::wstring name = path;
          name = name.substr(name.find_last_of(L'\\') + 1);
          CharLowerW(name.data());
          std::lock_guard guard(lock);
          names.push_back(name);
        }
        CloseHandle(ev.u.LoadDll.hFile);
      } else if (ev.dwDebugEventCode == CREATE_PROCESS_DEBUG_EVENT) {
        CloseHandle(ev.u.CreateProcessInfo.hFile);
      } else if (ev.dwDebugEventCode == EXCEPTION_DEBUG_EVENT &&
                 ev.u.Exception.ExceptionRecord.ExceptionCode != EXCEPTION_BREAKPOINT) {
        answer = DBG_EXCEPTION_NOT_HANDLED;  // the program's own handlers decide
      }
      ContinueDebugEvent(ev.dwProcessId, ev.dwThreadId, answer);
      if (ev.dwDebugEventCode == EXIT_PROCESS_DEBUG_EVENT) break;
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
  });
  while (pid == 0) std::this_thread::sleep_for(10ms);
  if (pid != MAXDWORD) {
    drive(pid, [&] {
      std::lock_guard guard(lock);
      names.push_back(L"|");
    });
  }
  debugger.join();
  return names;
}

// Valumat's two entry fields, once its window is the active one.
std::vector<HWND> ValumatFields(HWND window) {
  std::vector<HWND> fields;
  for (HWND child : support::ChildWindows(window)) {
    if (support::HasClass(child, "Edit")) fields.push_back(child);
  }
  return fields;
}

bool DropTarget(HWND field) { return GetPropW(field, L"OleDropTargetInterface") != nullptr; }
}  // namespace

// Valumat closed while active, before its drop targets are due, starts no OLE
// on its way out: the closing window hands the activation on, which is no user
// turning to another program. The shell it never loads.
TEST(TextDrop, ValumatClosedWhileActiveStartsNoOleOnItsWayOut) {
  const std::wstring exe = support::HostPath(VALUMAT_EXE);
  bool closed = false, targetsBeforeClose = false;
  const std::vector<std::wstring> names = LibrariesLoadedBy(exe, [&](DWORD pid, const std::function<void()>& mark) {
    HWND window = nullptr;
    closed = support::WaitUntil([&] {
      return (window = support::WithText(support::TopWindows(pid), " Valumat")) && GetForegroundWindow() == window;
    });
    if (!closed) {
      if (HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, pid)) {
        TerminateProcess(process, 1);
        CloseHandle(process);
      }
      return;
    }
    const std::vector<HWND> fields = ValumatFields(window);
    targetsBeforeClose = std::ranges::any_of(fields, DropTarget);
    mark();
    PostMessageW(window, WM_CLOSE, 0, 0);
  });
  ASSERT_TRUE(closed) << "Valumat did not come up as the active window";
  const auto at = [&](const wchar_t* name) { return std::ranges::find(names, name); };
  ASSERT_NE(at(L"dbfdbe.dll"), names.end()) << "the debugger heard of no library loads";
  EXPECT_EQ(at(L"shell32.dll"), names.end());
  if (targetsBeforeClose) GTEST_SKIP() << "Valumat's drop targets had started before it could be closed";
  EXPECT_TRUE(at(L"ole32.dll") == names.end() || at(L"ole32.dll") < at(L"|")) << "OLE was loaded while closing";
}

// Valumat's fields become drop targets a moment after it shows although it
// stays the active program: a drag can come from a window that never takes
// the activation. The shell is not loaded for it.
TEST(TextDrop, ValumatsFieldsBecomeDropTargetsWhileItStaysActive) {
  const std::wstring exe = support::HostPath(VALUMAT_EXE);
  support::Process valumat(exe, L"", exe.substr(0, exe.find_last_of(L'\\') + 1));
  HWND window = nullptr;
  ASSERT_TRUE(support::WaitUntil([&] { return (window = valumat.window(" Valumat")) && GetForegroundWindow() == window; }))
      << "Valumat did not come up as the active window";
  const std::vector<HWND> fields = ValumatFields(window);
  ASSERT_EQ(fields.size(), 2u);
  EXPECT_TRUE(support::WaitUntil([&] { return std::ranges::all_of(fields, DropTarget); }, 10s))
      << "the fields did not become drop targets";
  EXPECT_EQ(GetForegroundWindow(), window) << "Valumat did not stay the active program";
  EXPECT_FALSE(Loaded(valumat.pid(), L"shell32.dll"));
  PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_TRUE(valumat.waitExit(20s).has_value());
}
