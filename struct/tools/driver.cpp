#include "tools/driver.h"

short RunToolCommand(CCpClient* client, OBJ_BASECLASS** args, UINT idTitle, BOOL bCompletion,
                     TOOLWORK work) {
  CCommandProcessor* pcp = client->pcp;
  SetBusyCursor(pcp, nullptr);
  const DWORD start = GetTickCount();
  char name[256] = "";
  short status = work(args, client, GetDllInfo(client), name, sizeof name);
  if (status == 0 && bCompletion) {
    CString line;
    line.Format("%s: %s", static_cast<LPCSTR>(LoadText(idTitle)),
                static_cast<LPCSTR>(CompletionText(name, GetTickCount() - start)));
    pcp->ShowStatusText(0, line);
  }
  SetBusyCursor(pcp, nullptr);
  return status;
}
