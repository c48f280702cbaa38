// The global state of one client, created at initialisation and destroyed at
// termination: type names and ids, the drawing options and colours, the lookup
// mode, the database reader's sequential-read cache and the scratch texts.
#pragma once

#include <windows.h>

#include "core/drawopts.h"

struct STRUCT_DLL_INFO {
  STRUCT_DLL_INFO();
  virtual ~STRUCT_DLL_INFO();
  STRUCT_DLL_INFO(const STRUCT_DLL_INFO&) = delete;
  STRUCT_DLL_INFO& operator=(const STRUCT_DLL_INFO&) = delete;

  char szScratch1[256];
  char szScratch2[256];
  char szStrucType[6];
  char szWindowType[6];
  char szMetaType[6];
  char szEmpty[1];
  BYTE idStrucType;
  BYTE idWindowType;
  BYTE idMetaType;
  char szDataBase[260];
  HANDLE hDumpFile;
  int16_t nDlgStatus;
  LONG lDlgRotate;
  LPCSTR lUserLibArg;  // the library to preselect in the library dialog, or null
  LONG lUserLibMode;
  CSDRAWOPTS drawOpts;
  char szLastDatabase[260];
  LONG lNextRecord;
  LONG lNextOffset;
  HBRUSH hbrBlack;
  COLORREF crCustom[16];
  LONG lDefStructureCas;
  HCURSOR hcurStructure;
  LONG lMode;
};
