#include "database/fileio.h"

HANDLE OpenForReading(LPCSTR path) {
  return CreateFile(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                    FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool ReadExact(HANDLE h, void* buf, DWORD cb) {
  DWORD got = 0;
  return ReadFile(h, buf, cb, &got, nullptr) && got == cb;
}

bool WriteExact(HANDLE h, const void* buf, DWORD cb) {
  if (cb == 0) return true;
  DWORD done = 0;
  return WriteFile(h, buf, cb, &done, nullptr) && done == cb;
}

namespace {

// A position of all ones in the low word is a real position when the last
// error stays clear.
bool Moved(DWORD low) { return low != INVALID_SET_FILE_POINTER || GetLastError() == ERROR_SUCCESS; }

}  // namespace

bool SeekTo(HANDLE h, long long pos) {
  if (pos < 0) return false;
  LONG high = static_cast<LONG>(pos >> 32);
  SetLastError(ERROR_SUCCESS);
  return Moved(SetFilePointer(h, static_cast<LONG>(pos & 0xFFFFFFFF), &high, FILE_BEGIN));
}

bool SeekBy(HANDLE h, LONG delta) {
  SetLastError(ERROR_SUCCESS);
  return Moved(SetFilePointer(h, delta, nullptr, FILE_CURRENT));
}

long long FilePosition(HANDLE h) {
  LONG high = 0;
  SetLastError(ERROR_SUCCESS);
  const DWORD low = SetFilePointer(h, 0, &high, FILE_CURRENT);
  if (!Moved(low)) return -1;
  return (static_cast<long long>(static_cast<DWORD>(high)) << 32) | low;
}

long long FileSizeOf(HANDLE h) {
  DWORD high = 0;
  SetLastError(ERROR_SUCCESS);
  const DWORD low = GetFileSize(h, &high);
  if (low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS) return -1;
  return (static_cast<long long>(high) << 32) | low;
}

namespace {

// The directory part of a path ("." when it has none), for temporary names
// on the target's own volume.
CString DirectoryOf(const CString& path) {
  const std::string s = path.str();
  const size_t cut = s.find_last_of("\\/");
  if (cut == std::string::npos) return CString(".");
  return CString(s.substr(0, cut == 0 ? 1 : cut).c_str());
}

bool Exists(LPCSTR path) { return GetFileAttributes(path) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

CWholeFiles::~CWholeFiles() {
  for (Entry& e : files_) {
    if (e.h != INVALID_HANDLE_VALUE) CloseHandle(e.h);
    if (!e.temp.IsEmpty()) DeleteFile(e.temp);
  }
}

HANDLE CWholeFiles::Create(LPCSTR target) {
  Entry e;
  e.target = target;
  char temp[MAX_PATH];
  if (!GetTempFileName(DirectoryOf(e.target), "new", 0, temp)) return INVALID_HANDLE_VALUE;
  e.temp = temp;
  e.h = CreateFile(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (e.h == INVALID_HANDLE_VALUE) {
    DeleteFile(temp);
    return INVALID_HANDLE_VALUE;
  }
  try {
    files_.push_back(e);
  } catch (...) {
    CloseHandle(e.h);
    DeleteFile(temp);
    throw;
  }
  return e.h;
}

bool CWholeFiles::Commit() {
  bool ok = true;
  for (Entry& e : files_) {
    if (!CloseHandle(e.h)) ok = false;
    e.h = INVALID_HANDLE_VALUE;
  }
  // The old files step aside first, so that each can be put back.
  for (Entry& e : files_) {
    if (!ok) break;
    if (!Exists(e.target)) continue;
    char backup[MAX_PATH];
    if (!GetTempFileName(DirectoryOf(e.target), "old", 0, backup)) {
      ok = false;
    } else if (!MoveFileEx(e.target, backup, MOVEFILE_REPLACE_EXISTING)) {
      DeleteFile(backup);
      ok = false;
    } else {
      e.backup = backup;
    }
  }
  size_t placed = 0;
  while (ok && placed < files_.size()) {
    if (MoveFileEx(files_[placed].temp, files_[placed].target, MOVEFILE_REPLACE_EXISTING))
      ++placed;
    else
      ok = false;
  }
  for (size_t i = 0; i < files_.size(); ++i) {
    Entry& e = files_[i];
    if (ok) {
      if (!e.backup.IsEmpty()) DeleteFile(e.backup);
      continue;
    }
    if (i < placed)
      DeleteFile(e.target);  // the new file, in place
    else
      DeleteFile(e.temp);
    if (!e.backup.IsEmpty()) MoveFileEx(e.backup, e.target, MOVEFILE_REPLACE_EXISTING);
  }
  files_.clear();
  return ok;
}
