// The host's utility library: error reports through the plug-in's string table,
// string loading, help, the busy cursor, file tests and the file-dialog bits.
#pragma once

#include <afxwin.h>
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

class CCommandProcessor;

#define HOSTUTIL_API __attribute__((visibility("default")))

// Each reports message msg of the resource module and returns its status (the
// message number). The Num form fills the one placeholder with value.
HOSTUTIL_API short FormatErrorEx(HINSTANCE hRes, CCommandProcessor* pcp, int msg);
HOSTUTIL_API short FormatErrorNumEx(HINSTANCE hRes, CCommandProcessor* pcp, int msg, LONG value);
// The Num form for values beyond 32 bits (a "%ld" shows all of it).
HOSTUTIL_API short FormatErrorNum64Ex(HINSTANCE hRes, CCommandProcessor* pcp, int msg,
                                      long long value);
HOSTUTIL_API short FormatErrorStrEx(HINSTANCE hRes, CCommandProcessor* pcp, int msg, LPCSTR text);
// Loads string id into buf (cut to size); returns its length, 0 when absent.
HOSTUTIL_API int GetStringEx(HINSTANCE hRes, LPSTR buf, int size, UINT id);
HOSTUTIL_API void DisplayHelp(CCommandProcessor* pcp, LPCSTR helpFile, int command, DWORD context);
HOSTUTIL_API void SetBusyCursor(CCommandProcessor* pcp, HICON icon);
HOSTUTIL_API BOOL IsFile(LPCSTR path);
HOSTUTIL_API DWORD _iscfr();

typedef uintptr_t(CALLBACK* LPOFNHOOKPROC)(HWND, UINT, WPARAM, LPARAM);
HOSTUTIL_API void GetVarloSelectFileBits(DWORD* pFlags, LPOFNHOOKPROC* pHook);

// Blocks the host's function keys while it lives (around modal file dialogs).
class HOSTUTIL_API CMyFunctionKeyInhibitor {
 public:
  CMyFunctionKeyInhibitor();  // defined by the plug-in: constructs with 1
  explicit CMyFunctionKeyInhibitor(unsigned long flags);
  virtual ~CMyFunctionKeyInhibitor();

 private:
  unsigned long flags_;
};

namespace hostutil {
// Formats a message text with one argument, giving each printf conversion the
// C type it expects (a LONG is widened for "%ld", narrowed for "%d"/"%u").
HOSTUTIL_API std::string FormatNum(const char* fmt, LONG value);
HOSTUTIL_API std::string FormatNum64(const char* fmt, long long value);
HOSTUTIL_API std::string FormatStr(const char* fmt, const char* text);

// Where reports go. Defaults: "error NNN: <text>" and "help: <file> <context>"
// on stderr.
struct Sinks {
  std::function<void(int msg, const std::string& text)> error;
  std::function<void(const std::string& file, DWORD context)> help;
};
HOSTUTIL_API void SetSinks(const Sinks& s);
HOSTUTIL_API const Sinks& GetSinks();
// Busy-cursor calls so far (each call toggles the cursor).
HOSTUTIL_API int BusyCursorCalls();
// Function-key inhibitors alive.
HOSTUTIL_API int ActiveInhibitors();
}  // namespace hostutil
