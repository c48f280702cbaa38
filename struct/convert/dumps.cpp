// "MFDump" and "MDLSKDump". The listing gives one line per metafile record,
// "0x<function>: " and a short description of the records a structure
// picture holds; an escape's data follows its line in hex. Records are
// outside data: a field the record is too short to hold is not printed.
#include "convert/dumps.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>

#include "convert/entries.h"
#include "core/app.h"
#include "resources/resource.h"

namespace {

constexpr size_t kParamAt = 6;        // a record's first parameter, after rdSize and rdFunction
constexpr size_t kHexLineBytes = 24;  // bytes of data per hex line
constexpr size_t kFontFaceAt = 24;    // the face name inside CREATEFONTINDIRECT
constexpr size_t kFaceBytes = 32;     // LF_FACESIZE

// Record fields, little-endian at any byte offset.
int16_t Short(const BYTE* p) { return static_cast<int16_t>(p[0] | (p[1] << 8)); }
WORD Word(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

CString MapModeName(LONG mm) {
  static const char* const kNames[] = {"MM_TEXT",      "MM_LOMETRIC",   "MM_HIMETRIC",
                                       "MM_LOEMGLISH", "MM_HIENGLISH",  "MM_TWIPS",
                                       "MM_ISOTROPIC", "MM_ANISOTROPIC"};
  if (mm >= MM_TEXT && mm <= MM_ANISOTROPIC) return CString(kNames[mm - MM_TEXT]);
  CString number;
  number.Format("%d", static_cast<int>(mm));
  return number;
}

// Writes all n bytes; a short write goes on with the rest.
BOOL WriteAll(HANDLE hFile, const void* data, size_t n) {
  const auto* p = static_cast<const char*>(data);
  while (n > 0) {
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(n, 1u << 30));
    DWORD written = 0;
    if (!WriteFile(hFile, p, chunk, &written, nullptr) || written == 0 || written > chunk)
      return FALSE;
    p += written;
    n -= written;
  }
  return TRUE;
}

BOOL WriteLine(HANDLE hFile, MFDUMPSTATE* st, const std::string& line) {
  if (st->bWriteFailed) return FALSE;
  if (!WriteAll(hFile, line.data(), line.size()) || !WriteAll(hFile, "\r\n", 2))
    st->bWriteFailed = TRUE;
  return !st->bWriteFailed;
}

std::string Text(UINT id) { return LoadText(id).str(); }

template <typename... Args>
std::string Formatted(UINT id, Args... args) {
  CString s;
  s.Format(LoadText(id), args...);
  return s.str();
}

// What follows "0x<function>: " on a record's line, from the record's cb
// bytes. For an escape, *hexAt and *hexCount give its data.
std::string RecordText(const BYTE* rec, size_t cb, size_t* hexAt, size_t* hexCount) {
  *hexCount = 0;
  const WORD fn = Word(rec + 4);
  const bool one = cb >= kParamAt + 2, two = cb >= kParamAt + 4;
  const int p0 = one ? Short(rec + kParamAt) : 0, p1 = two ? Short(rec + kParamAt + 2) : 0;
  switch (fn) {
    case META_SAVEDC:
      return Text(IDS_MF_SAVEDC);
    case META_SETROP2:
      return Text(IDS_MF_SETROP2);
    case META_RESTOREDC:
      return Text(IDS_MF_RESTOREDC);
    case META_SETBKCOLOR:
      return Text(IDS_MF_SETBKCOLOR);
    case META_SETTEXTCOLOR:
      return Text(IDS_MF_SETTEXTCOLOR);
    case META_INTERSECTCLIPRECT:
      return Text(IDS_MF_INTERSECTCLIPRECT);
    case META_RECTANGLE:
      return Text(IDS_MF_RECTANGLE);
    case META_DIBSTRETCHBLT:
      return Text(IDS_MF_STRETCHBLT);
    case META_SETBKMODE:
      return one ? Formatted(IDS_MF_SETBKMODE, p0) : "";
    case META_SETMAPMODE:
      return one ? Formatted(IDS_MF_SETMAPMODE, MapModeName(p0).GetString()) : "";
    case META_SELECTOBJECT:
      return one ? Formatted(IDS_MF_SELECTOBJECT, p0) : "";
    case META_SETTEXTALIGN:
      return one ? Formatted(IDS_MF_SETTEXTALIGN, p0) : "";
    case META_DELETEOBJECT:
      return one ? Formatted(IDS_MF_DELETEOBJECT, p0) : "";
    case META_CREATEBRUSHINDIRECT:
      return one ? Formatted(IDS_MF_CREATEBRUSH, p0) : "";
    case META_SETWINDOWORG:
      return two ? Formatted(IDS_MF_SETWINDOWORG, p1, p0) : "";
    case META_SETWINDOWEXT:
      return two ? Formatted(IDS_MF_SETWINDOWEXT, p1, p0) : "";
    case META_LINETO:
      return two ? Formatted(IDS_MF_LINETO, p1, p0) : "";
    case META_MOVETO:
      return two ? Formatted(IDS_MF_MOVETO, p1, p0) : "";
    case META_CREATEPENINDIRECT: {
      std::string text = Text(IDS_MF_CREATEPEN);
      if (cb >= 12)
        text += Formatted(IDS_MF_PENDETAILS, Short(rec + 6), Short(rec + 8), Short(rec + 10));
      return text;
    }
    case META_CREATEFONTINDIRECT: {
      std::string text = Text(IDS_MF_CREATEFONT);
      if (cb >= kFontFaceAt) {
        // The face ends at its NUL, the field's end or the record's end.
        const size_t room = std::min(cb - kFontFaceAt, kFaceBytes);
        const char* face = reinterpret_cast<const char*>(rec + kFontFaceAt);
        const std::string name(face, std::find(face, face + room, '\0'));
        text += Formatted(IDS_MF_FONTDETAILS, name.c_str(), static_cast<unsigned>(rec[23]),
                          Short(rec + 6), Short(rec + 8), Short(rec + 14),
                          static_cast<unsigned>(rec[19]));
      }
      return text;
    }
    case META_TEXTOUT: {
      std::string text = Text(IDS_MF_TEXTOUT);
      if (cb >= 8) {
        const size_t n = std::min<size_t>(Word(rec + 6), cb - 8);
        text.append(reinterpret_cast<const char*>(rec + 8), n);
      }
      return text;
    }
    case META_ESCAPE:
      if (!two) return "";
      *hexAt = 10;
      *hexCount = std::min<size_t>(Word(rec + 8), cb - 10);
      return Formatted(IDS_MF_ESCAPE, p0, p1);
    default:
      return "";
  }
}

}  // namespace

