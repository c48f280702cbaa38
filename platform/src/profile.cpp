// Private profiles (INI files) and the system profile win.ini in the system
// directory. Files are read afresh on every call; a write replaces the file
// through a temporary beside it, so a failed write never damages the file.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>

#include "ini.h"
#include "internal.h"

namespace {

using platform::detail::IniText;

std::string SystemProfile() {
  std::string sys = platform::SystemDirectory();
  return sys.empty() ? std::string() : sys + "/win.ini";
}

// No file name means the system profile, as on Windows. A bare file name lives in the system
// directory, as on Windows it lives in the Windows directory; without a system directory, in the
// current one.
bool ProfileHostPath(LPCSTR file, std::string& host) {
  std::string name = file ? file : SystemProfile();
  if (name.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  if (name.find_first_of("/\\:") == std::string::npos) {
    std::string sys = platform::SystemDirectory();
    if (!sys.empty()) name = sys + "/" + name;
  }
  return platform::detail::HostPath(name.c_str(), host);
}

// False only when the file exists and cannot be read.
bool ReadText(const std::string& host, std::string& bytes, bool* exists = nullptr) {
  bytes.clear();
  if (exists) *exists = false;
  int fd = open(host.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT || errno == ENOTDIR) return true;
    SetLastError(platform::detail::Win32Error(errno));
    return false;
  }
  if (exists) *exists = true;
  char buf[8192];
  for (;;) {
    ssize_t n = read(fd, buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      SetLastError(platform::detail::Win32Error(errno));
      close(fd);
      return false;
    }
    if (n == 0) break;
    bytes.append(buf, static_cast<size_t>(n));
  }
  close(fd);
  return true;
}

// Writes through CreateFile and WriteFile so their injected faults reach
// profile writes too, then renames the finished temporary over the file.
bool ReplaceFile(const std::string& host, const std::string& bytes) {
  static std::atomic<unsigned> counter{0};
  std::string dir = platform::detail::HostDirName(host);
  std::string base = host.substr(host.rfind('/') + 1);
  std::string tmp =
      dir + "/." + base + "." + std::to_string(getpid()) + "." + std::to_string(counter++) + ".tmp";
  struct stat st;
  bool existed = stat(host.c_str(), &st) == 0;
  HANDLE h = CreateFile(tmp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL,
                        nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  DWORD err = ERROR_SUCCESS;
  if (!WriteFile(h, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr))
    err = GetLastError();
  else if (written != bytes.size())
    err = ERROR_WRITE_FAULT;
  if (!CloseHandle(h) && err == ERROR_SUCCESS) err = GetLastError();
  bool ok = err == ERROR_SUCCESS;
  if (ok && existed) chmod(tmp.c_str(), st.st_mode & 07777);
  if (ok && rename(tmp.c_str(), host.c_str()) != 0) {
    ok = false;
    err = platform::detail::Win32Error(errno);
  }
  if (!ok) {
    unlink(tmp.c_str());
    SetLastError(err);
  }
  return ok;
}

// A list of names, each ended by NUL and the list by one more; cut to the
// buffer as Windows does: the last name shortened and two NULs at the end,
// the result then being size - 2.
DWORD CopyList(const std::vector<std::string>& names, LPSTR buf, DWORD size) {
  std::string list;
  for (const auto& n : names) list += n + '\0';
  list += '\0';
  if (names.empty()) list += '\0';
  if (size == 0) return 0;
  if (list.size() <= size) {
    std::memcpy(buf, list.data(), list.size());
    return names.empty() ? 0 : static_cast<DWORD>(list.size() - 1);
  }
  if (size == 1) {
    buf[0] = '\0';
    return 0;
  }
  std::memcpy(buf, list.data(), size - 2);
  buf[size - 2] = '\0';
  buf[size - 1] = '\0';
  return size - 2;
}

DWORD CopyValue(const std::string& value, LPSTR buf, DWORD size) {
  if (size == 0) return 0;
  size_t n = value.size() < size ? value.size() : size - 1;
  std::memcpy(buf, value.data(), n);
  buf[n] = '\0';
  return static_cast<DWORD>(n);
}

// Windows drops one pair of matching quotes around a value it reads.
std::string Unquote(const std::string& v) {
  if (v.size() >= 2 && (v[0] == '"' || v[0] == '\'') && v.back() == v[0])
    return v.substr(1, v.size() - 2);
  return v;
}

DWORD ReadProfile(const std::string& host, LPCSTR app, LPCSTR key, LPCSTR def, LPSTR buf,
                  DWORD size) {
  if (!buf) return 0;
  std::string bytes;
  ReadText(host, bytes);
  IniText ini(bytes);
  if (!app) return CopyList(ini.Sections(), buf, size);
  if (!key) return CopyList(ini.Keys(app), buf, size);
  std::string value;
  if (ini.Get(app, key, value)) return CopyValue(Unquote(value), buf, size);
  std::string d = def ? def : "";
  while (!d.empty() && d.back() == ' ') d.pop_back();
  return CopyValue(d, buf, size);
}

// Reads the file, lets edit change its text and replaces the file when it
// did; a file that exists but may not be written is refused.
template <typename Edit>
BOOL EditProfile(const std::string& host, Edit edit) {
  std::string real = host;
  if (char* r = realpath(host.c_str(), nullptr)) {  // a linked profile stays linked
    real = r;
    std::free(r);
  }
  std::string bytes;
  bool exists = false;
  if (!ReadText(real, bytes, &exists)) return FALSE;
  if (exists && access(real.c_str(), W_OK) != 0) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  IniText ini(bytes);
  // Changing nothing writes nothing, and creates no file.
  if (!edit(ini)) return TRUE;
  return ReplaceFile(real, ini.Serialise()) ? TRUE : FALSE;
}

BOOL WriteProfile(const std::string& host, LPCSTR app, LPCSTR key, LPCSTR value) {
  return EditProfile(host, [&](IniText& ini) {
    return !key     ? ini.DeleteSection(app)
           : !value ? ini.DeleteKey(app, key)
                    : ini.Set(app, key, value);
  });
}

// An injected fault of the next profile write, with its last error set.
bool InjectedWriteFault() {
  auto fault = platform::detail::TakeFault(platform::FaultOp::ProfileWrite);
  if (fault)
    SetLastError(*fault == platform::FaultKind::DiskFull ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
  return fault.has_value();
}

}  // namespace

DWORD GetPrivateProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                              LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName) {
  std::string host;  // stays empty for an unreachable file, which reads as an empty one
  if (!ProfileHostPath(lpFileName, host)) host.clear();
  return ReadProfile(host, lpAppName, lpKeyName, lpDefault, lpReturnedString, nSize);
}

UINT GetPrivateProfileInt(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName) {
  char buf[64];
  if (!lpAppName || !lpKeyName) return static_cast<UINT>(nDefault);
  DWORD n = GetPrivateProfileString(lpAppName, lpKeyName, "", buf, sizeof buf, lpFileName);
  if (n == 0) return static_cast<UINT>(nDefault);
  const char* p = buf;
  while (*p == ' ' || *p == '\t') ++p;
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  uint32_t v = 0;
  for (; *p >= '0' && *p <= '9'; ++p) v = v * 10 + static_cast<uint32_t>(*p - '0');
  return negative ? 0u - v : v;
}

BOOL WritePrivateProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                               LPCSTR lpFileName) {
  if (InjectedWriteFault()) return FALSE;
  if (!lpAppName) {
    // All three NULL flushes the cache Windows keeps; there is none here.
    if (!lpKeyName && !lpString) return TRUE;
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::string host;
  if (!ProfileHostPath(lpFileName, host)) return FALSE;
  return WriteProfile(host, lpAppName, lpKeyName, lpString);
}

BOOL WritePrivateProfileSection(LPCSTR lpAppName, LPCSTR lpString, LPCSTR lpFileName) {
  if (InjectedWriteFault()) return FALSE;
  if (!lpAppName || !lpString) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::vector<std::string> lines;
  for (const char* p = lpString; *p; p += std::strlen(p) + 1) lines.emplace_back(p);
  std::string host;
  if (!ProfileHostPath(lpFileName, host)) return FALSE;
  return EditProfile(host, [&](IniText& ini) { return ini.ReplaceSection(lpAppName, lines); });
}

DWORD GetProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault, LPSTR lpReturnedString,
                       DWORD nSize) {
  return GetPrivateProfileString(lpAppName, lpKeyName, lpDefault, lpReturnedString, nSize, nullptr);
}

BOOL WriteProfileString(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString) {
  return WritePrivateProfileString(lpAppName, lpKeyName, lpString, nullptr);
}
