// The server entry: the host creates, initialises and ends its client here and
// raises the abort request.
#include <cstdlib>
#include <new>

#include "core/alloc.h"
#include "core/app.h"
#include "core/common.h"
#include "core/settings.h"
#include "resources/resource.h"
#include "server/entries.h"
#include "server/register.h"
#include "windows/strucwnd.h"

namespace {

short CreateClient(uintptr_t* block) {
  auto* pcp = reinterpret_cast<CCommandProcessor*>(block[SRVBLK_CMDPROC]);
  auto* client = StructAllocOf<CCpClient>(sizeof(CCpClient), true);
  if (!client) return ReportErrorNum(pcp, IDS_ERR_ALLOCATION, 222);
  client->dwHost0 = block[SRVBLK_HOST2];
  client->dwHost1 = block[SRVBLK_HOST1];
  client->pInfo = nullptr;
  client->pcp = pcp;
  block[SRVBLK_CLIENT] = reinterpret_cast<uintptr_t>(client);
  block[SRVBLK_ENTRY] = reinterpret_cast<uintptr_t>(&OOCPSRV);
  return 0;
}

short InitClient(CCpClient* client) {
  if (!client) return 0;
  auto* info = StructNew<STRUCT_DLL_INFO>();
  if (!info) {
    // Nothing may run without the global state: the client stays bare.
    ReportErrorNum(client->pcp, IDS_ERR_ALLOCATION, 223);
    return 0;
  }
  client->pInfo = info;
  if (RegisterObjectTypes(client) == 0 && RegisterFunctions(client) == 0 &&
      RegisterCommands(client) == 0)
    ReadSettings(info);
  return 0;
}

short EndClient(CCpClient* client) {
  if (!client) return 0;
  DestroyClientWindows(client);
  delete GetDllInfo(client);
  client->pInfo = nullptr;
  StructFree(client);
  return 0;
}

}  // namespace

STRUCT_EXPORT short OOCPSRV(CCpClient* client, unsigned short msg, uintptr_t* block) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  switch (msg) {
    case 2:
      return CreateClient(block);
    case 3:
      return InitClient(client);
    case 6:
      return EndClient(client);
    case 8:
      GetStructApp().m_bAbort = 1;
      return 0;
    default:
      return 0;
  }
}
