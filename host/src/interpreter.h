// Runs parsed macro scripts against the command processor: evaluates
// expressions, calls built-ins and plug-in entries, and keeps "_STATUS" and
// the record of whether any statement failed.
#pragma once

#include "ast.h"
#include "builtins.h"
#include "runtime.h"

namespace host {

class Interpreter {
 public:
  Interpreter(Runtime& rt, const BuiltinTable& builtins, HostContext& ctx);

  void Run(const Program& program);
  // True once any statement has failed.
  bool failed() const { return failed_; }

 private:
  class Held;

  void RunBlock(const Block& block);
  void RunStatement(const Stmt& s);
  void RunFor(const Stmt& s);
  void Assign(const std::string& name, Held value);
  void Command(const Stmt& s);

  Held Eval(const Expr& e);
  Held Call(const Expr& e);
  Held Unary(const Expr& e);
  Held Binary(const Expr& e);
  // The operator of e applied to its left value l and its right side.
  Held Apply(const Expr& e, Held l);
  double NumberOf(const Expr& e, const char* what);
  double NumberIn(const Held& h, const char* what);
  std::vector<Held> EvalArgs(const std::vector<Arg>& args);

  short CallEntry(const std::string& name, const Form& form, std::vector<Held>& args,
                  OBJ_BASECLASS** result);
  Held CallBuiltin(const BuiltinTable::Entry& b, std::vector<Held>& args);

  // Runs one statement's work, turning a failure into a report and a status.
  template <typename Work>
  bool Guard(Work work);
  void SetStatus(short status);

  Runtime& rt_;
  const BuiltinTable& builtins_;
  HostContext& ctx_;
  bool failed_ = false;
};

}  // namespace host
