#include "support/fakehost.h"

#include <gtest/gtest.h>

#include <cstring>

#include "server/entries.h"

namespace fakehost {

FakeProcessor::FakeProcessor() {
  hostutil::Sinks sinks;
  sinks.error = [this](int msg, const std::string& text) { errors.emplace_back(msg, text); };
  sinks.help = [this](const std::string& file, DWORD context) {
    help.push_back(file + " " + std::to_string(context));
  };
  hostutil::SetSinks(sinks);
}

FakeProcessor::~FakeProcessor() { hostutil::SetSinks(hostutil::Sinks{}); }

short FakeProcessor::Record(Registration r) {
  if (r.name == refuseName_ && ++seen_ == refuseNth_) return refuseStatus_;
  registrations.push_back(std::move(r));
  return 0;
}

short FakeProcessor::ShowStatusText(int channel, LPCSTR text) {
  statusTexts.emplace_back(channel, text);
  return 0;
}

short FakeProcessor::SetNumericVariable(LPCSTR name, double value) {
  numbers[name] = value;
  return 0;
}

short FakeProcessor::RegisterObjectType(LPCSTR typeName, ObjOpCall, CCpClient*, BYTE* pTypeId) {
  short status = Record({"type", typeName, {}, 0, 0, ""});
  if (status == 0) *pTypeId = nextId_++;
  return status;
}

short FakeProcessor::RegisterFunction(LPCSTR name, FunctionEntry, int nArgs, const BYTE* types,
                                      CCpClient*) {
  return Record({"function", name, std::vector<BYTE>(types, types + nArgs), 0, 0, ""});
}

short FakeProcessor::RegisterCommand(LPCSTR name, CommandEntry, DWORD packed, CCpClient*) {
  return Record({"command", name, {}, packed, 0, ""});
}

short FakeProcessor::RegisterOverloadedCommand(const CString& name, CommandEntry, int selector,
                                               int nArgs, const BYTE* types, const CString& tag,
                                               CCpClient*) {
  return Record(
      {"overload", name.str(), std::vector<BYTE>(types, types + nArgs), 0, selector, tag.str()});
}

short FakeProcessor::AddCommandOverload(const CString& name, CommandEntry, int nArgs,
                                        const BYTE* types, CCpClient*) {
  return Record({"addoverload", name.str(), std::vector<BYTE>(types, types + nArgs), 0, 0, ""});
}

short FakeProcessor::GetStringVariable(LPCSTR name, LPCSTR* pText) {
  auto it = strings.find(name);
  if (it != strings.end()) {
    if (pText) *pText = it->second.c_str();
    return 0;
  }
  ++nErrors;
  return 1;
}

short FakeProcessor::ObjectOpCall(OBJ_BASECLASS* value, unsigned short opcode, intptr_t p1,
                                  intptr_t p2) {
  return objectOp ? objectOp(value, opcode, p1, p2) : 0;
}

short FakeProcessor::LookupObjectType(LPCSTR typeName, BYTE* pTypeId) {
  if (!std::strcmp(typeName, "MS")) *pTypeId = 2;
  if (!std::strcmp(typeName, "CHRO")) *pTypeId = 3;
  if (!std::strcmp(typeName, "RANGE")) *pTypeId = 4;
  return 0;
}

short FakeProcessor::MakeResult(int type, int, const void* data, OBJ_BASECLASS** result) {
  auto* v = new OBJ_BASECLASS{};
  v->idType = static_cast<BYTE>(type);
  if (type == ARG_NUMBER)
    v->dValue = *static_cast<const double*>(data);
  else
    v->pWord1 = new CString(static_cast<LPCSTR>(data));
  *result = v;
  return 0;
}

Client::Client(FakeProcessor& host) {
  uintptr_t block[SRVBLK_WORDS] = {};
  block[SRVBLK_CMDPROC] = reinterpret_cast<uintptr_t>(&host);
  OOCPSRV(nullptr, 2, block);
  client_ = reinterpret_cast<CCpClient*>(block[SRVBLK_CLIENT]);
  OOCPSRV(client_, 3, nullptr);
}

Client::~Client() { OOCPSRV(client_, 6, nullptr); }

}  // namespace fakehost

namespace {

// The library's code runs with its module state current, as its entry points
// make it; tests that call inner functions directly get the same.
class ModuleStateEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { AfxSetModuleState(AfxGetStaticModuleState()); }
};

const auto* const s_moduleEnv = ::testing::AddGlobalTestEnvironment(new ModuleStateEnvironment);

}  // namespace
