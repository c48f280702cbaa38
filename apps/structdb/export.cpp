#include "export.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <vector>

#include "database/fileio.h"
#include "database/libpath.h"
#include "database/lookup.h"
#include "database/readrec.h"
#include "quietproc.h"
#include "core/common.h"

namespace {

const char* const kEol = "\r\n";

// Element symbols a molblock's atom field takes as they are.
const char* const kElements[] = {
    "H",  "He", "Li", "Be", "B",  "C",  "N",  "O",  "F",  "Ne", "Na", "Mg", "Al", "Si", "P",
    "S",  "Cl", "Ar", "K",  "Ca", "Sc", "Ti", "V",  "Cr", "Mn", "Fe", "Co", "Ni", "Cu", "Zn",
    "Ga", "Ge", "As", "Se", "Br", "Kr", "Rb", "Sr", "Y",  "Zr", "Nb", "Mo", "Tc", "Ru", "Rh",
    "Pd", "Ag", "Cd", "In", "Sn", "Sb", "Te", "I",  "Xe", "Cs", "Ba", "La", "Ce", "Pr", "Nd",
    "Pm", "Sm", "Eu", "Gd", "Tb", "Dy", "Ho", "Er", "Tm", "Yb", "Lu", "Hf", "Ta", "W",  "Re",
    "Os", "Ir", "Pt", "Au", "Hg", "Tl", "Pb", "Bi", "Po", "At", "Rn", "Fr", "Ra", "Ac", "Th",
    "Pa", "U",  "Np", "Pu", "Am", "Cm", "Bk", "Cf", "Es", "Fm", "Md", "No", "Lr", "Rf", "Db",
    "Sg", "Bh", "Hs", "Mt", "Ds", "Rg", "Cn", "Nh", "Fl", "Mc", "Lv", "Ts", "Og",
};

// The element symbol at the start of text (two letters before one), or 0.
size_t ElementAt(const std::string& text, size_t at, std::string* symbol) {
  for (size_t len : {2u, 1u}) {
    if (at + len > text.size()) continue;
    const std::string s = text.substr(at, len);
    for (const char* e : kElements)
      if (s == e) {
        *symbol = s;
        return len;
      }
  }
  return 0;
}

// A charge suffix: "", "+", "++", "-", "2+", "+2" ...; false for anything else.
bool ParseCharge(const std::string& t, int* charge) {
  *charge = 0;
  if (t.empty()) return true;
  const size_t signs = t.find_first_not_of(t[0]);
  if ((t[0] == '+' || t[0] == '-') && signs == std::string::npos) {
    *charge = static_cast<int>(t.size()) * (t[0] == '+' ? 1 : -1);
  } else {
    const bool signFirst = t[0] == '+' || t[0] == '-';
    const std::string digits = signFirst ? t.substr(1) : t.substr(0, t.size() - 1);
    const char sign = signFirst ? t[0] : t.back();
    if (digits.empty() || digits.size() > 2 || (sign != '+' && sign != '-') ||
        digits.find_first_not_of("0123456789") != std::string::npos)
      return false;
    *charge = std::stoi(digits) * (sign == '+' ? 1 : -1);
  }
  return *charge >= -15 && *charge <= 15;
}

// The element and charge of a label written as an element with hydrogens
// and a charge on either side (N, OH, HO, NH2, H2N, NH4+, O-, Fe2+); false
// for any other text.
bool ParseElementLabel(const std::string& text, std::string* symbol, int* charge) {
  auto hydrogens = [&](size_t at) {
    if (at >= text.size() || text[at] != 'H') return at;
    ++at;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at]))) ++at;
    return at;
  };
  if (size_t len = ElementAt(text, 0, symbol))
    if (ParseCharge(text.substr(hydrogens(len)), charge)) return true;
  // Hydrogens written first.
  const size_t at = hydrogens(0);
  if (at == 0) return false;
  const size_t len = ElementAt(text, at, symbol);
  return len && ParseCharge(text.substr(at + len), charge);
}

// The label the MOL import makes of an atom symbol whose bonds add up to
// order (type + 1 each): carbon none, lone O and N their hydrogens.
std::string ImportedLabel(const std::string& symbol, long order) {
  if (symbol == "C") return "";
  if (symbol == "O" && order == 1) return "OH";
  if (symbol == "N" && order == 2) return "NH";
  if (symbol == "N" && order == 1) return "NH2";
  return symbol;
}

