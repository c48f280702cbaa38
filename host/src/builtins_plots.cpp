// Plots drawn into files and on the printer.
//
// DrawPlot plot, file$ [, w, h [, "R G B"]]
//   Draws an MS or CHRO plot into file$, chosen by its extension: .png
//   (pixels), .svg (pixels), .pdf (points) or .wmf (a placeable metafile, 96
//   units an inch, so other programs know its size). The picture is w x h
//   device units, each a whole number 1 to 16384, by default the drawing
//   view's size (--view). The background ("R G B", each 0 to 255, default
//   white) is painted first, into the metafile too. Then every child, in
//   order, draws itself (opcode 9) with the screen request of cmdproc.h:
//   MM_TEXT, rcTarget (0, 0, w, h), the axes rounded to whole numbers, and
//   hdcRef = hdc except for .wmf, whose reference is the screen.
//
// PrintPlot plot
//   One page on the default printer, the one `[windows] device=` of win.ini
//   names as "device,driver,port" (the output goes to the port), the plot
//   filling the page with the printer request of cmdproc.h.
//
// A child whose drawing fails stops neither the others nor the file or page,
// which is still written; the statement then fails with the first such status,
// and nothing more is printed, since the child has reported already. No plot,
// a file of another kind, a bad size or colour, no usable printer or a file
// that cannot be written is the host's own error.
#include <platform/env.h>
#include <platform/gdi_export.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <limits>
#include <string>
#include <utility>

#include "builtins.h"
#include "failure.h"
#include "picture.h"
#include "plot.h"

namespace host {
namespace {

constexpr int kMaxSide = 16384;
constexpr COLORREF kWhite = RGB(255, 255, 255);

// Runs a clean-up when the scope ends, unless dismissed.
template <typename F>
class Finally {
 public:
  explicit Finally(F f) : f_(std::move(f)) {}
  ~Finally() {
    if (armed_) f_();
  }
  Finally(const Finally&) = delete;
  Finally& operator=(const Finally&) = delete;
  void Dismiss() { armed_ = false; }

