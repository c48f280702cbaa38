#include "libfile.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <functional>
#include <vector>

#include "database/fileio.h"
#include "database/libpath.h"
#include "database/lookup.h"
#include "database/readrec.h"
#include "quietproc.h"
#include "core/common.h"

namespace {

struct LibRecord {
  long long number = 0;
  long long offset = 0;
  std::vector<unsigned char> body;
};

// Lists the first problems, counts the rest.
class Problems {
 public:
  explicit Problems(FILE* out, const char* prefix = "") : out_(out), prefix_(prefix) {}
  void Add(const std::string& text) {
    if (++count_ <= kMaxListedProblems) std::fprintf(out_, "%s%s\n", prefix_, text.c_str());
  }
  // The line that counts what was not listed; the total as an exit status.
  int Finish() {
    if (count_ > kMaxListedProblems)
      std::fprintf(out_, "%s... and %lld more problems\n", prefix_, count_ - kMaxListedProblems);
    return static_cast<int>(std::min<long long>(count_, INT_MAX));
  }
  long long count() const { return count_; }

 private:
  FILE* out_;
  const char* prefix_;
  long long count_ = 0;
};

// Reads a file through one block buffer.
class BlockReader {
 public:
  explicit BlockReader(HANDLE h) : h_(h), buf_(1 << 16) {}
  // n bytes into dst; false at the end of the file or on an error (what was
  // there is in dst, its count in *got).
  bool Read(unsigned char* dst, size_t n, size_t* got) {
    *got = 0;
    while (*got < n) {
      if (pos_ == have_) {
        DWORD cb = 0;
        if (!ReadFile(h_, buf_.data(), static_cast<DWORD>(buf_.size()), &cb, nullptr) || cb == 0)
          return false;
        have_ = cb;
        pos_ = 0;
      }
      const size_t take = std::min(n - *got, have_ - pos_);
      std::memcpy(dst + *got, buf_.data() + pos_, take);
      *got += take;
      pos_ += take;
    }
    return true;
  }

 private:
  HANDLE h_;
  std::vector<unsigned char> buf_;
  size_t have_ = 0, pos_ = 0;
};

// Calls visit for every whole record of the data file, in order; a record cut
// by the end of the file is a problem and ends the walk. False when the file
// cannot be opened.
bool WalkRecords(const std::string& dataPath, Problems& problems,
                 const std::function<void(const LibRecord&)>& visit) {
  HANDLE h = OpenForReading(dataPath.c_str());
  if (h == INVALID_HANDLE_VALUE) return false;
  BlockReader reader(h);
  unsigned char kind = 0;
  size_t got = 0;
  if (!reader.Read(&kind, 1, &got)) problems.Add(dataPath + ": empty (no library-kind byte)");
  LibRecord r;
  r.offset = 1;
  for (r.number = 1; got == 1; ++r.number) {
    unsigned char len[2];
    if (!reader.Read(len, 2, &got)) {
      if (got == 1)
        problems.Add("record " + std::to_string(r.number) + " at offset " +
                     std::to_string(r.offset) + ": length word cut off by the end of the file");
      break;
    }
    const size_t cb = len[0] | (len[1] << 8);
    r.body.resize(cb);
    if (!reader.Read(r.body.data(), cb, &got) && cb > 0) {
      problems.Add("record " + std::to_string(r.number) + " at offset " +
                   std::to_string(r.offset) + ": body of " + std::to_string(cb) +
                   " bytes runs past the end of the file");
      break;
    }
    visit(r);
    r.offset += 2 + static_cast<long long>(cb);
    got = 1;
  }
  CloseHandle(h);
  return true;
}

// The index entries, each with its position (from 1); false when the file
// cannot be read.
struct NumberedEntry {
  INDEXREC e;
  long long number;
};
bool ReadIndex(const std::string& indexPath, Problems& problems,
               std::vector<NumberedEntry>& entries) {
  HANDLE h = OpenForReading(indexPath.c_str());
  if (h == INVALID_HANDLE_VALUE) return false;
  const long long size = FileSizeOf(h);
  if (size % static_cast<long long>(sizeof(INDEXREC)))
    problems.Add(indexPath + ": size " + std::to_string(size) + " is not a multiple of 8");
  BlockReader reader(h);
  INDEXREC e;
  size_t got = 0;
  for (long long n = 1; reader.Read(reinterpret_cast<unsigned char*>(&e), sizeof e, &got); ++n)
    entries.push_back({e, n});
  CloseHandle(h);
  return true;
}

// A body decoded without reporting, or null; free it with FreeReadRecord.
CSREADREC* Decode(const LibRecord& r, const std::string& path) {
  CQuietProcessor pcp;
  CQuietReports quiet(true);
  CSREADREC* rr = NewReadRecord();
  if (rr && ExpandRecordBody(&pcp, path.c_str(), r.body.data(), static_cast<UINT>(r.body.size()),
                             rr) != 0) {
    FreeReadRecord(rr);
    rr = nullptr;
  }
  return rr;
}

const char* BondName(int t) {
  static const char* const names[] = {"single", "double", "triple", "aromatic"};
  return t >= 0 && t < 4 ? names[t] : "?";
}

// Entries sorted by the offset they point at, walked along with the records.
class OffsetCursor {
 public:
  explicit OffsetCursor(std::vector<NumberedEntry> entries) : entries_(std::move(entries)) {
    std::stable_sort(entries_.begin(), entries_.end(),
                     [](const NumberedEntry& a, const NumberedEntry& b) {
                       return a.e.lOffset < b.e.lOffset;
                     });
  }
  // Passes the entries before offset to stray, then returns the key of the
  // first entry at offset (0: none) and passes over the others there.
  LONG At(long long offset, const std::function<void(const NumberedEntry&)>& stray) {
    for (; i_ < entries_.size() && entries_[i_].e.lOffset < offset; ++i_) stray(entries_[i_]);
    LONG key = 0;
    for (; i_ < entries_.size() && entries_[i_].e.lOffset == offset; ++i_)
      if (!key) key = entries_[i_].e.lKey;
    return key;
  }
  void Rest(const std::function<void(const NumberedEntry&)>& stray) {
    for (; i_ < entries_.size(); ++i_) stray(entries_[i_]);
  }

