// The open-file prompt shared by MOL import and the database list dialog.
#include "dialogs/filedlg.h"

#include <commdlg.h>

#include <cctype>
#include <cstring>

BOOL SelectFileDialog(STRUCT_DLL_INFO* info, HWND hwndOwner, UINT idFilter, UINT /*idTitle*/,
                      LPSTR pathOut, LPCSTR initialDir) {
  CMyFunctionKeyInhibitor inhibitor(_iscfr());
  // The filter text ends in its separator, which marks every break.
  char* filter = info->szScratch2;
  int len = GetStringEx(AfxGetResourceHandle(), filter, sizeof info->szScratch2, idFilter);
  if (len > 0) {
    const char sep = filter[len - 1];
    for (int i = 0; i < len; ++i)
      if (filter[i] == sep) filter[i] = 0;
  }
  char title[128];
  GetStringEx(AfxGetResourceHandle(), title, sizeof title, idFilter + 1);

  char file[MAX_PATH] = "";
  OPENFILENAME ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = hwndOwner;
  ofn.lpstrFilter = filter;
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = file;
  ofn.nMaxFile = sizeof file;
  ofn.lpstrInitialDir = initialDir;
  ofn.lpstrTitle = title;
  ofn.lpstrDefExt = "SDB";
  ofn.Flags = OFN_HIDEREADONLY | OFN_NOCHANGEDIR | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST;
  LPOFNHOOKPROC hook = nullptr;
  GetVarloSelectFileBits(&ofn.Flags, &hook);
  ofn.lpfnHook = hook;

  BOOL chosen = GetOpenFileName(&ofn);
  if (chosen) {
    for (char* p = file; *p; ++p) *p = static_cast<char>(std::tolower(static_cast<BYTE>(*p)));
    if (pathOut) CopyText(pathOut, file, MAX_PATH);
  }
  return chosen;
}
