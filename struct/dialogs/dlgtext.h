// Texts as the dialogs take them from their fields and lists.
#pragma once

#include <afxwin.h>

#include <cctype>
#include <string>

// Without the blanks and tabs a user typed around it.
inline CString Trimmed(const CString& s) {
  const std::string& t = s.str();
  const size_t b = t.find_first_not_of(" \t"), e = t.find_last_not_of(" \t");
  return b == std::string::npos ? CString() : CString(t.substr(b, e - b + 1));
}

// Library paths are shown lower-cased, as the file prompt returns them.
inline CString Lower(LPCSTR s) {
  std::string t = s ? s : "";
  for (char& c : t) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return CString(t);
}

// The ID typed into a library dialog, or false after telling the user (a
// message box over owner) that it is not one: a whole number from 1 to
// 2147483647.
bool TypedIdOrRefuse(HWND owner, const CString& idText, LONG* id);
