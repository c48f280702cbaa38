// Text: fonts found or replaced by an installed face, heights by the sign of
// lfHeight, the text cell placed by the alignment and filled when opaque,
// and extents that agree with the ink TextOut puts down.
#include <cstring>
#include <string>

#include "gdi_fixture.h"

namespace {

using GdiTextTest = GdiTest;

TEST_F(GdiTextTest, AMissingFaceFallsBackToAnInstalledFontOfItsKind) {
  // The label font's default comes as "swiss, default pitch" (32): a face
  // known to be fixed-pitch stays fixed-pitch whatever its family bits say.
  for (BYTE pitchAndFamily : {0, 32}) {
    SCOPED_TRACE(pitchAndFamily);
    HDC hdc = Raster(100, 40);
    LOGFONT lf = Font(-13, "Lucida Console");
    lf.lfPitchAndFamily = pitchAndFamily;
    Selected font(hdc, CreateFontIndirect(&lf));
    char face[LF_FACESIZE];
    ASSERT_GT(GetTextFace(hdc, sizeof face, face), 0);
    EXPECT_STRNE(face, "Lucida Console");  // not installed here
    TEXTMETRIC tm;
    ASSERT_TRUE(GetTextMetrics(hdc, &tm));
    EXPECT_GT(tm.tmHeight, 13);
    EXPECT_EQ(tm.tmPitchAndFamily & 1, 0) << "a console face falls back to a fixed-pitch one";
    SIZE narrow, wide;
    GetTextExtentPoint32(hdc, "iiii", 4, &narrow);
    GetTextExtentPoint32(hdc, "MMMM", 4, &wide);
    EXPECT_EQ(narrow.cx, wide.cx);
    EXPECT_GT(narrow.cx, 0);
    TextOut(hdc, 2, 2, "Cl", 2);
    EXPECT_GT(InkBox(hdc, 100, 40).right, 0);
  }
}

TEST_F(GdiTextTest, HeightsFollowTheSignOfLfHeight) {
  HDC hdc = Raster(10, 10);
  TEXTMETRIC tm;
  LOGFONT cell = Font(20, "DejaVu Sans");
  {
    Selected font(hdc, CreateFontIndirect(&cell));
    GetTextMetrics(hdc, &tm);
    EXPECT_EQ(tm.tmHeight, 20);
    EXPECT_EQ(tm.tmAscent + tm.tmDescent, 20);
  }
  LOGFONT character = Font(-20, "DejaVu Sans");
  {
    Selected font(hdc, CreateFontIndirect(&character));
    GetTextMetrics(hdc, &tm);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 20);
    EXPECT_GT(tm.tmInternalLeading, 0);
  }
  LOGFONT chosen = Font(0, "DejaVu Sans");
  {
    Selected font(hdc, CreateFontIndirect(&chosen));
    GetTextMetrics(hdc, &tm);
    EXPECT_EQ(tm.tmHeight, 16);
  }
}

// TA_TOP | TA_LEFT: the cell's top-left corner is the point given.
TEST_F(GdiTextTest, OpaqueTextFillsItsCellFromThePointGiven) {
  HDC hdc = Raster(120, 60);
  LOGFONT lf = Font(-20, "DejaVu Sans");
  Selected font(hdc, CreateFontIndirect(&lf));
  SetBkColor(hdc, kGreen);
  TextOut(hdc, 10, 10, "Hix", 3);
  SIZE cell;
  GetTextExtentPoint32(hdc, "Hix", 3, &cell);
  RECT ink = InkBox(hdc, 120, 60);
  EXPECT_EQ(ink.left, 10);
  EXPECT_EQ(ink.top, 10);
  EXPECT_EQ(ink.right, 10 + cell.cx);
  EXPECT_EQ(ink.bottom, 10 + cell.cy);
  EXPECT_EQ(Px(hdc, 10, 10), kGreen);
  EXPECT_EQ(Px(hdc, 10 + cell.cx - 1, 10 + cell.cy - 1), kGreen);
  int dark = 0;  // the glyphs drawn over the cell
  for (int y = 10; y < 10 + cell.cy; ++y)
    for (int x = 10; x < 10 + cell.cx; ++x) dark += Px(hdc, x, y) == kBlack;
  EXPECT_GT(dark, 20);
}

