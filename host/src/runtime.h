// The command processor the plug-in talks to: registration, variables, value
// operations, results and status texts. It owns every value the macro
// language holds and ends each one exactly once.
#pragma once

#include <cmdproc.h>

#include <memory>
#include <string>
#include <vector>

#include "console.h"
#include "registry.h"
#include "variables.h"

namespace host {

// Status of a failure the host itself reports (plug-in statuses are message
// numbers, 256 and up).
constexpr short kHostError = 1;

// Handler of an object type the host defines.
class HostType {
 public:
  virtual ~HostType() = default;
  virtual short Op(OBJ_BASECLASS* value, unsigned short opcode, intptr_t p1, intptr_t p2) = 0;
};

class Runtime final : public CCommandProcessor {
 public:
  explicit Runtime(Console& console);
  ~Runtime();
  Runtime(const Runtime&) = delete;
  Runtime& operator=(const Runtime&) = delete;

  // ---------------------------------------------------------------- the plug-in's view
  short ShowStatusText(int channel, LPCSTR text) override;
  short SetNumericVariable(LPCSTR name, double value) override;
  short RegisterObjectType(LPCSTR typeName, ObjOpCall handler, CCpClient* client,
                           BYTE* pTypeId) override;
  short RegisterFunction(LPCSTR name, FunctionEntry entry, int nArgs, const BYTE* types,
                         CCpClient* client) override;
  short RegisterCommand(LPCSTR name, CommandEntry entry, DWORD packedTypes,
                        CCpClient* client) override;
  short RegisterOverloadedCommand(const CString& name, CommandEntry entry, int selector, int nArgs,
                                  const BYTE* types, const CString& tag,
                                  CCpClient* client) override;
  short AddCommandOverload(const CString& name, CommandEntry entry, int nArgs, const BYTE* types,
                           CCpClient* client) override;
  short GetStringVariable(LPCSTR name, LPCSTR* pText) override;
  short ObjectOpCall(OBJ_BASECLASS* value, unsigned short opcode, intptr_t p1,
                     intptr_t p2) override;
  short LookupObjectType(LPCSTR typeName, BYTE* pTypeId) override;
  short MakeResult(int type, int size, const void* data, OBJ_BASECLASS** result) override;

  // ---------------------------------------------------------------- the host's view
  Registry& registry() { return registry_; }
  const Registry& registry() const { return registry_; }
  Variables& variables() { return variables_; }
  Console& console() { return console_; }

  // Ends a value of any type: its handler releases the payload, then the
  // record is freed.
  void Destroy(OBJ_BASECLASS* value);
  // A new value equal to value: numbers and strings copied, objects through
  // their handler's duplicate. Returns the handler's status.
  short Duplicate(OBJ_BASECLASS* value, OBJ_BASECLASS** copy);
  // The text Print shows for a value; returns the handler's status.
  short Describe(OBJ_BASECLASS* value, std::string& text);
  // Ends every variable's value; done before the plug-in is told to end.
  void DestroyAllValues() { variables_.Clear(); }

  BYTE rangeType() const { return rangeType_; }
  BYTE msType() const { return msType_; }
  BYTE chroType() const { return chroType_; }

  // String variables looked up in vain since the last call (see nErrors).
  std::vector<std::string> TakeMissingVariables();

  // The argument values of the entry call in progress: a plot must not adopt
  // one of them, since the caller still ends it.
  void SetCallArguments(std::vector<OBJ_BASECLASS*> args) { callArgs_ = std::move(args); }
  bool IsCallArgument(const OBJ_BASECLASS* v) const;

 private:
  short Refuse(const std::string& what, const std::string& why);
  short AddCommandForm(const std::string& name, CommandEntry entry, int nArgs, const BYTE* types,
                       CCpClient* client);

  Console& console_;
  Registry registry_;
  Variables variables_;
  std::vector<std::unique_ptr<HostType>> hostTypes_;
  BYTE rangeType_ = 0, msType_ = 0, chroType_ = 0;
  std::vector<std::string> missing_;
  std::vector<OBJ_BASECLASS*> callArgs_;
};

}  // namespace host
