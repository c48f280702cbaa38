#include "dialogs/dlgtext.h"

#include "core/common.h"
#include "resources/resource.h"

bool TypedIdOrRefuse(HWND owner, const CString& idText, LONG* id) {
  if (ParseIdText(idText, id)) return true;
  MessageBeep(0);
  MessageBox(owner, LoadText(IDS_MSG_BADID), "ID number", MB_OK | MB_ICONEXCLAMATION);
  return false;
}
