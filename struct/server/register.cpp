// The registration tables. Object type ids are only known at run time, so each
// table names its argument types symbolically and the ids are filled in as the
// rows are registered.
#include "server/register.h"

#include "convert/entries.h"
#include "dialogs/entries.h"
#include "objects/entries.h"
#include "resources/resource.h"
#include "server/entries.h"
#include "tools/entries.h"
#include "windows/entries.h"

namespace {

// Symbolic argument types of the tables.
enum ArgType : BYTE { N, S, STRUC, WSTRU, META, MS, CHRO, RANGE, NONE = 0xFF };

// A host that does not know one of its own type names leaves this id in place:
// no value carries it, so the forms that need that type can never be chosen,
// while the rest of the table is still registered.
constexpr BYTE ID_UNKNOWN_TYPE = 0xFE;

struct HostTypeIds {
  BYTE idMS = ID_UNKNOWN_TYPE, idCHRO = ID_UNKNOWN_TYPE, idRANGE = ID_UNKNOWN_TYPE;
};

BYTE ResolveType(ArgType t, const STRUCT_DLL_INFO* info, const HostTypeIds& host) {
  switch (t) {
    case N:
      return ARG_NUMBER;
    case S:
      return ARG_STRING;
    case STRUC:
      return info->idStrucType;
    case WSTRU:
      return info->idWindowType;
    case META:
      return info->idMetaType;
    case MS:
      return host.idMS;
    case CHRO:
      return host.idCHRO;
    case RANGE:
      return host.idRANGE;
    default:
      return 0xFF;
  }
}

int ResolveTypes(const ArgType (&in)[4], const STRUCT_DLL_INFO* info, const HostTypeIds& host,
                 BYTE (&out)[4]) {
  int n = 0;
  for (; n < 4 && in[n] != NONE; ++n) out[n] = ResolveType(in[n], info, host);
  for (int i = n; i < 4; ++i) out[i] = 0;
  return n;
}

struct FunctionRow {
  LPCSTR name;
  FunctionEntry entry;
  ArgType types[4];
};

const FunctionRow s_functions[] = {
    {"CSCREATE", GuardedFunction<ChemStrucCreateInt>, {N, S, NONE, NONE}},
    {"CSGetID", GuardedFunction<ChemStrucGetID>, {N, S, NONE, NONE}},
    {"CSMolCreate", GuardedFunction<ChemStrucMolCreate>, {S, NONE, NONE, NONE}},
    {"CSMFCreate", GuardedFunction<ChemStrucMFCreate>, {NONE, NONE, NONE, NONE}},
    {"CSCREATE", GuardedFunction<ChemStrucCreateStr>, {S, S, NONE, NONE}},
    {"CSEXISTS", GuardedFunction<ChemStrucExistsInt>, {N, S, NONE, NONE}},
    {"CSEXISTS", GuardedFunction<ChemStrucExistsStr>, {S, S, NONE, NONE}},
    {"CSTestHit", GuardedFunction<ChemStrucHitTest>, {MS, N, N, N}},
    {"CreateWindow", GuardedFunction<ChemStrucWindow>, {STRUC, N, RANGE, RANGE}},
    {"GetWindowText$", GuardedFunction<ChemStrucGetWindowText>, {WSTRU, NONE, NONE, NONE}},
    {"CSCOPY", GuardedFunction<CopyFuncStr>, {S, NONE, NONE, NONE}},
    {"CSCOPY", GuardedFunction<CopyFuncInt>, {N, NONE, NONE, NONE}},
    {"CSCOPY", GuardedFunction<CopyFuncObj>, {STRUC, NONE, NONE, NONE}},
    {"CSCOPY", GuardedFunction<CopyFuncWnd>, {WSTRU, NONE, NONE, NONE}},
};

enum class CmdOp { Plain, Overloaded, AddOverload };

struct CommandRow {
  LPCSTR name;
  CommandEntry entry;
  CmdOp op;
  int selector;  // overloaded form only
  LPCSTR tag;    // overloaded form only
  ArgType types[4];
};

const CommandRow s_commands[] = {
    {"ClipCvt",
     GuardedCommand<ClipboardConvertCmd>,
     CmdOp::Plain,
     0,
     nullptr,
     {NONE, NONE, NONE, NONE}},
    {"CSAddStruct", GuardedCommand<UserLibCmd>, CmdOp::Plain, 0, nullptr, {S, STRUC, N, S}},
    {"CSEditLib", GuardedCommand<EditUserLibCmd>, CmdOp::Plain, 0, nullptr, {S, STRUC, N, S}},
    {"CSAttach",
     GuardedCommand<ChemStrucAttach>,
     CmdOp::Plain,
     0,
     nullptr,
     {STRUC, MS, RANGE, RANGE}},
    {"CSMFATTACH",
     GuardedCommand<ChemStrucMFAttach>,
     CmdOp::Overloaded,
     2,
     "x",
     {META, MS, RANGE, RANGE}},
    {"CSMFATTACH",
     GuardedCommand<ChemStrucMFAttach>,
     CmdOp::AddOverload,
     0,
     nullptr,
     {META, CHRO, RANGE, RANGE}},
    {"CSDrawOpts",
     GuardedCommand<DrawOptsCmd>,
     CmdOp::Plain,
     0,
     nullptr,
     {STRUC, NONE, NONE, NONE}},
    {"CSLibs", GuardedCommand<DBManageCmd>, CmdOp::Plain, 0, nullptr, {NONE, NONE, NONE, NONE}},
    {"CSSubset", GuardedCommand<SubsetCmd>, CmdOp::Plain, 0, nullptr, {S, S, NONE, NONE}},
    {"CSView", GuardedCommand<ChemStrucView>, CmdOp::Plain, 0, nullptr, {STRUC, NONE, NONE, NONE}},
    {"CSSetMode", GuardedCommand<SetModeCmd>, CmdOp::Plain, 0, nullptr, {N, NONE, NONE, NONE}},
    {"SetWindowText",
     GuardedCommand<ChemStrucSetWindowText>,
     CmdOp::Plain,
     0,
     nullptr,
     {WSTRU, S, NONE, NONE}},
    {"SETWINDOWLOC",
     GuardedCommand<ChemStrucSetWindowLoc>,
     CmdOp::Overloaded,
     1,
     "z",
     {WSTRU, N, N, NONE}},
    {"SETWINDOWLOC",
     GuardedCommand<SetWindowLocStr>,
     CmdOp::AddOverload,
     0,
     nullptr,
     {S, N, N, NONE}},
    {"ShowWindow",
     GuardedCommand<ChemStrucShowWindow>,
     CmdOp::Plain,
     0,
     nullptr,
     {WSTRU, N, NONE, NONE}},
    {"CSPack", GuardedCommand<PackCmd>, CmdOp::Plain, 0, nullptr, {S, S, RANGE, NONE}},
    {"CSIPack", GuardedCommand<IndexPackCmd>, CmdOp::Plain, 0, nullptr, {S, S, RANGE, NONE}},
    {"MFDump", GuardedCommand<DumpMetaFileCmd>, CmdOp::Plain, 0, nullptr, {S, NONE, NONE, NONE}},
    {"MDLSKDump", GuardedCommand<DumpMDLSKCmd>, CmdOp::Plain, 0, nullptr, {S, NONE, NONE, NONE}},
};

}  // namespace

