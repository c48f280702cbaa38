// The command processor's operations. Every operation the plug-in calls
// returns a status and never lets an exception out: the plug-in has no way to
// catch one.
#include "runtime.h"

#include <algorithm>
#include <cstring>

#include "plot.h"
#include "values.h"

namespace host {
namespace {

std::string Text(LPCSTR s) { return s ? s : ""; }

std::vector<BYTE> TypeList(int nArgs, const BYTE* types) {
  return types && nArgs > 0 ? std::vector<BYTE>(types, types + nArgs) : std::vector<BYTE>{};
}

}  // namespace

Runtime::Runtime(Console& console)
    : console_(console), variables_([this](OBJ_BASECLASS* v) { Destroy(v); }) {
  // Host types take the first ids, before any plug-in registers its own.
  hostTypes_.push_back(MakeRangeType());
  registry_.AddType("RANGE", nullptr, nullptr, hostTypes_.back().get(), rangeType_);
  hostTypes_.push_back(MakePlotType(*this, "MS"));
  registry_.AddType("MS", nullptr, nullptr, hostTypes_.back().get(), msType_);
  hostTypes_.push_back(MakePlotType(*this, "CHRO"));
  registry_.AddType("CHRO", nullptr, nullptr, hostTypes_.back().get(), chroType_);
}

Runtime::~Runtime() {
  // Before the handlers go away.
  variables_.Clear();
}

short Runtime::Refuse(const std::string& what, const std::string& why) {
  console_.Error("cannot register " + what + ": " + why);
  return kHostError;
}

// ---------------------------------------------------------------- status texts and variables

short Runtime::ShowStatusText(int channel, LPCSTR text) {
  if (channel == 9)
    console_.Progress(Text(text));
  else
    console_.Status(Text(text));
  return 0;
}

short Runtime::SetNumericVariable(LPCSTR name, double value) {
  const std::string n = Text(name);
  if (n.empty() || n.back() == '$') return kHostError;
  OBJ_BASECLASS* v = variables_.Find(n);
  if (IsNumber(v)) {
    v->dValue = value;
    return 0;
  }
  try {
    variables_.Set(n, NewNumber(value));
  } catch (...) {
    return kHostError;
  }
  return 0;
}

short Runtime::GetStringVariable(LPCSTR name, LPCSTR* pText) {
  OBJ_BASECLASS* v = variables_.Find(Text(name));
  if (IsString(v) && v->pWord1) {
    if (pText) *pText = static_cast<CString*>(v->pWord1)->GetString();
    return 0;
  }
  // Counted rather than reported: a caller that can do without the variable
  // takes the count back, and a lookup still counted when the entry returns
  // fails its statement.
  ++nErrors;
  missing_.push_back(Text(name));
  return kHostError;
}

std::vector<std::string> Runtime::TakeMissingVariables() {
  std::vector<std::string> m;
  m.swap(missing_);
  return m;
}

// ---------------------------------------------------------------- registration

short Runtime::RegisterObjectType(LPCSTR typeName, ObjOpCall handler, CCpClient* client,
                                  BYTE* pTypeId) {
  const std::string name = Text(typeName);
  if (!handler) return Refuse("type " + name, "no handler");
  BYTE id = 0;
  std::string why = registry_.AddType(name, handler, client, nullptr, id);
  if (!why.empty()) return Refuse("type " + name, why);
  if (pTypeId) *pTypeId = id;
  return 0;
}

short Runtime::RegisterFunction(LPCSTR name, FunctionEntry entry, int nArgs, const BYTE* types,
                                CCpClient* client) {
  const std::string n = Text(name);
  if (nArgs < 0 || static_cast<size_t>(nArgs) > kMaxArgs || (nArgs > 0 && !types))
    return Refuse("function " + n, "bad argument list");
  std::string why = registry_.AddFunction(n, entry, TypeList(nArgs, types), client);
  return why.empty() ? 0 : Refuse("function " + n, why);
}

short Runtime::AddCommandForm(const std::string& name, CommandEntry entry, int nArgs,
                              const BYTE* types, CCpClient* client) {
  if (nArgs < 0 || static_cast<size_t>(nArgs) > kMaxArgs || (nArgs > 0 && !types))
    return Refuse("command " + name, "bad argument list");
  std::string why = registry_.AddCommand(name, entry, TypeList(nArgs, types), client);
  return why.empty() ? 0 : Refuse("command " + name, why);
}

short Runtime::RegisterCommand(LPCSTR name, CommandEntry entry, DWORD packedTypes,
                               CCpClient* client) {
  // Four type bytes, the first argument lowest; 0xFF ends a shorter list.
  BYTE types[4];
  int n = 0;
  for (; n < 4; ++n) {
    BYTE t = static_cast<BYTE>((packedTypes >> (8 * n)) & 0xFF);
    if (t == 0xFF) break;
    types[n] = t;
  }
  return AddCommandForm(Text(name), entry, n, types, client);
}

short Runtime::RegisterOverloadedCommand(const CString& name, CommandEntry entry, int selector,
                                         int nArgs, const BYTE* types, const CString& /*tag*/,
                                         CCpClient* client) {
  // The forms are told apart by all their argument types, so the selector is
  // only checked; the tag has no use here.
  if (selector < 1 || selector > nArgs)
    return Refuse("command " + name.str(), "selector outside the arguments");
  return AddCommandForm(name.str(), entry, nArgs, types, client);
}

short Runtime::AddCommandOverload(const CString& name, CommandEntry entry, int nArgs,
                                  const BYTE* types, CCpClient* client) {
  if (!registry_.Command(name.str()))
    return Refuse("command " + name.str(), "no such command to add a form to");
  return AddCommandForm(name.str(), entry, nArgs, types, client);
}

short Runtime::LookupObjectType(LPCSTR typeName, BYTE* pTypeId) {
  const TypeInfo* t = registry_.TypeByName(Text(typeName));
  if (!t) return kHostError;
  if (pTypeId) *pTypeId = t->id;
  return 0;
}

// ---------------------------------------------------------------- values

short Runtime::MakeResult(int type, int /*size*/, const void* data, OBJ_BASECLASS** result) {
  if (!result) return kHostError;
  OBJ_BASECLASS* v = nullptr;
  if (type == ARG_NUMBER) {
    if (!data) return kHostError;
    double d;
    std::memcpy(&d, data, sizeof d);
    v = NewNumber(d);
  } else if (type == ARG_STRING) {
    v = NewString(data ? static_cast<const char*>(data) : "");
  } else {
    return kHostError;
  }
  // A second result in the same call replaces the first.
  if (*result) Destroy(*result);
  *result = v;
  return 0;
}

short Runtime::ObjectOpCall(OBJ_BASECLASS* value, unsigned short opcode, intptr_t p1, intptr_t p2) {
  if (!value) return kHostError;
  if (!IsObject(value)) {
    switch (opcode) {
      case OBJOP_DESTROY:
        FreePlain(value);
        return 0;
      case OBJOP_DESCRIBE:
        if (!p1) return kHostError;
        *reinterpret_cast<BSTR*>(p1) = SysAllocString(
            (IsNumber(value) ? FormatNumber(value->dValue) : StringOf(value)).c_str());
        return 0;
      case OBJOP_DUPLICATE:
        if (!p1) return kHostError;
        *reinterpret_cast<OBJ_BASECLASS**>(p1) =
            IsNumber(value) ? NewNumber(value->dValue) : NewString(StringOf(value));
        return 0;
      case OBJOP_TYPENAME: {
        if (!p1 || p2 <= 0) return kHostError;
        const std::string name = registry_.TypeName(value->idType);
        const size_t n = std::min(name.size(), static_cast<size_t>(p2) - 1);
        std::memcpy(reinterpret_cast<char*>(p1), name.data(), n);
        reinterpret_cast<char*>(p1)[n] = '\0';
        return 0;
      }
      default:
        return kHostError;
    }
  }
  const TypeInfo* t = registry_.TypeById(value->idType);
  if (!t) return kHostError;
  const short status =
      t->host ? t->host->Op(value, opcode, p1, p2) : t->handler(value, opcode, p1, p2, t->client);
  // A plug-in's handler frees its values itself; the host's types leave that
  // to the runtime.
  if (opcode == OBJOP_DESTROY && t->host) delete value;
  return status;
}

void Runtime::Destroy(OBJ_BASECLASS* value) {
  if (!value) return;
  if (IsObject(value) && !registry_.TypeById(value->idType)) {
    console_.Error("value of unknown type " + std::to_string(value->idType) + " freed unseen");
    delete value;
    return;
  }
  ObjectOpCall(value, OBJOP_DESTROY, 0, 0);
}

short Runtime::Duplicate(OBJ_BASECLASS* value, OBJ_BASECLASS** copy) {
  *copy = nullptr;
  if (!value) return kHostError;
  OBJ_BASECLASS* made = nullptr;
  short status = ObjectOpCall(value, OBJOP_DUPLICATE, reinterpret_cast<intptr_t>(&made), 0);
  if (status != 0) {
    if (made) Destroy(made);
    return status;
  }
  if (!made) {
    console_.Error(registry_.TypeName(value->idType) + " made no duplicate");
    return kHostError;
  }
  *copy = made;
  return 0;
}

short Runtime::Describe(OBJ_BASECLASS* value, std::string& text) {
  if (!value) {
    text.clear();
    return 0;
  }
  if (IsNumber(value)) {
    text = FormatNumber(value->dValue);
    return 0;
  }
  if (IsString(value)) {
    text = StringOf(value);
    return 0;
  }
  BSTR b = nullptr;
  short status = ObjectOpCall(value, OBJOP_DESCRIBE, reinterpret_cast<intptr_t>(&b), 0);
  if (status == 0) text = b ? b : "";
  if (b) SysFreeString(b);
  return status;
}

bool Runtime::IsCallArgument(const OBJ_BASECLASS* v) const {
  return std::find(callArgs_.begin(), callArgs_.end(), v) != callArgs_.end();
}

}  // namespace host
