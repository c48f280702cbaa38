// File tests and the host's additions to open-file prompts.
#include "hostutil.h"

namespace {

// The prompt calls the hook; the host has nothing to add to it.
uintptr_t CALLBACK NoHook(HWND, UINT, WPARAM, LPARAM) { return 0; }

// OFN_ENABLEHOOK: the prompt is to call the hook stored beside the flags.
constexpr DWORD kEnableHook = 0x00000020;

}  // namespace

BOOL IsFile(LPCSTR path) {
  if (!path || !*path) return FALSE;
  DWORD attrs = GetFileAttributes(path);
  return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

// The argument the plug-in hands to the function-key inhibitor.
DWORD _iscfr() { return 1; }

void GetVarloSelectFileBits(DWORD* pFlags, LPOFNHOOKPROC* pHook) {
  if (pFlags) *pFlags |= kEnableHook;
  if (pHook) *pHook = NoHook;
}