BOOL WriteHexLines(HANDLE hFile, MFDUMPSTATE* st, const BYTE* data, size_t count) {
  static const char kHex[] = "0123456789ABCDEF";
  for (size_t at = 0; at < count; at += kHexLineBytes) {
    const size_t n = std::min(count - at, kHexLineBytes);
    std::string line;
    for (size_t i = 0; i < kHexLineBytes; ++i) {
      if (i % 4 == 0) line += ' ';
      if (i < n) {
        line += kHex[data[at + i] >> 4];
        line += kHex[data[at + i] & 0xF];
      } else {
        line += "  ";
      }
    }
    line += ' ';
    for (size_t i = 0; i < n; ++i) {
      const BYTE c = data[at + i];
      line += (c >= 0x20 && c <= 0x7E) ? static_cast<char>(c) : '.';
    }
    if (!WriteLine(hFile, st, line)) return FALSE;
  }
  return TRUE;
}

int CALLBACK DumpMetaRecord(HDC, HANDLETABLE*, METARECORD* rec, int, LPARAM param) {
  auto* st = reinterpret_cast<MFDUMPSTATE*>(param);
  const HANDLE hFile = st->info->hDumpFile;
  // The enumeration hands each record in a block of its own rdSize words.
  const auto* p = reinterpret_cast<const BYTE*>(rec);
  const size_t cb = 2 * static_cast<size_t>(rec->rdSize);
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "0x%04X: ", rec->rdFunction);
  size_t hexAt = 0, hexCount = 0;
  if (!WriteLine(hFile, st, prefix + RecordText(p, cb, &hexAt, &hexCount))) return 0;
  return WriteHexLines(hFile, st, p + hexAt, hexCount) ? 1 : 0;
}

