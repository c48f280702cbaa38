// Registration of types, functions and commands, and the choice of form.
#include "registry.h"

#include <cctype>

#include "parser.h"

namespace host {
namespace {

constexpr BYTE kFirstTypeId = 2;
// 0xFF ends a packed command type list, so it can never name a type.
constexpr BYTE kLastTypeId = 0xFE;

bool IsMacroName(const std::string& name) {
  if (name.empty() || !(std::isalpha(static_cast<unsigned char>(name[0])) || name[0] == '_'))
    return false;
  for (size_t i = 1; i < name.size(); ++i) {
    char c = name[i];
    if (c == '$' && i + 1 == name.size()) break;
    if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
  }
  return true;
}

}  // namespace

std::string Registry::AddType(const std::string& name, ObjOpCall handler, CCpClient* client,
                              HostType* host, BYTE& id) {
  if (name.empty()) return "a type needs a name";
  if (!handler && !host) return "type " + name + " has no handler";
  if (TypeByName(name)) return "type " + name + " exists";
  const size_t next = kFirstTypeId + types_.size();
  if (next > kLastTypeId) return "too many object types";
  TypeInfo t{name, static_cast<BYTE>(next), handler, client, host};
  types_.push_back(t);
  id = t.id;
  if (!host) log_.push_back({RegKind::Type, name, t.id, {}});
  return {};
}

std::string Registry::CheckForm(const std::string& name, bool hasEntry,
                                const std::vector<BYTE>& types) const {
  if (!IsMacroName(name)) return "'" + name + "' is not a macro name";
  if (!hasEntry) return name + " has no entry point";
  if (types.size() > kMaxArgs) return name + " has too many arguments";
  for (BYTE t : types) {
    if (t != ARG_NUMBER && t != ARG_STRING && !TypeById(t))
      return name + " names an unknown type " + std::to_string(t);
  }
  return {};
}

std::string Registry::AddFunction(const std::string& name, FunctionEntry entry,
                                  const std::vector<BYTE>& types, CCpClient* client) {
  std::string why = CheckForm(name, entry != nullptr, types);
  if (!why.empty()) return why;
  Callable& c = functions_[Upper(name)];
  if (c.name.empty()) c.name = name;
  c.forms.push_back({entry, nullptr, types, client});
  log_.push_back({RegKind::Function, name, 0, types});
  return {};
}

std::string Registry::AddCommand(const std::string& name, CommandEntry entry,
                                 const std::vector<BYTE>& types, CCpClient* client) {
  std::string why = CheckForm(name, entry != nullptr, types);
  if (!why.empty()) return why;
  Callable& c = commands_[Upper(name)];
  if (c.name.empty()) c.name = name;
  c.forms.push_back({nullptr, entry, types, client});
  log_.push_back({RegKind::Command, name, 0, types});
  return {};
}

const TypeInfo* Registry::TypeById(BYTE id) const {
  if (id < kFirstTypeId || static_cast<size_t>(id - kFirstTypeId) >= types_.size()) return nullptr;
  return &types_[id - kFirstTypeId];
}

const TypeInfo* Registry::TypeByName(const std::string& name) const {
  for (const TypeInfo& t : types_) {
    if (t.name == name) return &t;
  }
  return nullptr;
}

const Callable* Registry::Function(const std::string& name) const {
  auto it = functions_.find(Upper(name));
  return it == functions_.end() ? nullptr : &it->second;
}

const Callable* Registry::Command(const std::string& name) const {
  auto it = commands_.find(Upper(name));
  return it == commands_.end() ? nullptr : &it->second;
}

std::string Registry::TypeName(BYTE code) const {
  if (code == ARG_NUMBER) return "number";
  if (code == ARG_STRING) return "string";
  const TypeInfo* t = TypeById(code);
  return t ? t->name : "type " + std::to_string(code);
}

const Form* ResolveForm(const Registry& reg, const Callable& callable,
                        const std::vector<ArgType>& args, std::string& why) {
  bool countFits = false;
  for (const Form& f : callable.forms) {
    if (args.size() > f.types.size()) continue;
    countFits = true;
    bool fits = true;
    for (size_t i = 0; i < args.size() && fits; ++i) {
      fits = !args[i] || *args[i] == f.types[i];
    }
    if (fits) return &f;
  }
  if (!countFits) {
    why = "too many arguments for " + callable.name;
    return nullptr;
  }
  std::string given;
  for (const ArgType& a : args) {
    if (!given.empty()) given += ", ";
    given += a ? reg.TypeName(*a) : "missing";
  }
  why = "no form of " + callable.name + " takes (" + given + ")";
  return nullptr;
}

}  // namespace host
