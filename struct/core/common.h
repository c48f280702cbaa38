// What every part of the library uses: the host's records, the export
// attribute, the client's global state, argument conversion, error reports
// (each report goes through the command processor and returns its message
// number as the status), quiet reports and the abort poll.
#pragma once

#include <afxwin.h>
#include <cmdproc.h>
#include <hostutil.h>
#include <windows.h>

#include "core/dllinfo.h"
#include "core/export.h"

inline STRUCT_DLL_INFO* GetDllInfo(CCpClient* client) {
  return static_cast<STRUCT_DLL_INFO*>(client->pInfo);
}

// Argument conversion.
LONG TruncToLong(double x);
LONG RoundToLong(double x);
// Copy of the text of string argument n (from 1).
CString GetStringArg(OBJ_BASECLASS** args, int n);
// An ID typed into a dialog: leading blanks, an optional "+", decimal digits
// (what follows them does not count), a value in 1..2147483647. False for
// anything else, *id then 0.
bool ParseIdText(LPCSTR text, LONG* id);
inline bool HasArg(OBJ_BASECLASS** args, int n) { return args && args[n - 1] != nullptr; }
inline double GetNumberArg(OBJ_BASECLASS** args, int n) { return args[n - 1]->dValue; }

// Error reports through the library's resource module; each returns the status
// the entry point passes back to the host.
short ReportError(CCommandProcessor* pcp, int msg);
short ReportErrorNum(CCommandProcessor* pcp, int msg, LONG value);
short ReportErrorNum64(CCommandProcessor* pcp, int msg, long long value);
short ReportErrorStr(CCommandProcessor* pcp, int msg, LPCSTR text);

// While one lives (and is on), reports are not shown; the callers still get
// the message number as the status. bButCorruption lets the reports of a
// damaged file (521, 528) through: a miss may be quiet, damage never is.
class CQuietReports {
 public:
  explicit CQuietReports(bool bOn, bool bButCorruption = false);
  ~CQuietReports();
  CQuietReports(const CQuietReports&) = delete;
  CQuietReports& operator=(const CQuietReports&) = delete;

 private:
  int nPrev_;
};

// Loads a text of the library's string table into buf (cut to size).
int LoadStringText(UINT id, LPSTR buf, int size);
// The same text as a string (up to 255 characters).
CString LoadText(UINT id);

// Copies src into dst of size bytes, cut and always terminated.
void CopyText(char* dst, const char* src, size_t size);

// Pumps the thread's pending messages; returns the abort request as it stood
// before the pump and clears it.
BOOL PollAbort();
