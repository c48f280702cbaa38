// CSPack: reads an ASCII structure file record by record into the bond,
// label and aromatic circle tables a binary library is built from, and
// writes what it saw to the statistics file. The binary file and its index
// are created empty.
//
// A record is five lines: "c" and the CAS number; the name; the bonds (a
// count, then x1 y1 x2 y2 type each); the labels (a count, then a position,
// an x y pair when the position is 0, and the text each); the circles (a
// count, then x y each). Tokens are separated by any run of ": ,;()". The
// input ends at the first record line that does not begin with "c".
#include "tools/pack.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <new>

#include "core/alloc.h"
#include "core/textlines.h"
#include "database/fileio.h"
#include "database/lookup.h"
#include "resources/resource.h"
#include "tools/driver.h"
#include "tools/entries.h"

// ---------------------------------------------------------------- shared

short GetToolPathArg(CCpClient* client, OBJ_BASECLASS** args, int n, LPCSTR def, CString* path) {
  *path = HasArg(args, n) ? GetStringArg(args, n) : CString();
  if (path->IsEmpty()) *path = def;
  if (path->GetLength() >= MAX_PATH) return ReportErrorNum(client->pcp, IDS_ERR_BADPARAM, n);
  return 0;
}

void CPassProgress::Update(long long position, LONG count) {
  const DWORD now = GetTickCount();
  if (reported_ && static_cast<LONG>(now - last_) < 1000) return;
  reported_ = true;
  last_ = now;
  int permille = 0;
  if (size_ >= 1000 && position > 0)
    permille = static_cast<int>(std::min<long long>(1000, position / (size_ / 1000)));
  ReportToolProgress(client_, title_, count, permille);
}

// ---------------------------------------------------------------- CSPack

