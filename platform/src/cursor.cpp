// Cursors: the system cursors (arrow, hourglass and the rest, loaded with a
// null instance), the cursor resources modules list, and the current cursor.
// Loaded cursors are shared: loading one twice gives the same handle, and
// destroying one is harmless.
#include <atomic>
#include <map>
#include <mutex>
#include <utility>

#include "internal.h"

namespace {

struct CursorTable {
  std::mutex mutex;
  std::map<std::pair<uintptr_t, UINT>, uintptr_t> byResource;  // (module, id) -> handle
  std::map<uintptr_t, std::pair<uintptr_t, UINT>> byHandle;
  HCURSOR current = nullptr;
};

CursorTable& Table() {
  static auto* t = new CursorTable;
  return *t;
}

bool IsSystemCursor(UINT id) {
  switch (id) {
    case 32512:  // arrow
    case 32513:  // I-beam
    case 32514:  // wait
    case 32515:  // cross
    case 32516:  // up arrow
    case 32640:  // size
    case 32641:  // icon
    case 32642:  // size NW-SE
    case 32643:  // size NE-SW
    case 32644:  // size W-E
    case 32645:  // size N-S
    case 32646:  // size all
    case 32648:  // no
    case 32649:  // hand
    case 32650:  // app starting
    case 32651:  // help
      return true;
    default:
      return false;
  }
}

}  // namespace

HCURSOR LoadCursor(HINSTANCE hInstance, LPCSTR lpCursorName) {
  if (!IS_INTRESOURCE(lpCursorName)) {  // every cursor resource has a number
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  UINT id = static_cast<UINT>(reinterpret_cast<uintptr_t>(lpCursorName));
  bool known = hInstance ? platform::detail::ModuleHasCursor(hInstance, id) : IsSystemCursor(id);
  if (!known) {
    SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    return nullptr;
  }
  auto key = std::make_pair(reinterpret_cast<uintptr_t>(hInstance), id);
  CursorTable& t = Table();
  std::lock_guard lock(t.mutex);
  auto it = t.byResource.find(key);
  if (it != t.byResource.end()) return reinterpret_cast<HCURSOR>(it->second);
  uintptr_t h = platform::detail::NewHandleValue();
  t.byResource[key] = h;
  t.byHandle[h] = key;
  return reinterpret_cast<HCURSOR>(h);
}

BOOL DestroyCursor(HCURSOR hCursor) {
  CursorTable& t = Table();
  std::lock_guard lock(t.mutex);
  if (!t.byHandle.count(reinterpret_cast<uintptr_t>(hCursor))) {
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return FALSE;
  }
  return TRUE;
}

HCURSOR SetCursor(HCURSOR hCursor) {
  CursorTable& t = Table();
  std::lock_guard lock(t.mutex);
  if (hCursor && !t.byHandle.count(reinterpret_cast<uintptr_t>(hCursor))) {
    SetLastError(ERROR_INVALID_CURSOR_HANDLE);
    return nullptr;
  }
  HCURSOR previous = t.current;
  t.current = hCursor;
  return previous;
}

HCURSOR GetCursor() {
  CursorTable& t = Table();
  std::lock_guard lock(t.mutex);
  return t.current;
}

namespace platform::detail {

void ForgetModuleCursors(HINSTANCE h) {
  CursorTable& t = Table();
  std::lock_guard lock(t.mutex);
  for (auto it = t.byHandle.begin(); it != t.byHandle.end();) {
    if (it->second.first != reinterpret_cast<uintptr_t>(h)) {
      ++it;
      continue;
    }
    if (t.current == reinterpret_cast<HCURSOR>(it->first)) t.current = nullptr;
    t.byResource.erase(it->second);
    it = t.byHandle.erase(it);
  }
}

}  // namespace platform::detail

// Nothing is drawn for the cursor here; the counter is kept so that callers
// hiding and showing it in pairs see the values Windows gives.
int ShowCursor(BOOL bShow) {
  static std::atomic<int> count{0};
  return bShow ? ++count : --count;
}