BOOL WriteMetaFileListing(STRUCT_DLL_INFO* info, HANDLE hFile, const METAFILEPICT& pict) {
  MFDUMPSTATE st{info, FALSE};
  info->hDumpFile = hFile;
  if (WriteLine(hFile, &st,
                Formatted(IDS_MF_MAPMODE, MapModeName(pict.mm).GetString(),
                          static_cast<int>(pict.xExt), static_cast<int>(pict.yExt))))
    EnumMetaFile(nullptr, pict.hMF, DumpMetaRecord, reinterpret_cast<LPARAM>(&st));
  info->hDumpFile = nullptr;
  return !st.bWriteFailed;
}

int DumpClipboardMetafile(STRUCT_DLL_INFO* info, HWND hwndOwner, LPCSTR path) {
  if (!OpenClipboard(hwndOwner)) return 1;
  int result = 1;
  HANDLE hPict = GetClipboardData(CF_METAFILEPICT);
  const auto* pict = hPict ? static_cast<const METAFILEPICT*>(GlobalLock(hPict)) : nullptr;
  if (pict && GlobalSize(hPict) >= sizeof(METAFILEPICT)) {
    HANDLE hFile = CreateFile(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile != INVALID_HANDLE_VALUE) {
      const BOOL written = WriteMetaFileListing(info, hFile, *pict);
      CloseHandle(hFile);
      // A listing cut short by a full disk would pass for a whole one.
      if (written)
        result = 0;
      else
        DeleteFile(path);
    }
  }
  if (pict) GlobalUnlock(hPict);
  CloseClipboard();
  return result;
}

namespace {

// Keeps the main window disabled while a dump runs, then gives it back the
// state it had.
class CMainWindowOff {
 public:
  explicit CMainWindowOff(HWND hwnd) : hwnd_(IsWindow(hwnd) ? hwnd : nullptr) {
    if (hwnd_) wasDisabled_ = EnableWindow(hwnd_, FALSE);
  }
  ~CMainWindowOff() {
    if (hwnd_ && !wasDisabled_ && IsWindow(hwnd_)) EnableWindow(hwnd_, TRUE);
  }
  CMainWindowOff(const CMainWindowOff&) = delete;
  CMainWindowOff& operator=(const CMainWindowOff&) = delete;

 private:
  HWND hwnd_;
  BOOL wasDisabled_ = FALSE;
};

// The clipboard's block of format cf written to path as it is.
void DumpClipboardBlock(HWND hwndOwner, UINT cf, LPCSTR path) {
  if (!OpenClipboard(hwndOwner)) return;
  HANDLE hData = cf ? GetClipboardData(cf) : nullptr;
  const void* data = hData ? GlobalLock(hData) : nullptr;
  if (data) {
    HANDLE hFile = CreateFile(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile != INVALID_HANDLE_VALUE) {
      const BOOL written = WriteAll(hFile, data, GlobalSize(hData));
      CloseHandle(hFile);
      if (!written) DeleteFile(path);
    }
    GlobalUnlock(hData);
  }
  CloseClipboard();
}

}  // namespace

STRUCT_COMMAND(DumpMetaFileCmd) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  if (!HasArg(args, 1) || !pcp->hwndMain) return ReportErrorNum(pcp, IDS_ERR_BADPARAM, 1);
  const CString path = GetStringArg(args, 1);
  HCURSOR hcurPrev = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  ShowCursor(TRUE);
  {
    CMainWindowOff off(pcp->hwndMain);
    DumpClipboardMetafile(GetDllInfo(client), pcp->hwndMain, path);
  }
  ShowCursor(FALSE);
  SetCursor(hcurPrev);
  return 0;
}

STRUCT_COMMAND(DumpMDLSKCmd) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  SetBusyCursor(pcp, nullptr);
  short status = 0;
  if (!HasArg(args, 1)) {
    status = ReportErrorNum(pcp, IDS_ERR_BADPARAM, 1);
  } else {
    const CString path = GetStringArg(args, 1);
    CMainWindowOff off(pcp->hwndMain);
    DumpClipboardBlock(pcp->hwndMain, GetStructApp().m_cfMDLSK, path);
  }
  SetBusyCursor(pcp, nullptr);
  return status;
}