namespace {

constexpr int kLineSize = 2048;
constexpr short kEndOfInput = -1;   // a record status: the input ended before it
constexpr short kMax16 = 32767;     // the per-record counters are 16 bits
constexpr LONG kMaxTable = 0xFFFF;  // local blocks have 16-bit sizes

// The rows of the per-record tables.
struct BONDREC {
  LONG x1, y1, x2, y2;
  BYTE bType;  // 0 single .. 3
  BYTE bPad[3];
};
static_assert(sizeof(BONDREC) == 20);
struct ACIRCLEREC {
  LONG x, y;
};
static_assert(sizeof(ACIRCLEREC) == 8);
// A label row: its size byte, x and y (32 bits each, unaligned) and the text
// with its NUL; the text is cut so that the size fits its byte.
constexpr int kLabelHead = 9;
constexpr int kLabelTextMax = 255 - kLabelHead - 1;
// The record sizes of the binary library the statistics list.
constexpr int kFileRecSize = 20;
constexpr int kLabelRecSize = 16;

// A table of rows in one zero-filled local block that grows as rows come.
struct TABLE {
  HLOCAL hMem;
  UINT cbUsed;
};

struct PACKCONTEXT {
  CCpClient* client;
  char szAscii[MAX_PATH];
  char szOutput[MAX_PATH];
  char szIndex[MAX_PATH + 4];
  HANDLE hAscii, hOutput, hIndex;
  CTextLineReader* reader;
  HLOCAL hLine;
  char* pLine;
  TABLE bonds, labels, circles;
  bool bReadReported;  // 517 is shown once a run
  // The pair read last; forgotten at the start of each bond line.
  bool bHavePrev;
  LONG xPrev, yPrev;
  // Statistics.
  LONG lRecords;
  short nMaxName;
  LONG xMin, yMin, xMax, yMax;
  int nSpanX, nSpanY;
  short nDupCoords;
  short nMaxBonds, nMaxLabels, nMaxCircles;
  LONG lTotalBonds, lTotalLabels, lTotalCircles;
};

// A token as a number: blanks, an optional sign and decimal digits (what
// follows them does not count); anything else reads as 0. Saturates at the
// 32-bit limits.
LONG Number(const char* t) {
  if (!t) return 0;
  while (std::isspace(static_cast<unsigned char>(*t))) ++t;
  const bool negative = *t == '-';
  if (*t == '-' || *t == '+') ++t;
  long long v = 0;
  for (; *t >= '0' && *t <= '9'; ++t) v = std::min<long long>(v * 10 + (*t - '0'), 1LL << 32);
  if (negative) v = -v;
  return static_cast<LONG>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

short Saturated16(long long v) { return static_cast<short>(std::clamp<long long>(v, 0, kMax16)); }
LONG Saturated32(long long v) {
  return static_cast<LONG>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}
// What the tables keep of a coordinate: its low 16 bits, signed.
LONG Cut16(long long v) { return static_cast<int16_t>(static_cast<uint16_t>(v & 0xFFFF)); }

// Room for cbMore bytes past the rows in use; false when the block cannot
// grow (it never passes the 16-bit limit).
bool Reserve(TABLE& t, UINT cbMore) {
  const long long need = static_cast<long long>(t.cbUsed) + cbMore;
  const UINT have = t.hMem ? LocalSize(t.hMem) : 0;
  if (need <= have) return true;
  if (need > kMaxTable) return false;
  const UINT grown = static_cast<UINT>(std::min<long long>(kMaxTable, std::max(need, 2LL * have)));
  HLOCAL h =
      t.hMem ? LocalReAlloc(t.hMem, grown, LMEM_MOVEABLE | LMEM_ZEROINIT) : LocalAlloc(LHND, grown);
  if (!h) return false;
  t.hMem = h;
  return true;
}

bool Append(TABLE& t, const void* row, UINT cb) {
  if (!Reserve(t, cb)) return false;
  BYTE* p = static_cast<BYTE*>(LocalLock(t.hMem));
  std::memcpy(p + t.cbUsed, row, cb);
  LocalUnlock(t.hMem);
  t.cbUsed += cb;
  return true;
}

void FreeTable(TABLE& t) {
  if (t.hMem) LocalFree(t.hMem);
  t.hMem = nullptr;
  t.cbUsed = 0;
}

// A coordinate pair read: counted into the extremes and the duplicates,
// remembered, and kept moved by (100, 50) as the tables hold it.
void TakePair(PACKCONTEXT* c, LONG x, LONG y, LONG* xKept, LONG* yKept) {
  c->xMin = std::min(c->xMin, x);
  c->yMin = std::min(c->yMin, y);
  c->xMax = std::max(c->xMax, x);
  c->yMax = std::max(c->yMax, y);
  if (c->bHavePrev && x == c->xPrev && y == c->yPrev)
    c->nDupCoords = Saturated16(c->nDupCoords + 1LL);
  c->bHavePrev = true;
  c->xPrev = x;
  c->yPrev = y;
  *xKept = Cut16(x + 100LL);
  *yKept = Cut16(y + 50LL);
}

// The next line into the line buffer: 0, kEndOfInput at the end of the file,
// or 517 when a read fails. Either end is reported once a run; the line is
// left empty.
short ReadLine(PACKCONTEXT* c) {
  const int got = c->reader->ReadLine(c->pLine, kLineSize);
  if (got >= 0) return 0;
  if (!c->bReadReported) {
    c->bReadReported = true;
    ReportErrorStr(c->client->pcp, IDS_ERR_FILEREAD, c->szAscii);
  }
  return got == CTextLineReader::kEnd ? kEndOfInput : IDS_ERR_FILEREAD;
}

// Counts from the file are only believed as far as the line holds whole
// items: a count larger than what follows it ends at the last whole item.

int ReadBonds(PACKCONTEXT* c, CAsciiTokens& t, LONG n, short* status) {
  int done = 0;
  for (; done < n; ++done) {
    char* tok[5];
    int k = 0;
    while (k < 5 && (tok[k] = t.Next()) != nullptr) ++k;
    if (k < 5) break;
    BONDREC b{};
    TakePair(c, Number(tok[0]), Number(tok[1]), &b.x1, &b.y1);
    TakePair(c, Number(tok[2]), Number(tok[3]), &b.x2, &b.y2);
    const LONG type = Number(tok[4]);
    b.bType = static_cast<BYTE>(type >= 1 && type <= 4 ? type - 1 : 0);
    if (!Append(c->bonds, &b, sizeof b)) {
      *status = IDS_ERR_NOMEMORY;
      break;
    }
  }
  return done;
}

int ReadLabels(PACKCONTEXT* c, CAsciiTokens& t, LONG n, short* status) {
  int done = 0;
  for (; done < n; ++done) {
    char* position = t.Next();
    if (!position) break;
    const bool placed = Number(position) == 0;
    char* x = placed ? t.Next() : nullptr;
    char* y = placed && x ? t.Next() : nullptr;
    char* text = !placed || y ? t.Next() : nullptr;
    if (!text) break;
    BYTE row[255] = {};
    LONG xKept = 0, yKept = 0;
    if (placed) TakePair(c, Number(x), Number(y), &xKept, &yKept);
    const int cbText = std::min<int>(static_cast<int>(std::strlen(text)), kLabelTextMax);
    row[0] = static_cast<BYTE>(kLabelHead + cbText + 1);
    std::memcpy(row + 1, &xKept, 4);
    std::memcpy(row + 5, &yKept, 4);
    std::memcpy(row + kLabelHead, text, static_cast<size_t>(cbText));
    if (!Append(c->labels, row, row[0])) {
      *status = IDS_ERR_NOMEMORY;
      break;
    }
  }
  return done;
}

int ReadCircles(PACKCONTEXT* c, CAsciiTokens& t, LONG n, short* status) {
  int done = 0;
  for (; done < n; ++done) {
    char* x = t.Next();
    char* y = x ? t.Next() : nullptr;
    if (!y) break;
    ACIRCLEREC a{};
    TakePair(c, Number(x), Number(y), &a.x, &a.y);
    if (!Append(c->circles, &a, sizeof a)) {
      *status = IDS_ERR_NOMEMORY;
      break;
    }
  }
  return done;
}

void CountSection(short* nMax, LONG* lTotal, int n) {
  *nMax = std::max(*nMax, Saturated16(n));
  *lTotal = Saturated32(static_cast<long long>(*lTotal) + n);
}

// The widest reach of the record's bond end points on each axis, as the
// tables keep them; a record without bonds reaches 1.
void CountSpans(PACKCONTEXT* c) {
  int spanX = 1, spanY = 1;
  const UINT n = c->bonds.cbUsed / sizeof(BONDREC);
  if (n > 0) {
    const BYTE* p = static_cast<const BYTE*>(LocalLock(c->bonds.hMem));
    LONG x0 = INT32_MAX, y0 = INT32_MAX, x1 = INT32_MIN, y1 = INT32_MIN;
    for (UINT i = 0; i < n; ++i) {
      BONDREC b;
      std::memcpy(&b, p + i * sizeof b, sizeof b);
      x0 = std::min({x0, b.x1, b.x2});
      x1 = std::max({x1, b.x1, b.x2});
      y0 = std::min({y0, b.y1, b.y2});
      y1 = std::max({y1, b.y1, b.y2});
    }
    LocalUnlock(c->bonds.hMem);
    spanX = x1 - x0;  // kept values are 16 bits: no overflow
    spanY = y1 - y0;
  }
  c->nSpanX = std::max(c->nSpanX, spanX);
  c->nSpanY = std::max(c->nSpanY, spanY);
}

// One record: 0 when it was read (or skipped), kEndOfInput when the input
// ended, or the status of a failure (already reported).
short ReadRecord(PACKCONTEXT* c) {
  c->bonds.cbUsed = c->labels.cbUsed = c->circles.cbUsed = 0;
  short status = ReadLine(c);
  if (status == IDS_ERR_FILEREAD) return status;
  if (status || c->pLine[0] != 'c') return kEndOfInput;
  CAsciiTokens head(c->pLine + 1);
  // A record without a CAS number is passed over, its four lines with it.
  const bool skip = Number(head.Next()) == 0;
  for (int section = 0; section < 4; ++section) {
    const short read = ReadLine(c);
    if (read && status != IDS_ERR_FILEREAD) status = read;
    if (skip) continue;
    CAsciiTokens t(c->pLine);
    char* first = t.Next();
    short failed = 0;
    switch (section) {
      case 0:
        c->nMaxName = std::max(c->nMaxName, Saturated16(first ? std::strlen(first) : 0));
        break;
      case 1:
        c->bHavePrev = false;
        CountSection(&c->nMaxBonds, &c->lTotalBonds, ReadBonds(c, t, Number(first), &failed));
        break;
      case 2:
        CountSection(&c->nMaxLabels, &c->lTotalLabels, ReadLabels(c, t, Number(first), &failed));
        break;
      default:
        CountSection(&c->nMaxCircles, &c->lTotalCircles, ReadCircles(c, t, Number(first), &failed));
        break;
    }
    if (failed) return ReportError(c->client->pcp, failed);
  }
  if (!skip) {
    CountSpans(c);
    c->lRecords = Saturated32(c->lRecords + 1LL);
  }
  return status;
}

void WriteStatistics(const PACKCONTEXT* c) {
  char text[1024];
  const int cb = std::snprintf(
      text, sizeof text,
      "Structures: %ld\r\n"
      "Max Name: %d\r\n"
      "Min (X, Y): (%d, %d)\r\n"
      "Max (X, Y): (%d, %d)\r\n"
      "Span (X, Y): (%d, %d)\r\n"
      "nDupCoords: %d\r\n"
      "Max Bonds: %d (Total: %ld)\r\n"
      "Max Heteroatoms: %d (Total: %ld)\r\n"
      "Max Aromatic circles: %d (Total: %ld)\r\n"
      "INDEXREC_SIZE: %d\r\n"
      "CSFILEREC_SIZE: %d\r\n"
      "BONDREC_SIZE: %d\r\n"
      "ACIRCLEREC_SIZE: %d\r\n"
      "HATOMREC_SIZE: %d\r\n",
      static_cast<long>(c->lRecords), c->nMaxName, c->xMin, c->yMin, c->xMax, c->yMax, c->nSpanX,
      c->nSpanY, c->nDupCoords, c->nMaxBonds, static_cast<long>(c->lTotalBonds), c->nMaxLabels,
      static_cast<long>(c->lTotalLabels), c->nMaxCircles, static_cast<long>(c->lTotalCircles),
      static_cast<int>(sizeof(INDEXREC)), kFileRecSize, static_cast<int>(sizeof(BONDREC)),
      static_cast<int>(sizeof(ACIRCLEREC)), kLabelRecSize);
  if (cb <= 0 || cb >= static_cast<int>(sizeof text)) return;
  // Written beside the old file and put in its place, so a run that cannot
  // finish writing leaves the last statistics whole.
  char dir[MAX_PATH];
  CopyText(dir, PACK_STATS_PATH, sizeof dir);
  char* slash = std::strrchr(dir, '\\');
  if (slash) slash[1] = 0;
  char temp[MAX_PATH];
  if (!GetTempFileName(slash ? dir : ".", "sts", 0, temp)) return;
  HANDLE h =
      CreateFile(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  bool ok = h != INVALID_HANDLE_VALUE && WriteExact(h, text, static_cast<DWORD>(cb));
  if (h != INVALID_HANDLE_VALUE && !CloseHandle(h)) ok = false;
  if (!ok || !MoveFileEx(temp, PACK_STATS_PATH, MOVEFILE_REPLACE_EXISTING)) DeleteFile(temp);
}

// The output path with its extension replaced by ".IN" (added when it has none).
void IndexPathOf(const char* output, char* index, size_t size) {
  CopyText(index, output, size);
  const char* base = index;
  for (const char* p = index; *p; ++p)
    if (*p == '\\' || *p == '/' || *p == ':') base = p + 1;
  char* dot = std::strrchr(const_cast<char*>(base), '.');
  if (dot) *dot = 0;
  std::strncat(index, ".IN", size - std::strlen(index) - 1);
}

HANDLE CreateEmpty(LPCSTR path) {
  return CreateFile(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
}

short OpenFiles(PACKCONTEXT* c, long long* size) {
  CCommandProcessor* pcp = c->client->pcp;
  c->hAscii = OpenForReading(c->szAscii);
  if (c->hAscii == INVALID_HANDLE_VALUE) return ReportErrorStr(pcp, IDS_ERR_NODATAFILE, c->szAscii);
  *size = std::max(0LL, FileSizeOf(c->hAscii));
  c->reader = StructNew<CTextLineReader>(c->hAscii);
  if (!c->reader || !c->reader->IsReady()) return ReportError(pcp, IDS_ERR_NOMEMORY);
  c->hOutput = CreateEmpty(c->szOutput);
  if (c->hOutput == INVALID_HANDLE_VALUE)
    return ReportErrorStr(pcp, IDS_ERR_CREATEFILE, c->szOutput);
  c->hIndex = CreateEmpty(c->szIndex);
  if (c->hIndex == INVALID_HANDLE_VALUE)
    return ReportErrorStr(pcp, IDS_ERR_CREATEINDEX, c->szIndex);
  return 0;
}

short PackWork(OBJ_BASECLASS** args, CCpClient* client, STRUCT_DLL_INFO*, char*, int) {
  CString ascii, output;
  short status = GetToolPathArg(client, args, 1, "D:\\STRUCT\\STRU.ASC", &ascii);
  if (status == 0) status = GetToolPathArg(client, args, 2, "C:\\STRU.BIN", &output);
  if (status) return status;
  LONG last = INT32_MAX;
  if (HasArg(args, 3)) last = RoundToLong(reinterpret_cast<const RANGE_OBJ*>(args[2])->dTo);
  return PackAsciiStructures(client, ascii, output, last);
}

}  // namespace

short PackAsciiStructures(CCpClient* client, LPCSTR ascPath, LPCSTR binPath, LONG lastRecord) {
  CCommandProcessor* pcp = client->pcp;
  HLOCAL hContext = LocalAlloc(LPTR, sizeof(PACKCONTEXT));
  if (!hContext) return ReportError(pcp, IDS_ERR_NOMEMORY);
  auto* c = static_cast<PACKCONTEXT*>(LocalLock(hContext));
  c->client = client;
  CopyText(c->szAscii, ascPath, sizeof c->szAscii);
  CopyText(c->szOutput, binPath, sizeof c->szOutput);
  IndexPathOf(c->szOutput, c->szIndex, sizeof c->szIndex);
  c->hAscii = c->hOutput = c->hIndex = INVALID_HANDLE_VALUE;
  c->xMin = c->yMin = INT32_MAX;
  c->xMax = c->yMax = INT32_MIN;
  CPassProgress progress(client, "CSPack", 0);

  short status = 0;
  c->hLine = LocalAlloc(LPTR, kLineSize);
  if (!c->hLine) status = ReportError(pcp, IDS_ERR_NOMEMORY);
  c->pLine = c->hLine ? static_cast<char*>(LocalLock(c->hLine)) : nullptr;
  long long size = 0;
  if (status == 0) status = OpenFiles(c, &size);
  progress.SetFileSize(size);

  while (status == 0 && !PollAbort() && c->lRecords < lastRecord) {
    const short record = ReadRecord(c);
    if (record == kEndOfInput) break;
    status = record;
    if (status == 0) progress.Update(c->reader->Consumed(), c->lRecords);
  }

  if (c->reader) progress.Update(c->reader->Consumed(), c->lRecords);
  const char* failed = nullptr;
  for (auto [h, path] : {std::pair{c->hAscii, c->szAscii}, std::pair{c->hOutput, c->szOutput},
                         std::pair{c->hIndex, c->szIndex}})
    if (h != INVALID_HANDLE_VALUE && !CloseHandle(h) && !failed) failed = path;
  if (failed && status == 0) status = ReportErrorStr(pcp, IDS_ERR_CLOSEFILE, failed);
  delete c->reader;
  if (c->hLine) {
    LocalUnlock(c->hLine);
    LocalFree(c->hLine);
  }
  FreeTable(c->bonds);
  FreeTable(c->labels);
  FreeTable(c->circles);
  WriteStatistics(c);
  LocalUnlock(hContext);
  LocalFree(hContext);
  return status;
}

STRUCT_COMMAND(PackCmd) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  return RunToolCommand(client, args, IDS_TITLE_CSPACK, TRUE, PackWork);
}
