// Control of the platform stand-in by its owner (the host program and tests):
// where Windows paths lead, the system directory, the clock, injected faults,
// the interaction driver that stands in for the user, and the console that
// message boxes and beeps are reported to. Plug-in code never includes this.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace platform {

// ---------------------------------------------------------------- paths
// X:\... goes through the drive map; an unmapped drive behaves as missing.
void SetDrive(char letter, const std::string& dir);
void ClearDrives();
// Reads STRUCT_DRIVE_<X> and STRUCT_SYSDIR from the environment.
void LoadEnvironment();
// Empty: there is no system directory.
void SetSystemDirectory(const std::string& dir);
std::string SystemDirectory();
// Translates a Windows (or POSIX) path to the host file system: backslashes,
// the drive map, the current directory, and components matched without regard
// to case when the exact name does not exist. Empty when the drive is unmapped.
std::string ToHostPath(const std::string& winPath);

// Makes GetModuleFileName report path for module h (tests place a module's
// directory where they like); an empty path removes the override.
void SetModuleFileNameOverride(HINSTANCE h, const std::string& path);

// ---------------------------------------------------------------- time
// GetTickCount reads this clock; by default it follows the monotonic clock.
void SetTickCount(DWORD ticks);  // freezes the clock at ticks
void AdvanceTickCount(DWORD ms);
void UseRealClock();

// ---------------------------------------------------------------- faults
enum class FaultOp {
  CreateFile,
  ReadFile,
  WriteFile,
  SetFilePointer,
  CloseHandle,  // a failed close still releases the handle
  DeleteFile,
  MoveFile,
  LocalAlloc,   // LocalAlloc and LocalReAlloc
  GlobalAlloc,  // GlobalAlloc and GlobalReAlloc
  ProfileWrite,
  SetClipboardData,  // fails as when the system is out of memory; the caller keeps the block
  HeapAlloc,         // blocks of the process heap
  Count
};
enum class FaultKind {
  Fail,        // the call fails and changes nothing
  ShortWrite,  // a write stores half its bytes and reports that count
  DiskFull,    // a write fails with ERROR_DISK_FULL; free space reads 0
};
// The nth call of op from now (1 = the next one) fails as kind says.
void InjectFault(FaultOp op, int nth, FaultKind kind = FaultKind::Fail);
// Every call of op from the nth on fails.
void InjectPersistentFault(FaultOp op, int nth, FaultKind kind = FaultKind::Fail);
void ClearFaults();
// Calls of op since the last ClearFaults (or start).
int CallCount(FaultOp op);
// Overrides the free disk space reported (bytes); negative: the real figure.
void SetFreeDiskSpace(long long bytes);

// Resources held, for leak checks in tests.
int OpenFileHandles();
int LiveLocalBlocks();
int LiveGlobalBlocks();
int LiveWindows();
int LiveGdiObjects();  // brushes and other objects made and not yet deleted
int LiveSysStrings();

// ---------------------------------------------------------------- console
// Where message boxes, beeps and answers that fit nothing are reported.
// The default writes "message: <text>", "beep" and "answer ignored: <line>"
// to stderr.
struct Console {
  std::function<void(const std::string&)> message;
  std::function<void()> beep;
  std::function<void(const std::string&)> ignoredAnswer;
};
void SetConsole(const Console& c);
const Console& GetConsole();

// ---------------------------------------------------------------- interaction driver
// The user's actions, first in first out. Modal dialogs, message boxes and the
// common dialogs take their actions from here; with nothing queued a dialog is
// cancelled. When stdin is a terminal and nothing was ever queued, actions are
// read from the terminal instead.
void QueueAction(const std::string& line);
void QueueActionsFromFile(const std::string& text);  // one a line, blanks skipped
bool HasQueuedAction();
// Takes the next action; false when there is none (the dialog is cancelled).
bool NextAction(std::string& line);
bool EverQueued();
void ClearActions();
void SetTerminalInput(bool enabled);

}  // namespace platform
