// Real processes: the child program and Valumat itself, run from copies of
// their folders with chosen engine DLLs, their boxes answered here.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "support/files.h"
#include "support/process.h"

using namespace support;

namespace {

const std::vector<std::wstring> kEngines = {L"DBFDBE.DLL", L"NTXDBE.DLL", L"DELDBE.DLL", L"SDFDBE.DLL"};

std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// A folder holding a copy of `exe` and the engines, less those `without`
// names; `replaced` engine files get the given content instead.
struct ProgramCopy {
  TempFolder folder;
  std::wstring exe;

  ProgramCopy(const std::wstring& program, const std::wstring& enginesFrom, const std::vector<std::wstring>& without,
              const std::vector<std::pair<std::wstring, std::wstring>>& replaced = {}) {
    exe = folder.file(program.substr(program.find_last_of(L"\\/") + 1));
    EXPECT_TRUE(CopyFileW(program.c_str(), exe.c_str(), FALSE));
    for (const std::wstring& engine : kEngines) {
      if (std::find(without.begin(), without.end(), engine) != without.end()) continue;
      EXPECT_TRUE(CopyFileW((enginesFrom + engine).c_str(), folder.file(engine).c_str(), FALSE));
    }
    // {file, source}: the source is a file (by full path, or of the engines'
    // folder) or, when it names none, the content itself.
    for (const auto& [file, source] : replaced) {
      const std::wstring from = source.find(L'\\') != std::wstring::npos ? source : enginesFrom + source;
      if (!CopyFileW(from.c_str(), folder.file(file).c_str(), FALSE)) {
        EXPECT_TRUE(WriteWholeFile(folder.file(file), Narrow(source)));
      }
    }
  }
  std::vector<std::string> journal() const { return LinesOf(ReadWholeFile(folder.file(L"journal.txt"))); }
};

std::wstring ChildExe() { return OwnFolder() + L"startup_child.exe"; }
std::wstring ValumatExe() { return HostPath(VALUMAT_EXE); }
std::wstring ValumatFolder() {
  const std::wstring exe = ValumatExe();
  return exe.substr(0, exe.find_last_of(L'\\') + 1);
}

const std::string kNotLoaded = " Database-Engine nicht geladen";
const std::string kNotBuilt = " Database-Engine\nkonnte nicht erzeugt werden";

// --- Start-up order and DbeSys, through the child program -----------------

struct DbeCase {
  const char* name;
  std::vector<std::wstring> without;
  std::vector<std::pair<std::wstring, std::wstring>> replaced;
  std::vector<std::string> boxes;
  std::string engines;  // what main finds loaded
};

void PrintTo(const DbeCase& c, std::ostream* os) { *os << c.name; }

class DbeSysBoxes : public ::testing::TestWithParam<DbeCase> {};

TEST_P(DbeSysBoxes, ShownInOrderThenStartUpGoesOn) {
  const DbeCase& c = GetParam();
  ProgramCopy copy(ChildExe(), OwnFolder(), c.without, c.replaced);
  Process child(copy.exe, L"plain", copy.folder.path());
  ASSERT_TRUE(child.started());
  const auto boxes = child.answerBoxes({"Hinweis"}, "OK");
  EXPECT_EQ(child.waitExit(20s), 0);

  std::vector<std::string> texts;
  for (const Box& box : boxes) texts.push_back(box.lines());
  EXPECT_EQ(texts, c.boxes);
  const auto journal = copy.journal();
  EXPECT_NE(std::find(journal.begin(), journal.end(), "main engines=" + c.engines), journal.end())
      << ReadWholeFile(copy.folder.file(L"journal.txt"));
}

INSTANTIATE_TEST_SUITE_P(
    Engines, DbeSysBoxes,
    ::testing::Values(
        DbeCase{"AllPresent", {}, {}, {}, "DBFDBE,NTXDBE,DELDBE,SDFDBE,DBFNTX"},
        DbeCase{"WithoutDelimited", {L"DELDBE.DLL"}, {}, {"DELDBE" + kNotLoaded}, "DBFDBE,NTXDBE,SDFDBE,DBFNTX"},
        DbeCase{"WithoutIndex",
                {L"NTXDBE.DLL"},
                {},
                {"NTXDBE" + kNotLoaded, "DBFNTX" + kNotBuilt},
                "DBFDBE,DELDBE,SDFDBE"},
        DbeCase{"DataEngineNoDll",
                {L"DBFDBE.DLL"},
                {{L"DBFDBE.DLL", L"not a DLL"}},
                {"DBFDBE" + kNotLoaded, "DBFNTX" + kNotBuilt},
                "NTXDBE,DELDBE,SDFDBE"},
        DbeCase{"IndexEngineIsAnotherEngine",
                {L"NTXDBE.DLL"},
                {{L"NTXDBE.DLL", L"DBFDBE.DLL"}},
                {"NTXDBE" + kNotLoaded, "DBFNTX" + kNotBuilt},
                "DBFDBE,DELDBE,SDFDBE"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StartUp, RecordRunInItsOrderWithSettingsAndExitProcedureLast) {
  ProgramCopy copy(ChildExe(), OwnFolder(), {});
  Process child(copy.exe, L"plain", copy.folder.path());
  ASSERT_TRUE(child.started());
  EXPECT_EQ(child.waitExit(30s), 0);
  EXPECT_EQ(copy.journal(), (std::vector<std::string>{
                                "hook", "errorsys", "appsys handler=yes", "dbesys",
                                "main engines=DBFDBE,NTXDBE,DELDBE,SDFDBE,DBFNTX",
                                "main dateformat=dd.mm.yy optimize=1", "area commit", "area close"}));
}

// --- An error that ends the program: log, then the exit procedure ---------

std::string Today(bool fourDigitYears) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[16];
  if (fourDigitYears) {
    snprintf(text, sizeof text, "%02u.%02u.%04u", now.wDay, now.wMonth, now.wYear);
  } else {
    snprintf(text, sizeof text, "%02u.%02u.%02u", now.wDay, now.wMonth, now.wYear % 100);
  }
  return text;
}

struct LogCase {
  const char* mode;
  bool fourDigitYears;
};

void PrintTo(const LogCase& c, std::ostream* os) { *os << c.mode; }

class ErrorEnd : public ::testing::TestWithParam<LogCase> {};

TEST_P(ErrorEnd, LogDatedInTheFormatOfStartUpThenWorkAreasClosed) {
  const LogCase& c = GetParam();
  ProgramCopy copy(ChildExe(), OwnFolder(), {});
  Process child(copy.exe, Widen(c.mode), copy.folder.path());
  ASSERT_TRUE(child.started());
  // The error box, then the note where the log went.
  const auto boxes = child.answerBoxes({"Fehlermeldung", "startup_child"}, "OK");
  EXPECT_EQ(child.waitExit(20s), 1);
  ASSERT_EQ(boxes.size(), 2u);
  EXPECT_EQ(boxes[0].title, "Fehlermeldung");
  EXPECT_NE(boxes[1].text.find("APPERROR.LOG"), std::string::npos) << boxes[1].text;

  const std::string log = ReadWholeFile(copy.folder.file(L"APPERROR.LOG"));
  ASSERT_FALSE(log.empty());
  const auto lines = LinesOf(log);
  const auto dated = std::find_if(lines.begin(), lines.end(), [](const std::string& l) {
    return l.find("FEHLERPROTOKOLL") != std::string::npos;
  });
  ASSERT_NE(dated, lines.end()) << log;
  EXPECT_NE(dated->find(" Datum: " + Today(c.fourDigitYears) + " "), std::string::npos) << *dated;

  // Quit after the error still ran the exit procedure, which committed and
  // closed the work area main had opened.
  const auto journal = copy.journal();
  EXPECT_EQ(std::vector<std::string>(journal.end() - std::min<size_t>(3, journal.size()), journal.end()),
            (std::vector<std::string>{std::string("main dateformat=dd.mm.") + (c.fourDigitYears ? "yyyy" : "yy") +
                                          " optimize=1",
                                      "area commit", "area close"}))
      << ReadWholeFile(copy.folder.file(L"journal.txt"));
}

INSTANTIATE_TEST_SUITE_P(DateFormat, ErrorEnd,
                         ::testing::Values(LogCase{"error", false},
                                           // Four-digit years on before DbeSys: the long format.
                                           LogCase{"error-century", true},
                                           // On only after DbeSys: the format stays short.
                                           LogCase{"error-late-century", false}),
                         [](const auto& info) {
                           std::string name = info.param.mode;
                           name.erase(std::remove(name.begin(), name.end(), '-'), name.end());
                           return name;
                         });

// --- Valumat itself -------------------------------------------------------

std::vector<HWND> EditsTopDown(HWND dialog) {
  std::vector<HWND> edits;
  for (HWND hwnd : ChildWindows(dialog)) {
    if (HasClass(hwnd, "Edit")) edits.push_back(hwnd);
  }
  std::sort(edits.begin(), edits.end(), [](HWND a, HWND b) {
    RECT ra, rb;
    GetWindowRect(a, &ra);
    GetWindowRect(b, &rb);
    return ra.top < rb.top;
  });
  return edits;
}

std::string Trimmed(HWND hwnd) {
  std::string text = TextOf(hwnd);
  text.erase(0, text.find_first_not_of(' '));
  text.erase(text.find_last_not_of(' ') + 1);
  return text;
}

// Valumat from a copy of its folder: the boxes it shows, then its converter,
// which must convert and close.
std::vector<Box> RunValumat(const std::vector<std::wstring>& without,
                            const std::vector<std::pair<std::wstring, std::wstring>>& replaced = {}) {
  ProgramCopy copy(ValumatExe(), ValumatFolder(), without, replaced);
  Process child(copy.exe, L"", copy.folder.path());
  EXPECT_TRUE(child.started());
  bool converter = false;
  const auto boxes = child.answerBoxes({"Hinweis"}, "OK", " Valumat", &converter);
  EXPECT_TRUE(converter) << "the converter window did not appear";
  if (!converter) return boxes;

  HWND dialog = child.window(" Valumat");
  std::vector<HWND> edits;
  EXPECT_TRUE(WaitUntil([&] { return (edits = EditsTopDown(dialog)).size() == 2; }));
  if (edits.size() == 2) {
    for (wchar_t key : std::wstring(L"10")) PostMessageW(edits[0], WM_CHAR, key, 1);
    EXPECT_TRUE(WaitUntil([&] { return Trimmed(edits[1]) == "5,11"; }, 10s)) << Trimmed(edits[1]);
  }
  PostMessageW(dialog, WM_CLOSE, 0, 0);
  EXPECT_EQ(child.waitExit(20s), 0);
  return boxes;
}

TEST(Valumat, StartsStraightIntoTheConverterWithAllEngines) {
  EXPECT_TRUE(RunValumat({}).empty());
}

TEST(Valumat, AnEngineHandingBackABadBlockIsNotLoadedAndNoCrash) {
  const auto boxes = RunValumat({}, {{L"DELDBE.DLL", OwnFolder() + L"BADBLKDBE.DLL"}});
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "DELDBE" + kNotLoaded);
}

TEST(Valumat, MissingEngineShownBeforeTheWorkingConverter) {
  const auto boxes = RunValumat({L"DELDBE.DLL"});
  ASSERT_EQ(boxes.size(), 1u);
  EXPECT_EQ(boxes[0].text, "DELDBE" + kNotLoaded);
}

}  // namespace
