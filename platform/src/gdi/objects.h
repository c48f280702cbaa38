// The GDI object table: stock objects with stable handles, and the pens,
// brushes and fonts callers make. Contexts hold the objects selected into them
// (and into their saved states) through ObjRef, which counts the holds, so an
// object deleted while held lives on until the last hold goes. Everything in
// GDI runs under one recursive lock.
#pragma once

#include <windows.h>

#include <mutex>

namespace platform::gdi {

std::recursive_mutex& GdiMutex();

enum class ObjKind { Pen, Brush, Font };

struct GdiObject {
  ObjKind kind;
  int stock = -1;  // the stock index, or -1 for an object a caller made
  LOGPEN pen{};
  LOGBRUSH brush{};
  LOGFONT font{};
  int holds = 0;         // context states that hold it selected
  bool deleted = false;  // DeleteObject came while it was held
};

// With the lock held: a live object (not deleted), or nullptr.
GdiObject* FindObject(HGDIOBJ h);
// With the lock held: an object still in use, deleted or not, or nullptr.
const GdiObject* UsedObject(HGDIOBJ h);

// A hold on an object by a context state.
class ObjRef {
 public:
  ObjRef() = default;
  explicit ObjRef(HGDIOBJ h);
  ObjRef(const ObjRef& o) : ObjRef(o.h_) {}
  ObjRef& operator=(const ObjRef& o);
  ~ObjRef();
  HGDIOBJ get() const { return h_; }
  // The object's record; every held object is in the table.
  const GdiObject& operator*() const { return *UsedObject(h_); }
  const GdiObject* operator->() const { return UsedObject(h_); }

 private:
  HGDIOBJ h_ = nullptr;
};

}  // namespace platform::gdi
