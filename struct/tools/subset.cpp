#include "tools/subset.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "core/alloc.h"
#include "core/textlines.h"
#include "database/fileio.h"
#include "database/libpath.h"
#include "database/lookup.h"
#include "resources/resource.h"
#include "tools/entries.h"

namespace {

constexpr int kLineSize = 256;
// The source index is read whole into memory when it holds at most this
// many bytes and at most kIndexPerListByte bytes for every byte of the list:
// a search reads a block of up to 4 KB besides its probes, a listed ID takes
// some 8 to 10 bytes of the list, so a whole index read that way costs less
// than the searches would.
constexpr long long kMaxIndexInMemory = 128LL << 20;
constexpr long long kIndexPerListByte = 256;
// A record's length word and, for all but long records, the record itself
// come in one read of this many bytes.
constexpr DWORD kRecordHead = 256;
// The records copied are gathered here and written to the output data file
// a block at a time; every record fits once the block is written.
constexpr DWORD kMaxRecord = 0xFFFF + 2;
constexpr DWORD kWriteBlock = 128 * 1024;

// The full form of a path, for telling whether two names reach one file.
CString FullPath(LPCSTR path) {
  char buf[MAX_PATH];
  const DWORD n = GetFullPathName(path, sizeof buf, buf, nullptr);
  return n > 0 && n < sizeof buf ? CString(buf) : CString(path);
}

bool SameFile(LPCSTR a, LPCSTR b) { return FullPath(a).CompareNoCase(FullPath(b)) == 0; }

// An ID as the list writes it: blanks, an optional sign, decimal digits (what
// follows them does not count). 0 for anything that is not an ID of 1 to
// 2147483647.
LONG ParseListId(const char* line) {
  const char* p = line;
  while (*p == ' ' || *p == '\t') ++p;
  if (*p == '+') ++p;
  long long v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) {
    v = v * 10 + (*p - '0');
    if (v > INT32_MAX) return 0;
  }
  return static_cast<LONG>(v);
}

// The keys copied so far, for passing over repeats: open addressing with
// linear probing in a table of a power-of-two size at most half full. Keys
// are positive; 0 marks a free slot.
class CKeySet {
 public:
  size_t size() const { return count_; }
  bool Contains(LONG key) const {
    if (slots_.empty()) return false;
    for (size_t i = Slot(key, slots_.size());; i = (i + 1) & (slots_.size() - 1)) {
      if (slots_[i] == key) return true;
      if (slots_[i] == 0) return false;
    }
  }
  // Throws std::bad_alloc when the table cannot grow; the set stays as it was.
  void Insert(LONG key) {
    if ((count_ + 1) * 2 > slots_.size()) {
      std::vector<LONG> bigger(std::max<size_t>(64, slots_.size() * 2), 0);
      for (LONG k : slots_)
        if (k) Place(bigger, k);
      slots_.swap(bigger);
    }
    Place(slots_, key);
    ++count_;
  }

 private:
  static size_t Slot(LONG key, size_t size) {
    return static_cast<size_t>((static_cast<uint32_t>(key) * 0x9E3779B97F4A7C15u) >> 32) &
           (size - 1);
  }
  static void Place(std::vector<LONG>& slots, LONG key) {
    size_t i = Slot(key, slots.size());
    while (slots[i] != 0 && slots[i] != key) i = (i + 1) & (slots.size() - 1);
    slots[i] = key;
  }
  std::vector<LONG> slots_;
  size_t count_ = 0;
};

struct SUBSETSTATE {
  CCpClient* client = nullptr;
  CCommandProcessor* pcp = nullptr;
  CString strList, strSrcData, strSrcIndex, strOutData, strOutIndex;
  HANDLE hList = INVALID_HANDLE_VALUE;
  HANDLE hSrcData = INVALID_HANDLE_VALUE;
  HANDLE hSrcIndex = INVALID_HANDLE_VALUE;
  HANDLE hOutData = INVALID_HANDLE_VALUE;
  HANDLE hOutIndex = INVALID_HANDLE_VALUE;
  long long cbOutData = 0;            // what the output data file holds, written or gathered
  long long cbWritten = 0;            // what of it is in the file
  BYTE* pGathered = nullptr;          // the rest (cbOutData - cbWritten bytes)
  size_t nFirstGathered = 0;          // the first of copied whose record is gathered
  std::vector<INDEXREC> index;        // the whole source index, when it was read
  bool bIndexInMemory = false;
  std::vector<INDEXREC> copied;       // keys and offsets of the records copied
  CKeySet ids;                        // their keys, for passing over repeats
  long long lWorkTotal = 0, lWorkDone = 0;
  PROGRESSPROC progress = nullptr;
  DWORD dwNextReport = 0;
};

void Progress(SUBSETSTATE& st, LONG id) {
  PaceProgress(st.progress, st.client, "CSSubset", id, st.lWorkDone, st.lWorkTotal,
               &st.dwNextReport);
}

