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
