// CSIPack: turns a library's text index ("key offset" a line) into the binary
// index the lookups read: 8 bytes an entry, key then offset, each signed
// 32-bit little-endian, in the order of the lines.
#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstring>
#include <new>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "core/alloc.h"
#include "core/textlines.h"
#include "database/fileio.h"
#include "resources/resource.h"
#include "tools/driver.h"
#include "tools/entries.h"
#include "tools/pack.h"

namespace {

constexpr int kLineSize = 256;
// The binary index is written 131,072 entries at a time: a system call for
// every 256 entries cost more than all the parsing of their lines, and the
// write itself is cheaper by the page the larger it is.
constexpr DWORD kWriteBlock = 1024 * 1024;
constexpr DWORD kEntry = 8;

struct IPACKCONTEXT {
  CCpClient* client;
  char szText[MAX_PATH];
  char szBinary[MAX_PATH];
  HANDLE hText, hBinary;
  CTextLineReader* reader;
  HLOCAL hLine;
  BYTE* pWrite;  // larger than a local block can be
  char* pLine;
  DWORD cbPending;      // entries waiting in the write buffer
  long long llWritten;  // bytes of whole entries in the binary index
};

// Eight digit values, the first the most significant, one a byte.
uint64_t EightValues(uint64_t d) {
  d = ((d & 0x0F0F0F0F0F0F0F0Fu) * (10 * 0x100 + 1)) >> 8;
  d = ((d & 0x00FF00FF00FF00FFu) * (100 * 0x10000 + 1)) >> 16;
  return ((d & 0x0000FFFF0000FFFFu) * (10000 * 0x100000000u + 1)) >> 32;
}

// The count of decimal digits at q, up to eight, and their value in *value;
// reads the eight bytes at q. A byte is a digit when, exclusive-ored with
// '0', it is below 10: its high bit is clear and its low seven bits plus
// 0x76 do not carry into it (no sum reaches the next byte). The digits then
// move to the high end, leading zeros below them.
int EightDigits(const char* q, uint64_t* value) {
  uint64_t w;
  std::memcpy(&w, q, 8);
  const uint64_t x = w ^ 0x3030303030303030u;
  const uint64_t other =
      (((x & 0x7F7F7F7F7F7F7F7Fu) + 0x7676767676767676u) | x) & 0x8080808080808080u;
  const int n = other ? std::countr_zero(other) / 8 : 8;
  if (n == 0) return 0;
  *value = EightValues(x << (8 * (8 - n)));
  return n;
}

// One decimal integer after blanks (an optional sign, then digits) in the
// line [p, end); false when there is none or it lies beyond the signed
// 32-bit range. At least 8 bytes past end can be read.
bool ParseLong(const char*& p, const char* end, LONG* value) {
  while (p < end && (*p == ' ' || *p == '\t')) ++p;
  const char* q = p;
  const bool negative = q < end && *q == '-';
  if (q < end && (*q == '-' || *q == '+')) ++q;
  if (q == end || *q < '0' || *q > '9') return false;
  long long v = 0;
  if constexpr (std::endian::native == std::endian::little) {
    // Eight digits are below 10^8: no check is due before the ninth.
    uint64_t first = 0;
    const int n = EightDigits(q, &first);
    if (n <= end - q) {
      v = static_cast<long long>(first);
      q += n;
    }
  }
  for (; q < end && *q >= '0' && *q <= '9'; ++q) {
    v = v * 10 + (*q - '0');
    if (v > 2147483648LL) return false;
  }
  if (negative) v = -v;
  if (v > INT32_MAX) return false;
  *value = static_cast<LONG>(v);
  p = q;
  return true;
}

void PutLE32(BYTE* p, LONG v) {
  const auto u = static_cast<uint32_t>(v);
  if constexpr (std::endian::native == std::endian::little) {
    std::memcpy(p, &u, 4);
  } else {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<BYTE>(u >> (8 * i));
  }
}

#if defined(__SSE2__)
// Bit i set where p[i] is a line feed, of the 64 bytes at p.
uint64_t LineFeedMask(const char* p) {
  const __m128i lf = _mm_set1_epi8('\n');
  uint64_t mask = 0;
  for (int i = 0; i < 4; ++i) {
    const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + 16 * i));
    mask |= static_cast<uint64_t>(static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(c, lf))))
            << (16 * i);
  }
  return mask;
}

