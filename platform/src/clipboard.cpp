// The clipboard of the process: standard formats by number, registered
// formats by name (ids from 0xC000, names matched without regard to case),
// opening with an owner, and data blocks the clipboard owns once given.
// Formats are listed in the order they were set.
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "internal.h"

namespace {

struct Entry {
  UINT format;
  HANDLE data;
};

struct Clipboard {
  std::mutex mutex;
  bool open = false;
  HWND openedBy = nullptr;
  HWND owner = nullptr;
  std::vector<Entry> entries;
  std::vector<std::string> names;  // registered format 0xC000 + i
  std::map<UINT, platform::detail::ClipboardReleaser> releasers;
};

Clipboard& State() {
  static auto* c = new Clipboard;
  return *c;
}

constexpr UINT kFirstRegistered = 0xC000;

// Frees what an entry holds; called with the clipboard locked, so releasers
// must not call back into the clipboard.
void Release(Clipboard& c, const Entry& e) {
  if (!e.data) return;
  auto it = c.releasers.find(e.format);
  if (it != c.releasers.end()) it->second(e.data);
  if (platform::detail::IsGlobalBlock(e.data)) GlobalFree(e.data);
}

bool RequireOpen(const Clipboard& c) {
  if (!c.open) SetLastError(ERROR_CLIPBOARD_NOT_OPEN);
  return c.open;
}

}  // namespace

BOOL OpenClipboard(HWND hWndNewOwner) {
  if (hWndNewOwner && !IsWindow(hWndNewOwner)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  Clipboard& c = State();
  std::lock_guard lock(c.mutex);
  if (c.open && c.openedBy != hWndNewOwner) {
    SetLastError(ERROR_ACCESS_DENIED);
    return FALSE;
  }
  c.open = true;
  c.openedBy = hWndNewOwner;
  return TRUE;
}

BOOL CloseClipboard() {
  Clipboard& c = State();
  std::lock_guard lock(c.mutex);
  if (!RequireOpen(c)) return FALSE;
  c.open = false;
  c.openedBy = nullptr;
  return TRUE;
}

BOOL EmptyClipboard() {
  Clipboard& c = State();
  std::lock_guard lock(c.mutex);
  if (!RequireOpen(c)) return FALSE;
  for (const Entry& e : c.entries) Release(c, e);
  c.entries.clear();
  c.owner = c.openedBy;
  return TRUE;
}

HANDLE SetClipboardData(UINT uFormat, HANDLE hMem) {
  Clipboard& c = State();
  std::lock_guard lock(c.mutex);
  if (!RequireOpen(c)) return nullptr;  // the caller keeps the block
  if (platform::detail::TakeFault(platform::FaultOp::SetClipboardData)) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  if (uFormat == 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto it = std::find_if(c.entries.begin(), c.entries.end(),
                         [uFormat](const Entry& e) { return e.format == uFormat; });
  if (it != c.entries.end()) {  // replaced in place: the format keeps its position
    if (it->data != hMem) Release(c, *it);
    it->data = hMem;
  } else {
    c.entries.push_back({uFormat, hMem});
  }
  return hMem;
}

HANDLE GetClipboardData(UINT uFormat) {
  Clipboard& c = State();
  std::lock_guard lock(c.mutex);
  if (!RequireOpen(c)) return nullptr;
  for (const Entry& e : c.entries)
    if (e.format == uFormat) return e.data;
  SetLastError(ERROR_SUCCESS);
  return nullptr;
}

BOOL IsClipboardFormatAvailable(UINT format) {
  Clipboard& c = State();
  std::lock_guard lock(c.mutex);
  return std::any_of(c.entries.begin(), c.entries.end(),
                     [format](const Entry& e) { return e.format == format; });
}

UINT EnumClipboardFormats(UINT format) {
  Clipboard& c = State();
  std::lock_guard lock(c.mutex);
  if (!RequireOpen(c)) return 0;
  SetLastError(ERROR_SUCCESS);  // 0 with no error: the end of the list
  if (format == 0) return c.entries.empty() ? 0 : c.entries.front().format;
  for (size_t i = 0; i + 1 < c.entries.size(); ++i)
    if (c.entries[i].format == format) return c.entries[i + 1].format;
  return 0;
}

int CountClipboardFormats() {
  Clipboard& c = State();
  std::lock_guard lock(c.mutex);
  return static_cast<int>(c.entries.size());
}

UINT RegisterClipboardFormat(LPCSTR lpszFormat) {
  if (!lpszFormat || !*lpszFormat) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  Clipboard& c = State();
  std::lock_guard lock(c.mutex);
  for (size_t i = 0; i < c.names.size(); ++i)
    if (strcasecmp(c.names[i].c_str(), lpszFormat) == 0)
      return kFirstRegistered + static_cast<UINT>(i);
  if (c.names.size() >= 0x4000) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return 0;
  }
  c.names.push_back(lpszFormat);
  return kFirstRegistered + static_cast<UINT>(c.names.size() - 1);
}

int GetClipboardFormatName(UINT format, LPSTR lpszFormatName, int cchMaxCount) {
  Clipboard& c = State();
  std::lock_guard lock(c.mutex);
  if (format < kFirstRegistered || format - kFirstRegistered >= c.names.size()) {
    SetLastError(ERROR_INVALID_PARAMETER);  // standard formats have no name
    return 0;
  }
  if (!lpszFormatName || cchMaxCount <= 0) return 0;
  const std::string& name = c.names[format - kFirstRegistered];
  size_t n = std::min(name.size(), static_cast<size_t>(cchMaxCount - 1));
  std::memcpy(lpszFormatName, name.data(), n);
  lpszFormatName[n] = '\0';
  return static_cast<int>(n);
}

HWND GetClipboardOwner() {
  Clipboard& c = State();
  std::lock_guard lock(c.mutex);
  return c.owner;
}

namespace platform::detail {

// The data stays: a clipboard outlives the window that filled it.
void ClipboardForgetWindow(HWND h) {
  Clipboard& c = State();
  std::lock_guard lock(c.mutex);
  if (c.owner == h) c.owner = nullptr;
  if (c.open && c.openedBy == h) c.openedBy = nullptr;
}

void SetClipboardReleaser(UINT format, ClipboardReleaser fn) {
  Clipboard& c = State();
  std::lock_guard lock(c.mutex);
  if (fn)
    c.releasers[format] = fn;
  else
    c.releasers.erase(format);
}

}  // namespace platform::detail
