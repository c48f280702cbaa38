// Reading MOL files into structure records.
#include "convert/molimport.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/alloc.h"
#include "core/textlines.h"
#include "database/cas.h"
#include "resources/resource.h"

// A coordinate token as atof reads it. The usual form, an optional sign and
// at most 15 digits around one point, is read as digits over a power of ten:
// both are exact doubles, so their quotient is the correctly rounded value,
// the same double atof gives; anything else goes to atof.
double ReadMolCoordinate(const char* text) {
  static constexpr double kPow10[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7,
                                      1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
  const char* p = text;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  long long digits = 0;
  int count = 0, decimals = 0;
  bool point = false;
  for (; *p; ++p) {
    if (*p >= '0' && *p <= '9') {
      if (++count > 15) return std::atof(text);
      digits = digits * 10 + (*p - '0');
      decimals += point;
    } else if (*p == '.' && !point) {
      point = true;
    } else {
      return std::atof(text);
    }
  }
  if (count == 0) return std::atof(text);
  const double v = static_cast<double>(digits) / kPow10[decimals];
  return negative ? -v : v;
}

namespace {

// Structure units per MOL unit, applied as multiply-then-divide (a
// precomputed quotient lands one unit off for some inputs, 8.1375 among them).
// sign -1 turns y over (MOL files count it upward).
LONG ToStructureUnits(const char* text, double sign = 1.0) {
  return TruncToLong(sign * ReadMolCoordinate(text) * 2000.0 / 75.0);
}

// The first n tokens of line, cut in place (tokens are the runs between
// spaces; a tab is part of a token); returns how many there are, at most n.
int SplitTokens(char* line, char** out, int n) {
  int count = 0;
  for (char* p = line; *p && count < n;) {
    while (*p == ' ') ++p;
    if (!*p) break;
    out[count++] = p;
    while (*p && *p != ' ') ++p;
    if (*p) *p++ = 0;
  }
  return count;
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

// The other half of a two-byte line end, if it follows.
bool IsPair(char first, char second) {
  return (first == '\r' && second == '\n') || (first == '\n' && second == '\r');
}

MOLATOM* Atoms(MOLPARSE* mp) { return reinterpret_cast<MOLATOM*>(mp + 1); }
MOLBOND* Bonds(MOLPARSE* mp) {
  return reinterpret_cast<MOLBOND*>(reinterpret_cast<BYTE*>(mp) + mp->offBonds);
}
MOLLABEL* Labels(MOLPARSE* mp) {
  return reinterpret_cast<MOLLABEL*>(reinterpret_cast<BYTE*>(mp) + mp->offLabels);
}

// The largest count a counts line can give (three digits).
constexpr long long kMaxCount = 999;

// A number as atoi reads one (blanks, a sign, digits, anything after them
// ignored), held to +-10^12 so that no text can overflow it.
long long ReadDecimal(const char* text) {
  const char* p = text;
  while (*p == ' ' || *p == '\t') ++p;
  const bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  long long v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) v = std::min(v * 10 + (*p - '0'), 1000000000000LL);
  return negative ? -v : v;
}

// The first n three-column fields of a counts or bond line as the format lays
// them out ("  1100  1" is atoms 1 and 100): for lines whose numbers run into
// each other once they reach three digits. False unless each field is blanks
// and then digits.
bool FixedFields(const char* line, long long* out, int n) {
  for (int f = 0; f < n; ++f, line += 3) {
    int k = 0;
    while (k < 3 && line[k] == ' ') ++k;
    if (k == 3) return false;
    long long v = 0;
    for (; k < 3; ++k) {
      if (line[k] < '0' || line[k] > '9') return false;
      v = v * 10 + (line[k] - '0');
    }
    out[f] = v;
  }
  return true;
}

// A number as the coordinates are written: a sign, digits and at most one
// point, at least one digit.
bool IsPlainNumber(const char* p) {
  if (*p == '-' || *p == '+') ++p;
  bool digit = false, point = false;
  for (; *p; ++p) {
    if (*p >= '0' && *p <= '9')
      digit = true;
    else if (*p == '.' && !point)
      point = true;
    else
      return false;
  }
  return digit;
}

// An atom line by the format's columns (x, y and z in ten columns each, a
// blank, the symbol in three), cut into out (at least 48 bytes) as four
// texts: for a coordinate that fills its ten columns and runs into the one
// before it. False unless the three coordinates are numbers and a symbol is
// there.
bool FixedAtomFields(const char* line, char* out, char** t) {
  if (strnlen(line, 34) < 34 || line[30] != ' ') return false;
  for (int f = 0; f < 4; ++f) {
    const char* from = line + (f < 3 ? 10 * f : 31);
    const int width = f < 3 ? 10 : 3;
    int a = 0, b = width;
    while (a < b && from[a] == ' ') ++a;
    while (b > a && from[b - 1] == ' ') --b;
    std::memcpy(out, from + a, static_cast<size_t>(b - a));
    out[b - a] = 0;
    if (f < 3 ? !IsPlainNumber(out) : a == b) return false;
    t[f] = out;
    out += b - a + 1;
  }
  return true;
}

size_t RecordSize(size_t nBonds, size_t nLabels, size_t cbLabels) {
  return 218 + 17 * nBonds + 8 * nLabels + cbLabels;
}

}  // namespace

int ReadTextLine(HANDLE hFile, char* buf, int capacity) {
  if (capacity <= 0) return -1;
  const DWORD start = SetFilePointer(hFile, 0, nullptr, FILE_CURRENT);
  DWORD got = 0;
  if (!ReadFile(hFile, buf, static_cast<DWORD>(capacity), &got, nullptr) || got == 0) {
    buf[0] = 0;
    return -1;
  }
  int len = -1;
  for (DWORD i = 0; i < got; ++i)
    if (IsLineEnd(buf[i])) {
      len = static_cast<int>(i);
      break;
    }
  if (len >= 0) {
    DWORD endLen = 1;
    if (static_cast<DWORD>(len) + 1 < got) {
      if (IsPair(buf[len], buf[len + 1])) endLen = 2;
      SetFilePointer(hFile, static_cast<LONG>(start + len + endLen), nullptr, FILE_BEGIN);
    } else {
      // The line end is the last byte read: its partner may follow.
      char next;
      DWORD n = 0;
      SetFilePointer(hFile, static_cast<LONG>(start + len + 1), nullptr, FILE_BEGIN);
      if (ReadFile(hFile, &next, 1, &n, nullptr) && n == 1 && !IsPair(buf[len], next))
        SetFilePointer(hFile, -1, nullptr, FILE_CURRENT);
    }
  } else {
    // No line end in the buffer: keep what fits with its NUL, drop the rest of
    // the line. A short read is the end of the file and is kept whole.
    len = got < static_cast<DWORD>(capacity) ? static_cast<int>(got) : capacity - 1;
    if (got == static_cast<DWORD>(capacity)) {
      char c = 0, next;
      DWORD n = 0;
      while (ReadFile(hFile, &c, 1, &n, nullptr) && n == 1 && !IsLineEnd(c)) {
      }
      if (n == 1 && ReadFile(hFile, &next, 1, &n, nullptr) && n == 1 && !IsPair(c, next))
        SetFilePointer(hFile, -1, nullptr, FILE_CURRENT);
    }
  }
  buf[len] = 0;
  return len;
}

namespace {

// True when the text of the n bytes at p, up to a NUL among them, is all
// blanks and printable ASCII (0x20 to 0x7E). Eight at a time until a word
// has a byte out of that range: its high bit is set, its low seven bits plus
// 0x60 stay below 0x80 (below a blank), or they plus 1 reach 0x80 (DEL); no
// sum carries into the next byte. That word on is looked at a byte at a time.
bool IsPrintableText(const char* p, size_t n) {
  constexpr uint64_t kHigh = 0x8080808080808080u;
  for (; n >= 8; p += 8, n -= 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    const uint64_t low = w & ~kHigh;
    if ((w | ~(low + 0x6060606060606060u) | (low + 0x0101010101010101u)) & kHigh) break;
  }
  for (; n > 0 && *p; ++p, --n)
    if (*p < ' ' || *p > '~') return false;
  return true;
}

}  // namespace

BOOL IsPrintableLine(const char* text) { return IsPrintableText(text, std::strlen(text)); }

void FreeMolParse(MOLPARSE* mp) {
  if (!mp) return;
  HLOCAL h = reinterpret_cast<HLOCAL*>(mp)[-1];
  LocalUnlock(h);
  LocalFree(h);
}

namespace {

// The lines of a MOL file, read straight from its handle.
class CFileMolLines : public CMolLines {
 public:
  explicit CFileMolLines(HANDLE h) : h_(h) {}
  int ReadLine(char* buf, int capacity) override { return ReadTextLine(h_, buf, capacity); }

 private:
  HANDLE h_;
};

// Files up to this size are read with one call; a larger one (a MOL file
// never is, but anything can be named) is read line by line.
constexpr DWORD kWholeFile = 1 << 20;

}  // namespace

int CTextMolLines::ReadLine(char* buf, int capacity) {
  if (capacity <= 0) return -1;
  if (pos_ >= size_) {
    buf[0] = 0;
    return -1;
  }
  const size_t end = static_cast<size_t>(FindLineEnd(text_ + pos_, text_ + size_) - text_);
  const size_t len = std::min(end - pos_, static_cast<size_t>(capacity) - 1);
  std::memcpy(buf, text_ + pos_, len);
  buf[len] = 0;
  pos_ = end;
  if (end < size_) {
    ++pos_;
    if (pos_ < size_ && IsPair(text_[end], text_[pos_])) ++pos_;
  }
  return static_cast<int>(len);
}

MOLPARSE* ReadMolFile(short* status, STRUCT_DLL_INFO* info, CCommandProcessor* pcp,
                      LPCSTR fileName) {
  *status = 0;
  HANDLE h = CreateFile(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) {
    *status = ReportErrorStr(pcp, IDS_ERR_OPENFILE, fileName);
    return nullptr;
  }
  // Small files whole: one read into a block most MOL files fit, which ends
  // short of it at the end of the file; a file that fills it is measured and
  // read whole up to 1 MB. The lines are then cut from memory.
  constexpr DWORD kFirstRead = 16384;
  char first[kFirstRead];
  char* all = nullptr;  // the whole of a larger file
  const char* text = first;
  DWORD got = 0;
  bool whole = ReadFile(h, first, kFirstRead, &got, nullptr);
  const DWORD size = whole && got == kFirstRead ? GetFileSize(h, nullptr) : got;
  if (size != got) {
    all = size != INVALID_FILE_SIZE && size <= kWholeFile && size > got ? StructAllocOf<char>(size)
                                                                        : nullptr;
    DWORD rest = 0;
    whole = whole && all && ReadFile(h, all + got, size - got, &rest, nullptr);
    if (all) std::memcpy(all, first, got);
    text = all;
    got += rest;
  }
  MOLPARSE* mp;
  if (whole) {
    CTextMolLines lines(text, got);
    mp = ReadMolBlock(status, info, pcp, fileName, lines);
  } else {
    SetFilePointer(h, 0, nullptr, FILE_BEGIN);
    CFileMolLines lines(h);
    mp = ReadMolBlock(status, info, pcp, fileName, lines);
  }
  StructFree(all);
  CloseHandle(h);
  return mp;
}

MOLPARSE* ReadMolBlock(short* status, STRUCT_DLL_INFO* info, CCommandProcessor* pcp,
                       LPCSTR fileName, CMolLines& lines) {
  *status = 0;
  auto badFile = [&] { return ReportErrorStr(pcp, IDS_ERR_MOLFORMAT, fileName); };

  char name[50];
  char line[256];
  char cas[256];
  // A line (its characters and NUL) goes whole into the scratch buffer.
  static_assert(sizeof line <= sizeof info->szScratch1);
  // A line that is not there reads as empty, as it always has.
  auto printable = [](const char* text, int len) {
    return IsPrintableText(text, len > 0 ? static_cast<size_t>(len) : 0);
  };
  bool ok = printable(name, lines.ReadLine(name, sizeof name));
  ok = printable(line, lines.ReadLine(line, sizeof line)) && ok;
  ok = printable(cas, lines.ReadLine(cas, sizeof cas)) && ok;
  const LONG lCas = ParseCasNumber(info, cas);
  ok = printable(line, lines.ReadLine(line, sizeof line)) && ok;
  if (!ok) {
    *status = badFile();
    return nullptr;
  }
  CopyText(info->szScratch1, line, sizeof info->szScratch1);
  char* counts[2];
  const int nCounts = SplitTokens(info->szScratch1, counts, 2);
  long long nAtoms = nCounts > 0 ? ReadDecimal(counts[0]) : 0;
  long long nBonds = nCounts > 1 ? ReadDecimal(counts[1]) : 0;
  long long fixed[3];
  if ((nAtoms > kMaxCount || nBonds > kMaxCount) && FixedFields(line, fixed, 2)) {
    nAtoms = fixed[0];
    nBonds = fixed[1];
  }
  // The format's three-digit counts, checked before any size is computed
  // from them; then both tables and the finished record must fit their
  // 16-bit blocks.
  if (nAtoms > kMaxCount || nBonds > kMaxCount) {
    *status = badFile();
    return nullptr;
  }
  const size_t cbBlock = sizeof(HLOCAL) + sizeof(MOLPARSE) + 19u * static_cast<size_t>(nAtoms) +
                         12u * static_cast<size_t>(nBonds);
  if (nAtoms < 1 || nBonds < 1 || cbBlock > 0xFFFF ||
      RecordSize(static_cast<size_t>(nBonds), static_cast<size_t>(nAtoms),
                 11u * static_cast<size_t>(nAtoms)) > CSDRAWREC_MAX) {
    *status = badFile();
    return nullptr;
  }

  HLOCAL hBlock = LocalAlloc(LHND, static_cast<UINT>(cbBlock));
  BYTE* block = hBlock ? static_cast<BYTE*>(LocalLock(hBlock)) : nullptr;
  if (!block) {
    if (hBlock) LocalFree(hBlock);
    return nullptr;
  }
  // The handle rides in front of the tables so they can be released alone.
  std::memcpy(block, &hBlock, sizeof hBlock);
  auto* mp = reinterpret_cast<MOLPARSE*>(block + sizeof(HLOCAL));
  CopyText(mp->szName, name, sizeof mp->szName);
  mp->lCas = lCas;
  mp->nAtoms = static_cast<WORD>(nAtoms);
  mp->nBonds = static_cast<WORD>(nBonds);
  mp->offBonds = static_cast<WORD>(sizeof(MOLPARSE) + 8 * nAtoms);
  mp->offLabels = static_cast<WORD>(mp->offBonds + 12 * nBonds);

  for (long long k = 0; k < nAtoms && *status == 0; ++k) {
    const int len = lines.ReadLine(line, sizeof line);
    if (len < 0 || !IsPrintableText(line, static_cast<size_t>(len))) {
      *status = badFile();
      break;
    }
    std::memcpy(info->szScratch1, line, static_cast<size_t>(len) + 1);
    char* t[4];
    int nTokens = SplitTokens(info->szScratch1, t, 4);
    // A coordinate of ten characters runs into the one before it: the
    // format's columns tell the fields apart then.
    char fixedText[48];
    char* fixed[4];
    if (!(nTokens == 4 && IsPlainNumber(t[0]) && IsPlainNumber(t[1]) && IsPlainNumber(t[2])) &&
        FixedAtomFields(line, fixedText, fixed)) {
      std::copy(fixed, fixed + 4, t);
      nTokens = 4;
    }
    if (nTokens < 4) {
      *status = badFile();
      break;
    }
    Atoms(mp)[k].x = ToStructureUnits(t[0]);
    Atoms(mp)[k].y = ToStructureUnits(t[1], -1.0);
    if (ToStructureUnits(t[2]) != 0) *status = ReportError(pcp, IDS_ERR_MOL3D);
    const size_t cbSymbol = strnlen(t[3], 8);
    if (cbSymbol > 0 && !(cbSymbol == 1 && t[3][0] == 'C')) {
      MOLLABEL& label = Labels(mp)[mp->nLabels++];
      label.iAtom = static_cast<int16_t>(k);
      char symbol[9] = {};
      std::memcpy(symbol, t[3], cbSymbol);
      CopyText(label.szText, symbol, sizeof label.szText);
      mp->cbLabels = static_cast<WORD>(mp->cbLabels + cbSymbol + 1);
    }
  }

  for (long long j = 0; j < nBonds && *status == 0; ++j) {
    const int len = lines.ReadLine(line, sizeof line);
    if (len < 0) {
      *status = badFile();
      break;
    }
    std::memcpy(info->szScratch1, line, static_cast<size_t>(len) + 1);
    char* t[3];
    const bool tokens = SplitTokens(info->szScratch1, t, 3) == 3;
    long long a1 = tokens ? ReadDecimal(t[0]) - 1 : -1, a2 = tokens ? ReadDecimal(t[1]) - 1 : -1;
    long long type = tokens ? ReadDecimal(t[2]) - 1 : -1;
    // Atom numbers of three digits run into the one before them.
    if ((a1 < 0 || a2 < 0 || a1 >= nAtoms || a2 >= nAtoms || type < 0) &&
        FixedFields(line, fixed, 3)) {
      a1 = fixed[0] - 1;
      a2 = fixed[1] - 1;
      type = fixed[2] - 1;
    }
    MOLBOND& bond = Bonds(mp)[j];
    // An atom number beyond the atom block would point outside the tables; a
    // type the record's byte cannot hold would be stored as another type.
    if (a1 < 0 || a2 < 0 || a1 >= nAtoms || a2 >= nAtoms || type < 0 || type > 0xFF) {
      *status = badFile();
      break;
    }
    bond.iAtom1 = static_cast<LONG>(a1);
    bond.iAtom2 = static_cast<LONG>(a2);
    bond.nType = static_cast<LONG>(type);
  }
  if (*status) {
    FreeMolParse(mp);
    return nullptr;
  }

  // Implicit hydrogens on lone O and N.
  for (int i = 0; i < mp->nLabels; ++i) {
    MOLLABEL& label = Labels(mp)[i];
    long order = 0;
    for (int j = 0; j < mp->nBonds; ++j) {
      const MOLBOND& bond = Bonds(mp)[j];
      if (bond.iAtom1 == label.iAtom) order += bond.nType + 1;
      if (bond.iAtom2 == label.iAtom) order += bond.nType + 1;
    }
    const char* add = nullptr;
    if (std::strcmp(label.szText, "O") == 0 && order == 1) add = "H";
    if (std::strcmp(label.szText, "N") == 0 && order == 2) add = "H";
    if (std::strcmp(label.szText, "N") == 0 && order == 1) add = "H2";
    if (add) {
      std::strcat(label.szText, add);
      mp->cbLabels = static_cast<WORD>(mp->cbLabels + std::strlen(add));
    }
  }
  return mp;
}

namespace {

// The record made from the working tables, which it frees; null when memory
// is short.
CSDRAWREC* RecordFromMolParse(STRUCT_DLL_INFO* info, MOLPARSE* mp, LPCSTR fileName) {
  const size_t cb = RecordSize(mp->nBonds, mp->nLabels, mp->cbLabels);
  auto* rec = StructAllocOf<CSDRAWREC>(cb, true);
  if (!rec) {
    FreeMolParse(mp);
    return nullptr;
  }
  rec->cbTotal = static_cast<DWORD>(cb);
  CopyText(rec->szName, mp->szName[0] ? mp->szName : fileName, CS_NAME_MAX + 1);
  rec->drawOpts = info->drawOpts;
  rec->lId = mp->lCas;
  rec->nBonds = mp->nBonds;
  rec->offBondTypes = CSDRAWREC_HEADER;
  rec->offPoints = static_cast<WORD>(CSDRAWREC_HEADER + ((mp->nBonds + 1) & ~1));
  rec->nLabels = mp->nLabels;
  rec->iFirstLabel = static_cast<WORD>(2 * mp->nBonds);
  rec->offLabels = static_cast<WORD>(rec->offPoints + 8 * (2 * mp->nBonds + mp->nLabels));
  BYTE* types = RecBondTypes(rec);
  for (int i = 0; i < mp->nBonds; ++i) {
    const MOLBOND& bond = Bonds(mp)[i];
    types[i] = static_cast<BYTE>(bond.nType);
    const MOLATOM& a1 = Atoms(mp)[bond.iAtom1];
    const MOLATOM& a2 = Atoms(mp)[bond.iAtom2];
    SetRecPoint(rec, 2 * i, POINT{a1.x, a1.y});
    SetRecPoint(rec, 2 * i + 1, POINT{a2.x, a2.y});
  }
  char* text = reinterpret_cast<char*>(rec) + rec->offLabels;
  for (int k = 0; k < mp->nLabels; ++k) {
    const MOLLABEL& label = Labels(mp)[k];
    const MOLATOM& atom = Atoms(mp)[label.iAtom];
    SetRecPoint(rec, rec->iFirstLabel + k, POINT{atom.x, atom.y});
    size_t len = std::strlen(label.szText);
    std::memcpy(text, label.szText, len + 1);
    text += len + 1;
  }
  FreeMolParse(mp);
  return rec;
}

}  // namespace

short MolToStructure(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, LPCSTR fileName,
                     CSDRAWREC** out) {
  *out = nullptr;
  short status = 0;
  MOLPARSE* mp = ReadMolFile(&status, info, pcp, fileName);
  if (mp) *out = RecordFromMolParse(info, mp, fileName);
  return status;
}

short MolBlockToStructure(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, LPCSTR fileName,
                          CMolLines& lines, CSDRAWREC** out) {
  *out = nullptr;
  short status = 0;
  MOLPARSE* mp = ReadMolBlock(&status, info, pcp, fileName, lines);
  if (mp) *out = RecordFromMolParse(info, mp, fileName);
  return status;
}
