#include "ascii.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "core/textlines.h"
#include "database/fileio.h"
#include "tools/pack.h"
#include "keytext.h"

namespace {

// A record line is read whole up to this length (the most bonds a record
// holds take a few kilobytes); a longer line refuses its record.
constexpr int kLine = 1 << 16;
constexpr int kRecordLines = 5;

// A token as a number: an optional sign and decimal digits, nothing else,
// within 32 bits.
bool Number(const char* t, LONG* v) {
  if (!t) return false;
  const bool negative = *t == '-';
  if (*t == '-' || *t == '+') ++t;
  if (!*t) return false;
  long long n = 0;
  for (; *t; ++t) {
    if (*t < '0' || *t > '9') return false;
    n = std::min<long long>(n * 10 + (*t - '0'), 1LL << 32);  // held past the limit
  }
  if (negative) n = -n;
  if (n < INT32_MIN || n > INT32_MAX) return false;
  *v = static_cast<LONG>(n);
  return true;
}

// A count: absent is none; false for one that is not a number of 0 or more.
bool Count(const char* t, LONG* n) {
  *n = 0;
  return !t || (Number(t, n) && *n >= 0);
}

// A CAS token of zeros only (0, 0-00-0): the record is passed over.
bool IsZeroCas(const char* t) {
  return t && *t && std::strspn(t, "0-") == std::strlen(t) && std::strchr(t, '0');
}

// The structure of one record's lines 3 to 5 into s; false with a reason.
bool ParseSections(char* bondLine, char* labelLine, char* circleLine, StdStructure& s,
                   std::string& why) {
  CAsciiTokens bonds(bondLine);
  LONG n = 0;
  if (!Count(bonds.Next(), &n)) {
    why = "malformed bond count";
    return false;
  }
  for (LONG i = 0; i < n; ++i) {
    char* t[5];
    int k = 0;
    while (k < 5 && (t[k] = bonds.Next()) != nullptr) ++k;
    if (k < 5) break;
    LONG v[5];
    for (k = 0; k < 5; ++k)
      if (!Number(t[k], &v[k])) {
        why = "bond " + std::to_string(i + 1) + ": a value that is not a 32-bit number";
        return false;
      }
    if (v[4] < 1 || v[4] > 4) {
      why = "bond " + std::to_string(i + 1) + ": type " + std::to_string(v[4]) + " (1 to 4)";
      return false;
    }
    s.bonds.push_back(StdBond{POINT{v[0], v[1]}, POINT{v[2], v[3]}, static_cast<BYTE>(v[4] - 1)});
  }

  CAsciiTokens labels(labelLine);
  if (!Count(labels.Next(), &n)) {
    why = "malformed label count";
    return false;
  }
  const long long nEnds = 2LL * static_cast<long long>(s.bonds.size());
  for (LONG i = 0; i < n; ++i) {
    const std::string which = "label " + std::to_string(i + 1);
    char* position = labels.Next();
    if (!position) break;
    LONG k = 0;
    if (!Number(position, &k) || k < 0) {
      why = which + ": malformed position";
      return false;
    }
    POINT pt{0, 0};
    if (k == 0) {
      char* x = labels.Next();
      char* y = x ? labels.Next() : nullptr;
      if (!y) break;
      if (!Number(x, &pt.x) || !Number(y, &pt.y)) {
        why = which + ": an anchor that is not a 32-bit number";
        return false;
      }
    } else if (k > nEnds) {
      why = which + ": end point " + std::to_string(k) + " of " + std::to_string(nEnds);
      return false;
    } else {
      const StdBond& b = s.bonds[static_cast<size_t>((k - 1) / 2)];
      pt = k % 2 ? b.p1 : b.p2;
    }
    char* text = labels.Next();
    if (!text) break;
    s.labels.push_back(StdLabel{pt, text});
  }

  CAsciiTokens circles(circleLine);
  if (!Count(circles.Next(), &n)) {
    why = "malformed circle count";
    return false;
  }
  for (LONG i = 0; i < n; ++i) {
    char* x = circles.Next();
    char* y = x ? circles.Next() : nullptr;
    if (!y) break;
    POINT c;
    if (!Number(x, &c.x) || !Number(y, &c.y)) {
      why = "circle " + std::to_string(i + 1) + ": a centre that is not a 32-bit number";
      return false;
    }
    s.circles.push_back(c);
  }
  return true;
}

}  // namespace

void ReadAsciiFile(CBuildRun& run, const std::string& path) {
  HANDLE h = OpenForReading(path.c_str());
  if (h == INVALID_HANDLE_VALUE) return run.FileProblem(path, "cannot open");
  CTextLineReader reader(h);
  std::vector<char> buffer(static_cast<size_t>(kLine) * kRecordLines);
  char* lines[kRecordLines];
  for (int k = 0; k < kRecordLines; ++k) lines[k] = buffer.data() + static_cast<size_t>(k) * kLine;
  bool failed = !reader.IsReady();
  for (long long number = 1; !failed && run.Going(); ++number) {
    int got = reader.ReadLine(lines[0], kLine);
    failed = got == CTextLineReader::kError;
    if (got < 0 || lines[0][0] != 'c') break;
    int cutLine = reader.WasCut() ? 1 : 0;
    int k = 1;
    for (; k < kRecordLines; ++k) {
      got = reader.ReadLine(lines[k], kLine);
      if (got < 0) break;
      if (!cutLine && reader.WasCut()) cutLine = k + 1;
    }
    failed = got == CTextLineReader::kError;
    if (failed) break;
    CAsciiTokens head(lines[0] + 1);
    const char* cas = head.Next();
    if (IsZeroCas(cas)) continue;
    if (k < kRecordLines) {
      run.Skip(path, number, SkipReason::kRefused, "refused: cut short by the end of the file");
      break;
    }
    if (cutLine) {
      run.Skip(path, number, SkipReason::kRefused,
               "refused: line " + std::to_string(cutLine) + " longer than " +
                   std::to_string(kLine - 1) + " characters");
      continue;
    }
    StdStructure s;
    if (!run.options().numbered) {
      const KeyText kt = ParseKeyText(run.info(), cas ? cas : "", &s.lKey);
      if (kt != KeyText::kOk) {
        const SkipReason reason = kt == KeyText::kMissing      ? SkipReason::kNoKey
                                  : kt == KeyText::kCheckDigit ? SkipReason::kCheckDigit
                                  : kt == KeyText::kOutOfRange ? SkipReason::kKeyOutOfRange
                                                               : SkipReason::kMalformedKey;
        run.Skip(path, number, reason,
                 std::string(KeyTextProblem(kt)) +
                     " after the \"c\": " + QuotedForMessage(cas ? cas : ""));
        continue;
      }
    }
    s.name = lines[1];
    std::string why;
    if (!ParseSections(lines[2], lines[3], lines[4], s, why)) {
      run.Skip(path, number, SkipReason::kRefused, "refused: " + why);
      continue;
    }
    run.Take(path, number, std::move(s));
    run.Progress(reader.Consumed());
  }
  if (failed) run.FileProblem(path, reader.IsReady() ? "read failed" : "out of memory");
  CloseHandle(h);
}
