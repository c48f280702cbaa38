// Start-up, run and shutdown of structhost. Everything that can stop the run
// (unreadable or unparsable scripts, a plug-in that does not load) is checked
// before the first statement runs.
#include "app.h"

#include <platform/env.h>

#include <fstream>
#include <iostream>
#include <sstream>

#include "builtins.h"
#include "console.h"
#include "host_window.h"
#include "hostutil.h"
#include "interpreter.h"
#include "listing.h"
#include "parser.h"
#include "plugin.h"
#include "runtime.h"

namespace host {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

bool ReadText(const std::string& path, std::string& text) {
  if (path == "-") {
    std::ostringstream s;
    s << std::cin.rdbuf();
    text = s.str();
    return true;
  }
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  std::ostringstream s;
  s << in.rdbuf();
  text = s.str();
  return !in.bad();
}

bool ParseAll(const Options& o, std::vector<Program>& programs, std::string& error) {
  for (const std::string& path : o.scripts) {
    std::string text;
    if (!ReadText(path, text)) {
      error = "cannot read script " + path;
      return false;
    }
    programs.emplace_back();
    if (!ParseProgram(path, text, programs.back(), error)) return false;
  }
  if (!o.statements.empty()) {
    // The statements form one script, so a block may span several -e.
    std::string text;
    for (const std::string& s : o.statements) text += s + "\n";
    programs.emplace_back();
    if (!ParseProgram("-e", text, programs.back(), error)) return false;
  }
  return true;
}

// Routes the utility library's and the platform's reports through the console
// for the length of a run, so a progress line is ended before them.
class ReportRouting {
 public:
  explicit ReportRouting(Console& c) : savedConsole_(platform::GetConsole()) {
    hostutil::SetSinks({[&c](int msg, const std::string& text) {
                          c.Line("error " + std::to_string(msg) + ": " + text);
                        },
                        [&c](const std::string& file, DWORD context) {
                          c.Line("help: " + file + " " + std::to_string(context));
                        }});
    platform::SetConsole({[&c](const std::string& text) { c.Line("message: " + text); },
                          [&c]() { c.Line("beep"); },
                          [&c](const std::string& line) { c.Line("answer ignored: " + line); }});
  }
  ~ReportRouting() {
    hostutil::SetSinks({});
    platform::SetConsole(savedConsole_);
  }
  ReportRouting(const ReportRouting&) = delete;
  ReportRouting& operator=(const ReportRouting&) = delete;

 private:
  platform::Console savedConsole_;
};

bool SetUpPlatform(const Options& o, bool inIsTerminal, std::string& error) {
  platform::LoadEnvironment();
  if (o.hasSysdir) platform::SetSystemDirectory(o.sysdir);
  for (const auto& [letter, dir] : o.drives) platform::SetDrive(letter, dir);
  for (const std::string& file : o.answerFiles) {
    std::string text;
    if (!ReadText(file, text)) {
      error = "cannot read answers " + file;
      return false;
    }
    platform::QueueActionsFromFile(text);
  }
  platform::SetTerminalInput(inIsTerminal);
  return true;
}

}  // namespace

int RunHost(const Options& o, HostIo io) {
  if (o.help) {
    io.err << UsageText();
    return kExitOk;
  }
  Console console(io.err, io.errIsTerminal);
  std::vector<Program> programs;
  std::string error;
  if (!o.list && !ParseAll(o, programs, error)) {
    console.Error(error);
    return kExitUsage;
  }
  ReportRouting routing(console);
  if (!SetUpPlatform(o, io.inIsTerminal, error)) {
    console.Error(error);
    return kExitUsage;
  }
  HostWindows windows;
  if (!windows.Create(o.viewWidth, o.viewHeight, error)) {
    console.Error(error);
    return kExitUsage;
  }

  bool failed = false;
  {
    Runtime rt(console);
    rt.hwndMain = windows.main();
    rt.hwndView = windows.view();
    Plugin plugin;
    if (!plugin.Load(o.plugin.empty() ? DefaultPluginPath() : o.plugin, error) ||
        !plugin.Start(&rt, error)) {
      console.Error(error);
      return kExitUsage;
    }
    if (o.list) {
      WriteListing(rt.registry(), io.out);
      io.out.flush();
    } else {
      BuiltinTable builtins = StandardBuiltins();
      HostContext ctx{io.out, [&plugin] { return plugin.Abort(); }, o.viewWidth, o.viewHeight};
      Interpreter interp(rt, builtins, ctx);
      for (const Program& p : programs) interp.Run(p);
      failed = interp.failed();
    }
    // Values first (their handlers live in the plug-in), then the client, then
    // the windows the plug-in may still have children in, then the code.
    rt.DestroyAllValues();
    plugin.Stop();
    windows.Destroy();
    plugin.Unload();
  }
  console.Finish();
  return failed ? kExitFailed : kExitOk;
}

}  // namespace host
