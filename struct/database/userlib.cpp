// Appending records to a user library and merging their IDs into its index.
// Nothing already stored is ever put at risk: a failed append is cut off the
// data file again, and a failed merge puts the index's saved tail back.
#include "database/userlib.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "database/fileio.h"
#include "database/libpath.h"
#include "database/lookup.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kBlock = 2048;

struct ADDSTATE {
  CCpClient* client = nullptr;
  CCommandProcessor* pcp = nullptr;
  BOOL bNewLibrary = FALSE;
  bool bCreatedIndex = false;  // the files this call made (and may take away)
  bool bCreatedData = false;
  HANDLE hData = INVALID_HANDLE_VALUE;
  HANDLE hIndex = INVALID_HANDLE_VALUE;
  DWORD cbIndex = 0;
  BYTE* pCopy = nullptr;  // the 2048-byte copy buffer
  long long lWorkTotal = 0;
  long long lWorkDone = 0;
  PROGRESSPROC progress = nullptr;
  DWORD dwNextReport = 0;
  CString strData, strIndex;
};

// True when both paths are on one volume (their free space is one figure);
// when either cannot be told, false, so that each is checked on its own.
bool SameVolume(LPCSTR a, LPCSTR b) {
  char va[MAX_PATH], vb[MAX_PATH];
  return GetVolumePathName(a, va, sizeof va) && GetVolumePathName(b, vb, sizeof vb) &&
         std::strcmp(va, vb) == 0;
}

void Progress(ADDSTATE& st, long long done) {
  st.lWorkDone += done;
  PaceProgress(st.progress, st.client, "CSAddStruct", 0, st.lWorkDone, st.lWorkTotal,
               &st.dwNextReport);
}

// Byte offset in the index where key belongs; -1 after a short read.
long long InsertionPoint(ADDSTATE& st, LONG key) {
  const LONG n = static_cast<LONG>(st.cbIndex / sizeof(INDEXREC));
  if (n == 0) return 0;
  LONG lo = 0, hi = n - 1, last = 0;
  INDEXREC e{};
  do {
    const LONG mid = (lo + hi) / 2;
    if (!SeekTo(st.hIndex, static_cast<long long>(mid) * 8) || !ReadExact(st.hIndex, &e, sizeof e))
      return -1;
    last = mid;
    if (e.lKey == key) break;
    if (key < e.lKey)
      hi = mid;
    else
      lo = mid;
  } while (hi - lo > 1);
  if (e.lKey != key && lo != hi) {
    last = last == lo ? hi : lo;
    if (!SeekTo(st.hIndex, static_cast<long long>(last) * 8) || !ReadExact(st.hIndex, &e, sizeof e))
      return -1;
  }
  return 8LL * (key <= e.lKey ? last : last + 1);
}

bool FreeSpace(const char* path, ULONGLONG* bytes) {
  char dir[MAX_PATH];
  CopyText(dir, path, sizeof dir);
  char* slash = std::max(std::strrchr(dir, '/'), std::strrchr(dir, '\\'));
  if (slash) slash[1] = 0;
  return GetDiskFreeSpaceEx(slash ? dir : ".", bytes, nullptr, nullptr) != FALSE;
}

// The saved tail read back entry by entry, a block at a time.
class CSavedEntries {
 public:
  CSavedEntries(HANDLE h, DWORD entries) : h_(h), left_(entries) {}
  // False on a read error; *have tells whether an entry came.
  bool Next(INDEXREC* e, bool* have) {
    *have = false;
    if (left_ == 0) return true;
    if (at_ == count_) {
      const DWORD n = std::min<DWORD>(left_, kBlock / sizeof(INDEXREC));
      if (!ReadExact(h_, buf_, n * sizeof(INDEXREC))) return false;
      at_ = 0;
      count_ = n;
    }
    std::memcpy(e, buf_ + at_++ * sizeof(INDEXREC), sizeof *e);
    --left_;
    *have = true;
    return true;
  }