// The n digits (1 to 16) at p as 16 digit values, a byte each from the most
// significant, zeros before them; the 16 bytes before p + n are read.
__m128i SixteenDigits(const char* p, int n) {
  alignas(16) static const unsigned char kLast[32] = {
      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
      255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255, 255};
  const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + n - 16));
  return _mm_and_si128(_mm_sub_epi8(c, _mm_set1_epi8('0')),
                       _mm_loadu_si128(reinterpret_cast<const __m128i*>(kLast + n)));
}

// The entry of a line of the usual form, "digits blank digits" with both
// numbers in range (a key of at most 15 digits, an offset of at most 16),
// before a line feed (and its CR) at lf; false for any other line. The line
// and 16 bytes on either side of it can be read.
bool PlainEntry(const char* p, const char* lf, BYTE* out) {
  const auto run = lf - p;
  if (run < 3 || run > 31) return false;
  const int len = static_cast<int>(run) - (lf[-1] == '\r');
  // The first blank among the first 16 bytes ends the key; the offset runs
  // from it to the line end. Both must be digits alone: no value above 9
  // once '0' is taken off (bytes below '0' wrap round to 0xD0 and up).
  const __m128i head = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const auto blanks =
      static_cast<uint32_t>(_mm_movemask_epi8(_mm_cmpeq_epi8(head, _mm_set1_epi8(' '))));
  const int k = std::countr_zero(blanks | 0x10000u);
  const int o = len - k - 1;
  if (k == 0 || k > 15 || o <= 0 || o > 16) return false;
  const __m128i keyDigits = SixteenDigits(p, k), offsetDigits = SixteenDigits(p + k + 1, o);
  const __m128i nine = _mm_set1_epi8(9);
  const __m128i highest = _mm_max_epu8(_mm_max_epu8(keyDigits, offsetDigits), nine);
  if (_mm_movemask_epi8(_mm_cmpeq_epi8(highest, nine)) != 0xFFFF) return false;
  // Both numbers at once: digit pairs, fours, eights, then eight and eight.
  const __m128i zero = _mm_setzero_si128();
  const __m128i by10 = _mm_set1_epi32(0x0001000A), by100 = _mm_set1_epi32(0x00010064),
                by10000 = _mm_set1_epi32(0x00012710);
  const auto pairs = [&](__m128i v) {
    return _mm_packs_epi32(_mm_madd_epi16(_mm_unpacklo_epi8(v, zero), by10),
                           _mm_madd_epi16(_mm_unpackhi_epi8(v, zero), by10));
  };
  const __m128i key = pairs(keyDigits), offset = pairs(offsetDigits);
  const __m128i eights = _mm_madd_epi16(
      _mm_packs_epi32(_mm_madd_epi16(key, by100), _mm_madd_epi16(offset, by100)), by10000);
  const __m128i values =
      _mm_add_epi64(_mm_mul_epu32(eights, _mm_set1_epi32(100000000)), _mm_srli_epi64(eights, 32));
  // Both below 2^31.
  if (_mm_movemask_epi8(_mm_cmpeq_epi32(_mm_srli_epi64(values, 31), zero)) != 0xFFFF) return false;
  _mm_storel_epi64(reinterpret_cast<__m128i*>(out),
                   _mm_shuffle_epi32(values, _MM_SHUFFLE(3, 1, 2, 0)));
  return true;
}

