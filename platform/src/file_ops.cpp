// Operations on files by name: delete, move, copy, attributes, temporary
// files and free disk space.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "internal.h"

namespace {

using platform::detail::HostPath;
using platform::detail::MissingFileError;

DWORD FaultError(platform::FaultKind kind) {
  return kind == platform::FaultKind::DiskFull ? ERROR_DISK_FULL : ERROR_ACCESS_DENIED;
}

// An existing regular file, or false with the Windows error set.
bool ExistingFile(const std::string& host) {
  struct stat st;
  if (lstat(host.c_str(), &st) != 0) {
    SetLastError(errno == ENOENT ? MissingFileError(host) : platform::detail::Win32Error(errno));
    return false;
  }
  if (S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_ACCESS_DENIED);
    return false;
  }
  return true;
}

bool CopyBytes(int from, int to) {
  char buf[65536];
  for (;;) {
    ssize_t n = read(from, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return false;
    if (n == 0) return true;
    for (ssize_t done = 0; done < n;) {
      ssize_t w = write(to, buf + done, static_cast<size_t>(n - done));
      if (w < 0 && errno == EINTR) continue;
      if (w <= 0) {
        if (w == 0) errno = ENOSPC;
        return false;
      }
      done += w;
    }
  }
}

bool CopyHostFile(const std::string& src, const std::string& dst, bool failIfExists) {
  int in = platform::detail::OpenShared(src, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
  if (in < 0) return false;
  int out = platform::detail::OpenShared(dst, GENERIC_WRITE, 0,
                                         failIfExists ? CREATE_NEW : CREATE_ALWAYS);
  if (out < 0) {
    close(in);
    return false;
  }
  bool ok = CopyBytes(in, out);
  DWORD err = ok ? ERROR_SUCCESS : platform::detail::Win32Error(errno);
  close(in);
  if (close(out) != 0 && ok) {
    ok = false;
    err = platform::detail::Win32Error(errno);
  }
  if (!ok) {
    unlink(dst.c_str());  // no half copy is left behind
    SetLastError(err);
  }
  return ok;
}

std::string TempDirectory() {
  for (const char* var : {"TMPDIR", "TMP", "TEMP"})
    if (const char* v = std::getenv(var); v && *v) return v;
  return "/tmp";
}

}  // namespace

BOOL DeleteFile(LPCSTR lpFileName) {
  if (auto fault = platform::detail::TakeFault(platform::FaultOp::DeleteFile)) {
    SetLastError(FaultError(*fault));
    return FALSE;
  }
  std::string host;
  if (!HostPath(lpFileName, host) || !ExistingFile(host)) return FALSE;
  if (platform::detail::DeleteDenied(host)) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return FALSE;
  }
  if (unlink(host.c_str()) != 0) {
    SetLastError(platform::detail::Win32Error(errno));
    return FALSE;
  }
  return TRUE;
}

namespace {

BOOL MoveOrReplace(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, bool replace) {
  if (auto fault = platform::detail::TakeFault(platform::FaultOp::MoveFile)) {
    SetLastError(FaultError(*fault));
    return FALSE;
  }
  std::string from, to;
  if (!HostPath(lpExistingFileName, from) || !HostPath(lpNewFileName, to)) return FALSE;
  struct stat st;
  if (lstat(from.c_str(), &st) != 0) {
    SetLastError(errno == ENOENT ? MissingFileError(from) : platform::detail::Win32Error(errno));
    return FALSE;
  }
  const bool fromDir = S_ISDIR(st.st_mode);
  if (!fromDir && platform::detail::DeleteDenied(from)) {
    SetLastError(ERROR_SHARING_VIOLATION);
    return FALSE;
  }
  if (replace && lstat(to.c_str(), &st) == 0) {
    // Only a file replaces a file, and only one nobody holds against deletion.
    if (fromDir || S_ISDIR(st.st_mode)) {
      SetLastError(ERROR_ACCESS_DENIED);
      return FALSE;
    }
    if (platform::detail::DeleteDenied(to)) {
      SetLastError(ERROR_SHARING_VIOLATION);
      return FALSE;
    }
  }
  int err = 0;
  if (replace) {
    if (rename(from.c_str(), to.c_str()) == 0) return TRUE;
    err = errno;
  } else {
    if (renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0) return TRUE;
    err = errno;
    if (err == EINVAL || err == ENOSYS) {  // a file system without no-replace renames
      if (lstat(to.c_str(), &st) == 0) {
        err = EEXIST;
      } else if (rename(from.c_str(), to.c_str()) == 0) {
        return TRUE;
      } else {
        err = errno;
      }
    }
  }
  if (err == EXDEV) {
    if (!CopyHostFile(from, to, !replace)) return FALSE;
    unlink(from.c_str());
    return TRUE;
  }
  if (err == EEXIST) {
    SetLastError(ERROR_ALREADY_EXISTS);
  } else if (err == ENOENT) {
    SetLastError(ERROR_PATH_NOT_FOUND);  // the source exists: the target's directory does not
  } else {
    SetLastError(platform::detail::Win32Error(err));
  }
  return FALSE;
}

}  // namespace

