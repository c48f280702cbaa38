// The handler of "STRUC" values: destroy, describe, duplicate, type name; the
// drawing into plots and activation arrive with the renderer and dialogs.
#include <cstdlib>

#include "core/common.h"
#include "database/drawrec.h"
#include "objects/entries.h"
#include "objects/makeobj.h"
#include "resources/resource.h"

namespace {

CSDRAWREC* RecordOf(OBJ_BASECLASS* value) { return static_cast<CSDRAWREC*>(value->pWord3); }

}  // namespace

STRUCT_HANDLER(ChemStrucObjOpCall) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  switch (opcode) {
    case OBJOP_DESTROY:
      delete static_cast<CHostObject*>(value->pWord1);
      std::free(RecordOf(value));
      delete value;
      return 0;
    case OBJOP_DESCRIBE: {
      CSDRAWREC* rec = RecordOf(value);
      if (!rec) return ReportError(pcp, IDS_ERR_LOCKFAILED);
      BSTR text = SysAllocString(rec->szName);
      if (!text) return ReportErrorNum(pcp, IDS_ERR_ALLOCATION, 1310);
      *reinterpret_cast<BSTR*>(p1) = text;
      return 0;
    }
    case OBJOP_DUPLICATE: {
      CSDRAWREC* copy = DuplicateStructureRecord(RecordOf(value));
      if (!copy) return ReportError(pcp, IDS_ERR_DUPLICATEOBJECT);
      short status = MakeStructureObject(copy, reinterpret_cast<OBJ_BASECLASS**>(p1), client);
      if (status) std::free(copy);
      return status;
    }
    case OBJOP_DRAW:
    case OBJOP_ACTIVATE:
      return 0;
    case OBJOP_TYPENAME:
      return CopyTypeName(GetDllInfo(client)->szStrucType, p1, p2);
    default:
      return ReportErrorNum(pcp, IDS_ERR_BADOPCODE, opcode);
  }
}
