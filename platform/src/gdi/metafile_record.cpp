// Metafile contexts: every GDI call on one becomes a metafile record. Objects
// are recorded the first time they are selected, into the lowest free slot of
// the metafile's object table, and their slot is freed again when they are
// deleted. CloseMetaFile ends the recording and hands out the metafile. A
// "wmf" printer's recording lives under the printer's handle instead, and its
// documents start and finish it.
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

#include "gdi/metadc.h"
#include "gdi/metafile_format.h"
#include "gdi/metafile_handles.h"
#include "internal.h"

namespace platform::gdi {
namespace {

using wmf::RecordBuilder;

// IntersectClipRect's answer; a metafile context cannot know the region, and
// a rectangle clipped by a rectangle is one.
constexpr int kSimpleRegion = 2;

enum Kind { kPen, kBrush, kFont, kKinds };

// What SaveDC keeps and RestoreDC brings back, so that the values the Set
// calls and SelectObject return follow the state a player will be in.
struct DrawState {
  HGDIOBJ selected[kKinds] = {};
  int bkMode = OPAQUE;
  COLORREF bkColor = RGB(255, 255, 255);
  COLORREF textColor = RGB(0, 0, 0);
  UINT textAlign = TA_LEFT | TA_TOP;
  int rop2 = R2_COPYPEN;
  int mapMode = MM_TEXT;
};

struct Slot {
  HGDIOBJ object = nullptr;  // null: free
  bool stock = false;        // stock objects are never deleted, so their slot stays
};

bool KindOf(DWORD type, Kind& kind) {
  switch (type) {
    case OBJ_PEN:
      kind = kPen;
      return true;
    case OBJ_BRUSH:
      kind = kBrush;
      return true;
    case OBJ_FONT:
      kind = kFont;
      return true;
    default:
      return false;
  }
}

bool IsStockObject(HGDIOBJ h) {
  for (int i = WHITE_BRUSH; i <= DEFAULT_GUI_FONT; ++i)
    if (GetStockObject(i) == h) return true;
  return false;
}

// The create record of an object, from its logical description.
bool CreateRecord(HGDIOBJ h, Kind kind, std::vector<BYTE>& out) {
  switch (kind) {
    case kPen: {
      LOGPEN pen{};
      if (GetObject(h, sizeof pen, &pen) <= 0) return false;
      RecordBuilder r(META_CREATEPENINDIRECT);
      wmf::AppendLogPen(r, pen);
      r.AppendTo(out);
      return true;
    }
    case kBrush: {
      LOGBRUSH brush{};
      if (GetObject(h, sizeof brush, &brush) <= 0) return false;
      RecordBuilder r(META_CREATEBRUSHINDIRECT);
      wmf::AppendLogBrush(r, brush);
      r.AppendTo(out);
      return true;
    }
    case kFont: {
      LOGFONT font{};
      if (GetObject(h, sizeof font, &font) <= 0) return false;
      RecordBuilder r(META_CREATEFONTINDIRECT);
      wmf::AppendLogFont(r, font);
      r.AppendTo(out);
      return true;
    }
    default:
      return false;
  }
}

class MetaRecorder final : public MetaDC {
 public:
  MetaRecorder(HANDLE file, std::string path, bool device = false)
      : file_(file), path_(std::move(path)), device_(device) {
    bytes_.resize(wmf::kHeaderBytes);
    state_.selected[kPen] = GetStockObject(BLACK_PEN);
    state_.selected[kBrush] = GetStockObject(WHITE_BRUSH);
    state_.selected[kFont] = GetStockObject(SYSTEM_FONT);
  }

  bool AlsoDevice() const override { return device_; }
  HANDLE file() const { return file_; }
  const std::string& path() const { return path_; }

  int SaveDC() override {
    saved_.push_back(state_);
    Add(RecordBuilder(META_SAVEDC));
    return static_cast<int>(saved_.size());
  }

  BOOL RestoreDC(int nSaved) override {
    const int level = static_cast<int>(saved_.size());
    const int target = nSaved < 0 ? level + 1 + nSaved : nSaved;
    if (target < 1 || target > level) return FALSE;
    state_ = saved_[target - 1];
    saved_.resize(target - 1);
    Add(RecordBuilder(META_RESTOREDC).Short(nSaved));
    return TRUE;
  }

  int SetBkMode(int mode) override { return Set(state_.bkMode, mode, META_SETBKMODE); }
  int SetROP2(int rop2) override { return Set(state_.rop2, rop2, META_SETROP2); }
  int SetMapMode(int mode) override { return Set(state_.mapMode, mode, META_SETMAPMODE); }
  UINT SetTextAlign(UINT align) override { return Set(state_.textAlign, align, META_SETTEXTALIGN); }
  COLORREF SetBkColor(COLORREF color) override {
    return SetColor(state_.bkColor, color, META_SETBKCOLOR);
  }
  COLORREF SetTextColor(COLORREF color) override {
    return SetColor(state_.textColor, color, META_SETTEXTCOLOR);
  }

