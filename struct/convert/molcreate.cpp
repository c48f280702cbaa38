// "CSMolCreate": a structure object from a MOL file, named or chosen by the user.
#include <cstdlib>

#include "core/common.h"
#include "convert/entries.h"
#include "convert/molimport.h"
#include "dialogs/filedlg.h"
#include "objects/makeobj.h"
#include "resources/resource.h"

STRUCT_FUNCTION(ChemStrucMolCreate) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  STRUCT_DLL_INFO* info = GetDllInfo(client);
  SetBusyCursor(pcp, nullptr);
  short status = 0;
  CString file;
  if (HasArg(args, 1)) file = GetStringArg(args, 1);
  if (file.IsEmpty()) {
    char path[MAX_PATH];
    if (SelectFileDialog(info, pcp->hwndMain, IDS_FILTER_MOL, IDS_TITLE_MOL, path, nullptr))
      file = path;
    else
      status = ReportError(pcp, IDS_ERR_NOMOLFILE);
  }
  if (status == 0) {
    CSDRAWREC* rec = nullptr;
    status = MolToStructure(pcp, info, file, &rec);
    if (status == 0 && rec) {
      status = MakeStructureObject(rec, result, client);
      if (status) std::free(rec);
    }
  }
  SetBusyCursor(pcp, nullptr);
  return status;
}
