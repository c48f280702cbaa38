// A drawing made straight on a raster context and the same drawing recorded
// in a metafile and played back on another give the same pixels: the player
// draws through the same GDI calls, with the objects it makes from the
// records.
#include <cstring>

#include "gdi_fixture.h"

namespace {

using GdiPlaybackTest = GdiTest;

// Structure-like drawing in a 1000 x 1000 window: bonds, a dotted ring,
// labels on opaque cells, a border; every object made is deleted again.
void Picture(HDC dc) {
  SaveDC(dc);
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowOrgEx(dc, -500, -500, nullptr);
  SetWindowExtEx(dc, 1000, 1000, nullptr);
  HPEN bond = CreatePen(PS_SOLID, 0, RGB(20, 40, 160));
  HPEN thick = CreatePen(PS_SOLID, 12, RGB(160, 30, 30));
  HPEN ring = CreatePen(PS_DOT, 0, RGB(0, 120, 0));
  LOGFONT lf = Font(-60, "Lucida Console");
  HFONT label = CreateFontIndirect(&lf);
  LOGFONT small = Font(-45, "Lucida Console", FW_BOLD);
  HFONT sub = CreateFontIndirect(&small);
  SelectObject(dc, bond);
  const POINT hexagon[] = {{0, -300}, {260, -150}, {260, 150}, {0, 300}, {-260, 150}, {-260, -150}};
  MoveToEx(dc, hexagon[5].x, hexagon[5].y, nullptr);
  for (const POINT& p : hexagon) LineTo(dc, p.x, p.y);
  SelectObject(dc, thick);
  MoveToEx(dc, 260, -150, nullptr);
  LineTo(dc, 450, -260);
  SaveDC(dc);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, RGB(255, 255, 200));
  SelectObject(dc, ring);
  SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
  Ellipse(dc, -170, -170, 170, 170);
  RestoreDC(dc, -1);
  SetBkColor(dc, RGB(230, 230, 255));
  SetTextColor(dc, RGB(120, 0, 120));
  SelectObject(dc, label);
  TextOut(dc, 380, -330, "OH", 2);
  TextOut(dc, -60, 270, "NH", 2);
  SelectObject(dc, sub);
  SetBkMode(dc, TRANSPARENT);
  TextOut(dc, 20, 310, "2", 1);
  SelectObject(dc, bond);
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  Rectangle(dc, -490, -490, 490, 490);
  RestoreDC(dc, -1);
  for (HGDIOBJ h : {bond, thick, ring, label, sub}) DeleteObject(h);
}

// As a host places a picture: the viewport says where it goes.
HDC Target(HDC hdc) {
  SetMapMode(hdc, MM_ANISOTROPIC);
  SetViewportOrgEx(hdc, 20, 10, nullptr);
  SetViewportExtEx(hdc, 260, 280, nullptr);
  return hdc;
}

TEST_F(GdiPlaybackTest, PlayedMetafileDrawsTheSamePixelsAsTheDrawingItself) {
  HDC direct = Target(Raster(300, 300));
  Picture(direct);

  HDC recorder = CreateMetaFile(nullptr);
  ASSERT_NE(recorder, nullptr);
  Picture(recorder);
  HMETAFILE mf = CloseMetaFile(recorder);
  ASSERT_NE(mf, nullptr);
  EXPECT_EQ(GetObjectType(mf), static_cast<DWORD>(OBJ_METAFILE));
  HDC played = Target(Raster(300, 300));
  EXPECT_TRUE(PlayMetaFile(played, mf));
  DeleteMetaFile(mf);

  ASSERT_TRUE(platform::SaveRasterPNG(direct, Path("direct.png")));
  ASSERT_TRUE(platform::SaveRasterPNG(played, Path("played.png")));
  EXPECT_GT(InkInRow(direct, 150, 0, 300), 3) << "something was drawn";
  EXPECT_EQ(Read("direct.png"), Read("played.png"));
  int differ = 0;
  for (int y = 0; y < 300; ++y)
    for (int x = 0; x < 300; ++x) differ += Px(direct, x, y) != Px(played, x, y);
  EXPECT_EQ(differ, 0);
}

// A metafile context is no device: it describes itself by its technology
// alone and has no metrics or state to read back. FillRect, which it has no
// record for, becomes the pen-less rectangle that covers the same pixels.
TEST_F(GdiPlaybackTest, MetafileContextsAnswerAsWindowsDoes) {
  HDC recorder = CreateMetaFile(nullptr);
  ASSERT_NE(recorder, nullptr);
  EXPECT_EQ(GetObjectType(recorder), static_cast<DWORD>(OBJ_METADC));
  EXPECT_EQ(GetDeviceCaps(recorder, TECHNOLOGY), DT_METAFILE);
  EXPECT_EQ(GetDeviceCaps(recorder, NUMCOLORS), 0);
  EXPECT_EQ(GetDeviceCaps(recorder, LOGPIXELSY), 0);
  SIZE ext;
  EXPECT_FALSE(GetWindowExtEx(recorder, &ext));
  TEXTMETRIC tm;
  EXPECT_FALSE(GetTextMetrics(recorder, &tm));
  HBRUSH brush = CreateSolidBrush(kBlue);
  RECT r{3, 4, 17, 12};
  EXPECT_TRUE(FillRect(recorder, &r, brush));
  HMETAFILE mf = CloseMetaFile(recorder);
  HDC direct = Raster(20, 20), played = Raster(20, 20);
  FillRect(direct, &r, brush);
  PlayMetaFile(played, mf);
  DeleteMetaFile(mf);
  DeleteObject(brush);
  EXPECT_EQ(Px(played, 16, 11), kBlue);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 20; ++x) ASSERT_EQ(Px(direct, x, y), Px(played, x, y)) << x << "," << y;
}

}  // namespace
