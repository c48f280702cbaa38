// Reading and writing struct.ini. Every key has a default, so a missing or
// unreadable file still starts the library with usable options.
#include "core/settings.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "resources/resource.h"

namespace {

const char kSettingsFile[] = "struct.ini";
const char kGlobals[] = "Globals";
const char kFontInfo[] = "Font Info";
const char kColors[] = "Colors";
const char kDatabases[] = "Databases";
// The key names of one section are read whole up to this size.
constexpr size_t kMaxKeyList = 1 << 24;

// Decimal conversion as the C library's atoi does it, every digit counted
// and the result held to the 32-bit range instead of overflowing.
long ParseDecimal(const char*& p) {
  while (*p == ' ' || *p == '\t') ++p;
  bool neg = false;
  if (*p == '-' || *p == '+') neg = *p++ == '-';
  long long v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) v = std::min(v * 10 + (*p - '0'), 2147483648LL);
  return static_cast<long>(neg ? std::max(-v, static_cast<long long>(INT32_MIN))
                               : std::min(v, static_cast<long long>(INT32_MAX)));
}

bool JoinPath(LPCSTR dir, LPCSTR file, LPSTR buf, int size) {
  int n = std::snprintf(
      buf, static_cast<size_t>(size), "%s%s%s", dir,
      (*dir && dir[std::strlen(dir) - 1] != '\\' && dir[std::strlen(dir) - 1] != '/') ? "\\" : "",
      file);
  return n >= 0 && n < size;
}

}  // namespace

void GetModuleDirFile(LPCSTR file, LPSTR buf, int size) {
  if (size <= 0) return;
  char module[MAX_PATH] = "";
  DWORD n = GetModuleFileName(AfxGetInstanceHandle(), module, sizeof module);
  if (n >= sizeof module) n = sizeof module - 1;
  module[n] = 0;
  // Keep the directory with its trailing separator.
  char* slash = std::strrchr(module, '\\');
  char* fwd = std::strrchr(module, '/');
  if (!slash || (fwd && fwd > slash)) slash = fwd;
  size_t dirLen = slash ? static_cast<size_t>(slash - module) + 1 : 0;
  module[dirLen] = 0;
  const bool fits = std::strlen(file) + n < static_cast<size_t>(size);
  std::snprintf(buf, static_cast<size_t>(size), "%s%s", module, fits ? file : "?");
}

int GetSettingsPath(LPSTR buf, int size) {
  if (size <= 0) return 0;
  char path[MAX_PATH];
  char sysdir[MAX_PATH];
  UINT n = GetSystemDirectory(sysdir, sizeof sysdir);
  if (n > 0 && n < sizeof sysdir && JoinPath(sysdir, kSettingsFile, path, sizeof path) &&
      IsFile(path)) {
    CopyText(buf, path, static_cast<size_t>(size));
    return static_cast<int>(std::strlen(buf));
  }
  GetModuleDirFile(kSettingsFile, path, sizeof path);
  if (IsFile(path)) {
    CopyText(buf, path, static_cast<size_t>(size));
    return static_cast<int>(std::strlen(buf));
  }
  DWORD len = GetFullPathName(kSettingsFile, sizeof path, path, nullptr);
  if (len > 0 && len < sizeof path && IsFile(path)) {
    CopyText(buf, path, static_cast<size_t>(size));
    return static_cast<int>(std::strlen(buf));
  }
  buf[0] = 0;
  return 0;
}

COLORREF ParseColorText(LPCSTR text) {
  int rgb[3] = {255, 255, 255};
  const char* p = text ? text : "";
  for (int i = 0; i < 3; ++i) {
    while (*p == ' ' || *p == ',') ++p;
    if (!*p) break;
    const char* q = p;
    rgb[i] = static_cast<int>(ParseDecimal(q)) & 0xFF;
    // The rest of the token does not count.
    while (*p && *p != ' ' && *p != ',') ++p;
  }
  return RGB(rgb[0], rgb[1], rgb[2]);
}

