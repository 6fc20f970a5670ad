// A database engine for tests: it opens work areas whose operations are
// written to a journal and fail as often as the test asks.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dbe/workarea.h"

namespace testing_engine {

struct Journal {
  std::vector<std::string> entries;  // "NAME:operation@selected area", "!" marks a failure
};

struct Script {
  int commitFailures = 0;
  int rollbackFailures = 0;
  int closeFailures = 0;
};

class RecordingDriver : public rt::WorkAreaDriver {
 public:
  RecordingDriver(std::string name, std::shared_ptr<Journal> journal, std::shared_ptr<Script> script)
      : name_(std::move(name)), journal_(std::move(journal)), script_(std::move(script)) {}
  bool commit(rt::ErrorSpec& failure) override { return step("commit", script_->commitFailures, failure); }
  bool rollback(rt::ErrorSpec& failure) override { return step("rollback", script_->rollbackFailures, failure); }
  bool close(rt::ErrorSpec& failure) override { return step("close", script_->closeFailures, failure); }

 private:
  bool step(const char* operation, int& failures, rt::ErrorSpec& failure) {
    const bool fail = failures > 0;
    journal_->entries.push_back(name_ + ":" + operation + (fail ? "!" : "") + "@" + std::to_string(rt::Select()));
    if (!fail) return true;
    --failures;
    failure.genCode = rt::kGenWrite;
    failure.osCode = 112;  // disk full
    failure.description = std::string(operation) + " failed";
    return false;
  }

  std::string name_;
  std::shared_ptr<Journal> journal_;
  std::shared_ptr<Script> script_;
};

class TestEngine {
 public:
  std::shared_ptr<Journal> journal = std::make_shared<Journal>();

  // Opens a work area named `name`; its script can be changed afterwards.
  std::shared_ptr<Script> open(const std::string& name, long* area = nullptr) {
    auto script = std::make_shared<Script>();
    const long n = rt::DbOpenArea("TESTDBE", name, std::make_unique<RecordingDriver>(name, journal, script));
    if (area) *area = n;
    return script;
  }
  const std::vector<std::string>& entries() const { return journal->entries; }
};

}  // namespace testing_engine
