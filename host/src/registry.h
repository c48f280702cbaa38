// What the command processor knows by name: object types with their ids and
// handlers, and the macro functions and commands with their forms. Keeps the
// order of registration for the listing, and picks the form that fits a call.
#pragma once

#include <cmdproc.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace host {

class HostType;

struct TypeInfo {
  std::string name;
  BYTE id = 0;
  ObjOpCall handler = nullptr;  // a plug-in's handler
  CCpClient* client = nullptr;
  HostType* host = nullptr;  // or the host's own
};

struct Form {
  FunctionEntry function = nullptr;
  CommandEntry command = nullptr;
  std::vector<BYTE> types;
  CCpClient* client = nullptr;
};

struct Callable {
  std::string name;  // as first registered
  std::vector<Form> forms;
};

enum class RegKind { Type, Function, Command };

// One registration as the plug-in made it, for the listing.
struct Registration {
  RegKind kind;
  std::string name;
  BYTE typeId = 0;
  std::vector<BYTE> types;
};

// Type code of an argument position in a call: a value's byte 1, or nullopt
// for a missing argument.
using ArgType = std::optional<BYTE>;

class Registry {
 public:
  // Host types are ids 2 and up in the order the host adds them; plug-in types
  // follow. Each returns an empty string or why the registration is refused.
  std::string AddType(const std::string& name, ObjOpCall handler, CCpClient* client, HostType* host,
                      BYTE& id);
  std::string AddFunction(const std::string& name, FunctionEntry entry,
                          const std::vector<BYTE>& types, CCpClient* client);
  std::string AddCommand(const std::string& name, CommandEntry entry,
                         const std::vector<BYTE>& types, CCpClient* client);

  const TypeInfo* TypeById(BYTE id) const;
  const TypeInfo* TypeByName(const std::string& name) const;
  const Callable* Function(const std::string& name) const;
  const Callable* Command(const std::string& name) const;

  // "number", "string" or the object type's name.
  std::string TypeName(BYTE code) const;
  const std::vector<Registration>& Log() const { return log_; }

 private:
  std::string CheckForm(const std::string& name, bool hasEntry,
                        const std::vector<BYTE>& types) const;

  std::vector<TypeInfo> types_;
  std::map<std::string, Callable> functions_, commands_;  // by upper-case name
  std::vector<Registration> log_;
};

// Picks the first form, in registration order, whose types match the types of
// the arguments present (a missing one fits anything). On failure returns null
// and says why.
const Form* ResolveForm(const Registry& reg, const Callable& callable,
                        const std::vector<ArgType>& args, std::string& why);

// Largest argument list a form may declare.
constexpr size_t kMaxArgs = 16;

}  // namespace host