void ReadSettings(STRUCT_DLL_INFO* info) {
  char path[MAX_PATH];
  GetSettingsPath(path, sizeof path);
  // With no file every read below falls back to its default.
  auto readText = [&](LPCSTR section, LPCSTR key, LPCSTR def, LPSTR out, DWORD size) {
    if (!path[0]) return static_cast<void>(CopyText(out, def, size));
    GetPrivateProfileString(section, key, def, out, size, path);
  };
  auto readInt = [&](LPCSTR section, LPCSTR key, int def) -> int {
    if (!path[0]) return def;
    return static_cast<int>(GetPrivateProfileInt(section, key, def, path));
  };

  readText(kGlobals, "DataBase", info->szEmpty, info->szDataBase, sizeof info->szDataBase);
  readText(kGlobals, "DefStructureCAS", info->szEmpty, info->szScratch2, sizeof info->szScratch2);
  const char* p = info->szScratch2;
  info->lDefStructureCas = static_cast<LONG>(ParseDecimal(p));

  CSDRAWOPTS& opts = info->drawOpts;
  opts.wBkMode = static_cast<WORD>(readInt(kGlobals, "TextBkMode", 2));
  opts.lFontHeight = readInt(kGlobals, "TextSize", 12);
  opts.bCircles = static_cast<BYTE>(readInt(kGlobals, "AromaticCircleMode", 1));
  opts.bBorder = static_cast<BYTE>(readInt(kGlobals, "DrawBorder", 1));
  opts.bThickBonds = static_cast<BYTE>(readInt(kGlobals, "UseThickBonds", 1));

  LOGFONT& lf = opts.lfLabel;
  std::memset(&lf, 0, sizeof lf);
  lf.lfHeight = 12;
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfPitchAndFamily = 0x20;
  LoadStringText(IDS_FONT_DEFAULTFACE, lf.lfFaceName, LF_FACESIZE);
  char face[LF_FACESIZE];
  readText(kFontInfo, "FaceName", lf.lfFaceName, face, sizeof face);
  CopyText(lf.lfFaceName, face, LF_FACESIZE);
  lf.lfHeight = readInt(kFontInfo, "Height", lf.lfHeight);
  lf.lfWidth = readInt(kFontInfo, "Width", lf.lfWidth);
  lf.lfWeight = readInt(kFontInfo, "Weight", lf.lfWeight);
  int flags = readInt(kFontInfo, "TypeFlags", 0);
  lf.lfItalic = (flags & 1) ? 1 : 0;
  lf.lfUnderline = (flags & 2) ? 1 : 0;
  lf.lfStrikeOut = (flags & 4) ? 1 : 0;
  lf.lfPitchAndFamily = static_cast<BYTE>(readInt(kFontInfo, "Family", lf.lfPitchAndFamily));

  char value[64];
  for (int i = 1; i <= 16; ++i) {
    std::snprintf(info->szScratch2, sizeof info->szScratch2, "CustomColor%d", i);
    readText(kColors, info->szScratch2, info->szEmpty, value, sizeof value);
    COLORREF cr = ParseColorText(value);
    info->crCustom[i - 1] = cr;
    if (i <= NUM_COLOR_ITEMS) opts.crItem[i - 1] = cr;
  }
}

short WriteSettings(CCommandProcessor* pcp, STRUCT_DLL_INFO* info) {
  char path[MAX_PATH];
  if (!GetSettingsPath(path, sizeof path)) GetModuleDirFile(kSettingsFile, path, sizeof path);

  bool ok = true;
  char value[64];
  auto write = [&](LPCSTR section, LPCSTR key, LPCSTR text) {
    if (!WritePrivateProfileString(section, key, text, path)) ok = false;
  };
  auto writeFmt = [&](LPCSTR section, LPCSTR key, LPCSTR fmt, long v) {
    std::snprintf(value, sizeof value, fmt, v);
    write(section, key, value);
  };
  const CSDRAWOPTS& opts = info->drawOpts;
  write(kGlobals, "DataBase", info->szDataBase);
  writeFmt(kGlobals, "DefStructureCAS", "%ld", info->lDefStructureCas);
  writeFmt(kGlobals, "TextSize", "%ld", opts.lFontHeight);
  writeFmt(kGlobals, "TextBkMode", "%ld", opts.wBkMode);
  writeFmt(kGlobals, "AromaticCircleMode", "%ld", opts.bCircles);
  writeFmt(kGlobals, "DrawBorder", "%ld", opts.bBorder);
  writeFmt(kGlobals, "UseThickBonds", "%ld", opts.bThickBonds);

  const LOGFONT& lf = opts.lfLabel;
  char face[LF_FACESIZE + 1];
  CopyText(face, lf.lfFaceName, sizeof face - 1);
  write(kFontInfo, "FaceName", face);
  writeFmt(kFontInfo, "Height", "%ld", lf.lfHeight);
  writeFmt(kFontInfo, "Width", "%ld", lf.lfWidth);
  writeFmt(kFontInfo, "Weight", "%ld", lf.lfWeight);
  writeFmt(kFontInfo, "TypeFlags", "%ld",
           (lf.lfItalic ? 1 : 0) | (lf.lfUnderline ? 2 : 0) | (lf.lfStrikeOut ? 4 : 0));
  writeFmt(kFontInfo, "Family", "%ld", lf.lfPitchAndFamily);

  for (int i = 1; i <= 16; ++i) {
    std::snprintf(info->szScratch2, sizeof info->szScratch2, "CustomColor%d", i);
    COLORREF cr = i <= NUM_COLOR_ITEMS ? opts.crItem[i - 1] : info->crCustom[i - 1];
    std::snprintf(value, sizeof value, "%3d %3d %3d", GetRValue(cr), GetGValue(cr), GetBValue(cr));
    write(kColors, info->szScratch2, value);
  }
  return ok ? 0 : ReportErrorStr(pcp, IDS_ERR_WRITESETTINGS, path);
}

