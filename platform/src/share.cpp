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
enum Marker { kHasRead, kHasWrite, kDeniesRead, kDeniesWrite, kDeniesDelete };

struct flock MarkerLock(Marker m, short type) {
  struct flock fl = {};
  fl.l_type = type;
  fl.l_whence = SEEK_SET;
  fl.l_start = kMarkerBase + m;
  fl.l_len = 1;
  return fl;
}

// A file system without open-file-description locks simply does not
// enforce share modes.
void Place(int fd, Marker m) {
  struct flock fl = MarkerLock(m, F_RDLCK);
  while (fcntl(fd, F_OFD_SETLK, &fl) != 0 && errno == EINTR) {
  }
}

// Locks of the description fd itself never conflict with it, so this sees
// only other handles.
bool HeldByOthers(int fd, Marker m) {
  struct flock fl = MarkerLock(m, F_WRLCK);
  if (fcntl(fd, F_OFD_GETLK, &fl) != 0) return false;
  return fl.l_type != F_UNLCK;
}

bool Conflicts(int fd, DWORD access, DWORD share) {
  return ((access & GENERIC_READ) && HeldByOthers(fd, kDeniesRead)) ||
         ((access & GENERIC_WRITE) && HeldByOthers(fd, kDeniesWrite)) ||
         (!(share & FILE_SHARE_READ) && HeldByOthers(fd, kHasRead)) ||
         (!(share & FILE_SHARE_WRITE) && HeldByOthers(fd, kHasWrite));
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
  if (access & GENERIC_READ) Place(fd, kHasRead);
  if (access & GENERIC_WRITE) Place(fd, kHasWrite);
  if (!(share & FILE_SHARE_READ)) Place(fd, kDeniesRead);
  if (!(share & FILE_SHARE_WRITE)) Place(fd, kDeniesWrite);
  if (!(share & FILE_SHARE_DELETE)) Place(fd, kDeniesDelete);
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
  bool denied = HeldByOthers(fd, kDeniesDelete);
  close(fd);
  return denied;
}

}  // namespace platform::detail
