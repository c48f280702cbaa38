// Windows paths on the host file system: the drive map, the system directory,
// the current directory, and names matched without regard to case where the
// exact spelling does not exist (users and the file prompt lower-case paths).
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <vector>

#include "internal.h"

namespace {

struct PathState {
  std::mutex mutex;
  std::array<std::string, 26> drives;  // host directories, normalised
  std::string sysdir;
};

PathState& State() {
  static auto* s = new PathState;
  return *s;
}

std::string CurrentDirectory() {
  std::vector<char> buf(4096);
  while (!getcwd(buf.data(), buf.size())) {
    if (errno != ERANGE) return "/";
    buf.resize(buf.size() * 2);
  }
  return buf.data();
}

bool HasDrive(const std::string& s) {
  return s.size() >= 2 && std::isalpha(static_cast<unsigned char>(s[0])) && s[1] == ':';
}

// Splits at slashes and resolves "." and ".." lexically, as Windows does;
// ".." never climbs above the start.
void AppendComponents(const std::string& path, std::vector<std::string>& comps) {
  size_t i = 0;
  while (i <= path.size()) {
    size_t j = path.find('/', i);
    if (j == std::string::npos) j = path.size();
    std::string c = path.substr(i, j - i);
    if (c == "..") {
      if (!comps.empty()) comps.pop_back();
    } else if (!c.empty() && c != ".") {
      comps.push_back(c);
    }
    i = j + 1;
  }
}

std::string JoinAbsolute(const std::vector<std::string>& comps) {
  if (comps.empty()) return "/";
  std::string out;
  for (const auto& c : comps) out += "/" + c;
  return out;
}

std::string NormaliseHost(const std::string& path) {
  std::string s = path;
  for (char& c : s)
    if (c == '\\') c = '/';
  std::vector<std::string> comps;
  if (s.empty() || s[0] != '/') AppendComponents(CurrentDirectory(), comps);
  AppendComponents(s, comps);
  return JoinAbsolute(comps);
}

// Where a component does not exist as spelt, takes the entry of its directory
// that matches without regard to case (the first in byte order when several
// do). Once a component is missing the rest are kept as given: they name
// something to be created.
std::string ResolveCase(const std::vector<std::string>& comps) {
  // The name as given exists (the usual case): one call, no walk.
  std::string exact;
  for (const auto& comp : comps) exact += "/" + comp;
  struct stat whole;
  if (exact.empty()) return "/";
  if (lstat(exact.c_str(), &whole) == 0) return exact;
  std::string out;
  bool missing = false;
  for (const auto& comp : comps) {
    std::string candidate = out + "/" + comp;
    struct stat st;
    if (!missing && lstat(candidate.c_str(), &st) != 0) {
      std::string best;
      if (DIR* d = opendir(out.empty() ? "/" : out.c_str())) {
        while (dirent* e = readdir(d)) {
          if (strcasecmp(e->d_name, comp.c_str()) == 0 &&
              (best.empty() || std::strcmp(e->d_name, best.c_str()) < 0))
            best = e->d_name;
        }
        closedir(d);
      }
      if (best.empty())
        missing = true;
      else
        candidate = out + "/" + best;
    }
    out = candidate;
  }
  return out.empty() ? "/" : out;
}

DWORD CopyOut(const std::string& s, LPSTR buf, DWORD size) {
  if (!buf || size <= s.size()) return static_cast<DWORD>(s.size() + 1);
  std::memcpy(buf, s.c_str(), s.size() + 1);
  return static_cast<DWORD>(s.size());
}

}  // namespace

