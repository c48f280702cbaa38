// The host's own macro commands and functions. Each group lives in its own
// file and adds itself to the table; the interpreter looks built-ins up before
// the plug-in's registrations.
#pragma once

#include <cmdproc.h>

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

#include "runtime.h"

namespace host {

// What built-ins reach beyond the command processor.
struct HostContext {
  std::ostream& out;             // Print (and later dumps)
  std::function<short()> abort;  // server message 8
  // The drawing view's size (--view): what a drawn plot gets unless told.
  int viewWidth = 800;
  int viewHeight = 600;
};

struct BuiltinCall {
  Runtime& rt;
  HostContext& ctx;
  std::string name;                  // as registered, for messages
  std::vector<OBJ_BASECLASS*> args;  // null for a missing argument; owned by the caller
  OBJ_BASECLASS* result = nullptr;   // a function's new value, handed to the caller

  // Checks the argument count (missing ones included).
  void Arity(size_t min, size_t max) const;
  double Number(size_t i) const;       // 0-based; a present number or HostError
  std::string String(size_t i) const;  // 0-based; a present string or HostError
};

using BuiltinFn = std::function<void(BuiltinCall&)>;
enum class BuiltinKind { Command, Function };

class BuiltinTable {
 public:
  void Add(BuiltinKind kind, const std::string& name, BuiltinFn fn);
  struct Entry {
    std::string name;
    BuiltinFn fn;
  };
  const Entry* Find(BuiltinKind kind, const std::string& name) const;

 private:
  std::map<std::string, Entry> commands_, functions_;  // by upper-case name
};

// Print, RANGE, MS, CHRO, Answer, Abort.
void AddCoreBuiltins(BuiltinTable& t);
// ClipSetText, ClipText$.
void AddClipboardBuiltins(BuiltinTable& t);
// ClipFormats$, ClipSave, ClipLoad.
void AddClipboardFileBuiltins(BuiltinTable& t);
// DrawPlot, PrintPlot.
void AddPlotBuiltins(BuiltinTable& t);
// SaveView, ViewWindows$, UserKey, UserDoubleClick, UserClose, UserMaximize,
// UserSysCommand.
void AddViewBuiltins(BuiltinTable& t);

// Every group.
BuiltinTable StandardBuiltins();

}  // namespace host