// A coordinate in MOL units with four decimals, the text the import turns
// back into v (it reads trunc(sign * atof(text) * 2000.0 / 75.0)). A
// structure unit is 0.0375 MOL units, 375 steps of the last decimal, so the
// exact value is a whole number of steps; where the import's arithmetic lands
// one unit off, a neighbouring step reads back right. Empty for a value no
// ten-column field holds.
std::string MolCoordinate(LONG v, double sign) {
  const long long exact = static_cast<long long>(v) * 375 * (sign < 0 ? -1 : 1);
  for (long long steps : {exact, exact + 1, exact - 1, exact + 2, exact - 2}) {
    const unsigned long long a = steps < 0 ? -steps : steps;
    char text[32];
    std::snprintf(text, sizeof text, "%s%llu.%04llu", steps < 0 ? "-" : "", a / 10000, a % 10000);
    if (std::strlen(text) > 10) return "";
    if (TruncToLong(sign * std::atof(text) * 2000.0 / 75.0) == v) return text;
  }
  return "";
}

bool IsValidCas(LONG key) {
  if (key < 10000) return false;  // at least two digits before the middle pair
  LONG rest = key / 10;
  int sum = 0;
  for (int weight = 1; rest > 0; ++weight, rest /= 10) sum += weight * static_cast<int>(rest % 10);
  return sum % 10 == key % 10;
}

std::string HyphenatedCas(LONG key) {
  char text[24];
  std::snprintf(text, sizeof text, "%ld-%02ld-%ld", static_cast<long>(key / 1000),
                static_cast<long>(key / 10 % 100), static_cast<long>(key % 10));
  return text;
}

bool IsOneLine(const std::string& text) { return text.find_first_of("\r\n") == std::string::npos; }

struct ExportText {
  std::string molblock;  // through "M  END"
  std::string items;     // the SD data items after it
};

