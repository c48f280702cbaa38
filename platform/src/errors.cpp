// The calling thread's last error, the mapping from errno to Windows error
// codes, and the process-wide numbering of handles.
#include <cerrno>

#include <atomic>

#include "internal.h"

namespace {
thread_local DWORD t_lastError = ERROR_SUCCESS;
}

DWORD GetLastError() { return t_lastError; }

void SetLastError(DWORD dwErr) { t_lastError = dwErr; }

namespace platform::detail {

uintptr_t NewHandleValue() {
  // Multiples of four well above zero: never NULL, never HWND_BOTTOM, never
  // INVALID_HANDLE_VALUE, and small enough never to look like a heap pointer.
  static std::atomic<uintptr_t> next{0x10000};
  return next.fetch_add(4);
}

DWORD Win32Error(int err) {
  switch (err) {
    case 0:
      return ERROR_SUCCESS;
    case ENOENT:
      return ERROR_FILE_NOT_FOUND;
    case ENOTDIR:
    case ENAMETOOLONG:
    case ELOOP:
      return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case EROFS:
    case ETXTBSY:
    case ENOTEMPTY:
      return ERROR_ACCESS_DENIED;
    case EEXIST:
      return ERROR_FILE_EXISTS;
    case ENOSPC:
    case EDQUOT:
      return ERROR_DISK_FULL;
    case EMFILE:
    case ENFILE:
      return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
      return ERROR_NOT_ENOUGH_MEMORY;
    case EBADF:
      return ERROR_INVALID_HANDLE;
    case EINVAL:
      return ERROR_INVALID_PARAMETER;
    case EAGAIN:
      return ERROR_SHARING_VIOLATION;
    default:
      return ERROR_GEN_FAILURE;
  }
}

}  // namespace platform::detail
