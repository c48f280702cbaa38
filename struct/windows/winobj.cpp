// The handler of "wSTRU" values and "CSCOPY" of a window. Every value that
// refers to a structure window counts in its m_nRefs, whether or not the user
// has closed the window since; the last one to go takes the object along.
#include "objects/makeobj.h"
#include "resources/resource.h"
#include "windows/entries.h"
#include "windows/strucwnd.h"

namespace {

CChemStructureWindow* WindowObjectOf(OBJ_BASECLASS* value) {
  return value ? static_cast<CChemStructureWindow*>(value->pWord1) : nullptr;
}

short Describe(CCpClient* client, CChemStructureWindow* w, intptr_t where) {
  CString text = LoadText(IDS_DESC_WINDOW);
  if (w && w->IsAlive()) {
    CString title;
    w->GetWindowText(title);
    text += title;
  }
  BSTR s = SysAllocString(text);
  if (!s) return ReportErrorNum(client->pcp, IDS_ERR_ALLOCATION, 1300);
  *reinterpret_cast<BSTR*>(where) = s;
  return 0;
}

}  // namespace

STRUCT_HANDLER(ChemStrucDrwOpCall) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CChemStructureWindow* w = WindowObjectOf(value);
  switch (opcode) {
    case OBJOP_DESTROY:
      if (w && --w->m_nRefs <= 0) delete w;  // destroys the window when it still exists
      delete value;
      return 0;
    case OBJOP_DESCRIBE:
      return p1 ? Describe(client, w, p1) : 0;
    case OBJOP_DUPLICATE: {
      // Also after the user closed the window: the copy shares the object and
      // reports the window as gone, as the original does.
      if (!w || !p1) return 0;
      ++w->m_nRefs;
      const short status = MakeWindowObject(w, reinterpret_cast<OBJ_BASECLASS**>(p1), client);
      if (status) --w->m_nRefs;
      return status;
    }
    case 3:
      return 0;
    case OBJOP_TYPENAME:
      return CopyTypeName(GetDllInfo(client)->szWindowType, p1, p2);
    default:
      return ReportErrorNum(client->pcp, IDS_ERR_BADOPCODE, opcode);
  }
}

STRUCT_FUNCTION(CopyFuncWnd) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CChemStructureWindow* w = HasArg(args, 1) ? WindowObjectOf(args[0]) : nullptr;
  if (w && w->IsAlive()) ::SendMessage(w->m_hWnd, WM_SYSCOMMAND, IDM_STRUCTURE_COPY_CMD, 0);
  double zero = 0;
  client->pcp->MakeResult(ARG_NUMBER, 12, &zero, result);
  return 0;
}