// The molblock and data items of a decoded record; false with the reason
// when a molblock cannot hold it.
bool WriteRecord(const CSREADREC* rr, LONG key, ExportText* out, std::string* why) {
  const int nEnds = 2 * rr->nBonds;
  std::vector<const char*> texts;
  for (const char* t = rr->pLabels; static_cast<int>(texts.size()) < rr->nLabels;
       t += std::strlen(t) + 1)
    texts.push_back(t);

  // Atoms are the distinct end points; each takes the first label at its
  // position, and labelled atoms come first, in label order, because the
  // import makes its labels in atom order.
  std::vector<POINT> atoms;
  std::vector<int> atomLabel;  // label index or -1
  auto findAtom = [&](POINT p) {
    for (size_t i = 0; i < atoms.size(); ++i)
      if (atoms[i].x == p.x && atoms[i].y == p.y) return static_cast<int>(i);
    return -1;
  };
  auto isEnd = [&](POINT p) {
    for (int i = 0; i < nEnds; ++i)
      if (rr->pPoints[i].x == p.x && rr->pPoints[i].y == p.y) return true;
    return false;
  };
  std::vector<int> freeLabels;
  for (int k = 0; k < rr->nLabels; ++k) {
    const POINT p = rr->pPoints[rr->iFirstLabel + k];
    if (isEnd(p) && findAtom(p) < 0) {
      atoms.push_back(p);
      atomLabel.push_back(k);
    } else {
      freeLabels.push_back(k);
    }
  }
  for (int i = 0; i < nEnds; ++i)
    if (findAtom(rr->pPoints[i]) < 0) {
      atoms.push_back(rr->pPoints[i]);
      atomLabel.push_back(-1);
    }
  if (atoms.size() > 999 || rr->nBonds > 999) {
    *why = "more atoms or bonds than a molblock counts";
    return false;
  }
  std::vector<int> bondAtoms(nEnds);
  std::vector<long> order(atoms.size(), 0);
  for (int i = 0; i < nEnds; ++i) {
    bondAtoms[i] = findAtom(rr->pPoints[i]);
    order[bondAtoms[i]] += rr->pBondTypes[i / 2] + 1;
  }

  std::string& m = out->molblock;
  const std::string name = rr->szName;
  if (!IsOneLine(name)) {
    *why = "a line break in the name";
    return false;
  }
  m = name + kEol + "  structdb          2D" + kEol +
      (IsValidCas(key) ? HyphenatedCas(key) : std::to_string(key)) + kEol;
  char line[128];
  std::snprintf(line, sizeof line, "%3zu%3d  0  0  0  0  0  0  0  0999 V2000", atoms.size(),
                static_cast<int>(rr->nBonds));
  m += line;
  m += kEol;
  std::string aliases;
  std::vector<std::pair<size_t, int>> charges;  // atom number, charge
  for (size_t a = 0; a < atoms.size(); ++a) {
    const std::string x = MolCoordinate(atoms[a].x, 1.0), y = MolCoordinate(atoms[a].y, -1.0);
    if (x.empty() || y.empty()) {
      *why = "a coordinate beyond the molblock's columns";
      return false;
    }
    std::string symbol = "C";
    int charge = 0;
    if (atomLabel[a] >= 0) {
      const std::string text = texts[atomLabel[a]];
      if (!ParseElementLabel(text, &symbol, &charge)) symbol = "A";
      // The exact text rides in an alias wherever the import would not
      // make it from the symbol.
      if (ImportedLabel(symbol, order[a]) != text) {
        if (!IsOneLine(text)) {
          *why = "a line break in a label";
          return false;
        }
        std::snprintf(line, sizeof line, "A  %3zu", a + 1);
        aliases += line + std::string(kEol) + text + kEol;
      }
    }
    static const int kChargeField[] = {7, 6, 5, 0, 3, 2, 1};  // charge -3 .. +3
    const int field = charge >= -3 && charge <= 3 ? kChargeField[charge + 3] : 0;
    std::snprintf(line, sizeof line, "%10s%10s    0.0000 %-3s 0%3d  0  0  0  0  0  0  0  0  0  0",
                  x.c_str(), y.c_str(), symbol.c_str(), field);
    m += line;
    m += kEol;
    if (charge) charges.emplace_back(a + 1, charge);
  }
  for (int i = 0; i < rr->nBonds; ++i) {
    std::snprintf(line, sizeof line, "%3d%3d%3d  0  0  0  0", bondAtoms[2 * i] + 1,
                  bondAtoms[2 * i + 1] + 1, rr->pBondTypes[i] + 1);
    m += line;
    m += kEol;
  }
  m += aliases;
  // Up to eight charges a line.
  for (size_t at = 0; at < charges.size(); at += 8) {
    const size_t n = std::min<size_t>(8, charges.size() - at);
    std::snprintf(line, sizeof line, "M  CHG%3zu", n);
    m += line;
    for (size_t c = at; c < at + n; ++c) {
      std::snprintf(line, sizeof line, "%4zu%4d", charges[c].first, charges[c].second);
      m += line;
    }
    m += kEol;
  }
  m += std::string("M  END") + kEol;

  std::string& d = out->items;
  d = "> <ID>" + std::string(kEol) + std::to_string(key) + kEol + kEol;
  if (IsValidCas(key)) d += "> <CAS>" + std::string(kEol) + HyphenatedCas(key) + kEol + kEol;
  auto xy = [&](POINT p) {
    const std::string x = MolCoordinate(p.x, 1.0), y = MolCoordinate(p.y, -1.0);
    return x.empty() || y.empty() ? std::string() : x + " " + y;
  };
  if (rr->nCircles) {
    d += "> <STRUCT_CIRCLES>" + std::string(kEol);
    for (int k = 0; k < rr->nCircles; ++k) {
      const std::string p = xy(rr->pPoints[rr->iFirstCircle + k]);
      if (p.empty()) {
        *why = "a circle beyond the molblock's columns";
        return false;
      }
      d += p + kEol;
    }
    d += kEol;
  }
  if (!freeLabels.empty()) {
    d += "> <STRUCT_LABELS>" + std::string(kEol);
    for (int k : freeLabels) {
      const std::string p = xy(rr->pPoints[rr->iFirstLabel + k]);
      if (p.empty() || !IsOneLine(texts[k])) {
        *why = p.empty() ? "a label beyond the molblock's columns" : "a line break in a label";
        return false;
      }
      d += std::to_string(k + 1) + " " + p + " " + texts[k] + kEol;
    }
    d += kEol;
  }
  return true;
}

// The whole index (a cut last entry left out); false when it cannot be read.
bool ReadIndex(const std::string& indexPath, std::vector<INDEXREC>* index) {
  HANDLE h = OpenForReading(indexPath.c_str());
  if (h == INVALID_HANDLE_VALUE) return false;
  const long long size = FileSizeOf(h);
  index->resize(size > 0 ? static_cast<size_t>(size) / sizeof(INDEXREC) : 0);
  const bool ok = size >= 0 && (index->empty() ||
                                ReadExact(h, index->data(), static_cast<DWORD>(index->size() * 8)));
  CloseHandle(h);
  return ok;
}

// The record starts of a data file, in order (the last may be cut short);
// false when the file cannot be read.
bool RecordStarts(HANDLE h, std::vector<long long>* starts) {
  const long long size = FileSizeOf(h);
  if (size < 1) return size == 0;
  BYTE len[2];
  for (long long at = 1; at + 2 <= size; at += 2 + (len[0] | (len[1] << 8))) {
    if (!SeekTo(h, at) || !ReadExact(h, len, 2)) return false;
    starts->push_back(at);
  }
  return true;
}