// Takes the lines of the usual form that lie whole in the reader's block,
// each ended by a line feed (with or without a CR before it) not followed
// by a CR, straight from the block into the write buffer: at most steps
// lines, and no more than the buffer holds. Stops before the first line of
// any other form, which the caller reads the long way (giving the same
// entry, or none). Returns the lines taken. Every byte looked at lies
// within the reader's slack around its window.
int TakePlainLines(IPACKCONTEXT* c, int steps) {
  const char* from = nullptr;
  const char* end = c->reader->Window(&from);
  const int room = std::min(steps, static_cast<int>((kWriteBlock - c->cbPending) / kEntry));
  BYTE* out = c->pWrite + c->cbPending;
  const char* p = from;
  const char* base = from;  // line feeds of the 64 bytes here, not yet passed
  uint64_t feeds = p < end ? LineFeedMask(base) : 0;
  int n = 0;
  while (n < room && p < end) {
    while (!feeds && base + 64 < end && base < p + 32) {
      base += 64;
      feeds = LineFeedMask(base);
    }
    if (!feeds) break;
    const char* lf = base + std::countr_zero(feeds);
    if (lf >= end || lf[1] == '\r' || !PlainEntry(p, lf, out)) break;
    feeds &= feeds - 1;
    out += kEntry;
    p = lf + 1;
    ++n;
  }
  c->cbPending += static_cast<DWORD>(n) * kEntry;
  c->reader->Take(static_cast<DWORD>(p - from));
  return n;
}
#else
// Every line is read the long way.
int TakePlainLines(IPACKCONTEXT*, int) { return 0; }
#endif

// Writes the waiting entries after those already written. A failed write
// cuts the file back to its last whole entry and is reported (516) when
// bReport says so; the pass writes nothing after it.
short Flush(IPACKCONTEXT* c, bool bReport) {
  const DWORD cb = c->cbPending;
  c->cbPending = 0;
  if (cb == 0) return 0;
  if (SeekTo(c->hBinary, c->llWritten) && WriteExact(c->hBinary, c->pWrite, cb)) {
    c->llWritten += cb;
    return 0;
  }
  // A short write may have stored some entries whole: those stay.
  const long long size = FileSizeOf(c->hBinary);
  long long keep = c->llWritten;
  if (size > keep) keep += (std::min<long long>(size, keep + cb) - keep) / kEntry * kEntry;
  if (SeekTo(c->hBinary, keep) && SetEndOfFile(c->hBinary)) c->llWritten = keep;
  return bReport ? ReportErrorStr(c->client->pcp, IDS_ERR_FILEWRITE, c->szBinary)
                 : static_cast<short>(IDS_ERR_FILEWRITE);
}