 private:
  HANDLE h_;
  DWORD left_;
  DWORD at_ = 0, count_ = 0;
  BYTE buf_[kBlock];
};

// Index entries written one after another, a block at a time.
class CEntryWriter {
 public:
  explicit CEntryWriter(HANDLE h) : h_(h) {}
  bool Put(const INDEXREC& e) {
    std::memcpy(buf_ + used_, &e, sizeof e);
    used_ += sizeof e;
    return used_ < kBlock || Flush();
  }
  bool Flush() {
    const DWORD n = used_;
    used_ = 0;
    return n == 0 || WriteExact(h_, buf_, n);
  }

 private:
  HANDLE h_;
  DWORD used_ = 0;
  BYTE buf_[kBlock];
};

// Puts the saved tail back at pos and cuts the index to its old size, so the
// index holds exactly what it held before the merge began.
void RestoreTail(ADDSTATE& st, HANDLE hTemp, DWORD pos, DWORD tail) {
  if (!SeekTo(hTemp, 0) || !SeekTo(st.hIndex, pos)) return;
  for (DWORD done = 0; done < tail;) {
    const DWORD n = std::min(kBlock, tail - done);
    if (!ReadExact(hTemp, st.pCopy, n) || !WriteExact(st.hIndex, st.pCopy, n)) return;
    done += n;
  }
  if (SeekTo(st.hIndex, st.cbIndex)) SetEndOfFile(st.hIndex);
}