namespace platform {

void SetDrive(char letter, const std::string& dir) {
  if (!std::isalpha(static_cast<unsigned char>(letter))) return;
  PathState& s = State();
  std::string host = dir.empty() ? std::string() : NormaliseHost(dir);
  std::lock_guard lock(s.mutex);
  s.drives[std::toupper(static_cast<unsigned char>(letter)) - 'A'] = host;
}

void ClearDrives() {
  PathState& s = State();
  std::lock_guard lock(s.mutex);
  for (auto& d : s.drives) d.clear();
}

void LoadEnvironment() {
  for (char c = 'A'; c <= 'Z'; ++c) {
    std::string name = std::string("STRUCT_DRIVE_") + c;
    if (const char* v = std::getenv(name.c_str()); v && *v) SetDrive(c, v);
  }
  if (const char* v = std::getenv("STRUCT_SYSDIR"); v && *v) SetSystemDirectory(v);
}

void SetSystemDirectory(const std::string& dir) {
  // A drive path stays in Windows form and is translated when used.
  std::string value = dir.empty() || HasDrive(dir) ? dir : NormaliseHost(dir);
  PathState& s = State();
  std::lock_guard lock(s.mutex);
  s.sysdir = value;
}

std::string SystemDirectory() {
  PathState& s = State();
  std::lock_guard lock(s.mutex);
  return s.sysdir;
}

namespace {

// The components of the host path a Windows path names, as spelt; false when
// it names nothing (empty, or an unmapped drive).
bool HostComponents(const std::string& winPath, std::vector<std::string>& comps) {
  std::string p = winPath;
  for (char& c : p)
    if (c == '\\') c = '/';
  if (p.empty()) return false;
  if (HasDrive(p)) {
    std::string root;
    {
      PathState& s = State();
      std::lock_guard lock(s.mutex);
      root = s.drives[std::toupper(static_cast<unsigned char>(p[0])) - 'A'];
    }
    if (root.empty()) return false;
    // "X:name" has no per-drive current directory here: it means the root.
    std::vector<std::string> rest;
    AppendComponents(p.substr(2), rest);
    AppendComponents(root, comps);
    comps.insert(comps.end(), rest.begin(), rest.end());
  } else {
    if (p[0] != '/') AppendComponents(CurrentDirectory(), comps);
    AppendComponents(p, comps);
  }
  return true;
}

}  // namespace

std::string ToHostPath(const std::string& winPath) {
  std::vector<std::string> comps;
  return HostComponents(winPath, comps) ? ResolveCase(comps) : std::string();
}

}  // namespace platform

namespace platform::detail {

bool HostPath(LPCSTR winPath, std::string& hostPath) {
  hostPath = winPath ? platform::ToHostPath(winPath) : std::string();
  if (hostPath.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  return true;
}

bool HostPathAsSpelt(LPCSTR winPath, std::string& hostPath) {
  // An absolute host path already in its plain form (no backslash, no empty,
  // "." or ".." component, no trailing slash) is its own translation.
  bool plain = winPath && winPath[0] == '/' && winPath[1];
  for (const char* p = winPath; plain && *p; ++p) {
    if (*p == '\\') plain = false;
    if (*p != '/') continue;
    const char* c = p + 1;  // the component after this slash
    const size_t dots = c[0] == '.' ? (c[1] == '.' ? 2 : 1) : 0;
    if (c[0] == '/' || c[0] == 0 || (dots && (c[dots] == '/' || c[dots] == 0))) plain = false;
  }
  if (plain) {
    hostPath = winPath;
    return true;
  }
  std::vector<std::string> comps;
  if (!winPath || !HostComponents(winPath, comps)) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return false;
  }
  hostPath.clear();
  for (const auto& comp : comps) hostPath += "/" + comp;
  if (hostPath.empty()) hostPath = "/";
  return true;
}

std::string HostDirName(const std::string& hostPath) {
  size_t slash = hostPath.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : hostPath.substr(0, slash);
}

}  // namespace platform::detail

DWORD GetCurrentDirectory(DWORD nBufferLength, LPSTR lpBuffer) {
  return CopyOut(CurrentDirectory(), lpBuffer, nBufferLength);
}

DWORD GetFullPathName(LPCSTR lpFileName, DWORD nBufferLength, LPSTR lpBuffer, LPSTR* lpFilePart) {
  if (lpFilePart) *lpFilePart = nullptr;
  if (!lpFileName || !*lpFileName) {
    SetLastError(ERROR_INVALID_NAME);
    return 0;
  }
  std::string name = lpFileName;
  for (char& c : name)
    if (c == '\\') c = '/';
  std::string full;
  char sep = '/';
  if (HasDrive(name)) {
    // A drive path keeps its Windows form; only its dots are resolved.
    std::vector<std::string> comps;
    AppendComponents(name.substr(2), comps);
    full = name.substr(0, 2);
    if (comps.empty()) full += '\\';
    for (const auto& c : comps) full += "\\" + c;
    sep = '\\';
  } else {
    full = NormaliseHost(name);
  }
  DWORD r = CopyOut(full, lpBuffer, nBufferLength);
  if (r == full.size() && lpFilePart) {
    size_t last = full.rfind(sep);
    if (last != std::string::npos && last + 1 < full.size()) *lpFilePart = lpBuffer + last + 1;
  }
  return r;
}

UINT GetSystemDirectory(LPSTR lpBuffer, UINT uSize) {
  std::string dir = platform::SystemDirectory();
  if (dir.empty()) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return 0;
  }
  return CopyOut(dir, lpBuffer, uSize);
}
