// "CSCREATE", "CSEXISTS" and "CSGetID": the structure functions. The four
// create/exists entries share one lookup routine.
#include <cstdlib>

#include "core/common.h"
#include "database/cas.h"
#include "database/lookup.h"
#include "objects/entries.h"
#include "objects/makeobj.h"
#include "resources/resource.h"

namespace {

short LookupStructure(CCpClient* client, OBJ_BASECLASS** args, OBJ_BASECLASS** result,
                      bool bExistsOnly, bool bIdIsNumber) {
  CCommandProcessor* pcp = client->pcp;
  STRUCT_DLL_INFO* info = GetDllInfo(client);
  SetBusyCursor(pcp, nullptr);
  short status = 0;

  LONG id = 0;
  if (HasArg(args, 1))
    id = bIdIsNumber ? RoundToLong(GetNumberArg(args, 1))
                     : ParseCasNumber(info, GetStringArg(args, 1));
  if (!HasArg(args, 2)) {
    status = ReportErrorNum(pcp, IDS_ERR_BADPARAM, 2);
  } else {
    char fmt[128];
    LoadStringText(id >= 0 ? IDS_STATUS_SEARCHCAS : IDS_STATUS_SEARCHRECORD, fmt, sizeof fmt);
    std::string text = hostutil::FormatNum(fmt, id >= 0 ? id : -id);
    CopyText(info->szScratch2, text.c_str(), sizeof info->szScratch2);
    pcp->ShowStatusText(0, info->szScratch2);

    CString file = GetStringArg(args, 2);
    if (bExistsOnly) {
      LONG offset = 0;
      if (id != 0)
        offset = file.IsEmpty() ? FindInAnyDatabase(pcp, info, id) : FindIndexEntry(pcp, file, id);
      double value = offset;
      status = pcp->MakeResult(ARG_NUMBER, 12, &value, result);
    } else {
      CSDRAWREC* rec = nullptr;
      status = file.IsEmpty() ? LoadStructure(pcp, info, id, &rec)
                              : LoadStructureFromFile(pcp, info, file, id, &rec);
      if (rec) {
        status = MakeStructureObject(rec, result, client);
        if (status) std::free(rec);
      }
    }
  }
  SetBusyCursor(pcp, nullptr);
  return status;
}

}  // namespace

STRUCT_FUNCTION(ChemStrucCreateInt) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  return LookupStructure(client, args, result, false, true);
}

STRUCT_FUNCTION(ChemStrucCreateStr) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  return LookupStructure(client, args, result, false, false);
}

STRUCT_FUNCTION(ChemStrucExistsInt) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  return LookupStructure(client, args, result, true, true);
}

STRUCT_FUNCTION(ChemStrucExistsStr) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  return LookupStructure(client, args, result, true, false);
}

STRUCT_FUNCTION(ChemStrucGetID) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  SetBusyCursor(pcp, nullptr);
  if (!HasArg(args, 1)) return ReportErrorNum(pcp, IDS_ERR_BADPARAM, 1);
  (void)RoundToLong(GetNumberArg(args, 1));
  short status;
  if (!HasArg(args, 2)) {
    status = ReportErrorNum(pcp, IDS_ERR_BADPARAM, 2);
  } else {
    double zero = 0;
    status = pcp->MakeResult(ARG_NUMBER, 12, &zero, result);
  }
  SetBusyCursor(pcp, nullptr);
  return status;
}

STRUCT_COMMAND(SetModeCmd) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  if (!HasArg(args, 1)) return ReportErrorNum(client->pcp, IDS_ERR_BADPARAM, 1);
  GetDllInfo(client)->lMode = RoundToLong(GetNumberArg(args, 1));
  return 0;
}
