// The open-file prompt of the common dialogs, answered by the interaction
// driver: "file PATH" chooses, "cancel" cancels, "dump" lists the prompt on
// stdout; anything else is ignored. A file that must exist and does not is
// refused with a message, as the real prompt would, and the prompt goes on.
#include <commdlg.h>
#include <platform/env.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

DWORD s_lastError = 0;

void Dump(const OPENFILENAME* ofn) {
  std::printf("dialog open \"%s\"\n", ofn->lpstrTitle ? ofn->lpstrTitle : "Open");
  int n = 0;
  for (const char* p = ofn->lpstrFilter; p && *p;) {
    const char* name = p;
    p += std::strlen(p) + 1;
    const char* pattern = p;
    p += std::strlen(p) + 1;
    std::printf("  item %d: %s (%s)\n", n++, name, pattern);
  }
  std::fflush(stdout);
}

}  // namespace

BOOL GetOpenFileName(OPENFILENAME* ofn) {
  s_lastError = 0;
  std::string action;
  while (platform::NextAction(action)) {
    if (action == "cancel") return FALSE;
    if (action == "dump") {
      Dump(ofn);
      continue;
    }
    if (action.rfind("file ", 0) != 0) {
      platform::GetConsole().ignoredAnswer(action);
      continue;
    }
    std::string path = action.substr(5);
    DWORD attrs = GetFileAttributes(path.c_str());
    if ((ofn->Flags & OFN_FILEMUSTEXIST) &&
        (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY))) {
      platform::GetConsole().message(path + "\nFile not found.");
      continue;
    }
    if (!ofn->lpstrFile || path.size() + 1 > ofn->nMaxFile) {
      s_lastError = 0x3003;  // the buffer is too small for the name
      return FALSE;
    }
    std::memcpy(ofn->lpstrFile, path.c_str(), path.size() + 1);
    size_t slash = path.find_last_of("\\/");
    ofn->nFileOffset = static_cast<WORD>(slash == std::string::npos ? 0 : slash + 1);
    size_t dot = path.rfind('.');
    ofn->nFileExtension =
        static_cast<WORD>(dot == std::string::npos || dot < ofn->nFileOffset ? 0 : dot + 1);
    return TRUE;
  }
  return FALSE;
}

DWORD CommDlgExtendedError() { return s_lastError; }
