// Entry points whose subsystems are not part of this build yet. Each answers
// with a clear report instead of doing nothing, so a macro that calls one fails
// visibly.
#include <cstdlib>

#include "core/common.h"
#include "objects/makeobj.h"
#include "resources/resource.h"
#include "server/entries.h"

namespace {

short NotAvailable(CCpClient* client, LPCSTR macroName) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CString text;
  text.Format("%s is not available in this version", macroName);
  return ReportErrorStr(client->pcp, IDS_ERR_TEXT, text);
}

short UnsupportedOpcode(CCpClient* client, unsigned short opcode) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  return ReportErrorNum(client->pcp, IDS_ERR_BADOPCODE, opcode);
}

}  // namespace

#define UNBUILT_FUNCTION(name, macro)   \
  STRUCT_FUNCTION(name) {               \
    (void)args;                         \
    (void)result;                       \
    return NotAvailable(client, macro); \
  }
#define UNBUILT_COMMAND(name, macro)    \
  STRUCT_COMMAND(name) {                \
    (void)args;                         \
    return NotAvailable(client, macro); \
  }

STRUCT_HANDLER(ChemStrucDrwOpCall) {
  if (opcode == OBJOP_TYPENAME) return CopyTypeName(GetDllInfo(client)->szWindowType, p1, p2);
  if (opcode == OBJOP_DESTROY) {
    delete value;
    return 0;
  }
  return UnsupportedOpcode(client, opcode);
}

UNBUILT_FUNCTION(ChemStrucWindow, "CreateWindow")
UNBUILT_FUNCTION(ChemStrucGetWindowText, "GetWindowText$")
UNBUILT_FUNCTION(CopyFuncWnd, "CSCOPY")

UNBUILT_COMMAND(ClipboardConvertCmd, "ClipCvt")
UNBUILT_COMMAND(SubsetCmd, "CSSubset")
UNBUILT_COMMAND(ChemStrucSetWindowText, "SetWindowText")
UNBUILT_COMMAND(ChemStrucSetWindowLoc, "SETWINDOWLOC")
UNBUILT_COMMAND(SetWindowLocStr, "SETWINDOWLOC")
UNBUILT_COMMAND(ChemStrucShowWindow, "ShowWindow")
UNBUILT_COMMAND(PackCmd, "CSPack")
UNBUILT_COMMAND(IndexPackCmd, "CSIPack")
UNBUILT_COMMAND(DumpMetaFileCmd, "MFDump")
UNBUILT_COMMAND(DumpMDLSKCmd, "MDLSKDump")
