// Playing metafiles: whole (PlayMetaFile), record by record through a caller's
// callback (EnumMetaFile), and one record at a time (PlayMetaFileRecord).
// Records are replayed through the public GDI calls on the target context, so
// a picture played on a window, a printer or another metafile context is
// drawn exactly as if its calls had been made there directly.
#include <algorithm>
#include <cstring>
#include <functional>
#include <vector>

#include "gdi/metafile_format.h"
#include "gdi/metafile_handles.h"

namespace platform::gdi {
namespace {

using wmf::RecordView;

// Extra text-out options that put a rectangle before the string.
constexpr WORD kEtoOpaque = 0x0002;
constexpr WORD kEtoClipped = 0x0004;

// One enumeration in progress. Objects the metafile leaves in its table are
// deleted at the end, and the objects that were selected in the context
// before the first SELECTOBJECT of each kind are selected back first, so that
// nothing the picture made is left selected or alive.
struct Session {
  std::vector<HGDIOBJ> table;
  struct Original {
    HDC hdc;
    DWORD type;
    HGDIOBJ object;
  };
  std::vector<Original> originals;
};

thread_local std::vector<Session*> tSessions;

Session* SessionOf(const HANDLETABLE* table) {
  for (Session* s : tSessions)
    if (reinterpret_cast<const HANDLETABLE*>(s->table.data()) == table) return s;
  return nullptr;
}

void NoteOriginal(Session* s, HDC hdc, HGDIOBJ selected, HGDIOBJ previous) {
  if (!s || !previous) return;
  const DWORD type = GetObjectType(selected);
  for (const auto& o : s->originals)
    if (o.hdc == hdc && o.type == type) return;
  s->originals.push_back({hdc, type, previous});
}

void EndSession(Session& s) {
  for (auto it = s.originals.rbegin(); it != s.originals.rend(); ++it)
    SelectObject(it->hdc, it->object);
  for (HGDIOBJ h : s.table)
    if (h) DeleteObject(h);
}

// Puts a new object into the first free slot; with none free the object
// cannot be referred to and is deleted again.
BOOL Store(HGDIOBJ h, HANDLETABLE* table, UINT noObjs) {
  if (!h) return FALSE;
  HGDIOBJ* slots = table ? table->objectHandle : nullptr;
  for (UINT i = 0; slots && i < noObjs; ++i)
    if (!slots[i]) {
      slots[i] = h;
      return TRUE;
    }
  DeleteObject(h);
  return FALSE;
}

HGDIOBJ SlotObject(const RecordView& r, HANDLETABLE* table, UINT noObjs) {
  if (!table || !r.Has(1) || r.Param(0) >= noObjs) return nullptr;
  return table->objectHandle[r.Param(0)];
}

// The points of a POLYLINE or POLYGON record, or false when they overrun it.
bool ReadPoints(const RecordView& r, std::vector<POINT>& points) {
  if (!r.Has(1)) return false;
  const size_t n = r.Param(0);
  if (!r.Has(1 + 2 * n)) return false;
  points.resize(n);
  for (size_t i = 0; i < n; ++i) points[i] = {r.Signed(1 + 2 * i), r.Signed(2 + 2 * i)};
  return true;
}

BOOL PlayTextOut(HDC hdc, const RecordView& r) {
  if (!r.Has(1)) return FALSE;
  const size_t count = r.Param(0);
  const size_t textWords = (count + 1) / 2;
  if (!r.Has(1 + textWords + 2)) return FALSE;
  const auto* text = reinterpret_cast<LPCSTR>(r.ParamBytes(1));
  return TextOut(hdc, r.Signed(2 + textWords), r.Signed(1 + textWords), text,
                 static_cast<int>(count));
}

// Other programs write their text this way; the clipping rectangle and the
// character spacing it may carry are not kept.
BOOL PlayExtTextOut(HDC hdc, const RecordView& r) {
  if (!r.Has(4)) return FALSE;
  const size_t count = r.Param(2);
  const size_t at = (r.Param(3) & (kEtoOpaque | kEtoClipped)) ? 8 : 4;
  if (!r.Has(at + (count + 1) / 2)) return FALSE;
  const auto* text = reinterpret_cast<LPCSTR>(r.ParamBytes(at));
  return TextOut(hdc, r.Signed(1), r.Signed(0), text, static_cast<int>(count));
}

// Every create record takes a slot, even when its object cannot be made here
// (palettes, pattern brushes, regions, styles this GDI refuses): a hollow
// brush then holds the slot, so later slot numbers still name the right
// objects, and selecting it just leaves areas unfilled.
BOOL PlayCreate(const RecordView& r, HANDLETABLE* table, UINT noObjs) {
  HGDIOBJ created = nullptr;
  switch (r.Function()) {
    case META_CREATEPENINDIRECT: {
      LOGPEN pen;
      if (wmf::ReadLogPen(r, pen)) created = CreatePenIndirect(&pen);
      break;
    }
    case META_CREATEBRUSHINDIRECT: {
      LOGBRUSH brush;
      if (wmf::ReadLogBrush(r, brush)) created = CreateBrushIndirect(&brush);
      break;
    }
    case META_CREATEFONTINDIRECT: {
      LOGFONT font;
      if (wmf::ReadLogFont(r, font)) created = CreateFontIndirect(&font);
      break;
    }
    default:
      break;
  }
  if (created) return Store(created, table, noObjs);
  const LOGBRUSH hollow = {BS_NULL, 0, 0};
  Store(CreateBrushIndirect(&hollow), table, noObjs);
  return FALSE;
}

BOOL PlayRecord(HDC hdc, HANDLETABLE* table, const RecordView& r, UINT noObjs) {
  switch (r.Function()) {
    case META_EOF:
      return TRUE;
    case META_SAVEDC:
      return SaveDC(hdc) != 0;
    case META_CREATEPENINDIRECT:
    case META_CREATEBRUSHINDIRECT:
    case META_CREATEFONTINDIRECT:
    case META_CREATEPALETTE:
    case META_CREATEPATTERNBRUSH:
    case META_DIBCREATEPATTERNBRUSH:
    case META_CREATEREGION:
      return PlayCreate(r, table, noObjs);
    case META_SELECTOBJECT: {
      HGDIOBJ h = SlotObject(r, table, noObjs);
      if (!h) return FALSE;
      HGDIOBJ previous = SelectObject(hdc, h);
      NoteOriginal(SessionOf(table), hdc, h, previous);
      return previous != nullptr;
    }
    case META_DELETEOBJECT: {
      HGDIOBJ h = SlotObject(r, table, noObjs);
      if (!h) return FALSE;
      table->objectHandle[r.Param(0)] = nullptr;
      return DeleteObject(h);
    }
    case META_TEXTOUT:
      return PlayTextOut(hdc, r);
    case META_EXTTEXTOUT:
      return PlayExtTextOut(hdc, r);
    case META_POLYLINE:
    case META_POLYGON: {
      std::vector<POINT> points;
      if (!ReadPoints(r, points)) return FALSE;
      const int n = static_cast<int>(points.size());
      return r.Function() == META_POLYLINE ? Polyline(hdc, points.data(), n)
                                           : Polygon(hdc, points.data(), n);
    }
    default:
      break;
  }
  // The rest carry one value, one point or one rectangle.
  if (!r.Has(1)) return FALSE;
  switch (r.Function()) {
    case META_RESTOREDC:
      return RestoreDC(hdc, r.Signed(0));
    case META_SETBKMODE:
      return SetBkMode(hdc, r.Param(0)) != 0;
    case META_SETMAPMODE:
      return SetMapMode(hdc, r.Param(0)) != 0;
    case META_SETROP2:
      return SetROP2(hdc, r.Param(0)) != 0;
    case META_SETTEXTALIGN:
      SetTextAlign(hdc, r.Param(0));
      return TRUE;
    default:
      break;
  }
  if (!r.Has(2)) return FALSE;
  const int x = r.Signed(1), y = r.Signed(0);  // points are written y, x
  switch (r.Function()) {
    case META_SETBKCOLOR:
      SetBkColor(hdc, r.ColorAt(0));
      return TRUE;
    case META_SETTEXTCOLOR:
      SetTextColor(hdc, r.ColorAt(0));
      return TRUE;
    case META_SETWINDOWORG:
      return SetWindowOrgEx(hdc, x, y, nullptr);
    case META_SETWINDOWEXT:
      return SetWindowExtEx(hdc, x, y, nullptr);
    case META_SETVIEWPORTORG:
      return SetViewportOrgEx(hdc, x, y, nullptr);
    case META_SETVIEWPORTEXT:
      return SetViewportExtEx(hdc, x, y, nullptr);
    case META_MOVETO:
      return MoveToEx(hdc, x, y, nullptr);
    case META_LINETO:
      return LineTo(hdc, x, y);
    default:
      break;
  }
  // Rectangles are written bottom, right, top, left.
  if (!r.Has(4)) return FALSE;
  const int left = r.Signed(3), top = r.Signed(2), right = r.Signed(1), bottom = r.Signed(0);
  switch (r.Function()) {
    case META_RECTANGLE:
      return Rectangle(hdc, left, top, right, bottom);
    case META_ELLIPSE:
      return Ellipse(hdc, left, top, right, bottom);
    case META_INTERSECTCLIPRECT:
      return IntersectClipRect(hdc, left, top, right, bottom) != 0;
    default:
      return FALSE;  // not a drawing this device can make; skipped
  }
}

using RecordFn = std::function<int(HANDLETABLE*, METARECORD*, int)>;

// Hands every record up to and including the end record to each, stopping
// early when it returns 0. Each record is passed as an aligned copy: records
// lie at even offsets only, and a caller that writes into one must not change
// the metafile.
BOOL Enumerate(HMETAFILE hmf, const RecordFn& each) {
  const MetaBytes bytes = MetaFileBytes(hmf);
  if (!bytes) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  const int noObjs = wmf::ReadHeader(bytes->data()).noObjects;
  Session session;
  session.table.assign(std::max(noObjs, 1), nullptr);
  auto* table = reinterpret_cast<HANDLETABLE*>(session.table.data());
  tSessions.push_back(&session);
  std::vector<uint32_t> copy;
  BOOL result = TRUE;
  for (size_t at = wmf::kHeaderBytes; at + wmf::kRecordHeaderBytes <= bytes->size();) {
    const size_t length = 2 * static_cast<size_t>(wmf::GetDword(bytes->data() + at));
    copy.assign(std::max((length + 3) / 4, sizeof(METARECORD) / 4), 0);
    std::memcpy(copy.data(), bytes->data() + at, length);
    auto* record = reinterpret_cast<METARECORD*>(copy.data());
    if (!each(table, record, noObjs)) {
      result = FALSE;
      break;
    }
    if (wmf::GetWord(bytes->data() + at + 4) == META_EOF) break;
    at += length;
  }
  tSessions.pop_back();
  EndSession(session);
  return result;
}

}  // namespace
}  // namespace platform::gdi