short MergeIndex(ADDSTATE& st, std::vector<INDEXREC>& entries) {
  CCommandProcessor* pcp = st.pcp;
  std::sort(entries.begin(), entries.end(),
            [](const INDEXREC& a, const INDEXREC& b) { return a.lKey < b.lKey; });
  const long long at = InsertionPoint(st, entries.front().lKey);
  if (at < 0) return ReportError(pcp, IDS_ERR_INDEXREAD);
  const DWORD pos = static_cast<DWORD>(at);
  const DWORD tail = st.cbIndex - pos;
  st.lWorkTotal = 2LL * tail + 8LL * static_cast<long long>(entries.size());

  // The temporary file's name: a path of up to MAX_PATH characters, more
  // than the scratch texts hold.
  char tempFile[MAX_PATH] = "";
  HANDLE hTemp = INVALID_HANDLE_VALUE;
  auto closeTemp = [&] {
    if (hTemp != INVALID_HANDLE_VALUE) CloseHandle(hTemp);
    DeleteFile(tempFile);
  };
  if (tail > 0) {
    // A directory too long for the buffer is reported as such, never by a
    // buffer that was not filled.
    char tempDir[MAX_PATH] = "";
    const DWORD cbDir = GetTempPath(sizeof tempDir, tempDir);
    if (cbDir == 0 || cbDir >= sizeof tempDir)
      return ReportErrorStr(pcp, IDS_ERR_CREATEFILE, "(temporary directory path too long)");
    if (!GetTempFileName(tempDir, "str", 0, tempFile))
      return ReportErrorStr(pcp, IDS_ERR_CREATEFILE, tempDir);
    ULONGLONG freeTemp = 0, freeIndex = 0;
    const ULONGLONG added = 8ULL * entries.size();
    bool enough;
    if (SameVolume(tempFile, st.strIndex)) {
      enough = FreeSpace(tempFile, &freeTemp) && freeTemp > tail + added;
    } else {
      enough = FreeSpace(tempFile, &freeTemp) && freeTemp >= tail &&
               FreeSpace(st.strIndex, &freeIndex) && freeIndex > added;
    }
    if (!enough) {
      DeleteFile(tempFile);
      return ReportError(pcp, IDS_ERR_DISKSPACE);
    }
    hTemp = CreateFile(tempFile, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hTemp == INVALID_HANDLE_VALUE) {
      short status = ReportErrorStr(pcp, IDS_ERR_OPENFILE, tempFile);
      DeleteFile(tempFile);
      return status;
    }
    if (!SeekTo(st.hIndex, pos)) {
      closeTemp();
      return ReportErrorStr(pcp, IDS_ERR_FILEREAD, st.strIndex);
    }
    for (DWORD done = 0; done < tail;) {
      const DWORD n = std::min(kBlock, tail - done);
      DWORD got = 0;
      if (!ReadFile(st.hIndex, st.pCopy, n, &got, nullptr) || got == 0) {
        closeTemp();
        return ReportErrorStr(pcp, IDS_ERR_FILEREAD, st.strIndex);
      }
      if (!WriteExact(hTemp, st.pCopy, got)) {
        short status = ReportErrorStr(pcp, IDS_ERR_FILEWRITE, tempFile);
        closeTemp();
        return status;
      }
      done += got;
      Progress(st, got);
    }
  }

  // The merged run from pos: new entries in key order among the saved ones,
  // a saved entry with a new entry's key dropped.
  short status = 0;
  if (!SeekTo(st.hIndex, pos) || (hTemp != INVALID_HANDLE_VALUE && !SeekTo(hTemp, 0)))
    status = ReportErrorStr(pcp, IDS_ERR_FILEWRITE, st.strIndex);
  auto saved = std::make_unique<CSavedEntries>(hTemp, tail / 8);
  auto out = std::make_unique<CEntryWriter>(st.hIndex);
  INDEXREC next{};
  bool haveSaved = false;
  auto readSaved = [&] {
    if (!saved->Next(&next, &haveSaved)) status = ReportErrorStr(pcp, IDS_ERR_FILEREAD, tempFile);
  };
  auto write = [&](const INDEXREC& e) {
    if (!out->Put(e))
      status = ReportErrorStr(pcp, IDS_ERR_FILEWRITE, st.strIndex);
    else
      Progress(st, 8);
  };
  if (status == 0) readSaved();
  for (size_t i = 0; status == 0 && i <= entries.size(); ++i) {
    const bool last = i == entries.size();
    while (status == 0 && haveSaved && (last || next.lKey < entries[i].lKey)) {
      write(next);
      if (status == 0) readSaved();
    }
    if (status || last) break;
    if (haveSaved && next.lKey == entries[i].lKey) readSaved();
    if (status == 0) write(entries[i]);
  }
  if (status == 0 && !out->Flush()) status = ReportErrorStr(pcp, IDS_ERR_FILEWRITE, st.strIndex);
  if (status) {
    if (hTemp != INVALID_HANDLE_VALUE)
      RestoreTail(st, hTemp, pos, tail);
    else if (SeekTo(st.hIndex, st.cbIndex))
      SetEndOfFile(st.hIndex);
  }
  if (hTemp != INVALID_HANDLE_VALUE) closeTemp();
  return status;
}

