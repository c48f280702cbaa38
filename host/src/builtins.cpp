// The built-in table and the argument checks the built-ins share.
#include "builtins.h"

#include "failure.h"
#include "parser.h"
#include "values.h"

namespace host {

void BuiltinCall::Arity(size_t min, size_t max) const {
  if (args.size() > max) throw HostError{"too many arguments for " + name};
  for (size_t i = 0; i < min; ++i) {
    if (i >= args.size() || !args[i])
      throw HostError{name + " needs argument " + std::to_string(i + 1)};
  }
}

double BuiltinCall::Number(size_t i) const {
  if (i >= args.size() || !args[i])
    throw HostError{name + " needs argument " + std::to_string(i + 1)};
  if (!IsNumber(args[i]))
    throw HostError{name + ": argument " + std::to_string(i + 1) + " is not a number"};
  return args[i]->dValue;
}

std::string BuiltinCall::String(size_t i) const {
  if (i >= args.size() || !args[i])
    throw HostError{name + " needs argument " + std::to_string(i + 1)};
  if (!IsString(args[i]))
    throw HostError{name + ": argument " + std::to_string(i + 1) + " is not a string"};
  return StringOf(args[i]);
}

void BuiltinTable::Add(BuiltinKind kind, const std::string& name, BuiltinFn fn) {
  auto& map = kind == BuiltinKind::Command ? commands_ : functions_;
  map[Upper(name)] = Entry{name, std::move(fn)};
}

const BuiltinTable::Entry* BuiltinTable::Find(BuiltinKind kind, const std::string& name) const {
  const auto& map = kind == BuiltinKind::Command ? commands_ : functions_;
  auto it = map.find(Upper(name));
  return it == map.end() ? nullptr : &it->second;
}

BuiltinTable StandardBuiltins() {
  BuiltinTable t;
  AddCoreBuiltins(t);
  AddClipboardBuiltins(t);
  AddClipboardFileBuiltins(t);
  AddPlotBuiltins(t);
  AddViewBuiltins(t);
  return t;
}

}  // namespace host