// The record at offset decoded (free it with FreeReadRecord), or null.
CSREADREC* ReadRecordAt(HANDLE h, long long offset, const std::string& dataPath) {
  BYTE len[2];
  if (!SeekTo(h, offset) || !ReadExact(h, len, 2)) return nullptr;
  std::vector<BYTE> body(len[0] | (len[1] << 8));
  if (!body.empty() && !ReadExact(h, body.data(), static_cast<DWORD>(body.size()))) return nullptr;
  CQuietProcessor pcp;
  CQuietReports quiet(true);
  CSREADREC* rr = NewReadRecord();  // a fresh one each time: nothing carries over
  if (rr && ExpandRecordBody(&pcp, dataPath.c_str(), body.data(), static_cast<UINT>(body.size()),
                             rr) != 0) {
    FreeReadRecord(rr);
    rr = nullptr;
  }
  return rr;
}

// Writes text to target through a temporary file renamed into place.
bool WriteWhole(const std::string& target, const std::string& text) {
  CWholeFiles files;
  HANDLE h = files.Create(target.c_str());
  return h != INVALID_HANDLE_VALUE && WriteExact(h, text.data(), static_cast<DWORD>(text.size())) &&
         files.Commit();
}

}  // namespace

int ExportLibrary(const std::string& lib, const std::string& out, bool molDir) {
  const std::string dataPath = static_cast<LPCSTR>(DataPathOf(lib.c_str()));
  const std::string indexPath = static_cast<LPCSTR>(IndexPathOf(lib.c_str()));
  std::vector<INDEXREC> index;
  if (!ReadIndex(indexPath, &index)) {
    std::fprintf(stderr, "structdb: cannot read %s\n", indexPath.c_str());
    return 2;
  }
  HANDLE hData = OpenForReading(dataPath.c_str());
  std::vector<long long> starts;
  if (hData == INVALID_HANDLE_VALUE || !RecordStarts(hData, &starts)) {
    if (hData != INVALID_HANDLE_VALUE) CloseHandle(hData);
    std::fprintf(stderr, "structdb: cannot read %s\n", dataPath.c_str());
    return 2;
  }
  if (molDir) {
    std::error_code ec;
    std::filesystem::create_directories(out, ec);
  }

  // Entries in key order; entries with equal keys keep their index order.
  std::vector<size_t> byKey(index.size());
  for (size_t i = 0; i < byKey.size(); ++i) byKey[i] = i;
  std::stable_sort(byKey.begin(), byKey.end(),
                   [&](size_t a, size_t b) { return index[a].lKey < index[b].lKey; });

  CWholeFiles sdFile;
  HANDLE hOut = INVALID_HANDLE_VALUE;
  if (!molDir && (hOut = sdFile.Create(out.c_str())) == INVALID_HANDLE_VALUE) {
    CloseHandle(hData);
    std::fprintf(stderr, "structdb: cannot create %s\n", out.c_str());
    return 2;
  }
  size_t written = 0, skipped = 0;
  std::string failedAt;  // the file being written when a write failed
  for (size_t i : byKey) {
    const INDEXREC e = index[i];
    const std::string what =
        "index entry " + std::to_string(i + 1) + " (key " + std::to_string(e.lKey) + ")";
    auto skip = [&](const std::string& why) {
      std::fprintf(stderr, "structdb: %s not exported: %s\n", what.c_str(), why.c_str());
      ++skipped;
    };
    if (!std::binary_search(starts.begin(), starts.end(), static_cast<long long>(e.lOffset))) {
      skip("no record starts at offset " + std::to_string(e.lOffset));
      continue;
    }
    CSREADREC* rr = ReadRecordAt(hData, e.lOffset, dataPath);
    if (!rr) {
      skip("the record does not decode within its length");
      continue;
    }
    ExportText text;
    std::string why;
    const bool ok = WriteRecord(rr, e.lKey, &text, &why);
    FreeReadRecord(rr);
    if (!ok) {
      skip(why);
      continue;
    }
    if (molDir) {
      // Each file is whole on its own: a library of any size needs no more
      // than one open at a time.
      const std::string name =
          (IsValidCas(e.lKey) ? HyphenatedCas(e.lKey) : std::to_string(e.lKey)) + ".mol";
      failedAt = (std::filesystem::path(out) / name).string();
      if (!WriteWhole(failedAt, text.molblock)) break;
    } else {
      const std::string sd = text.molblock + text.items + "$$$$" + kEol;
      failedAt = out;
      if (!WriteExact(hOut, sd.data(), static_cast<DWORD>(sd.size()))) break;
    }
    failedAt.clear();
    ++written;
  }
  CloseHandle(hData);
  if (failedAt.empty() && !molDir && !sdFile.Commit()) failedAt = out;
  if (!failedAt.empty()) {
    std::fprintf(stderr, "structdb: cannot write %s\n", failedAt.c_str());
    return 2;
  }
  std::printf("%zu structures exported to %s\n", written, out.c_str());
  return skipped ? 1 : 0;
}
