// "CSAddStruct" and "CSEditLib": a structure object into a user library,
// stored at once under a given ID or through the library dialog.
#include "core/common.h"
#include "database/userlib.h"
#include "dialogs/entries.h"
#include "dialogs/libdialog.h"
#include "resources/resource.h"

namespace {

short LibraryCommand(CCpClient* client, OBJ_BASECLASS** args, bool bEdit) {
  CCommandProcessor* pcp = client->pcp;
  SetBusyCursor(pcp, nullptr);
  short status = 0;
  LONG id = 0;
  BOOL askId = TRUE;
  CString name;
  const bool haveName = HasArg(args, 4);
  if (!HasArg(args, 1)) {
    status = ReportErrorNum(pcp, IDS_ERR_BADPARAM, 1);
  } else if (HasArg(args, 3)) {
    id = RoundToLong(GetNumberArg(args, 3));
    askId = FALSE;
    if (id < 0) status = ReportErrorNum(pcp, IDS_ERR_BADPARAM, 3);
  }
  if (status == 0) {
    if (haveName) name = GetStringArg(args, 4);
    CSDRAWREC* rec = HasArg(args, 2) ? static_cast<CSDRAWREC*>(args[1]->pWord3) : nullptr;
    if (rec) {
      if (haveName) CopyText(rec->szName, name, CS_NAME_MAX + 1);
      rec->lId = id;
    }
    const CString library = GetStringArg(args, 1);
    if (bEdit)
      status = RunLibraryDialog(client, rec, library, LIBDLG_EDIT);
    else if (!HasArg(args, 2))
      status = ReportErrorNum(pcp, IDS_ERR_BADPARAM, 2);
    else
      status = AddStructureToLibrary(library, &rec, 1, ReportToolProgress, client, askId,
                                     PromptForLibraryId);
  }
  SetBusyCursor(pcp, nullptr);
  return status;
}

}  // namespace

STRUCT_COMMAND(UserLibCmd) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  return LibraryCommand(client, args, false);
}

STRUCT_COMMAND(EditUserLibCmd) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  return LibraryCommand(client, args, true);
}
