#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>

#include "dbe/dbe.h"
#include "support/files.h"
#include "test_engine.h"

using support::OwnFolder;

namespace {

class Engines : public ::testing::Test {
 protected:
  void SetUp() override { rt::DbeShutdown(); }
  void TearDown() override {
    rt::DbeShutdown();
    for (const std::wstring& file : extraFiles_) DeleteFileW(file.c_str());
  }
  // A file beside this program, removed after the test.
  std::wstring beside(const std::wstring& name) {
    extraFiles_.push_back(OwnFolder() + name);
    return extraFiles_.back();
  }

 private:
  std::vector<std::wstring> extraFiles_;
};

std::vector<std::string> Names() {
  std::vector<std::string> names;
  for (const rt::DbeInfo& e : rt::DbeLoaded()) names.push_back(e.name);
  return names;
}

TEST_F(Engines, LoadEachEngineWithTheKindItRegisters) {
  EXPECT_TRUE(rt::DbeLoad("DBFDBE", true));
  EXPECT_TRUE(rt::DbeLoad("ntxdbe", true));  // file and engine names ignore case
  EXPECT_TRUE(rt::DbeLoad("DELDBE", false));
  EXPECT_TRUE(rt::DbeLoad("SDFDBE"));
  EXPECT_TRUE(rt::DbeLoad("DBFDBE", false));  // already loaded: kept as it was

  const auto loaded = rt::DbeLoaded();
  ASSERT_EQ(loaded.size(), 4u);
  EXPECT_EQ(loaded[0].name, "DBFDBE");
  EXPECT_EQ(loaded[0].kind, rt::DbeKind::Data);
  EXPECT_TRUE(loaded[0].hidden);
  EXPECT_EQ(loaded[1].name, "NTXDBE");
  EXPECT_EQ(loaded[1].kind, rt::DbeKind::Order);
  EXPECT_EQ(loaded[2].kind, rt::DbeKind::Delimited);
  EXPECT_FALSE(loaded[2].hidden);
  EXPECT_EQ(loaded[3].kind, rt::DbeKind::FixedWidth);

  // Hidden engines serve only inside composites.
  EXPECT_FALSE(rt::DbeSetDefault("DBFDBE"));
  EXPECT_TRUE(rt::DbeSetDefault("DELDBE"));
  EXPECT_EQ(rt::DbeSetDefault(), "DELDBE");
  EXPECT_FALSE(rt::DbeSetDefault("NOSUCHDBE"));
  EXPECT_EQ(rt::DbeSetDefault(), "DELDBE");
}

TEST_F(Engines, CompositeOnlyFromLoadedEnginesOfTheRightKinds) {
  EXPECT_FALSE(rt::DbeBuild("DBFNTX", "DBFDBE", "NTXDBE"));
  ASSERT_TRUE(rt::DbeLoad("DBFDBE", true));
  EXPECT_FALSE(rt::DbeBuild("DBFNTX", "DBFDBE", "NTXDBE"));
  ASSERT_TRUE(rt::DbeLoad("NTXDBE", true));
  ASSERT_TRUE(rt::DbeLoad("DELDBE"));

  EXPECT_FALSE(rt::DbeBuild("NTXDBF", "NTXDBE", "DBFDBE"));  // kinds swapped
  EXPECT_FALSE(rt::DbeBuild("DELNTX", "DELDBE", "NTXDBE"));  // text files are no data engine for an index
  EXPECT_FALSE(rt::DbeBuild("DELDBE", "DBFDBE", "NTXDBE"));  // name of an engine
  EXPECT_FALSE(rt::DbeBuild("..\\X", "DBFDBE", "NTXDBE"));

  EXPECT_TRUE(rt::DbeBuild("DBFNTX", "DBFDBE", "NTXDBE"));
  EXPECT_TRUE(rt::DbeBuild("dbfntx", "dbfdbe", "ntxdbe"));  // the same again
  const auto loaded = rt::DbeLoaded();
  ASSERT_EQ(loaded.size(), 4u);
  EXPECT_EQ(loaded[3].name, "DBFNTX");
  EXPECT_EQ(loaded[3].kind, rt::DbeKind::Composite);
  EXPECT_EQ(loaded[3].dataEngine, "DBFDBE");
  EXPECT_EQ(loaded[3].orderEngine, "NTXDBE");
  EXPECT_TRUE(rt::DbeSetDefault("DBFNTX"));
  // A composite is no engine DLL to load.
  EXPECT_FALSE(rt::DbeLoad("DBFNTX"));
}

TEST_F(Engines, WhatIsNoSoundEngineIsNotLoaded) {
  for (const char* name : {"", "NOSUCHDBE", "..\\DBFDBE", "DBF/DBE", "C:DBFDBE", "DBFDBE.DLL", "DBFDBE ",
                           "AN_ENGINE_NAME_LONGER_THAN_32_CHARS"}) {
    EXPECT_FALSE(rt::DbeLoad(name)) << name;
  }
  // A file that is no DLL.
  ASSERT_TRUE(support::WriteWholeFile(beside(L"BROKENDBE.DLL"), "MZ but nothing else"));
  EXPECT_FALSE(rt::DbeLoad("BROKENDBE"));
  // A real engine under another engine's file name.
  ASSERT_TRUE(CopyFileW((OwnFolder() + L"DBFDBE.DLL").c_str(), beside(L"WRONGDBE.DLL").c_str(), FALSE));
  EXPECT_FALSE(rt::DbeLoad("WRONGDBE"));
  // DLLs without the registration entry, and for another engine interface.
  EXPECT_FALSE(rt::DbeLoad("NOREGDBE"));
  EXPECT_FALSE(rt::DbeLoad("OLDABIDBE"));
  // Registration blocks that point at nothing: refused, not a crash.
  EXPECT_FALSE(rt::DbeLoad("BADBLKDBE"));
  EXPECT_FALSE(rt::DbeLoad("BADNAMDBE"));
  EXPECT_TRUE(rt::DbeLoaded().empty());
  // Nothing of them stays loaded.
  EXPECT_EQ(GetModuleHandleW((OwnFolder() + L"WRONGDBE.DLL").c_str()), nullptr);
  EXPECT_EQ(GetModuleHandleW((OwnFolder() + L"NOREGDBE.DLL").c_str()), nullptr);
}

TEST_F(Engines, LoadedOnlyFromTheProgramsOwnFolder) {
  // CWDDBE.DLL is a sound engine, but it lies in another folder, which is
  // made the current folder, the DLL folder and the search path.
  const std::wstring elsewhere = OwnFolder() + L"elsewhere";
  ASSERT_NE(GetFileAttributesW((elsewhere + L"\\CWDDBE.DLL").c_str()), INVALID_FILE_ATTRIBUTES);
  wchar_t oldFolder[MAX_PATH];
  GetCurrentDirectoryW(MAX_PATH, oldFolder);
  const char* oldPath = std::getenv("PATH");
  const std::string savedPath = oldPath ? oldPath : "";
  ASSERT_TRUE(SetCurrentDirectoryW(elsewhere.c_str()));
  SetDllDirectoryW(elsewhere.c_str());
  SetEnvironmentVariableW(L"PATH", elsewhere.c_str());

  const bool loadedFromElsewhere = rt::DbeLoad("CWDDBE");

  SetEnvironmentVariableW(L"PATH", support::Widen(savedPath).c_str());
  SetDllDirectoryW(nullptr);
  SetCurrentDirectoryW(oldFolder);
  EXPECT_FALSE(loadedFromElsewhere);

  // Beside the program it loads.
  ASSERT_TRUE(CopyFileW((elsewhere + L"\\CWDDBE.DLL").c_str(), beside(L"CWDDBE.DLL").c_str(), FALSE));
  EXPECT_TRUE(rt::DbeLoad("CWDDBE"));
}

TEST_F(Engines, ShutdownClosesWorkAreasAndFreesTheDlls) {
  ASSERT_TRUE(rt::DbeLoad("DBFDBE", true));
  ASSERT_TRUE(rt::DbeLoad("NTXDBE", true));
  ASSERT_TRUE(rt::DbeBuild("DBFNTX", "DBFDBE", "NTXDBE"));
  const std::wstring dll = OwnFolder() + L"DBFDBE.DLL";
  EXPECT_NE(GetModuleHandleW(dll.c_str()), nullptr);
  testing_engine::TestEngine engine;
  engine.open("A");

  rt::DbeShutdown();
  EXPECT_EQ(GetModuleHandleW(dll.c_str()), nullptr);
  EXPECT_EQ(engine.entries(), (std::vector<std::string>{"A:close@1"}));
  EXPECT_EQ(rt::WorkSpaceList().size(), 0u);
  EXPECT_TRUE(Names().empty());
  EXPECT_EQ(rt::DbeSetDefault(), "");

  // The program may load again afterwards.
  EXPECT_TRUE(rt::DbeLoad("DBFDBE", true));
  EXPECT_EQ(Names(), (std::vector<std::string>{"DBFDBE"}));
}

}  // namespace
