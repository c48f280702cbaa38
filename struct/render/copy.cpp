// "CSCOPY": a structure onto the clipboard as a picture, its display text and
// the private record copy, by number, CAS text or structure object.
#include <cstdlib>

#include "database/cas.h"
#include "database/lookup.h"
#include "render/geometry.h"
#include "render/metafile.h"
#include "server/entries.h"
#include "windows/viewlookup.h"

namespace {

// The picture's size from the record's bounds; a record that has never been
// measured (a fresh MOL import) is measured first.
RECT SizeOf(CSDRAWREC* rec) {
  const RECT& b = rec->rcBounds;
  if (b.left == 0 && b.top == 0 && b.right == 0 && b.bottom == 0) ComputeStructureBounds(rec);
  return RECT{0, 0, std::abs(b.right - b.left), std::abs(b.bottom - b.top)};
}

short NumberResult(CCommandProcessor* pcp, short status, OBJ_BASECLASS** result) {
  double value = status;
  pcp->MakeResult(ARG_NUMBER, 12, &value, result);
  return status;
}

}  // namespace

short CopyStructureById(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, HWND owner, LONG id) {
  CSDRAWREC* rec = nullptr;
  short status = LoadStructure(pcp, info, id, &rec);
  if (status == 0 && rec) {
    RECT size = SizeOf(rec);
    status = MakeStructureMetafile(pcp, info, owner, nullptr, rec, &size);
  }
  std::free(rec);
  return status;
}

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
    RECT size = SizeOf(rec);
    status = MakeStructureMetafile(pcp, GetDllInfo(client), FindViewWindow(client), nullptr, rec,
                                   &size);
  }
  return NumberResult(pcp, status, result);
}
