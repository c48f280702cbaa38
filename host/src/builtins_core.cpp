// Print, the host's value constructors (RANGE and the plots) and the controls
// that reach the user-action queue and the plug-in's abort request.
#include <platform/env.h>

#include "builtins.h"
#include "failure.h"
#include "plot.h"

namespace host {
namespace {

void Print(BuiltinCall& c) {
  // The whole line is made first: a value that cannot be described fails the
  // statement with nothing printed.
  std::string line;
  for (size_t i = 0; i < c.args.size(); ++i) {
    std::string text;
    short status = c.rt.Describe(c.args[i], text);
    if (status != 0) throw EntryFailed{status};
    if (i) line += ' ';
    line += text;
  }
  c.ctx.out << line << '\n';
  c.ctx.out.flush();
}

void Range(BuiltinCall& c) {
  c.Arity(2, 2);
  c.result = NewRange(c.rt.rangeType(), c.Number(0), c.Number(1));
}

void MakePlot(BuiltinCall& c, BYTE type) {
  c.Arity(4, 4);
  c.result = NewPlot(type, c.Number(0), c.Number(1), c.Number(2), c.Number(3));
}

void Answer(BuiltinCall& c) {
  c.Arity(1, 1);
  platform::QueueAction(c.String(0));
}

void Abort(BuiltinCall& c) {
  c.Arity(0, 0);
  short status = c.ctx.abort ? c.ctx.abort() : 0;
  if (status != 0) throw EntryFailed{status};
}

}  // namespace

void AddCoreBuiltins(BuiltinTable& t) {
  t.Add(BuiltinKind::Command, "Print", Print);
  t.Add(BuiltinKind::Function, "RANGE", Range);
  t.Add(BuiltinKind::Function, "MS", [](BuiltinCall& c) { MakePlot(c, c.rt.msType()); });
  t.Add(BuiltinKind::Function, "CHRO", [](BuiltinCall& c) { MakePlot(c, c.rt.chroType()); });
  t.Add(BuiltinKind::Command, "Answer", Answer);
  t.Add(BuiltinKind::Command, "Abort", Abort);
}

}  // namespace host