 private:
  std::vector<NumberedEntry> entries_;
  size_t i_ = 0;
};

std::string Stray(const NumberedEntry& n) {
  return "index entry " + std::to_string(n.number) + ": key " + std::to_string(n.e.lKey) +
         " points at offset " + std::to_string(n.e.lOffset) + ", where no record starts";
}

}  // namespace

int DumpLibrary(const std::string& path, FILE* out) {
  const std::string dataPath = static_cast<LPCSTR>(DataPathOf(path.c_str()));
  Problems problems(stderr, "structdb: ");
  std::vector<NumberedEntry> entries;
  ReadIndex(static_cast<LPCSTR>(IndexPathOf(path.c_str())), problems, entries);
  OffsetCursor keys(std::move(entries));
  const bool opened = WalkRecords(dataPath, problems, [&](const LibRecord& r) {
    std::fprintf(out, "record %lld  offset %lld  length %zu", r.number, r.offset, r.body.size());
    if (LONG key = keys.At(r.offset, [](const NumberedEntry&) {}))
      std::fprintf(out, "  key %ld", static_cast<long>(key));
    std::fprintf(out, "\n");
    CSREADREC* rr = Decode(r, path);
    if (!rr) {
      std::fprintf(out, "  (does not decode within its length)\n\n");
      problems.Add("record " + std::to_string(r.number) + " does not decode within its length");
      return;
    }
    std::fprintf(out, "  name     \"%s\"\n", rr->szName);
    for (int i = 0; i < rr->nBonds; ++i) {
      POINT a = rr->pPoints[2 * i], b = rr->pPoints[2 * i + 1];
      std::fprintf(out, "  bond %-3d %-8s (%d, %d) - (%d, %d)\n", i + 1,
                   BondName(rr->pBondTypes[i]), a.x, a.y, b.x, b.y);
    }
    const char* text = rr->pLabels;
    for (int k = 0; k < rr->nLabels; ++k) {
      POINT p = rr->pPoints[rr->iFirstLabel + k];
      std::fprintf(out, "  label %-3d \"%s\" at (%d, %d)\n", k + 1, text, p.x, p.y);
      text += std::strlen(text) + 1;
    }
    for (int k = 0; k < rr->nCircles; ++k) {
      POINT p = rr->pPoints[rr->iFirstCircle + k];
      std::fprintf(out, "  circle %-2d at (%d, %d)\n", k + 1, p.x, p.y);
    }
    std::fprintf(out, "\n");
    FreeReadRecord(rr);
  });
  if (!opened) {
    std::fprintf(stderr, "structdb: cannot read %s\n", dataPath.c_str());
    return 1;
  }
  return problems.Finish();
}

int CheckLibrary(const std::string& path, FILE* out) {
  const std::string dataPath = static_cast<LPCSTR>(DataPathOf(path.c_str()));
  Problems problems(out);
  std::vector<NumberedEntry> entries;
  if (!ReadIndex(static_cast<LPCSTR>(IndexPathOf(path.c_str())), problems, entries))
    problems.Add("no index file");
  for (size_t i = 1; i < entries.size(); ++i) {
    const LONG key = entries[i].e.lKey, before = entries[i - 1].e.lKey;
    if (key == before)
      problems.Add("index entry " + std::to_string(i + 1) + ": key " + std::to_string(key) +
                   " occurs twice");
    else if (key < before)
      problems.Add("index entry " + std::to_string(i + 1) + ": key " + std::to_string(key) +
                   " is out of order (after " + std::to_string(before) + ")");
  }
  const size_t nEntries = entries.size();
  OffsetCursor cursor(std::move(entries));
  auto stray = [&](const NumberedEntry& n) { problems.Add(Stray(n)); };
  long long records = 0;
  const bool opened = WalkRecords(dataPath, problems, [&](const LibRecord& r) {
    ++records;
    cursor.At(r.offset, stray);
    CSREADREC* rr = Decode(r, path);
    if (!rr)
      problems.Add("record " + std::to_string(r.number) + " at offset " +
                   std::to_string(r.offset) +
                   ": does not decode within its length (a count, reference or label "
                   "position out of range, or fields running past the body)");
    FreeReadRecord(rr);
  });
  if (!opened) {
    std::fprintf(out, "cannot read %s\n", dataPath.c_str());
    return 1;
  }
  cursor.Rest(stray);
  if (problems.count() == 0)
    std::fprintf(out, "ok: %lld records, %zu index entries\n", records, nEntries);
  return problems.Finish();
}
