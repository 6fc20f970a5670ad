// Shared by the tests of native library calls and of what is drawn through
// them: a journaling library-call facility.
#pragma once

#include <functional>
#include <map>
#include <span>
#include <string>
#include <vector>

#include "dll.h"

namespace dlltest {

// Records what the forwarders ask of the facility and answers as told; in
// force while it lives.
class Journal : public rt::LibraryCalls {
 public:
  Journal() : previous_(rt::SetLibraries(this)) {}
  ~Journal() override { rt::SetLibraries(previous_); }

  std::vector<std::string> log;
  std::map<std::string, long> handles;  // library name → handle; absent: 0
  std::map<std::string, long> answers;  // entry point → result
  std::function<void(const std::string& entry, std::span<rt::DllArg>)> onCall;
  int open = 0;

  rt::Value load(const std::string& name) override {
    log.push_back("load " + name);
    const auto it = handles.find(name);
    const long handle = it == handles.end() ? 0 : it->second;
    if (handle) ++open;
    return handle;
  }
  rt::Value call(const rt::Value& library, long convention, const std::string& entry,
                 std::span<rt::DllArg> args) override {
    std::string line = "call " + std::to_string(library.integer()) + " " + std::to_string(convention) + " " + entry;
    for (const rt::DllArg& a : args)
      line += " " + (a.value().isText() ? a.value().text() : std::to_string(a.value().integer()));
    log.push_back(line);
    if (onCall) onCall(entry, args);
    return answers.count(entry) ? answers[entry] : 0;
  }
  bool unload(const rt::Value& library) override {
    log.push_back("unload " + std::to_string(library.integer()));
    if (library.integer()) --open;
    return true;
  }

 private:
  rt::LibraryCalls* previous_;
};

using Log = std::vector<std::string>;

}  // namespace dlltest