  BOOL SetWindowExtEx(int x, int y) override { return AddPoint(META_SETWINDOWEXT, x, y); }
  BOOL SetWindowOrgEx(int x, int y) override { return AddPoint(META_SETWINDOWORG, x, y); }
  BOOL SetViewportExtEx(int x, int y) override { return AddPoint(META_SETVIEWPORTEXT, x, y); }
  BOOL SetViewportOrgEx(int x, int y) override { return AddPoint(META_SETVIEWPORTORG, x, y); }
  BOOL MoveToEx(int x, int y) override { return AddPoint(META_MOVETO, x, y); }
  BOOL LineTo(int x, int y) override { return AddPoint(META_LINETO, x, y); }

  HGDIOBJ SelectObject(HGDIOBJ h) override {
    Kind kind;
    if (!h || !KindOf(GetObjectType(h), kind)) return nullptr;
    size_t slot = SlotOf(h);
    if (slot == slots_.size()) {
      std::vector<BYTE> create;
      if (!CreateRecord(h, kind, create)) return nullptr;
      slot = FreeSlot();
      slots_[slot] = {h, IsStockObject(h)};
      AddBytes(create);
    }
    Add(RecordBuilder(META_SELECTOBJECT).Word(static_cast<WORD>(slot)));
    HGDIOBJ previous = state_.selected[kind];
    state_.selected[kind] = h;
    return previous;
  }

  BOOL Polyline(const POINT* apt, int cpt) override { return AddPoints(META_POLYLINE, apt, cpt); }
  BOOL Polygon(const POINT* apt, int cpt) override { return AddPoints(META_POLYGON, apt, cpt); }

  BOOL Rectangle(int left, int top, int right, int bottom) override {
    return AddRect(META_RECTANGLE, left, top, right, bottom);
  }
  BOOL Ellipse(int left, int top, int right, int bottom) override {
    return AddRect(META_ELLIPSE, left, top, right, bottom);
  }
  int IntersectClipRect(int left, int top, int right, int bottom) override {
    AddRect(META_INTERSECTCLIPRECT, left, top, right, bottom);
    return kSimpleRegion;
  }

  BOOL TextOut(int x, int y, LPCSTR text, int c) override {
    if (c < 0 || c > INT16_MAX || (c > 0 && !text)) return FALSE;
    Add(RecordBuilder(META_TEXTOUT)
            .Word(static_cast<WORD>(c))
            .Bytes(text, static_cast<size_t>(c))
            .Short(y)
            .Short(x));
    return TRUE;
  }

  void ObjectDeleted(HGDIOBJ h) {
    const size_t slot = SlotOf(h);
    if (slot == slots_.size() || slots_[slot].stock) return;
    Add(RecordBuilder(META_DELETEOBJECT).Word(static_cast<WORD>(slot)));
    slots_[slot].object = nullptr;
  }

  // The finished metafile, end record included.
  std::vector<BYTE> Finish() {
    Add(RecordBuilder(META_EOF));
    wmf::Header h;
    h.sizeWords = static_cast<DWORD>(bytes_.size() / 2);
    h.noObjects = static_cast<WORD>(slots_.size());
    h.maxRecordWords = maxRecord_;
    wmf::WriteHeader(bytes_.data(), h);
    return std::move(bytes_);
  }

 private:
  template <typename T, typename V>
  T Set(T& field, V value, WORD function) {
    const T previous = field;
    field = static_cast<T>(value);
    Add(RecordBuilder(function).Word(static_cast<WORD>(value)));
    return previous;
  }

  COLORREF SetColor(COLORREF& field, COLORREF color, WORD function) {
    const COLORREF previous = field;
    field = color;
    Add(RecordBuilder(function).Color(color));
    return previous;
  }

  BOOL AddPoint(WORD function, int x, int y) {
    Add(RecordBuilder(function).Short(y).Short(x));
    return TRUE;
  }

  BOOL AddRect(WORD function, int left, int top, int right, int bottom) {
    Add(RecordBuilder(function).Short(bottom).Short(right).Short(top).Short(left));
    return TRUE;
  }

  BOOL AddPoints(WORD function, const POINT* apt, int cpt) {
    if (!apt || cpt < 2 || cpt > INT16_MAX) return FALSE;
    RecordBuilder r(function);
    r.Word(static_cast<WORD>(cpt));
    for (int i = 0; i < cpt; ++i) r.Short(apt[i].x).Short(apt[i].y);
    Add(r);
    return TRUE;
  }

  void Add(const RecordBuilder& r) {
    maxRecord_ = std::max(maxRecord_, r.SizeWords());
    r.AppendTo(bytes_);
  }

