// Index search, reverse search, reading one record by CAS or record number
// (with the sequential-read shortcut), and the search over the configured
// libraries.
#include "database/lookup.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "core/alloc.h"
#include "database/cas.h"
#include "database/fileio.h"
#include "database/libpath.h"
#include "database/probecache.h"
#include "database/readrec.h"
#include "resources/resource.h"
#include "core/common.h"
#include "core/settings.h"

namespace {

bool ReadEntry(HANDLE h, LONG i, INDEXREC* entry) {
  return SeekTo(h, static_cast<long long>(i) * sizeof(INDEXREC)) &&
         ReadExact(h, entry, sizeof *entry);
}

// The entries of one search: once the range left is small, it is read in one
// block and the remaining probes are served from memory. The probes (and so
// the answers, even on a damaged index) are those of reading entry by entry.
class CIndexProbe {
 public:
  static constexpr LONG kBlock = 512;  // entries: 4 KB

  explicit CIndexProbe(HANDLE h) : h_(h) {}
  // Reads [lo, hi] whole when it fits the block; false only on a failed read.
  bool Narrowed(LONG lo, LONG hi) {
    if (count_ > 0 || hi - lo + 1 > kBlock) return true;
    const DWORD cb = static_cast<DWORD>(hi - lo + 1) * sizeof(INDEXREC);
    if (!SeekTo(h_, static_cast<long long>(lo) * sizeof(INDEXREC)) || !ReadExact(h_, block_, cb))
      return false;
    first_ = lo;
    count_ = hi - lo + 1;
    return true;
  }
  bool Entry(LONG i, INDEXREC* entry) {
    if (count_ > 0 && i >= first_ && i - first_ < count_) {
      *entry = block_[i - first_];
      return true;
    }
    return ReadEntry(h_, i, entry);
  }

 private:
  HANDLE h_;
  INDEXREC block_[kBlock];
  LONG first_ = 0, count_ = 0;
};

// Formats a string-table text with one argument into a name of at most 49
// characters.
void SetNameFromText(char* szName, UINT id, const char* arg, LONG num, bool isNum) {
  char fmt[128];
  LoadStringText(id, fmt, sizeof fmt);
  std::string text = isNum ? hostutil::FormatNum(fmt, num) : hostutil::FormatStr(fmt, arg);
  CopyText(szName, text.c_str(), CS_NAME_MAX + 1);
}

}  // namespace

LONG FindIndexEntryIn(CCommandProcessor* pcp, HANDLE h, LONG key, short* status) {
  long long cbIndex = -1;
  const CProbeCache kept(h, &cbIndex);
  const LONG n = static_cast<LONG>(
      std::clamp<long long>(cbIndex / static_cast<long long>(sizeof(INDEXREC)), 0, INT32_MAX));
  LONG result = 0;
  short failed = 0;
  INDEXREC entry{};
  bool haveFirst = n > 0 && kept.Get(0, &entry);
  if (n > 0 && !haveFirst && (haveFirst = ReadEntry(h, 0, &entry))) kept.Put(0, entry);
  // A caller that asks for the status holds the index open itself: a first
  // entry it cannot read is damage, not a miss.
  if (n > 0 && !haveFirst && status) failed = ReportError(pcp, IDS_ERR_INDEXREAD);
  if (haveFirst) {
    LONG lo = 0, hi = n - 1, last = 0;
    bool ok = true;
    CIndexProbe probe(h);
    // The probe's place in the search tree; 0 below the levels kept.
    uint32_t node = 1;
    while (hi - lo >= 2) {
      LONG mid = (lo + hi) / 2;
      last = mid;
      if (!(node && kept.Get(node, &entry))) {
        if (!probe.Narrowed(lo, hi) || !probe.Entry(mid, &entry)) {
          failed = ReportError(pcp, IDS_ERR_INDEXREAD);
          ok = false;
          break;
        }
        if (node) kept.Put(node, entry);
      }
      if (entry.lKey == key) break;
      if (key < entry.lKey)
        hi = mid;
      else
        lo = mid;
      if (node) node = node < CProbeCache::kNodes ? 2 * node + (key < entry.lKey ? 0 : 1) : 0;
    }
    if (ok && entry.lKey != key && lo != hi) {
      if (!probe.Entry(last != lo ? lo : hi, &entry)) {
        failed = ReportError(pcp, IDS_ERR_INDEXREAD);
        ok = false;
      }
    }
    if (ok && entry.lKey == key) result = entry.lOffset;
  }
  if (status) *status = failed;
  return result;
}

LONG FindIndexEntry(CCommandProcessor* pcp, LPCSTR dataPath, LONG key) {
  CString indexPath = IndexPathOf(dataPath);
  HANDLE h = OpenForReading(indexPath);
  if (h == INVALID_HANDLE_VALUE) return 0;
  const LONG result = FindIndexEntryIn(pcp, h, key);
  CloseHandle(h);
  return result;
}

LONG FindInAnyDatabase(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, LONG key) {
  HLOCAL hList = ReadDatabaseList(info);
  if (!hList) return 0;
  LONG offset = 0;
  const char* list = static_cast<const char*>(LocalLock(hList));
  for (const char* path = list; *path && !offset; path += std::strlen(path) + 1)
    offset = FindIndexEntry(pcp, path, key);
  LocalUnlock(hList);
  LocalFree(hList);
  return offset;
}

LONG FindIdByOffset(LPCSTR dataPath, LONG offset) {
  CString indexPath = IndexPathOf(dataPath);
  HANDLE h = OpenForReading(indexPath);
  if (h == INVALID_HANDLE_VALUE) return 0;
  // Read in blocks; the result is the same as reading one entry at a time.
  INDEXREC entries[256];
  LONG key = 0;
  DWORD got = 0;
  while (!key && ReadFile(h, entries, sizeof entries, &got, nullptr) && got > 0) {
    for (DWORD i = 0; i < got / sizeof(INDEXREC); ++i)
      if (entries[i].lOffset == offset) {
        key = entries[i].lKey;
        break;
      }
  }
  CloseHandle(h);
  return key;
}

