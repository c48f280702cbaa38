// The first GDI objects: stock objects with stable handles and solid brushes,
// enough for window classes and start-up. Device contexts come with the full
// GDI.
#include <map>
#include <mutex>

#include "internal.h"

namespace {

struct GdiObject {
  int stock;  // the stock index, or -1 for an object made by a caller
  COLORREF color;
};

struct GdiTable {
  std::mutex mutex;
  std::map<uintptr_t, GdiObject> objects;
  std::map<int, uintptr_t> stock;
};

GdiTable& Table() {
  static auto* t = new GdiTable;
  return *t;
}

bool IsStockIndex(int i) { return (i >= WHITE_BRUSH && i <= NULL_PEN) || (i >= 10 && i <= 19); }

COLORREF StockColor(int i) {
  switch (i) {
    case WHITE_BRUSH:
    case WHITE_PEN:
      return RGB(255, 255, 255);
    case LTGRAY_BRUSH:
      return RGB(192, 192, 192);
    case GRAY_BRUSH:
      return RGB(128, 128, 128);
    case DKGRAY_BRUSH:
      return RGB(64, 64, 64);
    default:
      return RGB(0, 0, 0);
  }
}

}  // namespace

HGDIOBJ GetStockObject(int i) {
  if (!IsStockIndex(i)) return nullptr;
  GdiTable& t = Table();
  std::lock_guard lock(t.mutex);
  auto it = t.stock.find(i);
  if (it != t.stock.end()) return reinterpret_cast<HGDIOBJ>(it->second);
  uintptr_t h = platform::detail::NewHandleValue();
  t.stock[i] = h;
  t.objects[h] = {i, StockColor(i)};
  return reinterpret_cast<HGDIOBJ>(h);
}

HBRUSH CreateSolidBrush(COLORREF color) {
  uintptr_t h = platform::detail::NewHandleValue();
  GdiTable& t = Table();
  std::lock_guard lock(t.mutex);
  t.objects[h] = {-1, color};
  return reinterpret_cast<HBRUSH>(h);
}

// Deleting a stock object is allowed and does nothing.
BOOL DeleteObject(HGDIOBJ ho) {
  GdiTable& t = Table();
  std::lock_guard lock(t.mutex);
  auto it = t.objects.find(reinterpret_cast<uintptr_t>(ho));
  if (it == t.objects.end()) return FALSE;
  if (it->second.stock < 0) t.objects.erase(it);
  return TRUE;
}

namespace platform {
int LiveGdiObjects() {
  GdiTable& t = Table();
  std::lock_guard lock(t.mutex);
  int n = 0;
  for (const auto& [h, o] : t.objects) n += o.stock < 0;
  return n;
}
}  // namespace platform
