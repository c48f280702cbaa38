#include "database/libpath.h"

#include <string>

CString ReplaceExtension(const CString& path, LPCSTR ext) {
  std::string s = path.str();
  size_t sep = s.find_last_of("\\/:");
  size_t dot = s.rfind('.');
  // A dot in a directory name is not an extension.
  if (dot != std::string::npos && (sep == std::string::npos || dot > sep)) s.resize(dot);
  return CString(s + ext);
}
