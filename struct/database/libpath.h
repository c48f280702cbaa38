// A structure library is a pair of files sharing one path: data ".sdb" and
// index ".ind". Whatever path a user gives, its last extension is replaced (or
// added) to name either file. Pure text work: silent, cannot fail.
#pragma once

#include <afxwin.h>

CString ReplaceExtension(const CString& path, LPCSTR ext);
inline CString DataPathOf(const CString& path) { return ReplaceExtension(path, ".sdb"); }
inline CString IndexPathOf(const CString& path) { return ReplaceExtension(path, ".ind"); }
