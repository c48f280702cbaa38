// What the platform's services share among themselves and never show to the
// plug-in: handle numbering, fault checks, path resolution, error mapping, and
// the few hooks by which one service tells another that something went away.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

#include "platform/env.h"

namespace platform::detail {

// Handle values are never reused within a process, so a stale handle is
// recognised as stale instead of naming a newer object.
uintptr_t NewHandleValue();

// Counts one call of op and tells whether an injected fault hits it.
std::optional<FaultKind> TakeFault(FaultOp op);
// True once an injected DiskFull fault has fired (until ClearFaults).
bool DiskFullReported();
// The free-space override, or a negative value for the real figure.
long long FreeSpaceOverride();

// Windows error code for an errno value.
DWORD Win32Error(int err);

// Translates a Windows path for the file layer. False (last error
// ERROR_PATH_NOT_FOUND) for an empty path or an unmapped drive.
bool HostPath(LPCSTR winPath, std::string& hostPath);
// The same path with every component as spelt (no case-insensitive lookup):
// what an open of an existing file tries first.
bool HostPathAsSpelt(LPCSTR winPath, std::string& hostPath);
// The directory part of a host path ("/" for a file in the root).
std::string HostDirName(const std::string& hostPath);

// Opens a host file the way CreateFile does (share modes included) without
// counting a call or consulting faults; -1 and the last error on failure.
// Used by CopyFile and GetTempFileName, which open files on their own behalf.
int OpenShared(const std::string& hostPath, DWORD access, DWORD share, DWORD disposition);
// Whether some open handle (of any process) refuses deletion or renaming.
bool DeleteDenied(const std::string& hostPath);
// ERROR_FILE_NOT_FOUND when the directory exists, ERROR_PATH_NOT_FOUND otherwise.
DWORD MissingFileError(const std::string& hostPath);

// The text of string id in a registered module; false when absent.
bool ModuleString(HINSTANCE h, UINT id, std::string& text);
// The dialog template id of a registered module, or nullptr.
const struct DLGTEMPLATEDEF* ModuleDialog(HINSTANCE h, int id);
// Whether a registered module lists cursor id among its resources.
bool ModuleHasCursor(HINSTANCE h, UINT id);
// Called when a module is unregistered: its cursors cease to exist.
void ForgetModuleCursors(HINSTANCE h);

// Called when a window is destroyed: the clipboard forgets it as owner.
void ClipboardForgetWindow(HWND h);
// Called when a window is destroyed: GDI lets its surface go.
void GdiForgetWindow(HWND h);
// Frees what a clipboard format's handle holds beyond the global block
// itself (the metafile inside a metafile picture); installed by GDI.
using ClipboardReleaser = void (*)(HANDLE h);
void SetClipboardReleaser(UINT format, ClipboardReleaser fn);

// Whether h is a live global block (the clipboard frees only those).
bool IsGlobalBlock(HGLOBAL h);

}  // namespace platform::detail