 private:
  F f_;
  bool armed_ = true;
};

const Plot& PlotArg(const BuiltinCall& c) {
  const OBJ_BASECLASS* v = c.args[0];
  if ((v->idType != c.rt.msType() && v->idType != c.rt.chroType()) || !PlotOf(v))
    throw HostError{c.name + ": argument 1 is not an MS or CHRO plot"};
  return *PlotOf(v);
}

// The request carries the axes as whole numbers within 32 bits.
int64_t WholeAxis(double v) {
  constexpr double lo = std::numeric_limits<int32_t>::min();
  constexpr double hi = std::numeric_limits<int32_t>::max();
  if (std::isnan(v)) return 0;
  if (v <= lo) return std::numeric_limits<int32_t>::min();
  if (v >= hi) return std::numeric_limits<int32_t>::max();
  return std::llround(v);
}

PLOTDRAWREQ Request(const Plot& plot, HDC hdc, HDC ref, LONG w, LONG h) {
  PLOTDRAWREQ r{};
  r.hdc = hdc;
  r.hdcRef = ref;
  r.rcTarget = RECT{0, 0, w, h};
  r.llXFrom = WholeAxis(plot.xFrom);
  r.llXTo = WholeAxis(plot.xTo);
  r.llYFrom = WholeAxis(plot.yFrom);
  r.llYTo = WholeAxis(plot.yTo);
  return r;
}

// Every child draws, whatever the ones before returned; gives the first
// failing status, or 0.
short DrawChildren(Runtime& rt, const Plot& plot, const PLOTDRAWREQ& request) {
  short first = 0;
  // By index: a child's drawing may reach the plot, and the list with it.
  for (size_t i = 0; i < plot.children.size(); ++i) {
    PLOTDRAWREQ r = request;
    // Each child gets the context as the plot set it up, whatever the child
    // before it left selected or mapped.
    const bool saved = SaveDC(request.hdc) != 0;
    const short status =
        rt.ObjectOpCall(plot.children[i], OBJOP_DRAW, reinterpret_cast<intptr_t>(&r), 0);
    if (saved) RestoreDC(request.hdc, -1);
    if (status != 0 && first == 0) first = status;
  }
  return first;
}

void PaintBackground(HDC hdc, int w, int h, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  const RECT all{0, 0, w, h};
  FillRect(hdc, &all, brush);
  DeleteObject(brush);
}

// A size argument, or the view's when it is missing.
int Side(const BuiltinCall& c, size_t i, int fallback, const char* what) {
  const double v = i < c.args.size() && c.args[i] ? c.Number(i) : fallback;
  if (!(v >= 1 && v <= kMaxSide) || v != std::floor(v))
    throw HostError{c.name + ": the " + what + " is a whole number from 1 to " +
                    std::to_string(kMaxSide)};
  return static_cast<int>(v);
}

void WriteBytes(const std::string& hostPath, const std::string& path, const std::string& bytes) {
  std::ofstream out(hostPath, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw HostError{"cannot write " + path};
}

// What one DrawPlot makes: the file and the picture's size and background.
struct Canvas {
  std::string path, hostPath;
  int w, h;
  COLORREF background;
};

short DrawPng(Runtime& rt, const Plot& plot, const Canvas& k) {
  HDC hdc = platform::CreateRasterDC(k.w, k.h, k.background);
  if (!hdc)
    throw HostError{"cannot make a picture of " + std::to_string(k.w) + " x " +
                    std::to_string(k.h) + " pixels"};
  Finally done([hdc] { DeleteDC(hdc); });
  PaintBackground(hdc, k.w, k.h, k.background);
  const short status = DrawChildren(rt, plot, Request(plot, hdc, hdc, k.w, k.h));
  if (!platform::SaveRasterPNG(hdc, k.hostPath)) throw HostError{"cannot write " + k.path};
  return status;
}

short DrawVector(Runtime& rt, const Plot& plot, const Canvas& k, bool pdf) {
  HDC hdc = platform::CreateVectorDC(k.hostPath, pdf, k.w, k.h);
  if (!hdc) throw HostError{"cannot write " + k.path};
  Finally discard([hdc] { DeleteDC(hdc); });
  PaintBackground(hdc, k.w, k.h, k.background);
  const short status = DrawChildren(rt, plot, Request(plot, hdc, hdc, k.w, k.h));
  discard.Dismiss();
  if (!platform::CloseVectorDC(hdc)) throw HostError{"cannot write " + k.path};
  return status;
}

// The 22 bytes before the metafile that give other programs its size: key,
// handle 0, bounding box, units per inch, reserved 0 and the checksum (the
// XOR of the ten words before it), each little-endian.
std::string PlaceableHeader(int w, int h) {
  uint16_t words[11] = {0xCDD7, 0x9AC6, 0, 0, 0, static_cast<uint16_t>(w), static_cast<uint16_t>(h),
                        96,     0,      0, 0};
  for (int i = 0; i < 10; ++i) words[10] ^= words[i];
  std::string bytes;
  for (uint16_t word : words) {
    bytes += static_cast<char>(word & 0xFF);
    bytes += static_cast<char>(word >> 8);
  }
  return bytes;
}

short DrawWmf(Runtime& rt, const Plot& plot, const Canvas& k) {
  // A metafile context knows neither colours nor resolution: the children
  // measure on the screen.
  HDC screen = GetDC(nullptr);
  if (!screen) throw HostError{"cannot reach the screen to measure the plot"};
  Finally release([screen] { ReleaseDC(nullptr, screen); });
  HDC hdc = CreateMetaFile(nullptr);
  if (!hdc) throw HostError{"cannot record a metafile"};
  Finally abandon([hdc] {
    if (HMETAFILE m = CloseMetaFile(hdc)) DeleteMetaFile(m);
  });
  PaintBackground(hdc, k.w, k.h, k.background);
  const short status = DrawChildren(rt, plot, Request(plot, hdc, screen, k.w, k.h));
  abandon.Dismiss();
  HMETAFILE mf = CloseMetaFile(hdc);
  if (!mf) throw HostError{"cannot record a metafile"};
  Finally drop([mf] { DeleteMetaFile(mf); });
  const UINT size = GetMetaFileBitsEx(mf, 0, nullptr);
  std::string bytes = PlaceableHeader(k.w, k.h);
  const size_t head = bytes.size();
  bytes.resize(head + size);
  if (size == 0 || GetMetaFileBitsEx(mf, size, bytes.data() + head) != size)
    throw HostError{"cannot read the recorded metafile"};
  WriteBytes(k.hostPath, k.path, bytes);
  return status;
}

void DrawPlot(BuiltinCall& c) {
  c.Arity(2, 5);
  const Plot& plot = PlotArg(c);
  Canvas k;
  k.path = c.String(1);
  const std::string ext = FileExtension(k.path);
  if (ext != "png" && ext != "svg" && ext != "pdf" && ext != "wmf")
    throw HostError{c.name + " writes .png, .svg, .pdf or .wmf, not " + k.path};
  k.w = Side(c, 2, c.ctx.viewWidth, "width");
  k.h = Side(c, 3, c.ctx.viewHeight, "height");
  k.background = c.args.size() > 4 && c.args[4] ? ParseColour(c.String(4)) : kWhite;
  k.hostPath = platform::ToHostPath(k.path);
  if (k.hostPath.empty()) throw HostError{"cannot write " + k.path};

  const short status = ext == "png"   ? DrawPng(c.rt, plot, k)
                       : ext == "wmf" ? DrawWmf(c.rt, plot, k)
                                      : DrawVector(c.rt, plot, k, ext == "pdf");
  if (status != 0) throw EntryFailed{status};
}

struct Printer {
  std::string device, driver, port;
};

std::string Trimmed(const std::string& s) {
  const size_t first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  return s.substr(first, s.find_last_not_of(" \t") - first + 1);
}

// The system profile's default printer, "device,driver,port"; the port may
// hold commas of its own.
Printer DefaultPrinter() {
  char entry[4096] = {};
  const DWORD n = GetProfileString("windows", "device", "", entry, sizeof entry);
  const std::string text = entry;
  const size_t first = text.find(',');
  const size_t second = first == std::string::npos ? first : text.find(',', first + 1);
  // A cut-off entry names no port that could be trusted.
  if (second == std::string::npos || n + 1 >= sizeof entry) throw HostError{"no default printer"};
  Printer p{Trimmed(text.substr(0, first)), Trimmed(text.substr(first + 1, second - first - 1)),
            Trimmed(text.substr(second + 1))};
  if (p.device.empty() || p.driver.empty() || p.port.empty()) throw HostError{"no default printer"};
  return p;
}

void PrintPlot(BuiltinCall& c) {
  c.Arity(1, 1);
  const Plot& plot = PlotArg(c);
  const Printer printer = DefaultPrinter();
  HDC hdc = CreateDC(printer.driver.c_str(), printer.device.c_str(), printer.port.c_str(), nullptr);
  if (!hdc) throw HostError{"cannot open the printer " + printer.device};
  Finally done([hdc] { DeleteDC(hdc); });
  DOCINFO doc{static_cast<int>(sizeof(DOCINFO)), "Plot", nullptr, nullptr, 0};
  if (StartDoc(hdc, &doc) <= 0) throw HostError{"cannot print on " + printer.port};
  bool inDoc = true;
  Finally cancel([&] {
    if (inDoc) AbortDoc(hdc);
  });
  if (StartPage(hdc) <= 0) throw HostError{"cannot start a page on " + printer.device};

  // The page in the y-up units both structures and pictures place
  // themselves by (see PLOTDRAWREQ).
  constexpr int m = PLOT_PRINT_UNITS;
  SetMapMode(hdc, MM_ANISOTROPIC);
  SetWindowOrgEx(hdc, 0, m, nullptr);
  SetWindowExtEx(hdc, m, -m, nullptr);
  SetViewportOrgEx(hdc, 0, 0, nullptr);
  SetViewportExtEx(hdc, GetDeviceCaps(hdc, HORZRES), GetDeviceCaps(hdc, VERTRES), nullptr);
  PLOTDRAWREQ request = Request(plot, hdc, hdc, m, m);
  request.bPrint = 1;
  request.lPrintExtX = m;
  request.lPrintUnitY = 1;
  const short status = DrawChildren(c.rt, plot, request);

  if (EndPage(hdc) <= 0) throw HostError{"cannot finish the page on " + printer.device};
  inDoc = false;
  if (EndDoc(hdc) <= 0) throw HostError{"cannot print on " + printer.port};
  if (status != 0) throw EntryFailed{status};
}

}  // namespace

void AddPlotBuiltins(BuiltinTable& t) {
  t.Add(BuiltinKind::Command, "DrawPlot", DrawPlot);
  t.Add(BuiltinKind::Command, "PrintPlot", PrintPlot);
}

}  // namespace host