short OpenLibrary(ADDSTATE& st) {
  CCommandProcessor* pcp = st.pcp;
  st.bNewLibrary = GetFileAttributes(st.strIndex) == INVALID_FILE_ATTRIBUTES;
  // Records carry no keys: an index lost beside its data file cannot be
  // made again, so the data file is not touched.
  if (st.bNewLibrary && GetFileAttributes(st.strData) != INVALID_FILE_ATTRIBUTES)
    return ReportErrorStr(pcp, IDS_ERR_OPENFILE, st.strIndex);
  const DWORD how = st.bNewLibrary ? CREATE_NEW : OPEN_EXISTING;
  st.hIndex = CreateFile(st.strIndex, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, how,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (st.hIndex == INVALID_HANDLE_VALUE) return ReportErrorStr(pcp, IDS_ERR_OPENFILE, st.strIndex);
  st.bCreatedIndex = st.bNewLibrary;
  st.cbIndex = GetFileSize(st.hIndex, nullptr);
  st.hData = CreateFile(st.strData, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, how,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  if (st.hData == INVALID_HANDLE_VALUE) return ReportErrorStr(pcp, IDS_ERR_OPENFILE, st.strData);
  st.bCreatedData = st.bNewLibrary;
  BYTE kind = 1;
  // An empty pair is what a creation cut short leaves: it is still new.
  const bool emptyPair = !st.bNewLibrary && st.cbIndex == 0 && GetFileSize(st.hData, nullptr) == 0;
  if (st.bNewLibrary || emptyPair) {
    if (!WriteExact(st.hData, &kind, 1)) return ReportErrorStr(pcp, IDS_ERR_FILEWRITE, st.strData);
  } else if (!ReadExact(st.hData, &kind, 1) || kind != 1) {
    return ReportError(pcp, IDS_ERR_STANDARDLIBRARY);
  }
  return 0;
}

// Appends one encoded record at the end of the data file; a failed write is
// cut off again so that record numbers stay right.
short AppendRecord(ADDSTATE& st, HLOCAL hRecord, LONG* offset) {
  const DWORD end = GetFileSize(st.hData, nullptr);
  const UINT cb = LocalSize(hRecord);
  const BYTE* p = static_cast<const BYTE*>(LocalLock(hRecord));
  WORD length;
  std::memcpy(&length, p, 2);
  const DWORD cbRecord = 2u + length;
  bool ok = cbRecord <= cb && SeekTo(st.hData, end) && WriteExact(st.hData, p, cbRecord);
  LocalUnlock(hRecord);
  if (!ok) {
    if (SeekTo(st.hData, end)) SetEndOfFile(st.hData);
    return ReportErrorStr(st.pcp, IDS_ERR_FILEWRITE, st.strData);
  }
  *offset = static_cast<LONG>(end);
  Progress(st, cbRecord);
  return 0;
}

}  // namespace

short AddStructureToLibrary(const CString& path, CSDRAWREC** structures, int count,
                            PROGRESSPROC progress, CCpClient* client, BOOL askId,
                            IDPROMPTPROC prompt) {
  CCommandProcessor* pcp = client->pcp;
  HLOCAL hCopy = LocalAlloc(LHND, kBlock);
  if (!hCopy) return ReportError(pcp, IDS_ERR_NOMEMORY);
  ADDSTATE st;
  st.client = client;
  st.pcp = pcp;
  st.pCopy = static_cast<BYTE*>(LocalLock(hCopy));
  st.progress = progress;
  st.strData = DataPathOf(path);
  st.strIndex = IndexPathOf(path);
  st.dwNextReport = GetTickCount();
  Progress(st, 0);

  short status = OpenLibrary(st);
  std::vector<INDEXREC> entries;
  for (int i = 0; status == 0 && i < count; ++i) {
    CSDRAWREC* rec = structures[i];
    if (!rec) continue;
    if ((rec->lId < 1 || askId) && prompt) {
      status = prompt(client, rec, path, st.hIndex);
      if (status) break;
    }
    if (rec->lId < 1) {
      // The user gave no ID: an abort, not an error.
      ReportError(pcp, IDS_ERR_USERABORT);
      break;
    }
    HLOCAL hRecord = nullptr;
    status = EncodeStructureRecord(pcp, rec, &hRecord);
    if (status) break;
    LONG offset = 0;
    status = AppendRecord(st, hRecord, &offset);
    LocalFree(hRecord);
    if (status == 0) entries.push_back(INDEXREC{rec->lId, offset});
  }
  if (status == 0 && !entries.empty()) status = MergeIndex(st, entries);
  const bool stored = status == 0;

  const BOOL closedIndex = st.hIndex == INVALID_HANDLE_VALUE || CloseHandle(st.hIndex);
  const BOOL closedData = st.hData == INVALID_HANDLE_VALUE || CloseHandle(st.hData);
  if (status == 0 && (!closedIndex || !closedData))
    status = ReportErrorStr(pcp, IDS_ERR_CLOSEFILE, st.strIndex);
  // A library this call began and could not fill is taken away again, so
  // the next addition starts afresh instead of meeting a broken pair.
  if (!stored) {
    if (st.bCreatedIndex) DeleteFile(st.strIndex);
    if (st.bCreatedData) DeleteFile(st.strData);
  }
  LocalUnlock(hCopy);
  LocalFree(hCopy);
  return status;
}
