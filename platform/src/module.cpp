// Modules: the registry of loaded modules with their compiled-in resources,
// their file names, string loading, the per-thread current module state, and
// the attach and detach of a shared-library module with its application
// object.
#include <dlfcn.h>
#include <unistd.h>

#include <afxdlg.h>

#include <climits>
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>

#include "internal.h"

namespace {

struct Module {
  std::string path;
  const RES_MODULE* res;
  std::string overridePath;  // set by tests to place the module elsewhere
};

struct ModuleTable {
  std::mutex mutex;
  std::map<uintptr_t, Module> modules;
};

ModuleTable& Table() {
  static auto* t = new ModuleTable;
  return *t;
}

std::string ExecutablePath() {
  char buf[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buf, sizeof buf - 1);
  if (n < 0) return "";
  buf[n] = '\0';
  return buf;
}

// The shared object that holds address; the executable when the address is
// the program's own or cannot be placed.
std::string ObjectPath(const void* address) {
  Dl_info info;
  if (address && dladdr(address, &info) && info.dli_fname && *info.dli_fname) {
    if (char* real = realpath(info.dli_fname, nullptr)) {
      std::string path = real;
      std::free(real);
      return path;
    }
  }
  return ExecutablePath();
}

AFX_MODULE_STATE& ProcessState() {
  static auto* s = new AFX_MODULE_STATE;
  return *s;
}

thread_local AFX_MODULE_STATE* t_currentState = nullptr;

}  // namespace

HINSTANCE AfxRegisterModule(const void* addressInModule, const RES_MODULE* res) {
  std::string path = ObjectPath(addressInModule);
  uintptr_t h = platform::detail::NewHandleValue();
  std::lock_guard lock(Table().mutex);
  Table().modules[h] = {path, res, ""};
  return reinterpret_cast<HINSTANCE>(h);
}

void AfxUnregisterModule(HINSTANCE h) {
  {
    std::lock_guard lock(Table().mutex);
    if (!Table().modules.erase(reinterpret_cast<uintptr_t>(h))) return;
  }
  platform::detail::ForgetModuleCursors(h);
}

DWORD GetModuleFileName(HMODULE hModule, LPSTR lpFilename, DWORD nSize) {
  std::string path;
  if (!hModule) {
    path = ExecutablePath();
  } else {
    std::lock_guard lock(Table().mutex);
    auto it = Table().modules.find(reinterpret_cast<uintptr_t>(hModule));
    if (it == Table().modules.end()) {
      SetLastError(ERROR_MOD_NOT_FOUND);
      return 0;
    }
    path = it->second.overridePath.empty() ? it->second.path : it->second.overridePath;
  }
  if (!lpFilename || nSize == 0) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  if (path.size() >= nSize) {  // cut and terminated, as Windows does
    std::memcpy(lpFilename, path.data(), nSize - 1);
    lpFilename[nSize - 1] = '\0';
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return nSize;
  }
  std::memcpy(lpFilename, path.c_str(), path.size() + 1);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(path.size());
}

int LoadString(HINSTANCE hInstance, UINT uID, LPSTR lpBuffer, int cchBufferMax) {
  if (!lpBuffer || cchBufferMax <= 0) return 0;
  std::string text;
  if (!platform::detail::ModuleString(hInstance, uID, text)) {
    lpBuffer[0] = '\0';
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return 0;
  }
  size_t n = text.size() < static_cast<size_t>(cchBufferMax)
                 ? text.size()
                 : static_cast<size_t>(cchBufferMax) - 1;
  std::memcpy(lpBuffer, text.data(), n);
  lpBuffer[n] = '\0';
  return static_cast<int>(n);
}

namespace platform {

void SetModuleFileNameOverride(HINSTANCE h, const std::string& path) {
  std::lock_guard lock(Table().mutex);
  auto it = Table().modules.find(reinterpret_cast<uintptr_t>(h));
  if (it != Table().modules.end()) it->second.overridePath = path;
}

}  // namespace platform

namespace platform::detail {

bool ModuleString(HINSTANCE h, UINT id, std::string& text) {
  std::lock_guard lock(Table().mutex);
  auto it = Table().modules.find(reinterpret_cast<uintptr_t>(h));
  if (it == Table().modules.end() || !it->second.res) return false;
  const RES_MODULE* res = it->second.res;
  for (size_t i = 0; i < res->nStrings; ++i) {
    if (res->strings[i].id == id && res->strings[i].text) {
      text = res->strings[i].text;
      return true;
    }
  }
  return false;
}

const DLGTEMPLATEDEF* ModuleDialog(HINSTANCE h, int id) {
  std::lock_guard lock(Table().mutex);
  auto it = Table().modules.find(reinterpret_cast<uintptr_t>(h));
  if (it == Table().modules.end() || !it->second.res) return nullptr;
  const RES_MODULE* res = it->second.res;
  for (size_t i = 0; i < res->nDialogs; ++i)
    if (res->dialogs[i].id == id) return &res->dialogs[i];
  return nullptr;
}

bool ModuleHasCursor(HINSTANCE h, UINT id) {
  std::lock_guard lock(Table().mutex);
  auto it = Table().modules.find(reinterpret_cast<uintptr_t>(h));
  if (it == Table().modules.end() || !it->second.res) return false;
  const RES_MODULE* res = it->second.res;
  for (size_t i = 0; i < res->nCursors; ++i)
    if (res->cursorIds[i] == id) return true;
  return false;
}

}  // namespace platform::detail

AFX_MODULE_STATE* AfxGetModuleState() { return t_currentState ? t_currentState : &ProcessState(); }

AFX_MODULE_STATE* AfxSetModuleState(AFX_MODULE_STATE* p) {
  AFX_MODULE_STATE* previous = AfxGetModuleState();
  t_currentState = p;
  return previous;
}

BOOL AfxDllAttach(CWinApp* app, AFX_MODULE_STATE* state, const void* addressInModule,
                  const RES_MODULE* res) {
  if (!state) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  HINSTANCE h = AfxRegisterModule(addressInModule, res);
  state->m_hCurrentInstanceHandle = h;
  state->m_hCurrentResourceHandle = h;
  state->m_pCurrentWinApp = app;
  if (!app) return TRUE;
  app->m_hInstance = h;
  // A failed InitInstance leaves the module attached: the module's
  // AfxDllDetach still follows and runs ExitInstance, as the loader would.
  AFX_MAINTAIN_STATE current(state);
  return app->InitInstance() ? TRUE : FALSE;
}

void AfxDllDetach(CWinApp* app, AFX_MODULE_STATE* state) {
  if (!state) return;
  if (app) {
    AFX_MAINTAIN_STATE current(state);
    app->ExitInstance();
  }
  if (state->m_hCurrentInstanceHandle) AfxUnregisterModule(state->m_hCurrentInstanceHandle);
  // A language module put in as resource handle belongs to whoever loaded it.
  if (state->m_hCurrentResourceHandle == state->m_hCurrentInstanceHandle)
    state->m_hCurrentResourceHandle = nullptr;
  state->m_hCurrentInstanceHandle = nullptr;
  state->m_pCurrentWinApp = nullptr;
}
