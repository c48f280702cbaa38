// Printers: driver "pdf" (colour) or "mono" (two colours) makes an A4 page
// at 300 dpi whose document goes to the port as a PDF file; driver "wmf" has
// the metrics of "pdf" but records the document as a Windows metafile written
// to the port, so that what was printed can be read back call by call.
// "DISPLAY" is the screen. A "pdf" or "mono" printer always has a page in
// memory to draw on; StartDoc names the file, EndPage starts the next page
// and EndDoc writes the file, while AbortDoc or DeleteDC throw the document
// away. A "wmf" printer has a recording instead (metadc.h) and puts every
// page of a document into the one metafile, which has no pages. An
// information context (CreateIC) has the metrics and state of its device and
// draws nothing.
#include <strings.h>

#include "dc.h"
#include "metadc.h"
#include "metafile_handles.h"
#include "platform/env.h"

namespace {

using platform::gdi::Dc;
using platform::gdi::DcKind;
using platform::gdi::DcState;
using platform::gdi::MetaDC;
using platform::gdi::WithDc;

constexpr double kPageWidthPt = 595, kPageHeightPt = 842;  // A4
constexpr double kPointsPerDot = 72.0 / 300.0;

enum class Driver { None, Display, Pdf, Mono, Wmf };

Driver DriverOf(LPCSTR name) {
  if (!name) return Driver::None;
  if (!strcasecmp(name, "DISPLAY")) return Driver::Display;
  if (!strcasecmp(name, "pdf")) return Driver::Pdf;
  if (!strcasecmp(name, "mono")) return Driver::Mono;
  if (!strcasecmp(name, "wmf")) return Driver::Wmf;
  return Driver::None;
}

void NewPage(Dc& dc) {
  dc.Attach(platform::gdi::Surface::Pdf(kPageWidthPt, kPageHeightPt), kPointsPerDot);
}

bool Same(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
bool Same(SIZE a, SIZE b) { return a.cx == b.cx && a.cy == b.cy; }

// The records that take a player from state a to state b. The extents are
// given again after a change of mode, as the new mode sets its own.
void RecordChanges(MetaDC& m, const DcState& a, const DcState& b) {
  const platform::gdi::Mapping &from = a.map, &to = b.map;
  if (to.mode != from.mode) m.SetMapMode(to.mode);
  if (platform::gdi::ExtentsSettable(to) &&
      (to.mode != from.mode || !Same(to.windowExt, from.windowExt) ||
       !Same(to.viewportExt, from.viewportExt))) {
    m.SetWindowExtEx(to.windowExt.cx, to.windowExt.cy);
    m.SetViewportExtEx(to.viewportExt.cx, to.viewportExt.cy);
  }
  if (!Same(to.windowOrg, from.windowOrg)) m.SetWindowOrgEx(to.windowOrg.x, to.windowOrg.y);
  if (!Same(to.viewportOrg, from.viewportOrg))
    m.SetViewportOrgEx(to.viewportOrg.x, to.viewportOrg.y);
  if (b.bkMode != a.bkMode) m.SetBkMode(b.bkMode);
  if (b.bkColor != a.bkColor) m.SetBkColor(b.bkColor);
  if (b.textColor != a.textColor) m.SetTextColor(b.textColor);
  if (b.textAlign != a.textAlign) m.SetTextAlign(b.textAlign);
  if (b.rop2 != a.rop2) m.SetROP2(b.rop2);
  // An object deleted while selected cannot be described any more; the
  // recorder leaves it out.
  if (b.pen.get() != a.pen.get()) m.SelectObject(b.pen.get());
  if (b.brush.get() != a.brush.get()) m.SelectObject(b.brush.get());
  if (b.font.get() != a.font.get()) m.SelectObject(b.font.get());
  if (!Same(b.pos, a.pos)) m.MoveToEx(b.pos.x, b.pos.y);
}

// A document's recording starts from the state the printer is in, its saved
// states included, as a player starts from a fresh context: what was set
// before StartDoc holds in the document, what was drawn does not. The clip
// rectangle, which the context keeps in device units, is not carried over.
void StartRecording(Dc& dc) {
  MetaDC& m = platform::gdi::StartDeviceRecording(dc.handle);
  const DcState fresh;
  const DcState* from = &fresh;
  for (const DcState& saved : dc.saved) {
    RecordChanges(m, *from, saved);
    m.SaveDC();
    from = &saved;
  }
  RecordChanges(m, *from, dc.state);
}

HDC Make(LPCSTR driver, LPCSTR port, bool information) {
  Driver d = DriverOf(driver);
  if (d == Driver::None) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  if (d == Driver::Display && !information) return GetDC(nullptr);
  bool printer = d != Driver::Display;
  auto caps = printer ? platform::gdi::PrinterCaps(d == Driver::Mono) : platform::gdi::ScreenCaps();
  auto dc = std::make_unique<Dc>(information ? DcKind::Info : DcKind::Printer, caps);
  dc->mono = d == Driver::Mono;
  dc->recorded = d == Driver::Wmf && !information;
  dc->port = port ? port : "";
  if (!information && !dc->recorded) NewPage(*dc);
  const bool recorded = dc->recorded;
  HDC hdc = platform::gdi::AddDc(std::move(dc));
  if (recorded) platform::gdi::StartDeviceRecording(hdc);
  return hdc;
}

// Runs f on a printer context, or gives SP_ERROR.
template <class F>
int WithPrinter(HDC hdc, F&& f) {
  if (platform::gdi::IsMetaFileOnly(hdc)) return SP_ERROR;
  return WithDc(hdc, SP_ERROR,
                [&](Dc& dc) { return dc.kind == DcKind::Printer ? f(dc) : SP_ERROR; });
}

}  // namespace

HDC CreateDC(LPCSTR pwszDriver, LPCSTR, LPCSTR pszPort, const DEVMODE*) {
  return Make(pwszDriver, pszPort, false);
}

HDC CreateIC(LPCSTR pszDriver, LPCSTR, LPCSTR pszPort, const DEVMODE*) {
  return Make(pszDriver, pszPort, true);
}

int StartDoc(HDC hdc, const DOCINFO* lpdi) {
  return WithPrinter(hdc, [&](Dc& dc) {
    std::string output = lpdi && lpdi->lpszOutput ? lpdi->lpszOutput : dc.port;
    std::string hostPath = output.empty() ? "" : platform::ToHostPath(output);
    if (dc.inDoc || hostPath.empty()) return SP_ERROR;
    dc.output = hostPath;
    dc.inDoc = true;
    // What was drawn before the document is not part of it.
    if (dc.recorded)
      StartRecording(dc);
    else
      NewPage(dc);
    return 1;
  });
}

int StartPage(HDC hdc) {
  return WithPrinter(hdc, [](Dc& dc) { return dc.inDoc ? 1 : SP_ERROR; });
}

int EndPage(HDC hdc) {
  return WithPrinter(hdc, [](Dc& dc) {
    if (!dc.inDoc) return SP_ERROR;
    if (!dc.recorded) cairo_show_page(dc.cr);
    return 1;
  });
}

int EndDoc(HDC hdc) {
  return WithPrinter(hdc, [](Dc& dc) {
    if (!dc.inDoc) return SP_ERROR;
    dc.inDoc = false;
    if (dc.recorded) {
      // The output is a host path already, which the file layer takes as it is.
      const std::vector<BYTE> bytes = platform::gdi::FinishDeviceRecording(dc.handle);
      const bool ok = !bytes.empty() && platform::gdi::SaveDiskMetaFile(dc.output.c_str(), bytes);
      return ok ? 1 : SP_ERROR;
    }
    std::shared_ptr<platform::gdi::Surface> doc = dc.surface;
    dc.Detach();
    bool ok = doc->FinishTo(dc.output);
    NewPage(dc);
    return ok ? 1 : SP_ERROR;
  });
}

int AbortDoc(HDC hdc) {
  return WithPrinter(hdc, [](Dc& dc) {
    if (!dc.inDoc) return SP_ERROR;
    dc.inDoc = false;
    if (dc.recorded)
      platform::gdi::StartDeviceRecording(dc.handle);
    else
      NewPage(dc);
    return 1;
  });
}