short ReadStructureRecord(STRUCT_DLL_INFO* info, LPCSTR dataPath, CCommandProcessor* pcp,
                          CSREADREC* rr, LONG id) {
  HANDLE h = OpenForReading(dataPath);
  if (h == INVALID_HANDLE_VALUE) return ReportErrorStr(pcp, IDS_ERR_OPENFILE, dataPath);

  short status = 0;
  WORD cbBody = 0;
  // How the record was asked for decides the read cache, whatever ID the
  // lookup mode gives it afterwards.
  const bool byRecord = id <= 0;
  LONG record = 0;
  if (id > 0) {
    CString cas;
    FormatCasNumber(info, id, cas);
    SetNameFromText(rr->szName, IDS_NAME_CAS, cas, 0, false);
    LONG offset = FindIndexEntry(pcp, dataPath, id);
    if (offset == 0) {
      status = ReportErrorStr(pcp, IDS_ERR_NOCAS, cas);
    } else if (!SeekTo(h, offset) || !ReadExact(h, &cbBody, sizeof cbBody)) {
      // The index points outside the data file.
      status = ReportErrorStr(pcp, IDS_ERR_BADSTRUCTURE, dataPath);
    }
  } else {
    // Record 2147483648 (id -2147483648) is past every data file; its number
    // does not fit a LONG, so the report shows it in 64 bits.
    if (id == INT32_MIN) {
      CloseHandle(h);
      return ReportErrorNum64(pcp, IDS_ERR_NORECORD, -static_cast<long long>(id));
    }
    record = -id;
    SetNameFromText(rr->szName, IDS_NAME_RECORD, nullptr, record, true);
    bool haveLength = false;
    if (record == 0) {
      // Records count from 1; the cache must not answer for record 0 either.
    } else if (record == info->lNextRecord && std::strcmp(dataPath, info->szLastDatabase) == 0) {
      haveLength = SeekTo(h, info->lNextOffset) && ReadExact(h, &cbBody, sizeof cbBody);
    } else {
      haveLength = SeekTo(h, 1) && ReadExact(h, &cbBody, sizeof cbBody);
      for (LONG r = 1; haveLength && r < record; ++r)
        haveLength = SeekBy(h, cbBody) && ReadExact(h, &cbBody, sizeof cbBody);
    }
    if (!haveLength) status = ReportErrorNum(pcp, IDS_ERR_NORECORD, record);

    if (status == 0 && info->lMode != 0) {
      LONG offset = static_cast<LONG>(FilePosition(h) - 2);
      LONG key = FindIdByOffset(dataPath, offset);
      if (key == 0) {
        status = ReportErrorNum(pcp, IDS_ERR_NORECORD, record);
      } else {
        id = key;
        CString keyText;
        if (key > 0)
          FormatCasNumber(info, key, keyText);
        else
          keyText.Format("%ld", static_cast<long>(key));
        std::string name = std::string(rr->szName) + " (" + keyText.str() + ")";
        CopyText(rr->szName, name.c_str(), CS_NAME_MAX + 1);
      }
    }
  }

  BYTE* body = nullptr;
  if (status == 0) {
    body = StructAllocOf<BYTE>(cbBody + 1u, true);
    if (!body)
      status = ReportError(pcp, IDS_ERR_NOMEMORY);
    else if (!ReadExact(h, body, cbBody))
      status = ReportErrorStr(pcp, IDS_ERR_BADSTRUCTURE, dataPath);
  }
  if (status == 0) {
    info->lNextRecord = byRecord && record < INT32_MAX ? record + 1 : 0;
    info->lNextOffset = static_cast<LONG>(FilePosition(h));
    CopyText(info->szLastDatabase, dataPath, sizeof info->szLastDatabase);
    rr->lId = id;
    status = ExpandRecordBody(pcp, dataPath, body, cbBody, rr);
    if (status == 0) ComputeBoundsAndCentre(rr);
  }
  std::free(body);
  CloseHandle(h);
  return status;
}

short LoadStructureFromFile(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, LPCSTR dataPath, LONG id,
                            CSDRAWREC** out) {
  CSDRAWREC* rec = nullptr;
  short status;
  CSREADREC* rr = NewReadRecord();
  if (!rr) {
    status = ReportError(pcp, IDS_ERR_NOMEMORY);
  } else {
    status = ReadStructureRecord(info, dataPath, pcp, rr, id);
    if (status == 0) status = FlattenReadRecord(pcp, info, rr, &rec);
    FreeReadRecord(rr);
  }
  if (out)
    *out = rec;
  else
    std::free(rec);
  return status;
}

short LoadStructure(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, LONG id, CSDRAWREC** out) {
  if (out) *out = nullptr;
  HLOCAL hList = ReadDatabaseList(info);
  if (!hList) return ReportError(pcp, IDS_ERR_NOLIBRARY);
  const char* list = static_cast<const char*>(LocalLock(hList));
  short status = 0;
  for (const char* path = list; *path; path += std::strlen(path) + 1) {
    const char* next = path + std::strlen(path) + 1;
    // Only the last library's failure is the caller's answer; a library
    // passed over on the way is not reported, or a structure found in a later
    // library would arrive with an error beside it. A damaged one always is.
    CQuietReports quiet(*next != 0, true);
    status = LoadStructureFromFile(pcp, info, path, id, out);
    if (status == 0) break;
  }
  LocalUnlock(hList);
  LocalFree(hList);
  return status;
}
