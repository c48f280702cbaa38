// File handles: CreateFile and the calls on an open handle (read, write, seek,
// size, truncate, flush, close), with Windows error codes and injected faults.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <map>
#include <mutex>

#include "internal.h"

namespace {

// The file position is kept here and every transfer is positioned, so a seek
// costs no system call and a read or write one.
struct FileObject {
  int fd;
  DWORD access;
  int64_t pos = 0;
};

struct FileTable {
  std::mutex mutex;
  std::map<uintptr_t, FileObject> files;
};

FileTable& Table() {
  static auto* t = new FileTable;
  return *t;
}

// Looks the handle up with the table locked for the caller's whole call, so
// a handle cannot be closed under a read or write in progress.
class HandleRef {
 public:
  explicit HandleRef(HANDLE h) : lock_(Table().mutex) {
    auto it = Table().files.find(reinterpret_cast<uintptr_t>(h));
    if (it != Table().files.end()) file_ = &it->second;
  }
  FileObject* get() const { return file_; }

 private:
  std::lock_guard<std::mutex> lock_;
  FileObject* file_ = nullptr;
};

FileObject* Require(const HandleRef& ref, DWORD needed) {
  FileObject* f = ref.get();
  if (!f) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if ((f->access & needed) != needed) {
    SetLastError(ERROR_ACCESS_DENIED);
    return nullptr;
  }
  return f;
}

DWORD FaultError(platform::FaultKind kind, DWORD failError) {
  return kind == platform::FaultKind::DiskFull ? ERROR_DISK_FULL : failError;
}

}  // namespace

HANDLE CreateFile(LPCSTR lpFileName, DWORD dwDesiredAccess, DWORD dwShareMode, SECURITY_ATTRIBUTES*,
                  DWORD dwCreationDisposition, DWORD, HANDLE) {
  if (auto fault = platform::detail::TakeFault(platform::FaultOp::CreateFile)) {
    SetLastError(FaultError(*fault, ERROR_ACCESS_DENIED));
    return INVALID_HANDLE_VALUE;
  }
  std::string host;
  int fd = -1;
  // An existing file is opened as spelt first; the case-insensitive lookup
  // runs only when that finds nothing. (A creating open looks up first: it
  // must not make a second file beside one spelt in another case.)
  const bool creates = dwCreationDisposition != OPEN_EXISTING &&
                       dwCreationDisposition != TRUNCATE_EXISTING;
  std::string spelt;
  if (!creates && platform::detail::HostPathAsSpelt(lpFileName, spelt)) {
    fd = platform::detail::OpenShared(spelt, dwDesiredAccess, dwShareMode, dwCreationDisposition);
    const DWORD err = GetLastError();
    if (fd < 0 && err != ERROR_FILE_NOT_FOUND && err != ERROR_PATH_NOT_FOUND)
      return INVALID_HANDLE_VALUE;
  }
  if (fd < 0) {
    if (!platform::detail::HostPath(lpFileName, host)) return INVALID_HANDLE_VALUE;
    if (host == spelt) return INVALID_HANDLE_VALUE;  // tried: missing in every case
    fd = platform::detail::OpenShared(host, dwDesiredAccess, dwShareMode, dwCreationDisposition);
  }
  if (fd < 0) return INVALID_HANDLE_VALUE;
  uintptr_t id = platform::detail::NewHandleValue();
  {
    std::lock_guard lock(Table().mutex);
    Table().files[id] = {fd, dwDesiredAccess & (GENERIC_READ | GENERIC_WRITE), 0};
  }
  return reinterpret_cast<HANDLE>(id);
}

