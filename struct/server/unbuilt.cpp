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

}  // namespace

#define UNBUILT_COMMAND(name, macro)    \
  STRUCT_COMMAND(name) {                \
    (void)args;                         \
    return NotAvailable(client, macro); \
  }

UNBUILT_COMMAND(ClipboardConvertCmd, "ClipCvt")
UNBUILT_COMMAND(SubsetCmd, "CSSubset")
UNBUILT_COMMAND(PackCmd, "CSPack")
UNBUILT_COMMAND(IndexPackCmd, "CSIPack")
UNBUILT_COMMAND(DumpMetaFileCmd, "MFDump")
UNBUILT_COMMAND(DumpMDLSKCmd, "MDLSKDump")