TEST_F(GdiTextTest, TransparentTextInkStaysInsideItsCell) {
  HDC hdc = Raster(160, 60);
  LOGFONT lf = Font(-24, "DejaVu Sans");
  Selected font(hdc, CreateFontIndirect(&lf));
  SetBkMode(hdc, TRANSPARENT);
  TextOut(hdc, 20, 10, "MHMH", 4);
  SIZE cell;
  GetTextExtentPoint32(hdc, "MHMH", 4, &cell);
  TEXTMETRIC tm;
  GetTextMetrics(hdc, &tm);
  RECT ink = InkBox(hdc, 160, 60);
  EXPECT_GE(ink.left, 20);
  EXPECT_LE(ink.left, 24);                 // the first glyph's side bearing
  EXPECT_GE(ink.right, 20 + cell.cx - 4);  // the last one's
  EXPECT_LE(ink.right, 20 + cell.cx);
  EXPECT_GE(ink.top, 10 + tm.tmInternalLeading - 1);  // capitals fill the height
  EXPECT_LE(ink.top, 10 + tm.tmInternalLeading + 1);
  EXPECT_EQ(ink.bottom, 10 + tm.tmAscent);  // and sit on the baseline
}

TEST_F(GdiTextTest, AlignmentMovesTheCellAroundThePoint) {
  HDC hdc = Raster(200, 80);
  LOGFONT lf = Font(20, "DejaVu Sans");
  Selected font(hdc, CreateFontIndirect(&lf));
  SetBkColor(hdc, kGreen);
  SIZE cell;
  GetTextExtentPoint32(hdc, "ab", 2, &cell);
  SetTextAlign(hdc, TA_RIGHT | TA_BOTTOM);
  TextOut(hdc, 100, 50, "ab", 2);
  RECT ink = InkBox(hdc, 200, 80);
  EXPECT_EQ(ink.right, 100);
  EXPECT_EQ(ink.bottom, 50);
  EXPECT_EQ(ink.left, 100 - cell.cx);
  EXPECT_EQ(ink.top, 50 - cell.cy);

  SetTextAlign(hdc, TA_LEFT | TA_TOP | TA_UPDATECP);
  MoveToEx(hdc, 120, 0, nullptr);
  TextOut(hdc, 0, 0, "ab", 2);
  POINT pos;
  GetCurrentPositionEx(hdc, &pos);
  EXPECT_EQ(pos.x, 120 + cell.cx);
  EXPECT_EQ(Px(hdc, 120, 0), kGreen);
}

// Logical metrics stay as they are while the ink grows with the mapping.
TEST_F(GdiTextTest, MetricsAreLogicalAndTheInkScales) {
  HDC hdc = Raster(200, 100);
  LOGFONT lf = Font(-10, "DejaVu Sans");
  Selected font(hdc, CreateFontIndirect(&lf));
  TEXTMETRIC one, two;
  GetTextMetrics(hdc, &one);
  SetMapMode(hdc, MM_ANISOTROPIC);
  SetViewportExtEx(hdc, 3, 3, nullptr);
  GetTextMetrics(hdc, &two);
  EXPECT_NEAR(two.tmHeight, one.tmHeight, 1);
  SetBkColor(hdc, kGreen);
  TextOut(hdc, 5, 5, "Hg", 2);
  RECT ink = InkBox(hdc, 200, 100);
  EXPECT_EQ(ink.left, 15);
  EXPECT_EQ(ink.top, 15);
  EXPECT_NEAR(ink.bottom - ink.top, 3 * one.tmHeight, 3);
}

TEST_F(GdiTextTest, BoldAndAnsiCharactersAreDrawn) {
  LOGFONT regular = Font(-20, "DejaVu Sans"), bold = Font(-20, "DejaVu Sans", FW_BOLD);
  auto inkOf = [&](const LOGFONT& lf, const char* text) {
    HDC dc = Raster(200, 60);
    SetBkMode(dc, TRANSPARENT);
    Selected font(dc, CreateFontIndirect(&lf));
    TextOut(dc, 0, 0, text, static_cast<int>(std::strlen(text)));
    int n = 0;
    for (int y = 0; y < 60; ++y) n += InkInRow(dc, y, 0, 200);
    return n;
  };
  EXPECT_GT(inkOf(bold, "lllll"), inkOf(regular, "lllll") * 5 / 4);
  EXPECT_GT(inkOf(regular, "\xB5\xB0"), 10);  // micro and degree signs of code page 1252
  // Well-formed UTF-8 (as dialog templates hold) draws its characters, not
  // two code page 1252 ones.
  EXPECT_EQ(inkOf(regular, "90\xC2\xB0"), inkOf(regular, "90\xB0"));
  EXPECT_NE(inkOf(regular, "90\xC3\x28"), inkOf(regular, "90\xB0"));  // not UTF-8: 1252
}

}  // namespace