short OpenFiles(IPACKCONTEXT* c, long long* size) {
  CCommandProcessor* pcp = c->client->pcp;
  c->hText = OpenForReading(c->szText);
  if (c->hText == INVALID_HANDLE_VALUE) return ReportErrorStr(pcp, IDS_ERR_NODATAFILE, c->szText);
  *size = std::max(0LL, FileSizeOf(c->hText));
  c->reader = StructNew<CTextLineReader>(c->hText);
  if (!c->reader || !c->reader->IsReady()) return ReportError(pcp, IDS_ERR_NOMEMORY);
  c->hBinary = CreateFile(c->szBinary, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (c->hBinary == INVALID_HANDLE_VALUE)
    return ReportErrorStr(pcp, IDS_ERR_CREATEFILE, c->szBinary);
  return 0;
}

// The abort request and the progress are looked at every so many lines (see
// CStepPacer): after a progress line the next poll comes before the next
// line is read, so an abort raised while the host shows it stops the pass
// there.
short ReadEntries(IPACKCONTEXT* c, CPassProgress& progress) {
  CStepPacer pacer;
  bool poll = true;
  for (;;) {
    if (poll && PollAbort()) return 0;
    if (const int taken = TakePlainLines(c, pacer.Left())) {
      poll = pacer.Due(c->reader->Consumed(), taken);
    } else {
      const char* line = nullptr;
      const int got = c->reader->ReadLineInPlace(c->pLine, kLineSize, &line);
      if (got == CTextLineReader::kEnd) return 0;
      if (got == CTextLineReader::kError)
        return ReportErrorStr(c->client->pcp, IDS_ERR_FILEREAD, c->szText);
      poll = pacer.Due(c->reader->Consumed());
      // A line without two numbers in range is no entry.
      const char* p = line;
      const char* end = line + got;
      LONG key = 0, offset = 0;
      if (ParseLong(p, end, &key) && ParseLong(p, end, &offset)) {
        PutLE32(c->pWrite + c->cbPending, key);
        PutLE32(c->pWrite + c->cbPending + 4, offset);
        c->cbPending += kEntry;
      }
    }
    if (poll) progress.Update(c->reader->Consumed(), 0);
    if (c->cbPending == kWriteBlock) {
      const short status = Flush(c, true);
      if (status) return status;
    }
  }
}

HLOCAL AllocLocked(UINT cb, void** p) {
  HLOCAL h = LocalAlloc(LPTR, cb);
  *p = h ? LocalLock(h) : nullptr;
  return h;
}

void FreeLocked(HLOCAL h) {
  if (!h) return;
  LocalUnlock(h);
  LocalFree(h);
}

short IndexPackWork(OBJ_BASECLASS** args, CCpClient* client, STRUCT_DLL_INFO*, char*, int) {
  CString text, binary;
  short status = GetToolPathArg(client, args, 1, "D:\\STRUCT\\NISTMS4.IND", &text);
  if (status == 0) status = GetToolPathArg(client, args, 2, "D:\\STRUCT\\STRUCT.IND", &binary);
  if (status) return status;
  return PackIndexFile(client, text, binary);
}

}  // namespace

short PackIndexFile(CCpClient* client, LPCSTR textPath, LPCSTR binPath) {
  CCommandProcessor* pcp = client->pcp;
  void* p = nullptr;
  HLOCAL hContext = AllocLocked(sizeof(IPACKCONTEXT), &p);
  if (!hContext) return ReportError(pcp, IDS_ERR_NOMEMORY);
  auto* c = static_cast<IPACKCONTEXT*>(p);
  c->client = client;
  CopyText(c->szText, textPath, sizeof c->szText);
  CopyText(c->szBinary, binPath, sizeof c->szBinary);
  c->hText = c->hBinary = INVALID_HANDLE_VALUE;
  short status = 0;
  c->pWrite = StructAllocOf<BYTE>(kWriteBlock);
  c->hLine = AllocLocked(kLineSize + CTextLineReader::kSlack, &p);
  c->pLine = static_cast<char*>(p);
  if (!c->pWrite || !c->hLine) status = ReportError(pcp, IDS_ERR_NOMEMORY);

  CPassProgress progress(client, "CSIPack", 0);
  long long size = 0;
  if (status == 0) {
    progress.Update(0, 0);
    status = OpenFiles(c, &size);
  }
  progress.SetFileSize(size);
  if (status == 0) status = ReadEntries(c, progress);

  // What was read before an abort or a failed read is still written.
  if (c->hBinary != INVALID_HANDLE_VALUE) {
    const short flushed = Flush(c, status == 0);
    if (status == 0) status = flushed;
  }
  if (c->reader) progress.Update(c->reader->Consumed(), 0);
  const char* failed = nullptr;
  if (c->hText != INVALID_HANDLE_VALUE && !CloseHandle(c->hText)) failed = c->szText;
  if (c->hBinary != INVALID_HANDLE_VALUE && !CloseHandle(c->hBinary) && !failed)
    failed = c->szBinary;
  if (failed && status == 0) status = ReportErrorStr(pcp, IDS_ERR_CLOSEFILE, failed);
  delete c->reader;
  StructFree(c->pWrite);
  FreeLocked(c->hLine);
  FreeLocked(hContext);
  return status;
}

STRUCT_COMMAND(IndexPackCmd) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  return RunToolCommand(client, args, IDS_TITLE_CSPACK, TRUE, IndexPackWork);
}
