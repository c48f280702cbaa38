// An in-process host for tests: the command processor, the built-ins and the
// interpreter, with the test plug-in loaded when asked, and the output of
// each run captured.
#pragma once

#include <memory>
#include <sstream>
#include <string>

#include "builtins.h"
#include "console.h"
#include "host_window.h"
#include "plugin.h"
#include "runtime.h"

namespace hosttest {

// What the test plug-in counted (see testplugin.cpp).
struct PluginCounts {
  int created = 0, duplicated = 0, destroyed = 0, liveAtStop = -1;
};

struct Outcome {
  std::string out, err;
  bool failed = false;
};

class TestHost {
 public:
  explicit TestHost(bool withPlugin);
  ~TestHost();

  // Parses (a parse error fails the test) and runs a script.
  Outcome Run(const std::string& script);
  host::Runtime& rt() { return *rt_; }

  double Number(const std::string& name);
  std::string String(const std::string& name);

  // Ends every value and the plug-in's client, as structhost does at exit.
  void Finish();
  PluginCounts Counts() const;
  std::string Messages() const;  // server messages the plug-in saw

 private:
  std::ostringstream out_, err_;
  host::Console console_{err_, false};
  host::HostWindows windows_;
  std::unique_ptr<host::Runtime> rt_;
  host::Plugin plugin_;
  host::BuiltinTable builtins_ = host::StandardBuiltins();
  void* probe_ = nullptr;  // our own handle on the test plug-in, for its counters
  bool finished_ = false;
};

}  // namespace hosttest