BOOL MoveFile(LPCSTR lpExistingFileName, LPCSTR lpNewFileName) {
  return MoveOrReplace(lpExistingFileName, lpNewFileName, false);
}

BOOL MoveFileEx(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, DWORD dwFlags) {
  return MoveOrReplace(lpExistingFileName, lpNewFileName,
                       (dwFlags & MOVEFILE_REPLACE_EXISTING) != 0);
}

BOOL GetVolumePathName(LPCSTR lpszFileName, LPSTR lpszVolumePathName, DWORD cchBufferLength) {
  std::string host;
  if (!lpszFileName || !HostPath(lpszFileName, host)) return FALSE;
  struct stat st;
  while (stat(host.c_str(), &st) != 0 && host != "/") host = platform::detail::HostDirName(host);
  if (stat(host.c_str(), &st) != 0) {
    SetLastError(platform::detail::Win32Error(errno));
    return FALSE;
  }
  // Up the tree while the device stays the same: the top is the mount point.
  const dev_t dev = st.st_dev;
  while (host != "/") {
    const std::string parent = platform::detail::HostDirName(host);
    struct stat up;
    if (stat(parent.c_str(), &up) != 0 || up.st_dev != dev) break;
    host = parent;
  }
  if (host.back() != '/') host += '/';
  if (!lpszVolumePathName || host.size() + 1 > cchBufferLength) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return FALSE;
  }
  std::memcpy(lpszVolumePathName, host.c_str(), host.size() + 1);
  return TRUE;
}

BOOL CopyFile(LPCSTR lpExistingFileName, LPCSTR lpNewFileName, BOOL bFailIfExists) {
  std::string from, to;
  if (!HostPath(lpExistingFileName, from) || !HostPath(lpNewFileName, to)) return FALSE;
  if (!ExistingFile(from)) return FALSE;
  return CopyHostFile(from, to, bFailIfExists) ? TRUE : FALSE;
}

DWORD GetFileAttributes(LPCSTR lpFileName) {
  std::string host;
  if (!HostPath(lpFileName, host)) return INVALID_FILE_ATTRIBUTES;
  struct stat st;
  if (stat(host.c_str(), &st) != 0) {
    SetLastError(errno == ENOENT ? MissingFileError(host) : platform::detail::Win32Error(errno));
    return INVALID_FILE_ATTRIBUTES;
  }
  if (S_ISDIR(st.st_mode)) return FILE_ATTRIBUTE_DIRECTORY;
  return access(host.c_str(), W_OK) == 0 ? FILE_ATTRIBUTE_NORMAL : FILE_ATTRIBUTE_READONLY;
}

DWORD GetTempPath(DWORD nBufferLength, LPSTR lpBuffer) {
  std::string dir = TempDirectory();
  if (dir.back() != '/') dir += '/';
  if (!lpBuffer || nBufferLength <= dir.size()) return static_cast<DWORD>(dir.size() + 1);
  std::memcpy(lpBuffer, dir.c_str(), dir.size() + 1);
  return static_cast<DWORD>(dir.size());
}

