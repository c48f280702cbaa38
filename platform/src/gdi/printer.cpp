// Printers: driver "pdf" (colour) or "mono" (two colours) makes an A4 page
// at 300 dpi whose document goes to the port as a PDF file; "DISPLAY" is the
// screen. A printer context always has a page in memory to draw on; StartDoc
// names the file, EndPage starts the next page and EndDoc writes the file,
// while AbortDoc or DeleteDC throw the document away. An information context
// (CreateIC) has the metrics and state of its device and draws nothing.
#include <strings.h>

#include "dc.h"
#include "metadc.h"
#include "platform/env.h"

namespace {

using platform::gdi::Dc;
using platform::gdi::DcKind;
using platform::gdi::WithDc;

constexpr double kPageWidthPt = 595, kPageHeightPt = 842;  // A4
constexpr double kPointsPerDot = 72.0 / 300.0;

enum class Driver { None, Display, Pdf, Mono };

Driver DriverOf(LPCSTR name) {
  if (!name) return Driver::None;
  if (!strcasecmp(name, "DISPLAY")) return Driver::Display;
  if (!strcasecmp(name, "pdf")) return Driver::Pdf;
  if (!strcasecmp(name, "mono")) return Driver::Mono;
  return Driver::None;
}

void NewPage(Dc& dc) {
  dc.Attach(platform::gdi::Surface::Pdf(kPageWidthPt, kPageHeightPt), kPointsPerDot);
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
  dc->port = port ? port : "";
  if (!information) NewPage(*dc);
  return platform::gdi::AddDc(std::move(dc));
}

// Runs f on a printer context, or gives SP_ERROR.
template <class F>
int WithPrinter(HDC hdc, F&& f) {
  if (platform::gdi::FindMetaDC(hdc)) return SP_ERROR;
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
    NewPage(dc);  // what was drawn before the document is not part of it
    return 1;
  });
}

int StartPage(HDC hdc) {
  return WithPrinter(hdc, [](Dc& dc) { return dc.inDoc ? 1 : SP_ERROR; });
}

int EndPage(HDC hdc) {
  return WithPrinter(hdc, [](Dc& dc) {
    if (!dc.inDoc) return SP_ERROR;
    cairo_show_page(dc.cr);
    return 1;
  });
}

int EndDoc(HDC hdc) {
  return WithPrinter(hdc, [](Dc& dc) {
    if (!dc.inDoc) return SP_ERROR;
    std::shared_ptr<platform::gdi::Surface> doc = dc.surface;
    dc.Detach();
    bool ok = doc->FinishTo(dc.output);
    dc.inDoc = false;
    NewPage(dc);
    return ok ? 1 : SP_ERROR;
  });
}

int AbortDoc(HDC hdc) {
  return WithPrinter(hdc, [](Dc& dc) {
    if (!dc.inDoc) return SP_ERROR;
    dc.inDoc = false;
    NewPage(dc);
    return 1;
  });
}
