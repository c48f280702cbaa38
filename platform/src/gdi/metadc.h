// Metafile contexts, as the rest of GDI sees them. A context made by
// CreateMetaFile is not a device: every GDI call on it is recorded as a
// Windows metafile record. The GDI entry points look the context up here
// first and hand the call over; the metafile module owns these contexts, the
// records, the object table of the metafile (slots reused after
// DeleteObject), and the metafile handles.
//
// A "wmf" printer is both: a printer context with a recorder registered
// under its own handle. Its recorder says AlsoDevice, and the calls that set
// state (saved states, mapping, colours and modes, selected objects, current
// position, clip) go on to set the printer context's state once recorded, so
// that the printer answers for itself as any device does; drawing calls are
// only recorded, as the context has no page to draw on.
#pragma once

#include <windows.h>

#include <vector>

namespace platform::gdi {

class MetaDC {
 public:
  virtual ~MetaDC() = default;

  // True for a printer's recorder: the context is a device as well.
  virtual bool AlsoDevice() const = 0;

  virtual int SaveDC() = 0;
  virtual BOOL RestoreDC(int nSaved) = 0;
  virtual int SetBkMode(int mode) = 0;
  virtual COLORREF SetBkColor(COLORREF color) = 0;
  virtual COLORREF SetTextColor(COLORREF color) = 0;
  virtual UINT SetTextAlign(UINT align) = 0;
  virtual int SetROP2(int rop2) = 0;
  virtual int SetMapMode(int mode) = 0;
  virtual BOOL SetWindowExtEx(int x, int y) = 0;
  virtual BOOL SetWindowOrgEx(int x, int y) = 0;
  virtual BOOL SetViewportExtEx(int x, int y) = 0;
  virtual BOOL SetViewportOrgEx(int x, int y) = 0;
  // Records the object's creation the first time it is selected here (into a
  // free slot), then its selection; returns the previously selected object of
  // that kind (or the stock default).
  virtual HGDIOBJ SelectObject(HGDIOBJ h) = 0;
  virtual BOOL MoveToEx(int x, int y) = 0;
  virtual BOOL LineTo(int x, int y) = 0;
  virtual BOOL Polyline(const POINT* apt, int cpt) = 0;
  virtual BOOL Polygon(const POINT* apt, int cpt) = 0;
  virtual BOOL Rectangle(int left, int top, int right, int bottom) = 0;
  virtual BOOL Ellipse(int left, int top, int right, int bottom) = 0;
  virtual int IntersectClipRect(int left, int top, int right, int bottom) = 0;
  virtual BOOL TextOut(int x, int y, LPCSTR text, int c) = 0;
};

// The metafile context behind hdc, or null when hdc is another kind.
MetaDC* FindMetaDC(HDC hdc);

// Whether hdc is a metafile context and nothing else: the calls that ask a
// device about itself have no device to ask there.
inline bool IsMetaFileOnly(HDC hdc) {
  const MetaDC* m = FindMetaDC(hdc);
  return m && !m->AlsoDevice();
}

// The recording of a printer context (the "wmf" driver), under its handle.
// StartDeviceRecording puts a new, empty recording in place of any there was;
// FinishDeviceRecording ends the current one, hands out its metafile (end
// record included) and starts an empty one; EndDeviceRecording drops it.
MetaDC& StartDeviceRecording(HDC hdc);
std::vector<BYTE> FinishDeviceRecording(HDC hdc);
void EndDeviceRecording(HDC hdc);

// Called by DeleteObject before the object goes: every metafile context that
// holds it in a slot records its deletion and frees the slot.
void MetaObjectDeleted(HGDIOBJ h);

}  // namespace platform::gdi
