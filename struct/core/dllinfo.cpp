// Construction and destruction of the per-client global state.
#include "core/dllinfo.h"

#include <afxwin.h>

#include <cstring>

#include "resources/resource.h"

STRUCT_DLL_INFO::STRUCT_DLL_INFO() {
  // Everything starts at zero unless given a value below.
  std::memset(szScratch1, 0, sizeof szScratch1);
  std::memset(szScratch2, 0, sizeof szScratch2);
  std::strcpy(szStrucType, "STRUC");
  std::strcpy(szWindowType, "wSTRU");
  std::strcpy(szMetaType, "META");
  szEmpty[0] = 0;
  idStrucType = idWindowType = idMetaType = 0;
  std::memset(szDataBase, 0, sizeof szDataBase);
  hDumpFile = nullptr;
  nDlgStatus = 0;
  lDlgRotate = lUserLibMode = 0;
  lUserLibArg = nullptr;
  std::memset(&drawOpts, 0, sizeof drawOpts);
  std::memset(szLastDatabase, 0, sizeof szLastDatabase);
  lNextRecord = lNextOffset = 0;
  std::memset(crCustom, 0, sizeof crCustom);
  lDefStructureCas = 0;
  lMode = 0;
  hbrBlack = CreateSolidBrush(RGB(0, 0, 0));
  hcurStructure = LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(IDC_STRUCTURE_CURSOR));
}

STRUCT_DLL_INFO::~STRUCT_DLL_INFO() {
  if (hcurStructure) DestroyCursor(hcurStructure);
  if (hbrBlack) DeleteObject(hbrBlack);
}
