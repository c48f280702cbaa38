// CAS registry numbers as text and as the one integer records and indexes
// keep (50-00-0 is 50000: the check digit last, the middle group before it).
// Both conversions are silent and cannot fail.
#pragma once

#include <afxwin.h>

struct STRUCT_DLL_INFO;

// The digits of text read as one number (other characters are dropped); 0
// for a null text or one without digits; more digits than 32 bits hold give
// INT32_MAX. The text passes through szScratch1.
LONG ParseCasNumber(STRUCT_DLL_INFO* info, LPCSTR text);
// "%ld-%02ld-%ld" of cas into out (through szScratch2); returns its length.
int FormatCasNumber(STRUCT_DLL_INFO* info, LONG cas, CString& out);
