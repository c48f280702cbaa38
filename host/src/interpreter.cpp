// Statement execution and expression evaluation. Values met during
// evaluation are either a variable's own (passed by reference to entries, so
// their changes stay) or temporaries, which end when the statement is done
// with them.
#include "interpreter.h"

#include <exception>
#include <new>
#include <utility>

#include "failure.h"
#include "values.h"

namespace host {

// A value in hand: a variable's own, a temporary this holder ends, or nothing
// (a missing argument).
class Interpreter::Held {
 public:
  Held() = default;
  static Held Ref(OBJ_BASECLASS* v) { return Held(nullptr, v); }
  static Held Temp(Runtime& rt, OBJ_BASECLASS* v) { return Held(&rt, v); }
  Held(Held&& o) noexcept
      : owner_(std::exchange(o.owner_, nullptr)), v_(std::exchange(o.v_, nullptr)) {}
  Held& operator=(Held&& o) noexcept {
    if (this != &o) {
      Reset();
      owner_ = std::exchange(o.owner_, nullptr);
      v_ = std::exchange(o.v_, nullptr);
    }
    return *this;
  }
  ~Held() { Reset(); }

  OBJ_BASECLASS* get() const { return v_; }
  bool temporary() const { return owner_ != nullptr; }
  // Hands a temporary over to a new owner.
  OBJ_BASECLASS* Release() {
    owner_ = nullptr;
    return std::exchange(v_, nullptr);
  }

