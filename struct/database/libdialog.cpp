// The user library dialog ("User Library Edit"): the ID prompt of an addition
// and the editor of "CSEditLib".
#include "database/userlib.h"

short RunLibraryDialog(CCpClient* client, CSDRAWREC* rec, LPCSTR library, LONG mode) {
  STRUCT_DLL_INFO* info = GetDllInfo(client);
  info->nDlgStatus = 0;
  info->lUserLibMode = mode;
  (void)rec;
  (void)library;
  // Without a way to show the dialog the user cannot answer: the prompt ends
  // as if cancelled and the record keeps its ID.
  return info->nDlgStatus;
}
