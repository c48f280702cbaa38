// Mapping modes and saved states: logical to device conversion in every
// mode, the printer mapping that turns y over, viewports placing a drawing,
// and SaveDC/RestoreDC bringing back objects, colours and the mapping.
#include <utility>

#include "gdi_fixture.h"

namespace {

using GdiMappingTest = GdiTest;

POINT Dp(HDC hdc, int x, int y) {
  POINT p{x, y};
  EXPECT_TRUE(LPtoDP(hdc, &p, 1));
  return p;
}

std::pair<int, int> Pt(POINT p) { return {p.x, p.y}; }

TEST_F(GdiMappingTest, TextModeIsOneToOneAndIgnoresExtents) {
  HDC hdc = Raster(10, 10);
  EXPECT_EQ(GetMapMode(hdc), MM_TEXT);
  EXPECT_EQ(Pt(Dp(hdc, 7, -3)), std::make_pair(7, -3));
  SIZE old;
  EXPECT_TRUE(SetWindowExtEx(hdc, 100, 100, &old));
  SIZE ext;
  ASSERT_TRUE(GetWindowExtEx(hdc, &ext));
  EXPECT_EQ(ext.cx, 1);
  EXPECT_EQ(ext.cy, 1);
  SetWindowOrgEx(hdc, 10, 20, nullptr);
  SetViewportOrgEx(hdc, 5, 6, nullptr);
  EXPECT_EQ(Pt(Dp(hdc, 10, 20)), std::make_pair(5, 6));
}

// The printer reference mapping: logical y runs up from the bottom.
TEST_F(GdiMappingTest, AnisotropicMappingWithNegativeExtentTurnsYOver) {
  HDC hdc = CreateIC("pdf", "PDF", "out.pdf", nullptr);
  ASSERT_NE(hdc, nullptr);
  made_.push_back(hdc);
  EXPECT_EQ(SetMapMode(hdc, MM_ANISOTROPIC), MM_TEXT);
  SetWindowExtEx(hdc, 16380, -16380, nullptr);
  SetWindowOrgEx(hdc, 0, 16380, nullptr);
  SetViewportExtEx(hdc, 2000, 3000, nullptr);
  SIZE ext;
  ASSERT_TRUE(GetWindowExtEx(hdc, &ext));
  EXPECT_EQ(ext.cy, -16380);
  EXPECT_EQ(Pt(Dp(hdc, 0, 16380)), std::make_pair(0, 0));
  EXPECT_EQ(Pt(Dp(hdc, 0, 0)), std::make_pair(0, 3000));
  EXPECT_EQ(Pt(Dp(hdc, 16380, 8190)), std::make_pair(2000, 1500));
  POINT back{2000, 1500};
  ASSERT_TRUE(DPtoLP(hdc, &back, 1));
  EXPECT_EQ(Pt(back), std::make_pair(16380, 8190));
  EXPECT_FALSE(SetWindowExtEx(hdc, 0, 5, nullptr));
}

// As a played metafile is placed: the viewport says where, the window
// extent what fills it.
TEST_F(GdiMappingTest, ViewportExtentAndOriginPlaceTheDrawing) {
  HDC hdc = Raster(200, 200);
  SetMapMode(hdc, MM_ANISOTROPIC);
  SetWindowExtEx(hdc, 1000, 1000, nullptr);
  SetViewportExtEx(hdc, 100, 50, nullptr);
  SetViewportOrgEx(hdc, 50, 60, nullptr);
  EXPECT_EQ(Pt(Dp(hdc, 500, 500)), std::make_pair(100, 85));
  SelectObject(hdc, GetStockObject(BLACK_BRUSH));
  Rectangle(hdc, 0, 0, 1000, 1000);
  RECT ink = InkBox(hdc, 200, 200);
  EXPECT_EQ(ink.left, 50);
  EXPECT_EQ(ink.top, 60);
  EXPECT_EQ(ink.right, 150);
  EXPECT_EQ(ink.bottom, 110);
}

TEST_F(GdiMappingTest, IsotropicModeKeepsTheAspect) {
  HDC hdc = Raster(10, 10);
  SetMapMode(hdc, MM_ISOTROPIC);
  SetWindowExtEx(hdc, 100, 100, nullptr);
  SetViewportExtEx(hdc, 200, -100, nullptr);
  SIZE vp;
  ASSERT_TRUE(GetViewportExtEx(hdc, &vp));
  EXPECT_EQ(vp.cx, 100);
  EXPECT_EQ(vp.cy, -100);
  EXPECT_EQ(Pt(Dp(hdc, 50, 50)), std::make_pair(50, -50));
}

TEST_F(GdiMappingTest, MetricModesFollowTheDeviceResolution) {
  HDC screen = Raster(10, 10);
  HDC printer = CreateIC("mono", "Mono", "out.pdf", nullptr);
  ASSERT_NE(printer, nullptr);
  made_.push_back(printer);
  const struct {
    int mode, inch;
  } modes[] = {{MM_LOMETRIC, 254},
               {MM_HIMETRIC, 2540},
               {MM_LOENGLISH, 100},
               {MM_HIENGLISH, 1000},
               {MM_TWIPS, 1440}};
  for (auto m : modes) {
    SetMapMode(screen, m.mode);
    SetMapMode(printer, m.mode);
    EXPECT_EQ(Pt(Dp(screen, m.inch, -2 * m.inch)), std::make_pair(96, 192)) << m.mode;
    EXPECT_EQ(Pt(Dp(printer, m.inch, -m.inch)), std::make_pair(300, 300)) << m.mode;
  }
}

TEST_F(GdiMappingTest, RestoreDCBringsBackObjectsColoursAndMapping) {
  HDC hdc = Raster(10, 10);
  HPEN pen = CreatePen(PS_DOT, 0, kRed);
  HBRUSH brush = CreateSolidBrush(kGreen);
  SelectObject(hdc, pen);
  SetBkMode(hdc, TRANSPARENT);
  SetBkColor(hdc, kBlue);
  SetTextColor(hdc, kRed);
  SetTextAlign(hdc, TA_BASELINE);
  SetROP2(hdc, R2_NOT);
  SetMapMode(hdc, MM_ANISOTROPIC);
  SetWindowExtEx(hdc, 16380, -16380, nullptr);
  SetWindowOrgEx(hdc, 0, 16380, nullptr);
  MoveToEx(hdc, 3, 4, nullptr);
  EXPECT_EQ(SaveDC(hdc), 1);

  SelectObject(hdc, brush);
  SelectObject(hdc, GetStockObject(BLACK_PEN));
  SetBkMode(hdc, OPAQUE);
  SetBkColor(hdc, kWhite);
  SetTextColor(hdc, kBlack);
  SetTextAlign(hdc, TA_TOP);
  SetROP2(hdc, R2_COPYPEN);
  SetMapMode(hdc, MM_TEXT);
  MoveToEx(hdc, 0, 0, nullptr);
  EXPECT_EQ(SaveDC(hdc), 2);
  SetViewportOrgEx(hdc, 9, 9, nullptr);

  EXPECT_TRUE(RestoreDC(hdc, -1));
  POINT org;
  GetViewportOrgEx(hdc, &org);
  EXPECT_EQ(org.x, 0);
  EXPECT_EQ(GetCurrentObject(hdc, OBJ_BRUSH), brush);

  EXPECT_TRUE(RestoreDC(hdc, 1));
  EXPECT_EQ(GetCurrentObject(hdc, OBJ_PEN), pen);
  EXPECT_EQ(GetCurrentObject(hdc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetBkMode(hdc), TRANSPARENT);
  EXPECT_EQ(GetBkColor(hdc), kBlue);
  EXPECT_EQ(GetTextColor(hdc), kRed);
  EXPECT_EQ(GetTextAlign(hdc), static_cast<UINT>(TA_BASELINE));
  EXPECT_EQ(SetROP2(hdc, R2_COPYPEN), R2_NOT);
  EXPECT_EQ(GetMapMode(hdc), MM_ANISOTROPIC);
  SIZE ext;
  GetWindowExtEx(hdc, &ext);
  EXPECT_EQ(ext.cy, -16380);
  POINT pos;
  GetCurrentPositionEx(hdc, &pos);
  EXPECT_EQ(Pt(pos), std::make_pair(3, 4));

  EXPECT_FALSE(RestoreDC(hdc, -1));  // nothing is saved any more
  EXPECT_EQ(SaveDC(hdc), 1);
  EXPECT_FALSE(RestoreDC(hdc, 0));
  EXPECT_FALSE(RestoreDC(hdc, 2));
  EXPECT_FALSE(RestoreDC(hdc, -2));
  EXPECT_TRUE(RestoreDC(hdc, 1));
  SelectObject(hdc, GetStockObject(BLACK_PEN));
  DeleteObject(pen);
  DeleteObject(brush);
}

}  // namespace
