// Devices: the metrics each kind reports, printers writing PDF documents
// page by page, vector pictures (SVG, PDF) and PNG files, and windows with
// their own surfaces, painted through BeginPaint and pictured with their
// children.
#include <cairo.h>

#include <cstdlib>
#include <string>

#include "gdi_fixture.h"

namespace {

class GdiDevicesTest : public GdiTest {
 protected:
  void TearDown() override {
    for (HWND h : windows_)
      if (IsWindow(h)) DestroyWindow(h);
    GdiTest::TearDown();
  }
  HDC Printer(const char* driver, const std::string& port) {
    HDC hdc = CreateDC(driver, "Printer", port.c_str(), nullptr);
    if (hdc) made_.push_back(hdc);
    return hdc;
  }
  std::vector<HWND> windows_;
};

// A PNG file's pixel, read back through cairo.
COLORREF PngPixel(const std::string& path, int x, int y, int* width = nullptr) {
  cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
  COLORREF c = CLR_INVALID;
  if (cairo_surface_status(s) == CAIRO_STATUS_SUCCESS) {
    if (width) *width = cairo_image_surface_get_width(s);
    auto* row = cairo_image_surface_get_data(s) + y * cairo_image_surface_get_stride(s);
    uint32_t argb = reinterpret_cast<const uint32_t*>(row)[x];
    c = RGB((argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
  }
  cairo_surface_destroy(s);
  return c;
}

TEST_F(GdiDevicesTest, EachDeviceReportsItsMetrics) {
  struct Expect {
    HDC hdc;
    int tech, numColors, dpi, horzRes, vertRes, horzSize, vertSize;
  };
  HDC screen = Raster(10, 10);
  HDC pdf = CreateIC("pdf", "PDF", "x.pdf", nullptr);
  HDC mono = CreateIC("MONO", "Mono", "x.pdf", nullptr);
  HDC printer = Printer("pdf", Path("x.pdf"));
  made_.insert(made_.end(), {pdf, mono});
  for (const Expect& e : {Expect{screen, DT_RASDISPLAY, -1, 96, 1280, 1024, 339, 271},
                          Expect{pdf, DT_RASPRINTER, -1, 300, 2480, 3508, 210, 297},
                          Expect{mono, DT_RASPRINTER, 2, 300, 2480, 3508, 210, 297},
                          Expect{printer, DT_RASPRINTER, -1, 300, 2480, 3508, 210, 297}}) {
    ASSERT_NE(e.hdc, nullptr);
    EXPECT_EQ(GetDeviceCaps(e.hdc, TECHNOLOGY), e.tech);
    EXPECT_EQ(GetDeviceCaps(e.hdc, NUMCOLORS), e.numColors);
    EXPECT_EQ(GetDeviceCaps(e.hdc, LOGPIXELSX), e.dpi);
    EXPECT_EQ(GetDeviceCaps(e.hdc, LOGPIXELSY), e.dpi);
    EXPECT_EQ(GetDeviceCaps(e.hdc, HORZRES), e.horzRes);
    EXPECT_EQ(GetDeviceCaps(e.hdc, VERTRES), e.vertRes);
    EXPECT_EQ(GetDeviceCaps(e.hdc, HORZSIZE), e.horzSize);
    EXPECT_EQ(GetDeviceCaps(e.hdc, VERTSIZE), e.vertSize);
  }
  EXPECT_EQ(CreateDC("laser", "Laser", "x.pdf", nullptr), nullptr);
  EXPECT_EQ(CreateIC("laser", "Laser", "x.pdf", nullptr), nullptr);
  EXPECT_EQ(GetDeviceCaps(reinterpret_cast<HDC>(uintptr_t{12345}), NUMCOLORS), 0);
}

TEST_F(GdiDevicesTest, PrinterWritesOnePdfPagePerPage) {
  HDC hdc = Printer("pdf", Path("doc.pdf"));
  ASSERT_NE(hdc, nullptr);
  DOCINFO di{sizeof(DOCINFO), "Doc", nullptr, nullptr, 0};
  ASSERT_GT(StartDoc(hdc, &di), 0);
  EXPECT_EQ(StartDoc(hdc, &di), SP_ERROR);  // one at a time
  for (int page = 0; page < 2; ++page) {
    ASSERT_GT(StartPage(hdc), 0);
    Selected pen(hdc, CreatePen(PS_SOLID, 10, kRed));
    Rectangle(hdc, 300, 300, 2180, 3208);
    TextOut(hdc, 400, 400, "Page", 4);
    ASSERT_GT(EndPage(hdc), 0);
  }
  EXPECT_TRUE(Read("doc.pdf").empty());  // nothing before EndDoc
  ASSERT_GT(EndDoc(hdc), 0);
  std::string pdf = Read("doc.pdf");
  EXPECT_EQ(pdf.substr(0, 5), "%PDF-");
  EXPECT_NE(pdf.find("/Count 2"), std::string::npos);
  EXPECT_NE(pdf.find("/MediaBox [ 0 0 595 842 ]"), std::string::npos);
  if (std::system("command -v pdftoppm >/dev/null 2>&1") == 0) {
    std::string cmd = "pdftoppm -png -r 20 -f 1 -l 1 '" + Path("doc.pdf") + "' '" + Path("page") +
                      "' >/dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    EXPECT_NE(Read("page-1.png").size(), 0u);
  }
}

TEST_F(GdiDevicesTest, AnAbandonedDocumentWritesNothing) {
  HDC hdc = Printer("mono", Path("gone.pdf"));
  ASSERT_NE(hdc, nullptr);
  EXPECT_EQ(EndDoc(hdc), SP_ERROR);  // none started
  DOCINFO di{sizeof(DOCINFO), "Doc", nullptr, nullptr, 0};
  ASSERT_GT(StartDoc(hdc, &di), 0);
  Rectangle(hdc, 0, 0, 100, 100);
  EXPECT_GT(AbortDoc(hdc), 0);
  ASSERT_GT(StartDoc(hdc, &di), 0);
  Rectangle(hdc, 0, 0, 100, 100);
  made_.erase(std::find(made_.begin(), made_.end(), hdc));
  EXPECT_TRUE(DeleteDC(hdc));
  EXPECT_TRUE(Read("gone.pdf").empty());
  HDC noPort = CreateDC("pdf", "PDF", nullptr, nullptr);
  made_.push_back(noPort);
  EXPECT_EQ(StartDoc(noPort, &di), SP_ERROR);
  di.lpszOutput = nullptr;
}

TEST_F(GdiDevicesTest, PicturesAreWrittenAsPngSvgAndPdf) {
  auto draw = [](HDC hdc) {
    SelectObject(hdc, GetStockObject(BLACK_BRUSH));
    Rectangle(hdc, 10, 10, 20, 20);
    SelectObject(hdc, GetStockObject(WHITE_BRUSH));
  };
  ASSERT_TRUE(platform::RenderToFile(Path("p.png"), 40, 30, kGreen, draw));
  int width = 0;
  EXPECT_EQ(PngPixel(Path("p.png"), 0, 0, &width), kGreen);
  EXPECT_EQ(PngPixel(Path("p.png"), 15, 15), kBlack);
  EXPECT_EQ(width, 40);
  ASSERT_TRUE(platform::RenderToFile(Path("p.svg"), 40, 30, kGreen, draw));
  std::string svg = Read("p.svg");
  EXPECT_NE(svg.find("<svg"), std::string::npos);
  EXPECT_NE(svg.find("width=\"40px\""), std::string::npos);
  ASSERT_TRUE(platform::RenderToFile(Path("p.pdf"), 40, 30, CLR_INVALID, draw));
  EXPECT_EQ(Read("p.pdf").substr(0, 5), "%PDF-");
  EXPECT_FALSE(platform::RenderToFile(Path("p.bmp"), 40, 30, kGreen, draw));

  HDC vector = platform::CreateVectorDC(Path("v.svg"), false, 50, 50);
  ASSERT_NE(vector, nullptr);
  EXPECT_EQ(GetDeviceCaps(vector, LOGPIXELSY), 96);
  EXPECT_EQ(GetDeviceCaps(vector, HORZRES), 50);
  EXPECT_TRUE(Ellipse(vector, 0, 0, 50, 50));
  EXPECT_TRUE(platform::CloseVectorDC(vector));
  EXPECT_NE(Read("v.svg").find("<svg"), std::string::npos);
  EXPECT_FALSE(platform::CloseVectorDC(vector));
  HDC discarded = platform::CreateVectorDC(Path("d.pdf"), true, 50, 50);
  EXPECT_TRUE(DeleteDC(discarded));
  EXPECT_TRUE(Read("d.pdf").empty());
}

LRESULT CALLBACK PaintingProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m != WM_PAINT) return DefWindowProc(h, m, w, l);
  PAINTSTRUCT ps;
  HDC hdc = BeginPaint(h, &ps);
  MoveToEx(hdc, 0, 5, nullptr);
  LineTo(hdc, 1000, 5);
  EndPaint(h, &ps);
  return 0;
}

const char* PaintingClass(const char* name, HBRUSH background) {
  WNDCLASS wc{};
  wc.lpfnWndProc = PaintingProc;
  wc.hbrBackground = background;
  wc.lpszClassName = name;
  RegisterClass(&wc);
  return name;
}

// Each window paints on its own surface: the erase fills it with the class
// brush, the paint handler draws over it, and a picture of the parent shows
// the child on top.
TEST_F(GdiDevicesTest, WindowsPaintOnTheirOwnSurfaces) {
  // Classes outlive the test: their brushes are stock ones.
  static const char* parentClass =
      PaintingClass("GdiParent", static_cast<HBRUSH>(GetStockObject(LTGRAY_BRUSH)));
  static const char* childClass =
      PaintingClass("GdiChild", static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH)));
  const COLORREF kLight = RGB(192, 192, 192), kGray = RGB(128, 128, 128);
  HWND parent = CreateWindowEx(0, parentClass, "", WS_VISIBLE, 0, 0, 60, 40, nullptr, nullptr,
                               nullptr, nullptr);
  windows_.push_back(parent);
  HWND child = CreateWindowEx(0, childClass, "", WS_CHILD | WS_VISIBLE, 20, 10, 30, 20, parent,
                              nullptr, nullptr, nullptr);
  UpdateWindow(parent);
  RECT update;
  EXPECT_FALSE(GetUpdateRect(parent, &update, FALSE));

  HDC hdc = GetDC(parent);
  ASSERT_NE(hdc, nullptr);
  EXPECT_EQ(GetDeviceCaps(hdc, LOGPIXELSY), 96);
  EXPECT_EQ(Px(hdc, 25, 15), kLight);  // the child's area, on the parent's surface
  EXPECT_EQ(Px(hdc, 25, 5), kBlack);
  EXPECT_EQ(ReleaseDC(parent, hdc), 1);
  hdc = GetDC(child);
  EXPECT_EQ(Px(hdc, 0, 0), kGray);
  EXPECT_EQ(Px(hdc, 29, 5), kBlack);
  EXPECT_EQ(Px(hdc, 30, 5), CLR_INVALID);
  ReleaseDC(child, hdc);

  ASSERT_TRUE(platform::SaveWindowPNG(parent, Path("view.png")));
  EXPECT_EQ(PngPixel(Path("view.png"), 10, 15), kLight);
  EXPECT_EQ(PngPixel(Path("view.png"), 25, 12), kGray);
  EXPECT_EQ(PngPixel(Path("view.png"), 25, 15), kBlack);  // the child's line at its y 5
  ShowWindow(child, SW_HIDE);
  ASSERT_TRUE(platform::SaveWindowPNG(parent, Path("hidden.png")));
  EXPECT_EQ(PngPixel(Path("hidden.png"), 25, 12), kLight);

  // A bigger window keeps what it had and gets its class background around it.
  MoveWindow(parent, 0, 0, 80, 50, FALSE);
  hdc = GetDC(parent);
  EXPECT_EQ(Px(hdc, 25, 5), kBlack);
  EXPECT_EQ(Px(hdc, 79, 49), kLight);
  ReleaseDC(parent, hdc);
  EXPECT_EQ(ReleaseDC(parent, Raster(2, 2)), 0);  // not a window context
  EXPECT_EQ(GetDC(reinterpret_cast<HWND>(uintptr_t{12345})), nullptr);
}

