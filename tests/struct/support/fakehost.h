// A command processor for unit tests: records what the library registers and
// shows, can refuse chosen registrations, and captures error reports.
#pragma once

#include <cmdproc.h>
#include <hostutil.h>

#include <functional>
#include <map>
#include <string>
#include <vector>

namespace fakehost {

struct Registration {
  std::string kind;  // "type", "function", "command", "overload", "addoverload"
  std::string name;
  std::vector<BYTE> types;
  DWORD packed = 0;
  int selector = 0;
  std::string tag;
};

class FakeProcessor : public CCommandProcessor {
 public:
  FakeProcessor();
  ~FakeProcessor();

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

  // Refuse the nth registration (from 1) whose name is name, with status.
  void Refuse(const std::string& name, int nth = 1, short status = 99) {
    refuseName_ = name;
    refuseNth_ = nth;
    refuseStatus_ = status;
  }

  std::vector<Registration> registrations;
  std::vector<std::pair<int, std::string>> statusTexts;
  std::vector<std::pair<int, std::string>> errors;  // message number, text
  std::vector<std::string> help;
  std::map<std::string, double> numbers;       // set by SetNumericVariable
  std::map<std::string, std::string> strings;  // read by GetStringVariable
  // What ObjectOpCall does (0 for everything when unset).
  std::function<short(OBJ_BASECLASS*, unsigned short, intptr_t, intptr_t)> objectOp;

 private:
  short Record(Registration r);
  std::string refuseName_;
  int refuseNth_ = 0;
  int seen_ = 0;
  short refuseStatus_ = 0;
  BYTE nextId_ = 10;
};

// A client created and initialised through the server entry, ended on scope exit.
class Client {
 public:
  explicit Client(FakeProcessor& host);
  ~Client();
  CCpClient* get() const { return client_; }

 private:
  CCpClient* client_ = nullptr;
};

}  // namespace fakehost
