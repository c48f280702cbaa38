#include "libfile.h"

#include <algorithm>
#include <cstring>
#include <map>

#include "database/libpath.h"
#include "database/readrec.h"
#include "quietproc.h"
#include "core/common.h"

namespace {

bool ReadWhole(const std::string& path, std::vector<unsigned char>& bytes) {
  HANDLE h = CreateFile(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  bytes.resize(GetFileSize(h, nullptr));
  DWORD got = 0;
  bool ok = bytes.empty() || (ReadFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &got,
                                       nullptr) &&
                              got == bytes.size());
  CloseHandle(h);
  return ok;
}

// Decodes a body without reporting; the working record is the caller's.
bool Decode(const LibRecord& r, const std::string& path, CSREADREC* rr) {
  CQuietProcessor pcp;
  CQuietReports quiet(true);
  return ExpandRecordBody(&pcp, path.c_str(), r.body.data(), static_cast<UINT>(r.body.size()),
                          rr) == 0;
}

const char* BondName(int t) {
  static const char* const names[] = {"single", "double", "triple", "aromatic"};
  return t >= 0 && t < 4 ? names[t] : "?";
}

}  // namespace

bool LoadLibraryFiles(const std::string& path, std::vector<LibRecord>& records,
                      std::vector<INDEXREC>& index, bool& haveIndex, std::string& why,
                      std::vector<std::string>& problems) {
  const std::string dataPath = static_cast<LPCSTR>(DataPathOf(path.c_str()));
  const std::string indexPath = static_cast<LPCSTR>(IndexPathOf(path.c_str()));
  std::vector<unsigned char> data, ind;
  if (!ReadWhole(dataPath, data)) {
    why = "cannot read " + dataPath;
    return false;
  }
  if (data.empty()) problems.push_back(dataPath + ": empty (no library-kind byte)");
  size_t pos = 1;
  for (long n = 1; pos < data.size(); ++n) {
    if (pos + 2 > data.size()) {
      problems.push_back("record " + std::to_string(n) + " at offset " + std::to_string(pos) +
                         ": length word cut off by the end of the file");
      break;
    }
    size_t len = data[pos] | (data[pos + 1] << 8);
    if (pos + 2 + len > data.size()) {
      problems.push_back("record " + std::to_string(n) + " at offset " + std::to_string(pos) +
                         ": body of " + std::to_string(len) + " bytes runs past the end of the file");
      break;
    }
    records.push_back(LibRecord{n, static_cast<long>(pos),
                                std::vector<unsigned char>(data.begin() + pos + 2,
                                                           data.begin() + pos + 2 + len)});
    pos += 2 + len;
  }
  haveIndex = ReadWhole(indexPath, ind);
  if (haveIndex) {
    if (ind.size() % sizeof(INDEXREC))
      problems.push_back(indexPath + ": size " + std::to_string(ind.size()) +
                         " is not a multiple of 8");
    index.resize(ind.size() / sizeof(INDEXREC));
    if (!index.empty()) std::memcpy(index.data(), ind.data(), index.size() * sizeof(INDEXREC));
  }
  return true;
}

int DumpLibrary(const std::string& path, FILE* out) {
  std::vector<LibRecord> records;
  std::vector<INDEXREC> index;
  bool haveIndex = false;
  std::string why;
  std::vector<std::string> problems;
  if (!LoadLibraryFiles(path, records, index, haveIndex, why, problems)) {
    std::fprintf(stderr, "structdb: %s\n", why.c_str());
    return 1;
  }
  std::map<long, long> keyOf;
  for (const INDEXREC& e : index) keyOf[e.lOffset] = e.lKey;
  int bad = 0;
  for (const LibRecord& r : records) {
    std::fprintf(out, "record %ld  offset %ld  length %zu", r.number, r.offset, r.body.size());
    if (keyOf.count(r.offset)) std::fprintf(out, "  key %ld", static_cast<long>(keyOf[r.offset]));
    std::fprintf(out, "\n");
    CSREADREC* rr = NewReadRecord();
    if (!rr || !Decode(r, path, rr)) {
      std::fprintf(out, "  (does not decode within its length)\n\n");
      ++bad;
      FreeReadRecord(rr);
      continue;
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
  }
  for (const std::string& p : problems) std::fprintf(stderr, "structdb: %s\n", p.c_str());
  return bad + static_cast<int>(problems.size());
}

int CheckLibrary(const std::string& path, FILE* out) {
  std::vector<LibRecord> records;
  std::vector<INDEXREC> index;
  bool haveIndex = false;
  std::string why;
  std::vector<std::string> problems;
  if (!LoadLibraryFiles(path, records, index, haveIndex, why, problems)) {
    std::fprintf(out, "%s\n", why.c_str());
    return 1;
  }
  if (!haveIndex) problems.push_back("no index file");
  for (size_t i = 1; i < index.size(); ++i) {
    if (index[i].lKey == index[i - 1].lKey)
      problems.push_back("index entry " + std::to_string(i + 1) + ": key " +
                         std::to_string(index[i].lKey) + " occurs twice");
    else if (index[i].lKey < index[i - 1].lKey)
      problems.push_back("index entry " + std::to_string(i + 1) + ": key " +
                         std::to_string(index[i].lKey) + " is out of order (after " +
                         std::to_string(index[i - 1].lKey) + ")");
  }
  std::map<long, const LibRecord*> atOffset;
  for (const LibRecord& r : records) atOffset[r.offset] = &r;
  for (size_t i = 0; i < index.size(); ++i)
    if (!atOffset.count(index[i].lOffset))
      problems.push_back("index entry " + std::to_string(i + 1) + ": key " +
                         std::to_string(index[i].lKey) + " points at offset " +
                         std::to_string(index[i].lOffset) + ", where no record starts");
  for (const LibRecord& r : records) {
    CSREADREC* rr = NewReadRecord();
    if (!rr || !Decode(r, path, rr))
      problems.push_back("record " + std::to_string(r.number) + " at offset " +
                         std::to_string(r.offset) +
                         ": does not decode within its length (a count, reference or label "
                         "position out of range, or fields running past the body)");
    FreeReadRecord(rr);
  }
  for (const std::string& p : problems) std::fprintf(out, "%s\n", p.c_str());
  if (problems.empty())
    std::fprintf(out, "ok: %zu records, %zu index entries\n", records.size(), index.size());
  return static_cast<int>(problems.size());
}