UINT GetTempFileName(LPCSTR lpPathName, LPCSTR lpPrefixString, UINT uUnique, LPSTR lpTempFileName) {
  if (!lpPathName || !lpTempFileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::string dir = lpPathName;
  std::string hostDir;
  struct stat st;
  if (!HostPath(lpPathName, hostDir) || stat(hostDir.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) {
    SetLastError(ERROR_DIRECTORY);
    return 0;
  }
  // The name keeps the caller's style of separator.
  char sep = 0;
  if (!dir.empty() && dir.back() != '\\' && dir.back() != '/') {
    bool windowsStyle =
        dir.find('\\') != std::string::npos ||
        (dir.size() >= 2 && std::isalpha(static_cast<unsigned char>(dir[0])) && dir[1] == ':');
    sep = windowsStyle ? '\\' : '/';
  }
  std::string prefix = std::string(lpPrefixString ? lpPrefixString : "").substr(0, 3);
  auto nameFor = [&](UINT n) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "%X", n);
    std::string name = dir;
    if (sep) name += sep;
    name.append(prefix).append(hex).append(".TMP");
    return name;
  };
  auto give = [&](const std::string& name, UINT n) -> UINT {
    if (name.size() >= MAX_PATH) {
      SetLastError(ERROR_BUFFER_OVERFLOW);
      return 0;
    }
    std::memcpy(lpTempFileName, name.c_str(), name.size() + 1);
    return n;
  };
  if (uUnique != 0) return give(nameFor(uUnique & 0xFFFF), uUnique & 0xFFFF);
  UINT start = (GetTickCount() ^ static_cast<UINT>(getpid()) * 2654435761u) & 0xFFFF;
  for (UINT k = 0; k < 0x10000; ++k) {
    UINT n = (start + k) & 0xFFFF;
    if (n == 0) continue;
    std::string name = nameFor(n);
    if (name.size() >= MAX_PATH) return give(name, n);
    std::string host;
    if (!HostPath(name.c_str(), host)) return 0;
    int fd = open(host.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
      close(fd);
      return give(name, n);
    }
    if (errno != EEXIST) {
      SetLastError(platform::detail::Win32Error(errno));
      return 0;
    }
  }
  SetLastError(ERROR_FILE_EXISTS);
  return 0;
}

BOOL GetDiskFreeSpaceEx(LPCSTR lpDirectoryName, ULONGLONG* lpFreeBytesAvailable,
                        ULONGLONG* lpTotalNumberOfBytes, ULONGLONG* lpTotalNumberOfFreeBytes) {
  std::string host;
  if (!HostPath(lpDirectoryName ? lpDirectoryName : ".", host)) return FALSE;
  // Callers pass the root of a path by taking its first three characters, a
  // Windows habit that on POSIX names a directory that may not exist: the
  // nearest existing ancestor stands for it.
  struct stat st;
  while (stat(host.c_str(), &st) != 0 && host != "/") host = platform::detail::HostDirName(host);
  struct statvfs vfs;
  if (statvfs(host.c_str(), &vfs) != 0) {
    SetLastError(platform::detail::Win32Error(errno));
    return FALSE;
  }
  ULONGLONG avail = static_cast<ULONGLONG>(vfs.f_bavail) * vfs.f_frsize;
  ULONGLONG total = static_cast<ULONGLONG>(vfs.f_blocks) * vfs.f_frsize;
  ULONGLONG free = static_cast<ULONGLONG>(vfs.f_bfree) * vfs.f_frsize;
  if (platform::detail::DiskFullReported()) {
    avail = free = 0;
  } else if (long long forced = platform::detail::FreeSpaceOverride(); forced >= 0) {
    avail = free = static_cast<ULONGLONG>(forced);
    total = std::max(total, avail);
  }
  if (lpFreeBytesAvailable) *lpFreeBytesAvailable = avail;
  if (lpTotalNumberOfBytes) *lpTotalNumberOfBytes = total;
  if (lpTotalNumberOfFreeBytes) *lpTotalNumberOfFreeBytes = free;
  return TRUE;
}