short OpenFiles(SUBSETSTATE& st) {
  st.hList = OpenForReading(st.strList);
  if (st.hList == INVALID_HANDLE_VALUE) return ReportErrorStr(st.pcp, IDS_ERR_OPENFILE, st.strList);
  st.lWorkTotal = std::max<long long>(0, FileSizeOf(st.hList));
  st.hSrcData = OpenForReading(st.strSrcData);
  if (st.hSrcData == INVALID_HANDLE_VALUE)
    return ReportErrorStr(st.pcp, IDS_ERR_OPENFILE, st.strSrcData);
  // Held against writers for the whole run.
  st.hSrcIndex = CreateFile(st.strSrcIndex, GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (st.hSrcIndex == INVALID_HANDLE_VALUE)
    return ReportErrorStr(st.pcp, IDS_ERR_OPENFILE, st.strSrcIndex);
  st.hOutData = CreateFile(st.strOutData, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                           CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  const BYTE kind = 1;
  if (st.hOutData == INVALID_HANDLE_VALUE || !WriteExact(st.hOutData, &kind, 1))
    return ReportErrorStr(st.pcp, IDS_ERR_CREATEFILE, st.strOutData);
  st.cbOutData = st.cbWritten = 1;
  st.hOutIndex = CreateFile(st.strOutIndex, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (st.hOutIndex == INVALID_HANDLE_VALUE)
    return ReportErrorStr(st.pcp, IDS_ERR_CREATEFILE, st.strOutIndex);
  return 0;
}

// The source index in memory when that pays (see kMaxIndexInMemory); when
// it cannot be had (memory, a failed read) the searches read the file.
void LoadIndex(SUBSETSTATE& st) {
  const long long cb = FileSizeOf(st.hSrcIndex);
  if (cb < static_cast<long long>(sizeof(INDEXREC)) || cb > kMaxIndexInMemory ||
      cb > st.lWorkTotal * kIndexPerListByte)
    return;
  const size_t n = static_cast<size_t>(cb) / sizeof(INDEXREC);
  try {
    st.index.resize(n);
  } catch (const std::bad_alloc&) {
    return;
  }
  if (SeekTo(st.hSrcIndex, 0) &&
      ReadExact(st.hSrcIndex, st.index.data(), static_cast<DWORD>(n * sizeof(INDEXREC)))) {
    st.bIndexInMemory = true;
  } else {
    st.index.clear();
    st.index.shrink_to_fit();
  }
}

// FindIndexEntryIn's search on the index in memory: the same probes in the
// same order, so the same answer for any index, sorted or not.
LONG SearchInMemory(const std::vector<INDEXREC>& index, LONG key) {
  const LONG n = static_cast<LONG>(index.size());
  INDEXREC entry = index[0];
  LONG lo = 0, hi = n - 1, last = 0;
  while (hi - lo >= 2) {
    const LONG mid = (lo + hi) / 2;
    last = mid;
    entry = index[mid];
    if (entry.lKey == key) break;
    if (key < entry.lKey)
      hi = mid;
    else
      lo = mid;
  }
  if (entry.lKey != key && lo != hi) entry = index[last != lo ? lo : hi];
  return entry.lKey == key ? entry.lOffset : 0;
}

// Writes the gathered records at the end of the output data file. On a
// failed write the file is cut back to what it held before (whole records)
// and the records gathered are no longer noted as copied.
short WriteGathered(SUBSETSTATE& st) {
  const long long cb = st.cbOutData - st.cbWritten;
  if (cb == 0) return 0;
  const bool written = SeekTo(st.hOutData, st.cbWritten) &&
                       WriteExact(st.hOutData, st.pGathered, static_cast<DWORD>(cb));
  if (!written) {
    if (SeekTo(st.hOutData, st.cbWritten)) SetEndOfFile(st.hOutData);
    st.copied.resize(st.nFirstGathered);  // the run ends here: the keys may stay in ids
    st.cbOutData = st.cbWritten;
    return ReportErrorStr(st.pcp, IDS_ERR_FILEWRITE, st.strOutData);
  }
  st.cbWritten = st.cbOutData;
  st.nFirstGathered = st.copied.size();
  return 0;
}

// Copies the record of id (when the source has it) to the end of the output
// data file, through the gathering block.
short CopyRecord(SUBSETSTATE& st, LONG id) {
  short status = 0;
  const LONG offset = st.bIndexInMemory ? SearchInMemory(st.index, id)
                                        : FindIndexEntryIn(st.pcp, st.hSrcIndex, id, &status);
  if (status) return status;
  if (offset == 0) return 0;
  if (st.cbOutData - st.cbWritten > kWriteBlock - kMaxRecord)
    if (short written = WriteGathered(st)) return written;
  BYTE* rec = st.pGathered + (st.cbOutData - st.cbWritten);
  DWORD got = 0;
  if (offset < 0 || !SeekTo(st.hSrcData, offset) ||
      !ReadFile(st.hSrcData, rec, kRecordHead, &got, nullptr) || got < 2)
    return ReportErrorStr(st.pcp, IDS_ERR_BADSTRUCTURE, st.strSrcData);
  WORD len = 0;
  std::memcpy(&len, rec, 2);
  // The rest of a long record follows what the first read brought.
  const DWORD have = std::min<DWORD>(got, len + 2u);
  if (have < len + 2u && !ReadExact(st.hSrcData, rec + have, len + 2u - have))
    return ReportErrorStr(st.pcp, IDS_ERR_BADSTRUCTURE, st.strSrcData);
  // Offsets in the index are 32-bit: a record must start below 2 GiB.
  if (st.cbOutData > INT32_MAX) return ReportErrorStr(st.pcp, IDS_ERR_FILEWRITE, st.strOutData);
  try {
    st.copied.push_back({id, static_cast<LONG>(st.cbOutData)});
    st.ids.Insert(id);
  } catch (const std::bad_alloc&) {
    if (st.copied.size() > st.ids.size()) st.copied.pop_back();
    return ReportError(st.pcp, IDS_ERR_NOMEMORY);
  }
  st.cbOutData += len + 2;
  return 0;
}

// The index of what was copied, sorted by key.
short WriteIndex(SUBSETSTATE& st) {
  std::sort(st.copied.begin(), st.copied.end(),
            [](const INDEXREC& a, const INDEXREC& b) { return a.lKey < b.lKey; });
  const size_t cb = st.copied.size() * sizeof(INDEXREC);
  if (cb > 0xFFFFFFFFu || !SeekTo(st.hOutIndex, 0) ||
      !WriteExact(st.hOutIndex, st.copied.data(), static_cast<DWORD>(cb))) {
    if (SeekTo(st.hOutIndex, 0)) SetEndOfFile(st.hOutIndex);
    return ReportErrorStr(st.pcp, IDS_ERR_FILEWRITE, st.strOutIndex);
  }
  return 0;
}

short CopyListed(SUBSETSTATE& st) {
  CTextLineReader reader(st.hList);
  if (!reader.IsReady()) return ReportError(st.pcp, IDS_ERR_NOMEMORY);
  char line[kLineSize];
  while (!PollAbort()) {
    const int len = reader.ReadLine(line, sizeof line);
    if (len == CTextLineReader::kEnd) break;
    if (len == CTextLineReader::kError) return ReportErrorStr(st.pcp, IDS_ERR_FILEREAD, st.strList);
    const LONG id = ParseListId(line);
    st.lWorkDone = reader.Consumed();
    Progress(st, id);
    if (id <= 0 || st.ids.Contains(id)) continue;
    if (short status = CopyRecord(st, id)) return status;
  }
  return 0;
}

}  // namespace

short SubsetDatabase(CCpClient* client, LPCSTR listPath, LPCSTR sourcePath, PROGRESSPROC progress) {
  CCommandProcessor* pcp = client->pcp;
  SUBSETSTATE st;
  st.client = client;
  st.pcp = pcp;
  st.progress = progress;
  st.strList = listPath;
  st.strOutData = DataPathOf(st.strList);
  st.strOutIndex = IndexPathOf(st.strList);
  st.strSrcData = DataPathOf(CString(sourcePath));
  st.strSrcIndex = IndexPathOf(CString(sourcePath));
  // The outputs are created before the list is read and replace what is there.
  if (SameFile(st.strList, st.strOutData) || SameFile(st.strList, st.strOutIndex))
    return ReportErrorNum(pcp, IDS_ERR_BADPARAM, 1);
  if (SameFile(st.strSrcData, st.strOutData)) return ReportErrorNum(pcp, IDS_ERR_BADPARAM, 2);

  st.dwNextReport = GetTickCount();
  short status = OpenFiles(st);
  if (status == 0) {
    st.pGathered = StructAllocOf<BYTE>(kWriteBlock);
    if (!st.pGathered) status = ReportError(pcp, IDS_ERR_NOMEMORY);
  }
  if (status == 0) {
    LoadIndex(st);
    status = CopyListed(st);
  }
  // What was copied stays, whatever ended the run.
  if (st.pGathered) {
    const short written = WriteGathered(st);
    if (status == 0) status = written;
    StructFree(st.pGathered);
  }
  if (st.hOutIndex != INVALID_HANDLE_VALUE) {
    const short written = WriteIndex(st);
    if (status == 0) status = written;
  }
  const std::pair<HANDLE, const CString*> files[] = {{st.hList, &st.strList},
                                                      {st.hSrcData, &st.strSrcData},
                                                      {st.hSrcIndex, &st.strSrcIndex},
                                                      {st.hOutData, &st.strOutData},
                                                      {st.hOutIndex, &st.strOutIndex}};
  for (const auto& [h, path] : files)
    if (h != INVALID_HANDLE_VALUE && !CloseHandle(h) && status == 0)
      status = ReportErrorStr(pcp, IDS_ERR_CLOSEFILE, *path);
  return status;
}

STRUCT_COMMAND(SubsetCmd) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  if (!HasArg(args, 1)) return ReportErrorNum(client->pcp, IDS_ERR_BADPARAM, 1);
  if (!HasArg(args, 2)) return ReportErrorNum(client->pcp, IDS_ERR_BADPARAM, 2);
  return SubsetDatabase(client, GetStringArg(args, 1), GetStringArg(args, 2), ReportToolProgress);
}