TEST_F(GdiDevicesTest, BeginPaintValidatesAndErasesOnlyWhenAsked) {
  static const char* cls =
      PaintingClass("GdiErase", static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));
  HWND h = CreateWindowEx(0, cls, "", WS_VISIBLE, 0, 0, 20, 20, nullptr, nullptr, nullptr, nullptr);
  windows_.push_back(h);
  UpdateWindow(h);
  HDC hdc = GetDC(h);
  SelectObject(hdc, GetStockObject(BLACK_BRUSH));
  Rectangle(hdc, 0, 10, 20, 20);
  SelectObject(hdc, GetStockObject(WHITE_BRUSH));
  ReleaseDC(h, hdc);

  InvalidateRect(h, nullptr, FALSE);
  PAINTSTRUCT ps;
  hdc = BeginPaint(h, &ps);
  EXPECT_FALSE(ps.fErase);
  EXPECT_EQ(ps.rcPaint.right, 20);
  EXPECT_EQ(Px(hdc, 5, 15), kBlack);  // not erased
  EndPaint(h, &ps);
  EXPECT_FALSE(GetUpdateRect(h, nullptr, FALSE));

  InvalidateRect(h, nullptr, TRUE);
  hdc = BeginPaint(h, &ps);
  EXPECT_FALSE(ps.fErase);  // done by the default erase
  EXPECT_EQ(Px(hdc, 5, 15), RGB(64, 64, 64));
  EndPaint(h, &ps);
}

}  // namespace
