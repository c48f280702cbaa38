// The library's application object: one per loaded module. Its load step takes
// the resource module, registers the structure window class and the clipboard
// formats; it also carries the abort request raised by the host.
#pragma once

#include <afxwin.h>

class CStructDLL : public CWinApp {
 public:
  CStructDLL();
  BOOL InitInstance() override;
  int ExitInstance() override;

  BYTE m_bAbort = 0;       // abort request, raised by server message 8
  CString m_strWndClass;   // class name of structure windows
  UINT m_cfMDLSK = 0;      // clipboard format "MDLSK"
  UINT m_cfChemStruc = 0;  // clipboard format "ZQCHEMSTRUC"
};

CStructDLL& GetStructApp();