short ReportThrown(CCpClient* client) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  return ReportError(client->pcp, IDS_ERR_NOMEMORY);
}

DWORD PackArgTypes(const BYTE* types, int nArgs) {
  DWORD packed = 0;
  for (int i = 0; i < 4; ++i) {
    BYTE b = i < nArgs ? types[i] : (i == nArgs ? 0xFF : 0);
    packed |= static_cast<DWORD>(b) << (8 * i);
  }
  return packed;
}

short RegisterObjectTypes(CCpClient* client) {
  STRUCT_DLL_INFO* info = GetDllInfo(client);
  CCommandProcessor* pcp = client->pcp;
  const struct {
    LPCSTR name;
    ObjOpCall handler;
    BYTE* pId;
  } types[] = {
      {info->szStrucType, GuardedHandler<ChemStrucObjOpCall>, &info->idStrucType},
      {info->szWindowType, GuardedHandler<ChemStrucDrwOpCall>, &info->idWindowType},
      {info->szMetaType, GuardedHandler<MetaFileObjOpCall>, &info->idMetaType},
  };
  for (const auto& t : types) {
    short status = pcp->RegisterObjectType(t.name, t.handler, client, t.pId);
    if (status) return status;
  }
  return 0;
}

short RegisterFunctions(CCpClient* client) {
  STRUCT_DLL_INFO* info = GetDllInfo(client);
  CCommandProcessor* pcp = client->pcp;
  HostTypeIds host;
  pcp->LookupObjectType("MS", &host.idMS);
  pcp->LookupObjectType("RANGE", &host.idRANGE);
  for (const FunctionRow& row : s_functions) {
    BYTE types[4];
    int n = ResolveTypes(row.types, info, host, types);
    short status = pcp->RegisterFunction(row.name, row.entry, n, types, client);
    if (status) return status;
  }
  return 0;
}

short RegisterCommands(CCpClient* client) {
  STRUCT_DLL_INFO* info = GetDllInfo(client);
  CCommandProcessor* pcp = client->pcp;
  HostTypeIds host;
  pcp->LookupObjectType("MS", &host.idMS);
  pcp->LookupObjectType("CHRO", &host.idCHRO);
  pcp->LookupObjectType("RANGE", &host.idRANGE);
  for (const CommandRow& row : s_commands) {
    BYTE types[4];
    int n = ResolveTypes(row.types, info, host, types);
    short status = 0;
    switch (row.op) {
      case CmdOp::Plain:
        status = pcp->RegisterCommand(row.name, row.entry, PackArgTypes(types, n), client);
        break;
      case CmdOp::Overloaded:
        status = pcp->RegisterOverloadedCommand(CString(row.name), row.entry, row.selector, n,
                                                types, CString(row.tag), client);
        break;
      case CmdOp::AddOverload:
        status = pcp->AddCommandOverload(CString(row.name), row.entry, n, types, client);
        break;
    }
    if (status) return status;
  }
  return 0;
}
