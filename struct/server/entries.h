// Every entry point and object-type handler the library exports to the host,
// by the names the registration tables give them.
#pragma once

#include "server/common.h"

#define STRUCT_FUNCTION(name) \
  STRUCT_EXPORT short name(CCpClient* client, OBJ_BASECLASS** args, OBJ_BASECLASS** result)
#define STRUCT_COMMAND(name) STRUCT_EXPORT short name(CCpClient* client, OBJ_BASECLASS** args)
#define STRUCT_HANDLER(name)                                                            \
  STRUCT_EXPORT short name(OBJ_BASECLASS* value, unsigned short opcode, intptr_t p1, \
                           intptr_t p2, CCpClient* client)

// "STRUC", "wSTRU" or "META" into the buffer p1 of p2 bytes, cut to fit.
short CopyTypeName(LPCSTR name, intptr_t p1, intptr_t p2);

STRUCT_EXPORT short OOCPSRV(CCpClient* client, unsigned short msg, uintptr_t* block);

// Object types.
STRUCT_HANDLER(ChemStrucObjOpCall);
STRUCT_HANDLER(ChemStrucDrwOpCall);
STRUCT_HANDLER(MetaFileObjOpCall);

// Functions.
STRUCT_FUNCTION(ChemStrucCreateInt);
STRUCT_FUNCTION(ChemStrucGetID);
STRUCT_FUNCTION(ChemStrucMolCreate);
STRUCT_FUNCTION(ChemStrucMFCreate);
STRUCT_FUNCTION(ChemStrucCreateStr);
STRUCT_FUNCTION(ChemStrucExistsInt);
STRUCT_FUNCTION(ChemStrucExistsStr);
STRUCT_FUNCTION(ChemStrucHitTest);
STRUCT_FUNCTION(ChemStrucWindow);
STRUCT_FUNCTION(ChemStrucGetWindowText);
STRUCT_FUNCTION(CopyFuncStr);
STRUCT_FUNCTION(CopyFuncInt);
STRUCT_FUNCTION(CopyFuncObj);
STRUCT_FUNCTION(CopyFuncWnd);

// Commands.
STRUCT_COMMAND(ClipboardConvertCmd);
STRUCT_COMMAND(UserLibCmd);
STRUCT_COMMAND(EditUserLibCmd);
STRUCT_COMMAND(ChemStrucAttach);
STRUCT_COMMAND(ChemStrucMFAttach);
STRUCT_COMMAND(DrawOptsCmd);
STRUCT_COMMAND(DBManageCmd);
STRUCT_COMMAND(SubsetCmd);
STRUCT_COMMAND(ChemStrucView);
STRUCT_COMMAND(SetModeCmd);
STRUCT_COMMAND(ChemStrucSetWindowText);
STRUCT_COMMAND(ChemStrucSetWindowLoc);
STRUCT_COMMAND(SetWindowLocStr);
STRUCT_COMMAND(ChemStrucShowWindow);
STRUCT_COMMAND(PackCmd);
STRUCT_COMMAND(IndexPackCmd);
STRUCT_COMMAND(DumpMetaFileCmd);
STRUCT_COMMAND(DumpMDLSKCmd);
