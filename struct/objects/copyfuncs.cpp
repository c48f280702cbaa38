// "CSCOPY" by number, CAS text or structure object: the structure onto the
// clipboard as a picture, its display text and the private record copy, owned
// by the host's drawing view. The result is the status as a number.
#include "core/common.h"
#include "core/viewlookup.h"
#include "database/cas.h"
#include "objects/entries.h"
#include "render/metafile.h"

namespace {

short NumberResult(CCommandProcessor* pcp, short status, OBJ_BASECLASS** result) {
  double value = status;
  pcp->MakeResult(ARG_NUMBER, 12, &value, result);
  return status;
}

}  // namespace

STRUCT_FUNCTION(CopyFuncInt) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  SetBusyCursor(pcp, nullptr);
  const LONG id = HasArg(args, 1) ? RoundToLong(GetNumberArg(args, 1)) : 0;
  short status = CopyStructureById(pcp, GetDllInfo(client), FindViewWindow(client), id);
  SetBusyCursor(pcp, nullptr);
  return NumberResult(pcp, status, result);
}

STRUCT_FUNCTION(CopyFuncStr) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  STRUCT_DLL_INFO* info = GetDllInfo(client);
  SetBusyCursor(pcp, nullptr);
  const LONG id = HasArg(args, 1) ? ParseCasNumber(info, GetStringArg(args, 1)) : 0;
  short status = CopyStructureById(pcp, info, FindViewWindow(client), id);
  SetBusyCursor(pcp, nullptr);
  return NumberResult(pcp, status, result);
}

STRUCT_FUNCTION(CopyFuncObj) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  short status = 0;
  CSDRAWREC* rec = HasArg(args, 1) ? static_cast<CSDRAWREC*>(args[0]->pWord3) : nullptr;
  if (rec) {
    RECT size = PictureSizeOf(rec);
    status =
        MakeStructureMetafile(pcp, GetDllInfo(client), FindViewWindow(client), nullptr, rec, &size);
  }
  return NumberResult(pcp, status, result);
}