BOOL ReadFile(HANDLE hFile, LPVOID lpBuffer, DWORD nNumberOfBytesToRead,
              LPDWORD lpNumberOfBytesRead, void*) {
  auto fault = platform::detail::TakeFault(platform::FaultOp::ReadFile);
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = 0;
  HandleRef ref(hFile);
  FileObject* f = Require(ref, GENERIC_READ);
  if (!f) return FALSE;
  DWORD want = nNumberOfBytesToRead;
  if (fault) {
    if (*fault != platform::FaultKind::ShortWrite) {
      SetLastError(ERROR_READ_FAULT);
      return FALSE;
    }
    want /= 2;  // a short read, the reading counterpart of a short write
  }
  DWORD done = 0;
  char* p = static_cast<char*>(lpBuffer);
  while (done < want) {
    ssize_t n = pread(f->fd, p + done, want - done, f->pos + done);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
      SetLastError(platform::detail::Win32Error(errno));
      return FALSE;
    }
    if (n == 0) break;
    done += static_cast<DWORD>(n);
  }
  f->pos += done;
  if (lpNumberOfBytesRead) *lpNumberOfBytesRead = done;
  return TRUE;
}

BOOL WriteFile(HANDLE hFile, LPCVOID lpBuffer, DWORD nNumberOfBytesToWrite,
               LPDWORD lpNumberOfBytesWritten, void*) {
  auto fault = platform::detail::TakeFault(platform::FaultOp::WriteFile);
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = 0;
  HandleRef ref(hFile);
  FileObject* f = Require(ref, GENERIC_WRITE);
  if (!f) return FALSE;
  DWORD want = nNumberOfBytesToWrite;
  if (fault) {
    if (*fault != platform::FaultKind::ShortWrite) {
      SetLastError(FaultError(*fault, ERROR_WRITE_FAULT));
      return FALSE;
    }
    want /= 2;
  }
  DWORD done = 0;
  const char* p = static_cast<const char*>(lpBuffer);
  while (done < want) {
    ssize_t n = pwrite(f->fd, p + done, want - done, f->pos + done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      f->pos += done;
      if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
      SetLastError(n < 0 ? platform::detail::Win32Error(errno) : ERROR_DISK_FULL);
      return FALSE;
    }
    done += static_cast<DWORD>(n);
  }
  f->pos += done;
  if (lpNumberOfBytesWritten) *lpNumberOfBytesWritten = done;
  return TRUE;
}