 private:
  Held(Runtime* owner, OBJ_BASECLASS* v) : owner_(owner), v_(v) {}
  void Reset() {
    if (owner_ && v_) owner_->Destroy(v_);
    owner_ = nullptr;
    v_ = nullptr;
  }
  Runtime* owner_ = nullptr;
  OBJ_BASECLASS* v_ = nullptr;
};

namespace {

std::string Describe(const Registry& reg, const OBJ_BASECLASS* v) {
  return v ? reg.TypeName(v->idType) : "missing";
}

}  // namespace

Interpreter::Interpreter(Runtime& rt, const BuiltinTable& builtins, HostContext& ctx)
    : rt_(rt), builtins_(builtins), ctx_(ctx) {
  if (!rt_.variables().Find("_STATUS")) SetStatus(0);
}

void Interpreter::Run(const Program& program) { RunBlock(program.statements); }

void Interpreter::RunBlock(const Block& block) {
  for (const Stmt& s : block) RunStatement(s);
}

void Interpreter::SetStatus(short status) { rt_.SetNumericVariable("_STATUS", status); }

template <typename Work>
bool Interpreter::Guard(Work work) {
  short status = 0;
  try {
    work();
  } catch (const HostError& e) {
    rt_.console().Error(e.text);
    status = kHostError;
  } catch (const EntryFailed& e) {
    status = e.status ? e.status : kHostError;
  } catch (const std::bad_alloc&) {
    rt_.console().Error("out of memory");
    status = kHostError;
  } catch (const std::exception& e) {
    rt_.console().Error(e.what());
    status = kHostError;
  }
  if (status != 0) {
    failed_ = true;
    SetStatus(status);
  }
  return status == 0;
}

void Interpreter::RunStatement(const Stmt& s) {
  switch (s.kind) {
    case StmtKind::Assign:
      if (Guard([&] { Assign(s.name, Eval(*s.value)); })) SetStatus(0);
      return;
    case StmtKind::Command:
      if (Guard([&] { Command(s); })) SetStatus(0);
      return;
    case StmtKind::If: {
      // The condition's own failure skips both branches; _STATUS is left for
      // the branches to read as the statement before the IF set it.
      bool cond = false;
      if (!Guard([&] { cond = NumberOf(*s.value, "an IF condition") != 0; })) return;
      RunBlock(cond ? s.body : s.orElse);
      return;
    }
    case StmtKind::For:
      RunFor(s);
      return;
  }
}

void Interpreter::RunFor(const Stmt& s) {
  double limit = 0, step = 1;
  bool ok = Guard([&] {
    double from = NumberOf(*s.value, "FOR");
    limit = NumberOf(*s.limit, "TO");
    if (s.step) step = NumberOf(*s.step, "STEP");
    if (step == 0) throw HostError{"FOR " + s.name + " with STEP 0 never ends"};
    rt_.variables().Set(s.name, NewNumber(from));
  });
  if (!ok) return;
  // The body may change the variable, as in BASIC; it is read afresh each round.
  auto current = [&](double& v) {
    return Guard([&] {
      OBJ_BASECLASS* var = rt_.variables().Find(s.name);
      if (!IsNumber(var)) throw HostError{"loop variable " + s.name + " no longer holds a number"};
      v = var->dValue;
    });
  };
  double v = 0;
  while (current(v) && (step > 0 ? v <= limit : v >= limit)) {
    RunBlock(s.body);
    if (!current(v)) return;
    // A step too small to move a number this large would loop for ever.
    if (v + step == v) {
      Guard([&] { throw HostError{"FOR " + s.name + ": STEP no longer changes the variable"}; });
      return;
    }
    rt_.variables().Find(s.name)->dValue = v + step;
  }
}

void Interpreter::Assign(const std::string& name, Held value) {
  OBJ_BASECLASS* v = value.get();
  if (!v) throw HostError{"no value to assign to " + name};
  const bool stringName = name.back() == '$';
  if (stringName && !IsString(v))
    throw HostError{"cannot assign " + Describe(rt_.registry(), v) + " to " + name};
  if (!stringName && IsString(v))
    throw HostError{"cannot assign a string to " + name + ": string variables end in $"};
  if (value.temporary()) {
    rt_.variables().Set(name, value.Release());
    return;
  }
  if (rt_.variables().Find(name) == v) return;
  // A second variable gets its own value: an object is duplicated by its type.
  OBJ_BASECLASS* copy = nullptr;
  short status = rt_.Duplicate(v, &copy);
  if (status != 0) throw EntryFailed{status};
  rt_.variables().Set(name, copy);
}

std::vector<Interpreter::Held> Interpreter::EvalArgs(const std::vector<Arg>& args) {
  std::vector<Held> held;
  held.reserve(args.size());
  for (const Arg& a : args) held.push_back(a ? Eval(**a) : Held());
  return held;
}

void Interpreter::Command(const Stmt& s) {
  if (const BuiltinTable::Entry* b = builtins_.Find(BuiltinKind::Command, s.name)) {
    std::vector<Held> args = EvalArgs(s.args);
    CallBuiltin(*b, args);
    return;
  }
  const Callable* c = rt_.registry().Command(s.name);
  if (!c) {
    if (rt_.registry().Function(s.name) || builtins_.Find(BuiltinKind::Function, s.name))
      throw HostError{s.name + " is a function: use it in an expression, as x = " + s.name +
                      "(...)"};
    throw HostError{"unknown command " + s.name};
  }
  std::vector<Held> args = EvalArgs(s.args);
  std::vector<ArgType> types;
  for (const Held& h : args) types.push_back(h.get() ? ArgType(h.get()->idType) : std::nullopt);
  std::string why;
  const Form* form = ResolveForm(rt_.registry(), *c, types, why);
  if (!form) throw HostError{why};
  short status = CallEntry(c->name, *form, args, nullptr);
  if (status != 0) throw EntryFailed{status};
}

short Interpreter::CallEntry(const std::string& name, const Form& form, std::vector<Held>& args,
                             OBJ_BASECLASS** result) {
  // The array is as long as the form; positions not given are missing.
  std::vector<OBJ_BASECLASS*> array(std::max<size_t>(form.types.size(), 1), nullptr);
  for (size_t i = 0; i < args.size(); ++i) array[i] = args[i].get();
  rt_.SetCallArguments(array);
  rt_.nErrors = 0;
  short status = form.function ? form.function(form.client, array.data(), result)
                               : form.command(form.client, array.data());
  rt_.SetCallArguments({});
  const int16_t errors = rt_.nErrors;
  rt_.nErrors = 0;
  std::vector<std::string> missing = rt_.TakeMissingVariables();
  if (status == 0 && errors > 0) {
    if (result && *result) {
      rt_.Destroy(*result);
      *result = nullptr;
    }
    throw HostError{name + ": no string variable " + (missing.empty() ? "?" : missing.back())};
  }
  return status;
}

Interpreter::Held Interpreter::CallBuiltin(const BuiltinTable::Entry& b, std::vector<Held>& args) {
  BuiltinCall call{rt_, ctx_, b.name, {}, nullptr};
  for (const Held& h : args) call.args.push_back(h.get());
  try {
    b.fn(call);
  } catch (...) {
    if (call.result) rt_.Destroy(call.result);
    throw;
  }
  return Held::Temp(rt_, call.result);
}

Interpreter::Held Interpreter::Call(const Expr& e) {
  if (const BuiltinTable::Entry* b = builtins_.Find(BuiltinKind::Function, e.text)) {
    std::vector<Held> args = EvalArgs(e.args);
    Held r = CallBuiltin(*b, args);
    if (!r.get()) throw HostError{b->name + " gave no value"};
    return r;
  }
  const Callable* c = rt_.registry().Function(e.text);
  if (!c) {
    if (rt_.registry().Command(e.text) || builtins_.Find(BuiltinKind::Command, e.text))
      throw HostError{e.text + " is a command: use it as a statement, as " + e.text + " a, b"};
    throw HostError{"unknown function " + e.text};
  }
  std::vector<Held> args = EvalArgs(e.args);
  std::vector<ArgType> types;
  for (const Held& h : args) types.push_back(h.get() ? ArgType(h.get()->idType) : std::nullopt);
  std::string why;
  const Form* form = ResolveForm(rt_.registry(), *c, types, why);
  if (!form) throw HostError{why};
  OBJ_BASECLASS* result = nullptr;
  short status = CallEntry(c->name, *form, args, &result);
  Held r = Held::Temp(rt_, result);
  if (status != 0) throw EntryFailed{status};
  if (!r.get()) throw HostError{c->name + " gave no value"};
  return r;
}

double Interpreter::NumberOf(const Expr& e, const char* what) { return NumberIn(Eval(e), what); }

Interpreter::Held Interpreter::Eval(const Expr& e) {
  switch (e.kind) {
    case ExprKind::Number:
      return Held::Temp(rt_, NewNumber(e.number));
    case ExprKind::String:
      return Held::Temp(rt_, NewString(e.text));
    case ExprKind::Variable: {
      OBJ_BASECLASS* v = rt_.variables().Find(e.text);
      if (!v) throw HostError{"unset variable " + e.text};
      return Held::Ref(v);
    }
    case ExprKind::Call:
      return Call(e);
    case ExprKind::Unary:
      return Unary(e);
    case ExprKind::Binary:
      return Binary(e);
  }
  throw HostError{"bad expression"};
}

Interpreter::Held Interpreter::Unary(const Expr& e) {
  const char* what = e.text == "NOT" ? "NOT" : "a sign";
  double x = NumberOf(*e.left, what);
  double r = e.text == "-" ? -x : e.text == "NOT" ? (x == 0 ? 1 : 0) : x;
  return Held::Temp(rt_, NewNumber(r));
}

double Interpreter::NumberIn(const Held& h, const char* what) {
  if (!IsNumber(h.get()))
    throw HostError{std::string(what) + " needs a number, not " +
                    Describe(rt_.registry(), h.get())};
  return h.get()->dValue;
}

// "a + b + c ..." nests to the left: the chain is walked down once and its
// operators applied on the way back up, so a chain of any length evaluates
// without a call per term.
Interpreter::Held Interpreter::Binary(const Expr& e) {
  std::vector<const Expr*> chain;
  const Expr* node = &e;
  for (; node->kind == ExprKind::Binary; node = node->left.get()) chain.push_back(node);
  Held acc = Eval(*node);
  for (auto it = chain.rbegin(); it != chain.rend(); ++it) acc = Apply(**it, std::move(acc));
  return acc;
}

Interpreter::Held Interpreter::Apply(const Expr& e, Held l) {
  const std::string& op = e.text;
  if (op == "AND" || op == "OR") {
    const bool left = NumberIn(l, op.c_str()) != 0;
    // Decided by the left side alone: the right side is not evaluated.
    if (op == "AND" && !left) return Held::Temp(rt_, NewNumber(0));
    if (op == "OR" && left) return Held::Temp(rt_, NewNumber(1));
    return Held::Temp(rt_, NewNumber(NumberOf(*e.right, op.c_str()) != 0 ? 1 : 0));
  }
  Held r = Eval(*e.right);
  const OBJ_BASECLASS* a = l.get();
  const OBJ_BASECLASS* b = r.get();
  const bool numbers = IsNumber(a) && IsNumber(b);
  const bool strings = IsString(a) && IsString(b);
  if (!numbers && !strings) {
    throw HostError{"cannot apply " + op + " to " + Describe(rt_.registry(), a) + " and " +
                    Describe(rt_.registry(), b)};
  }
  if (op == "+" && strings) return Held::Temp(rt_, NewString(StringOf(a) + StringOf(b)));
  int cmp = 0;
  if (strings) {
    cmp = StringOf(a).compare(StringOf(b));
  } else {
    const double x = a->dValue, y = b->dValue;
    if (op == "+") return Held::Temp(rt_, NewNumber(x + y));
    if (op == "-") return Held::Temp(rt_, NewNumber(x - y));
    if (op == "*") return Held::Temp(rt_, NewNumber(x * y));
    if (op == "/") {
      if (y == 0) throw HostError{"division by zero"};
      return Held::Temp(rt_, NewNumber(x / y));
    }
    cmp = x < y ? -1 : x > y ? 1 : 0;
  }
  bool truth;
  if (op == "=")
    truth = cmp == 0;
  else if (op == "<>")
    truth = cmp != 0;
  else if (op == "<")
    truth = cmp < 0;
  else if (op == ">")
    truth = cmp > 0;
  else if (op == "<=")
    truth = cmp <= 0;
  else if (op == ">=")
    truth = cmp >= 0;
  else
    throw HostError{"cannot apply " + op + " to strings"};
  return Held::Temp(rt_, NewNumber(truth ? 1 : 0));
}

}  // namespace host
