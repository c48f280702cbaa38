// The application object and the module's load and unload, which the shared
// object's static initialisation drives as a loader drives a DLL's entry.
#include "core/app.h"

#include <nlsutils.h>

#include "resources/dialogs.h"
#include "resources/resource.h"
#include "resources/strings.h"

namespace {

CStructDLL theApp;
AFX_MODULE_STATE s_moduleState;

const UINT s_cursorIds[] = {IDC_STRUCTURE_CURSOR};
const RES_MODULE s_resources = {g_StructStrings, g_nStructStrings,
                                s_cursorIds,     sizeof s_cursorIds / sizeof s_cursorIds[0],
                                g_StructDialogs, g_nStructDialogs};

// Defined after theApp so that it is constructed after it and destroyed before.
struct CModuleLoader {
  CModuleLoader() { AfxDllAttach(&theApp, &s_moduleState, &s_moduleState, &s_resources); }
  ~CModuleLoader() { AfxDllDetach(&theApp, &s_moduleState); }
} s_loader;

}  // namespace

AFX_MODULE_STATE* AfxGetStaticModuleState() { return &s_moduleState; }

CStructDLL& GetStructApp() { return theApp; }

CStructDLL::CStructDLL() : CWinApp("struct") {}

BOOL CStructDLL::InitInstance() {
  AFX_MODULE_STATE* state = AfxGetModuleState();
  HINSTANCE hInst = state->m_hCurrentInstanceHandle;
  HINSTANCE hRes = hInst;
  // A language module may take over the texts; its result does not matter.
  NLSLoadResourceFileModule(hInst, &hRes);
  state->m_hCurrentResourceHandle = hRes;

  m_strWndClass = AfxRegisterWndClass(CS_DBLCLKS, nullptr,
                                      static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), nullptr);
  m_cfMDLSK = RegisterClipboardFormat("MDLSK");
  m_cfChemStruc = RegisterClipboardFormat("ZQCHEMSTRUC");
  return CWinApp::InitInstance();
}

int CStructDLL::ExitInstance() { return CWinApp::ExitInstance(); }
