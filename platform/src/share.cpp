// Opening files with Windows share modes. Every open handle holds shared
// open-file-description locks on marker bytes far beyond any real data: one
// for each access it has and each sharing it refuses. An open fails with
// ERROR_SHARING_VIOLATION when another handle, in this or any other process,
// holds a marker that conflicts with it. Markers are placed before the check,
// so of two opens racing for the same file at worst both fail, never both
// succeed.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "internal.h"

namespace {

constexpr off_t kMarkerBase = off_t{1} << 62;
// Ordered so that the common opens (read sharing read; read and write sharing
// read) place their markers in one run and check in one run: a lock call
// covers each run of adjacent markers.
enum Marker { kHasRead, kDeniesDelete, kDeniesWrite, kHasWrite, kDeniesRead, kMarkers };
using MarkerSet = unsigned;

struct flock MarkerLock(int first, int count, short type) {
  struct flock fl = {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = kMarkerBase + first;
  fl.l_len = count;
  return fl;
}

// Calls fn(first, count) for each run of adjacent markers in set.
template <typename Fn>
bool ForEachRun(MarkerSet set, Fn fn) {
  for (int m = 0; m < kMarkers;) {
    if (!(set & (1u << m))) {
      ++m;
      continue;
    }
    int end = m;
    while (end < kMarkers && (set & (1u << end))) ++end;
    if (fn(m, end - m)) return true;
    m = end;
  }
  return false;
}

// A file system without open-file-description locks simply does not
// enforce share modes.
void Place(int fd, MarkerSet set) {
  ForEachRun(set, [fd](int first, int count) {
    struct flock fl = MarkerLock(first, count, F_RDLCK);
    while (fcntl(fd, F_OFD_SETLK, &fl) != 0 && errno == EINTR) {
    }
    return false;
  });
}

// Locks of the description fd itself never conflict with it, so this sees
// only other handles.
bool HeldByOthers(int fd, MarkerSet set) {
  return ForEachRun(set, [fd](int first, int count) {
    struct flock fl = MarkerLock(first, count, F_WRLCK);
    if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return false;
    return fl.l_type != F_UNLCK;
  });
}

MarkerSet Bit(Marker m) { return 1u << m; }

bool Conflicts(int fd, DWORD access, DWORD share) {
  MarkerSet check = 0;
  if (access & GENERIC_READ) check |= Bit(kDeniesRead);
  if (access & GENERIC_WRITE) check |= Bit(kDeniesWrite);
  if (!(share & FILE_SHARE_READ)) check |= Bit(kHasRead);
  if (!(share & FILE_SHARE_WRITE)) check |= Bit(kHasWrite);
  return HeldByOthers(fd, check);
}

int OpenRetrying(const std::string& path, int flags) {
  int fd;
  do {
    fd = open(path.c_str(), flags | O_CLOEXEC, 0666);
  } while (fd < 0 && errno == EINTR);
  return fd;
}

}  // namespace

namespace platform::detail {

DWORD MissingFileError(const std::string& hostPath) {
  struct stat st;
  std::string dir = HostDirName(hostPath);
  return stat(dir.c_str(), &st) == 0 && S_ISDIR(st.st_mode) ? ERROR_FILE_NOT_FOUND
                                                            : ERROR_PATH_NOT_FOUND;
}

int OpenShared(const std::string& hostPath, DWORD access, DWORD share, DWORD disposition) {
  bool truncates = disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING;
  if (disposition < CREATE_NEW || disposition > TRUNCATE_EXISTING ||
      (disposition == TRUNCATE_EXISTING && !(access & GENERIC_WRITE))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  // Read access is always asked for where allowed: the markers are read locks.
  int mode = (access & GENERIC_WRITE) || truncates ? O_RDWR : O_RDONLY;
  bool existed = true;
  int fd = -1;
  if (disposition == CREATE_NEW || disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS) {
    fd = OpenRetrying(hostPath, mode | O_CREAT | O_EXCL);
    if (fd >= 0) existed = false;
    if (fd < 0 && errno == EEXIST && disposition == CREATE_NEW) {
      SetLastError(ERROR_FILE_EXISTS);
      return -1;
    }
  }
  if (fd < 0 && existed) {
    fd = OpenRetrying(hostPath, mode);
    if (fd < 0 && errno == EACCES && mode == O_RDWR && !truncates && !(access & GENERIC_READ))
      fd = OpenRetrying(hostPath, O_WRONLY);
  }
  if (fd < 0) {
    SetLastError(errno == ENOENT ? MissingFileError(hostPath) : Win32Error(errno));
    return -1;
  }
  struct stat st;
  if (fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
    close(fd);
    SetLastError(ERROR_ACCESS_DENIED);
    return -1;
  }
  MarkerSet held = 0;
  if (access & GENERIC_READ) held |= Bit(kHasRead);
  if (access & GENERIC_WRITE) held |= Bit(kHasWrite);
  if (!(share & FILE_SHARE_READ)) held |= Bit(kDeniesRead);
  if (!(share & FILE_SHARE_WRITE)) held |= Bit(kDeniesWrite);
  if (!(share & FILE_SHARE_DELETE)) held |= Bit(kDeniesDelete);
  Place(fd, held);
  if (Conflicts(fd, access, share)) {
    // Closing releases the markers just placed. A file this call created is
    // left: whoever holds it now may be using it.
    close(fd);
    SetLastError(ERROR_SHARING_VIOLATION);
    return -1;
  }
  // Truncation waits for the share check: a refused open must not have
  // emptied the file of the handle that refused it.
  if (truncates && existed && ftruncate(fd, 0) != 0) {
    int err = errno;
    close(fd);
    SetLastError(Win32Error(err));
    return -1;
  }
  SetLastError(existed && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS)
                   ? ERROR_ALREADY_EXISTS
                   : ERROR_SUCCESS);
  return fd;
}

bool DeleteDenied(const std::string& hostPath) {
  int fd = OpenRetrying(hostPath, O_RDONLY);
  if (fd < 0) return false;
  bool denied = HeldByOthers(fd, Bit(kDeniesDelete));
  close(fd);
  return denied;
}

}  // namespace platform::detail