DWORD SetFilePointer(HANDLE hFile, LONG lDistanceToMove, PLONG lpDistanceToMoveHigh,
                     DWORD dwMoveMethod) {
  auto fault = platform::detail::TakeFault(platform::FaultOp::SetFilePointer);
  HandleRef ref(hFile);
  FileObject* f = Require(ref, 0);
  if (!f) return INVALID_SET_FILE_POINTER;
  if (fault) {
    SetLastError(ERROR_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  int64_t distance =
      lpDistanceToMoveHigh
          ? static_cast<int64_t>(
                (static_cast<uint64_t>(static_cast<uint32_t>(*lpDistanceToMoveHigh)) << 32) |
                static_cast<uint32_t>(lDistanceToMove))
          : static_cast<int64_t>(lDistanceToMove);
  int64_t base;
  if (dwMoveMethod == FILE_BEGIN) {
    base = 0;
  } else if (dwMoveMethod == FILE_CURRENT) {
    base = f->pos;
  } else if (dwMoveMethod == FILE_END) {
    struct stat st;
    base = fstat(f->fd, &st) == 0 ? st.st_size : -1;
  } else {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_SET_FILE_POINTER;
  }
  if (base < 0) {
    SetLastError(platform::detail::Win32Error(errno));
    return INVALID_SET_FILE_POINTER;
  }
  int64_t pos = base + distance;
  if (pos < 0) {
    SetLastError(ERROR_NEGATIVE_SEEK);
    return INVALID_SET_FILE_POINTER;
  }
  f->pos = pos;
  if (lpDistanceToMoveHigh) *lpDistanceToMoveHigh = static_cast<LONG>(pos >> 32);
  // A position whose low word is all ones is told from failure by this.
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(pos);
}

DWORD GetFileSize(HANDLE hFile, LPDWORD lpFileSizeHigh) {
  HandleRef ref(hFile);
  FileObject* f = Require(ref, 0);
  struct stat st;
  if (!f) return INVALID_FILE_SIZE;
  if (fstat(f->fd, &st) != 0) {
    SetLastError(platform::detail::Win32Error(errno));
    return INVALID_FILE_SIZE;
  }
  uint64_t size = static_cast<uint64_t>(st.st_size);
  if (lpFileSizeHigh) *lpFileSizeHigh = static_cast<DWORD>(size >> 32);
  SetLastError(ERROR_SUCCESS);
  return static_cast<DWORD>(size);
}

namespace {

// Windows time from a POSIX one: 100-ns intervals since 1601.
FILETIME FileTimeOf(const timespec& t) {
  constexpr int64_t kEpochDelta = 11644473600LL;  // seconds from 1601 to 1970
  const int64_t ticks = (static_cast<int64_t>(t.tv_sec) + kEpochDelta) * 10000000 + t.tv_nsec / 100;
  const uint64_t u = ticks < 0 ? 0 : static_cast<uint64_t>(ticks);
  return {static_cast<DWORD>(u), static_cast<DWORD>(u >> 32)};
}

}  // namespace

BOOL GetFileInformationByHandle(HANDLE hFile, BY_HANDLE_FILE_INFORMATION* info) {
  HandleRef ref(hFile);
  FileObject* f = Require(ref, 0);
  if (!f) return FALSE;
  if (!info) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  struct stat st;
  if (fstat(f->fd, &st) != 0) {
    SetLastError(platform::detail::Win32Error(errno));
    return FALSE;
  }
  *info = {};
  info->dwFileAttributes = S_ISDIR(st.st_mode)        ? FILE_ATTRIBUTE_DIRECTORY
                           : (st.st_mode & S_IWUSR) != 0 ? FILE_ATTRIBUTE_NORMAL
                                                        : FILE_ATTRIBUTE_READONLY;
  info->ftLastAccessTime = FileTimeOf(st.st_atim);
  info->ftLastWriteTime = FileTimeOf(st.st_mtim);
  const uint64_t dev = static_cast<uint64_t>(st.st_dev);
  info->dwVolumeSerialNumber = static_cast<DWORD>(dev ^ (dev >> 32));
  const uint64_t size = static_cast<uint64_t>(st.st_size);
  info->nFileSizeHigh = static_cast<DWORD>(size >> 32);
  info->nFileSizeLow = static_cast<DWORD>(size);
  info->nNumberOfLinks = static_cast<DWORD>(st.st_nlink);
  const uint64_t ino = static_cast<uint64_t>(st.st_ino);
  info->nFileIndexHigh = static_cast<DWORD>(ino >> 32);
  info->nFileIndexLow = static_cast<DWORD>(ino);
  return TRUE;
}

void GetSystemTimeAsFileTime(FILETIME* out) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  if (out) *out = FileTimeOf(now);
}

BOOL SetEndOfFile(HANDLE hFile) {
  HandleRef ref(hFile);
  FileObject* f = Require(ref, GENERIC_WRITE);
  if (!f) return FALSE;
  if (ftruncate(f->fd, f->pos) != 0) {
    SetLastError(platform::detail::Win32Error(errno));
    return FALSE;
  }
  return TRUE;
}

BOOL FlushFileBuffers(HANDLE hFile) {
  HandleRef ref(hFile);
  FileObject* f = Require(ref, GENERIC_WRITE);
  if (!f) return FALSE;
  if (fdatasync(f->fd) != 0 && errno != EINVAL) {
    SetLastError(platform::detail::Win32Error(errno));
    return FALSE;
  }
  return TRUE;
}

BOOL CloseHandle(HANDLE hObject) {
  auto fault = platform::detail::TakeFault(platform::FaultOp::CloseHandle);
  std::lock_guard lock(Table().mutex);
  auto it = Table().files.find(reinterpret_cast<uintptr_t>(hObject));
  if (it == Table().files.end()) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  // An injected failure still releases the handle, as a close whose last
  // write failed does: the caller can do nothing about it, and nothing leaks.
  int rc = close(it->second.fd);
  int err = errno;
  Table().files.erase(it);
  if (fault || rc != 0) {
    SetLastError(fault ? ERROR_WRITE_FAULT : platform::detail::Win32Error(err));
    return FALSE;
  }
  return TRUE;
}

namespace platform {

int OpenFileHandles() {
  std::lock_guard lock(Table().mutex);
  return static_cast<int>(Table().files.size());
}

}  // namespace platform