BOOL PlayMetaFileRecord(HDC hdc, HANDLETABLE* lpHandleTable, METARECORD* lpMR, UINT noObjs) {
  if (!hdc || !lpMR) return FALSE;
  const auto* p = reinterpret_cast<const BYTE*>(lpMR);
  const DWORD words = platform::gdi::wmf::GetDword(p);
  if (words < platform::gdi::wmf::kEofWords) return FALSE;
  const platform::gdi::wmf::RecordView record(p, 2 * static_cast<size_t>(words));
  return platform::gdi::PlayRecord(hdc, lpHandleTable, record, noObjs);
}

BOOL EnumMetaFile(HDC hdc, HMETAFILE hmf, MFENUMPROC proc, LPARAM param) {
  if (!proc) return FALSE;
  return platform::gdi::Enumerate(hmf, [&](HANDLETABLE* table, METARECORD* record, int noObjs) {
    return proc(hdc, table, record, noObjs, param);
  });
}

// Records this device cannot play are skipped; the picture is still played.
BOOL PlayMetaFile(HDC hdc, HMETAFILE hmf) {
  if (!hdc) return FALSE;
  return platform::gdi::Enumerate(hmf, [&](HANDLETABLE* table, METARECORD* record, int noObjs) {
    PlayMetaFileRecord(hdc, table, record, static_cast<UINT>(noObjs));
    return 1;
  });
}