HLOCAL ReadDatabaseList(STRUCT_DLL_INFO* info) {
  char path[MAX_PATH];
  if (!GetSettingsPath(path, sizeof path)) return nullptr;
  // Every key name, however many: the buffer grows until the list fits (a
  // list cut to the buffer comes back two short of its size).
  std::vector<char> keys(256);
  for (;;) {
    std::fill(keys.begin(), keys.end(), 0);
    const DWORD n = GetPrivateProfileString(kDatabases, nullptr, info->szEmpty, keys.data(),
                                            static_cast<DWORD>(keys.size()), path);
    if (n + 2 < keys.size() || keys.size() >= kMaxKeyList) break;
    keys.resize(keys.size() * 2);
  }

  UINT cbList = 256;
  HLOCAL hList = LocalAlloc(LHND, cbList);
  if (!hList) return nullptr;
  UINT used = 0;  // bytes of paths stored, without the closing NUL
  int count = 0;
  for (const char* key = keys.data(); *key; key += std::strlen(key) + 1) {
    DWORD len = GetPrivateProfileString(kDatabases, key, info->szEmpty, info->szScratch2,
                                        sizeof info->szScratch2, path);
    // An empty entry would read as the end of the list and hide the rest.
    if (len == 0) continue;
    if (used + len + 2 > cbList) {
      HLOCAL hGrown = LocalReAlloc(hList, cbList + len + 2, LHND);
      if (!hGrown) break;
      hList = hGrown;
      cbList += len + 2;
    }
    char* list = static_cast<char*>(LocalLock(hList));
    std::memcpy(list + used, info->szScratch2, len + 1);
    list[used + len + 1] = 0;
    LocalUnlock(hList);
    used += len + 1;
    ++count;
  }
  if (count == 0) {
    LocalFree(hList);
    return nullptr;
  }
  return hList;
}

short ShowHelp(CCpClient* client, int command, DWORD context) {
  char path[MAX_PATH];
  char help[MAX_PATH] = "";
  if (GetSettingsPath(path, sizeof path))
    GetPrivateProfileString(kGlobals, "HelpFile", "", help, sizeof help, path);
  // The entry may carry a comment after the path.
  if (char* semi = std::strchr(help, ';')) *semi = 0;
  if (char* blank = std::strchr(help, ' ')) *blank = 0;
  DisplayHelp(client->pcp, help[0] ? help : nullptr, command, context);
  return 0;
}

short WriteDatabaseList(CCommandProcessor* pcp, const std::vector<CString>& paths) {
  char path[MAX_PATH];
  if (!GetSettingsPath(path, sizeof path)) GetModuleDirFile(kSettingsFile, path, sizeof path);
  BOOL ok;
  if (paths.empty()) {
    ok = WritePrivateProfileString(kDatabases, nullptr, nullptr, path);
  } else {
    // The whole section in one write: a failure leaves the old list in place.
    std::string lines;
    for (size_t i = 0; i < paths.size(); ++i) {
      lines += std::to_string(i + 1) + "=" + paths[i].str();
      lines += '\0';
    }
    lines += '\0';
    ok = WritePrivateProfileSection(kDatabases, lines.data(), path);
  }
  return ok ? 0 : ReportErrorStr(pcp, IDS_ERR_WRITESETTINGS, path);
}
