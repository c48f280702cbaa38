// Drawing on raster contexts, checked pixel by pixel: one-pixel lines on
// their rows, pen widths under a mapping, dotted pens, the box convention of
// rectangles and ellipses, hollow and solid brushes, clipping, ROP2, and a
// two-colour device drawing black.
#include "gdi_fixture.h"

namespace {

using GdiRasterTest = GdiTest;

void Line(HDC hdc, int x1, int y1, int x2, int y2) {
  MoveToEx(hdc, x1, y1, nullptr);
  LineTo(hdc, x2, y2);
}

TEST_F(GdiRasterTest, AThinLineCoversItsFirstPixelAndStopsBeforeItsLast) {
  HDC hdc = Raster(40, 40);
  Line(hdc, 5, 10, 30, 10);
  for (int x = 5; x < 30; ++x) ASSERT_EQ(Px(hdc, x, 10), kBlack) << x;
  EXPECT_EQ(Px(hdc, 4, 10), kWhite);
  EXPECT_EQ(Px(hdc, 30, 10), kWhite);
  EXPECT_EQ(InkInRow(hdc, 9, 0, 40) + InkInRow(hdc, 11, 0, 40), 0);
  Line(hdc, 20, 15, 20, 35);
  EXPECT_EQ(InkInColumn(hdc, 20, 12, 40), 20);
  EXPECT_EQ(InkInColumn(hdc, 19, 12, 40) + InkInColumn(hdc, 21, 12, 40), 0);
  POINT pos;
  GetCurrentPositionEx(hdc, &pos);
  EXPECT_EQ(pos.y, 35);
}

// Width 0 is one device pixel whatever the scale; other widths scale with x.
TEST_F(GdiRasterTest, PenWidthsScaleWithTheMapping) {
  HDC hdc = Raster(60, 60);
  SetMapMode(hdc, MM_ANISOTROPIC);
  SetWindowExtEx(hdc, 10, 10, nullptr);
  SetViewportExtEx(hdc, 20, 20, nullptr);
  Line(hdc, 1, 5, 25, 5);  // device row 10
  EXPECT_EQ(InkInColumn(hdc, 20, 0, 30), 1);
  {
    Selected wide(hdc, CreatePen(PS_SOLID, 2, kBlack));  // 4 device pixels
    Line(hdc, 1, 20, 25, 20);                            // centred on device y 40
  }
  EXPECT_EQ(InkInColumn(hdc, 20, 30, 50), 4);
  for (int y = 38; y < 42; ++y) EXPECT_EQ(Px(hdc, 20, y), kBlack) << y;
  {
    Selected odd(hdc, CreatePen(PS_SOLID, 3, kBlack));  // 6 pixels: still crisp
    Line(hdc, 1, 27, 25, 27);
  }
  EXPECT_EQ(InkInColumn(hdc, 20, 50, 60), 6);
}

TEST_F(GdiRasterTest, DottedPenLeavesGapsFilledOnlyWhenOpaque) {
  HDC hdc = Raster(40, 20);
  Selected dots(hdc, CreatePen(PS_DOT, 0, kBlack));
  SetBkColor(hdc, kRed);
  Line(hdc, 0, 5, 36, 5);
  SetBkMode(hdc, TRANSPARENT);
  Line(hdc, 0, 10, 36, 10);
  for (int x = 0; x < 36; ++x) {
    bool on = (x / 3) % 2 == 0;
    ASSERT_EQ(Px(hdc, x, 5), on ? kBlack : kRed) << x;
    ASSERT_EQ(Px(hdc, x, 10), on ? kBlack : kWhite) << x;
  }
}

TEST_F(GdiRasterTest, RectangleOutlinesItsBoxAndFillsWithTheBrush) {
  HDC hdc = Raster(40, 40);
  {
    Selected red(hdc, CreateSolidBrush(kRed));
    Rectangle(hdc, 10, 10, 20, 20);
  }
  EXPECT_EQ(Px(hdc, 10, 10), kBlack);
  EXPECT_EQ(Px(hdc, 19, 19), kBlack);
  EXPECT_EQ(Px(hdc, 19, 15), kBlack);
  EXPECT_EQ(Px(hdc, 15, 15), kRed);
  EXPECT_EQ(Px(hdc, 11, 11), kRed);
  EXPECT_EQ(Px(hdc, 20, 20), kWhite);
  EXPECT_EQ(Px(hdc, 9, 15), kWhite);
  EXPECT_EQ(InkBox(hdc, 40, 40).right, 20);

  SelectObject(hdc, GetStockObject(NULL_BRUSH));  // hollow
  Rectangle(hdc, 25, 25, 35, 35);
  EXPECT_EQ(Px(hdc, 25, 30), kBlack);
  EXPECT_EQ(Px(hdc, 30, 30), kWhite);

  // Without a pen the area is a pixel smaller each way, as FillRect's is not.
  SelectObject(hdc, GetStockObject(BLACK_BRUSH));
  SelectObject(hdc, GetStockObject(NULL_PEN));
  Rectangle(hdc, 0, 25, 10, 35);
  EXPECT_EQ(Px(hdc, 8, 33), kBlack);
  EXPECT_EQ(Px(hdc, 9, 33), kWhite);
  EXPECT_EQ(Px(hdc, 8, 34), kWhite);
  RECT r{0, 36, 10, 40};
  HBRUSH blue = CreateSolidBrush(kBlue);
  EXPECT_TRUE(FillRect(hdc, &r, blue));
  EXPECT_EQ(Px(hdc, 9, 39), kBlue);
  DeleteObject(blue);
}

TEST_F(GdiRasterTest, EllipseIsRoundAndInsideItsBox) {
  HDC hdc = Raster(80, 80);
  Selected green(hdc, CreateSolidBrush(kGreen));
  Ellipse(hdc, 10, 10, 51, 51);
  RECT ink = InkBox(hdc, 80, 80);
  EXPECT_EQ(ink.left, 10);
  EXPECT_EQ(ink.top, 10);
  EXPECT_EQ(ink.right, 51);
  EXPECT_EQ(ink.bottom, 51);
  EXPECT_EQ(Px(hdc, 30, 30), kGreen);
  EXPECT_LT(GetRValue(Px(hdc, 30, 10)), 8);  // the top of the outline, all but crisp
  EXPECT_EQ(Px(hdc, 11, 11), kWhite);        // the corners of the box stay clear
  for (int d = 0; d < 20; d += 4)            // the same across as down
    EXPECT_EQ(InkInRow(hdc, 10 + d, 0, 80), InkInColumn(hdc, 10 + d, 0, 80)) << d;
}

TEST_F(GdiRasterTest, HatchedBrushDrawsLinesOverTheBackground) {
  HDC hdc = Raster(32, 32);
  LOGBRUSH lb{BS_HATCHED, kBlue, HS_HORIZONTAL};
  Selected hatch(hdc, CreateBrushIndirect(&lb));
  SelectObject(hdc, GetStockObject(NULL_PEN));
  SetBkColor(hdc, kRed);
  Rectangle(hdc, 0, 0, 33, 33);
  int blueRows = 0, redRows = 0;
  for (int y = 0; y < 32; ++y) {
    blueRows += Px(hdc, 5, y) == kBlue;
    redRows += Px(hdc, 5, y) == kRed;
  }
  EXPECT_EQ(blueRows, 4);
  EXPECT_EQ(redRows, 28);
}

TEST_F(GdiRasterTest, ClipRectangleLimitsDrawingUntilRestored) {
  HDC hdc = Raster(40, 20);
  SaveDC(hdc);
  EXPECT_EQ(IntersectClipRect(hdc, 0, 0, 10, 20), SIMPLEREGION);
  Line(hdc, 0, 5, 40, 5);
  EXPECT_EQ(InkInRow(hdc, 5, 0, 40), 10);
  EXPECT_EQ(IntersectClipRect(hdc, 20, 0, 30, 20), NULLREGION);
  RestoreDC(hdc, -1);
  Line(hdc, 0, 6, 40, 6);
  EXPECT_EQ(InkInRow(hdc, 6, 0, 40), 40);
}

TEST_F(GdiRasterTest, Rop2ModesChangeWhatThePenDoes) {
  HDC hdc = Raster(20, 20, kBlack);
  Selected red(hdc, CreatePen(PS_SOLID, 0, kRed));
  SetROP2(hdc, R2_NOT);
  Line(hdc, 0, 5, 20, 5);
  EXPECT_EQ(Px(hdc, 10, 5), kWhite);
  SetROP2(hdc, R2_WHITE);
  Line(hdc, 0, 7, 20, 7);
  EXPECT_EQ(Px(hdc, 10, 7), kWhite);
  SetROP2(hdc, R2_COPYPEN);
  Line(hdc, 0, 9, 20, 9);
  EXPECT_EQ(Px(hdc, 10, 9), kRed);
}

// A memory context compatible with the two-colour printer draws as it does.
TEST_F(GdiRasterTest, TwoColourDeviceDrawsEverythingButWhiteInBlack) {
  HDC mono = CreateIC("mono", "Mono", "out.pdf", nullptr);
  ASSERT_NE(mono, nullptr);
  made_.push_back(mono);
  HDC hdc = CreateCompatibleDC(mono);
  made_.push_back(hdc);
  ASSERT_TRUE(platform::SetRasterSize(hdc, 40, 40, kWhite));
  EXPECT_EQ(GetDeviceCaps(hdc, NUMCOLORS), 2);
  Selected pen(hdc, CreatePen(PS_SOLID, 0, RGB(200, 220, 255)));
  Selected brush(hdc, CreateSolidBrush(kWhite));
  Rectangle(hdc, 5, 5, 30, 30);
  EXPECT_EQ(Px(hdc, 5, 5), kBlack);
  EXPECT_EQ(Px(hdc, 15, 15), kWhite);
  SetTextColor(hdc, kBlue);
  SetBkColor(hdc, kRed);
  TextOut(hdc, 0, 32, "W", 1);
  EXPECT_EQ(Px(hdc, 0, 32), kBlack);  // the opaque cell, in black
}

TEST_F(GdiRasterTest, ContextsWithoutASurfaceOrHandleDrawNothing) {
  HDC ic = CreateIC("pdf", "PDF", "out.pdf", nullptr);
  ASSERT_NE(ic, nullptr);
  made_.push_back(ic);
  EXPECT_TRUE(MoveToEx(ic, 0, 0, nullptr));
  EXPECT_FALSE(LineTo(ic, 10, 10));
  EXPECT_FALSE(Rectangle(ic, 0, 0, 10, 10));
  EXPECT_FALSE(Ellipse(ic, 0, 0, 10, 10));
  EXPECT_FALSE(TextOut(ic, 0, 0, "x", 1));
  EXPECT_EQ(GetPixel(ic, 0, 0), CLR_INVALID);
  HDC bogus = reinterpret_cast<HDC>(uintptr_t{12345});
  EXPECT_FALSE(LineTo(bogus, 1, 1));
  EXPECT_EQ(SaveDC(bogus), 0);
  EXPECT_FALSE(DeleteDC(bogus));

  HDC memory = CreateCompatibleDC(nullptr);  // 1 x 1 until sized
  made_.push_back(memory);
  EXPECT_EQ(GetPixel(memory, 0, 0), kWhite);
  EXPECT_EQ(GetPixel(memory, 1, 0), CLR_INVALID);
  ASSERT_TRUE(platform::SetRasterSize(memory, 8, 8, kGreen));
  EXPECT_EQ(GetPixel(memory, 7, 7), kGreen);
}

}  // namespace
