// A command processor for programs that use the library's code outside a
// host: nothing is registered, errors go to stderr through the utility
// library, status texts are dropped.
#pragma once

#include <cmdproc.h>

class CQuietProcessor : public CCommandProcessor {
 public:
  short ShowStatusText(int, LPCSTR) override { return 0; }
  short SetNumericVariable(LPCSTR, double) override { return 0; }
  short RegisterObjectType(LPCSTR, ObjOpCall, CCpClient*, BYTE*) override { return 1; }
  short RegisterFunction(LPCSTR, FunctionEntry, int, const BYTE*, CCpClient*) override { return 1; }
  short RegisterCommand(LPCSTR, CommandEntry, DWORD, CCpClient*) override { return 1; }
  short RegisterOverloadedCommand(const CString&, CommandEntry, int, int, const BYTE*,
                                  const CString&, CCpClient*) override {
    return 1;
  }
  short AddCommandOverload(const CString&, CommandEntry, int, const BYTE*, CCpClient*) override {
    return 1;
  }
  short GetStringVariable(LPCSTR, LPCSTR*) override { return 1; }
  short ObjectOpCall(OBJ_BASECLASS*, unsigned short, intptr_t, intptr_t) override { return 1; }
  short LookupObjectType(LPCSTR, BYTE*) override { return 1; }
  short MakeResult(int, int, const void*, OBJ_BASECLASS**) override { return 1; }
};