  // A create record built elsewhere; its size is its first DWORD.
  void AddBytes(const std::vector<BYTE>& record) {
    maxRecord_ = std::max(maxRecord_, wmf::GetDword(record.data()));
    bytes_.insert(bytes_.end(), record.begin(), record.end());
  }

  size_t SlotOf(HGDIOBJ h) const {
    for (size_t i = 0; i < slots_.size(); ++i)
      if (slots_[i].object == h) return i;
    return slots_.size();
  }

  // The lowest free slot, growing the table when every slot is taken; the
  // table's size is then the most objects ever alive at once.
  size_t FreeSlot() {
    for (size_t i = 0; i < slots_.size(); ++i)
      if (!slots_[i].object) return i;
    slots_.emplace_back();
    return slots_.size() - 1;
  }

  HANDLE file_;
  std::string path_;
  bool device_;
  std::vector<BYTE> bytes_;  // header space, then the records so far
  DWORD maxRecord_ = 0;
  std::vector<Slot> slots_;
  DrawState state_;
  std::vector<DrawState> saved_;
};

struct Registry {
  std::mutex mutex;
  std::map<uintptr_t, std::unique_ptr<MetaRecorder>> contexts;
};

Registry& Contexts() {
  static auto* r = new Registry;
  return *r;
}

}  // namespace

MetaDC* FindMetaDC(HDC hdc) {
  Registry& r = Contexts();
  std::lock_guard lock(r.mutex);
  auto it = r.contexts.find(reinterpret_cast<uintptr_t>(hdc));
  return it == r.contexts.end() ? nullptr : it->second.get();
}

void MetaObjectDeleted(HGDIOBJ h) {
  Registry& r = Contexts();
  std::lock_guard lock(r.mutex);
  for (auto& [handle, dc] : r.contexts) dc->ObjectDeleted(h);
}

MetaDC& StartDeviceRecording(HDC hdc) {
  auto recorder = std::make_unique<MetaRecorder>(nullptr, "", true);
  MetaDC& m = *recorder;
  Registry& r = Contexts();
  std::lock_guard lock(r.mutex);
  r.contexts[reinterpret_cast<uintptr_t>(hdc)] = std::move(recorder);
  return m;
}

std::vector<BYTE> FinishDeviceRecording(HDC hdc) {
  std::unique_ptr<MetaRecorder> done;
  {
    Registry& r = Contexts();
    std::lock_guard lock(r.mutex);
    auto it = r.contexts.find(reinterpret_cast<uintptr_t>(hdc));
    if (it == r.contexts.end() || !it->second->AlsoDevice()) return {};
    done = std::exchange(it->second, std::make_unique<MetaRecorder>(nullptr, "", true));
  }
  return done->Finish();
}

void EndDeviceRecording(HDC hdc) {
  Registry& r = Contexts();
  std::lock_guard lock(r.mutex);
  auto it = r.contexts.find(reinterpret_cast<uintptr_t>(hdc));
  if (it != r.contexts.end() && it->second->AlsoDevice()) r.contexts.erase(it);
}

}  // namespace platform::gdi

using platform::gdi::Contexts;

// A disk metafile's file is created at once, so a bad path fails here rather
// than at the end, and held open (shared for reading) until it is written.
HDC CreateMetaFile(LPCSTR pszFile) {
  HANDLE file = nullptr;
  if (pszFile) {
    file = CreateFile(pszFile, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
  }
  auto dc = std::make_unique<platform::gdi::MetaRecorder>(file, pszFile ? pszFile : "");
  const uintptr_t h = platform::detail::NewHandleValue();
  auto& r = Contexts();
  std::lock_guard lock(r.mutex);
  r.contexts[h] = std::move(dc);
  return reinterpret_cast<HDC>(h);
}

HMETAFILE CloseMetaFile(HDC hdc) {
  std::unique_ptr<platform::gdi::MetaRecorder> dc;
  {
    auto& r = Contexts();
    std::lock_guard lock(r.mutex);
    auto it = r.contexts.find(reinterpret_cast<uintptr_t>(hdc));
    // A printer's recording ends with its documents, not here.
    if (it == r.contexts.end() || it->second->AlsoDevice()) {
      SetLastError(ERROR_INVALID_HANDLE);
      return nullptr;
    }
    dc = std::move(it->second);
    r.contexts.erase(it);
  }
  std::vector<BYTE> bytes = dc->Finish();
  if (dc->file()) {
    const bool written = platform::gdi::WriteDiskMetaFile(dc->file(), bytes);
    const bool closed = CloseHandle(dc->file());
    if (!written || !closed) {
      // Other programs would open a half-written file as a broken picture.
      const DWORD err = GetLastError();
      DeleteFile(dc->path().c_str());
      SetLastError(err);
      return nullptr;
    }
  }
  return platform::gdi::NewMetaFileHandle(std::move(bytes));
}
