// GDI objects: stock objects, pens, brushes and fonts and what GetObject
// tells of them, selection, deletion while selected, and leak counting.
#include <cstring>

#include "gdi_fixture.h"

namespace {

using GdiObjectsTest = GdiTest;

TEST_F(GdiObjectsTest, StockObjectsAreStableAndNotCounted) {
  int live = platform::LiveGdiObjects();
  EXPECT_EQ(GetStockObject(BLACK_BRUSH), GetStockObject(BLACK_BRUSH));
  EXPECT_NE(GetStockObject(BLACK_PEN), GetStockObject(WHITE_PEN));
  EXPECT_EQ(GetStockObject(9), nullptr);  // the palette is not here
  EXPECT_EQ(GetObjectType(GetStockObject(NULL_PEN)), static_cast<DWORD>(OBJ_PEN));
  EXPECT_EQ(GetObjectType(GetStockObject(NULL_BRUSH)), static_cast<DWORD>(OBJ_BRUSH));
  EXPECT_EQ(GetObjectType(GetStockObject(SYSTEM_FONT)), static_cast<DWORD>(OBJ_FONT));
  EXPECT_TRUE(DeleteObject(GetStockObject(GRAY_BRUSH)));  // allowed, and nothing happens
  LOGBRUSH lb;
  ASSERT_EQ(GetObject(GetStockObject(GRAY_BRUSH), sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_SOLID));
  EXPECT_EQ(lb.lbColor, RGB(128, 128, 128));
  ASSERT_EQ(GetObject(GetStockObject(HOLLOW_BRUSH), sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_NULL));
  EXPECT_EQ(platform::LiveGdiObjects(), live);
}

TEST_F(GdiObjectsTest, ObjectsDescribeThemselves) {
  HPEN pen = CreatePen(PS_DOT, 3, RGB(1, 2, 3));
  LOGPEN lp;
  EXPECT_EQ(GetObject(pen, 0, nullptr), static_cast<int>(sizeof(LOGPEN)));
  ASSERT_EQ(GetObject(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DOT));
  EXPECT_EQ(lp.lopnWidth.x, 3);
  EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));

  LOGBRUSH hatch{BS_HATCHED, RGB(4, 5, 6), HS_CROSS};
  HBRUSH brush = CreateBrushIndirect(&hatch);
  LOGBRUSH lb;
  ASSERT_EQ(GetObject(brush, sizeof lb, &lb), static_cast<int>(sizeof lb));
  EXPECT_EQ(lb.lbHatch, static_cast<uintptr_t>(HS_CROSS));
  LOGBRUSH pattern{3, 0, 0};  // BS_PATTERN needs a bitmap this GDI does not have
  EXPECT_EQ(CreateBrushIndirect(&pattern), nullptr);
  EXPECT_EQ(CreatePen(9, 0, 0), nullptr);

  LOGFONT in = Font(-13, "Lucida Console", FW_BOLD);
  in.lfItalic = 1;
  HFONT font = CreateFontIndirect(&in);
  LOGFONT out;
  ASSERT_EQ(GetObject(font, sizeof out, &out), static_cast<int>(sizeof out));
  EXPECT_EQ(std::memcmp(&in, &out, sizeof in), 0);

  HDC hdc = Raster(4, 4);
  EXPECT_EQ(GetObjectType(hdc), static_cast<DWORD>(OBJ_DC));
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(uintptr_t{12345})), 0u);
  for (HGDIOBJ h : {pen, static_cast<HGDIOBJ>(brush), static_cast<HGDIOBJ>(font)})
    EXPECT_TRUE(DeleteObject(h));
  EXPECT_EQ(GetObjectType(pen), 0u);
}

TEST_F(GdiObjectsTest, LeakCountFollowsCreationAndDeletion) {
  int before = platform::LiveGdiObjects();
  LOGFONT lf = Font(10, "Arial");
  HGDIOBJ made[] = {CreatePen(PS_SOLID, 1, 0), CreateSolidBrush(kRed), CreateFontIndirect(&lf)};
  EXPECT_EQ(platform::LiveGdiObjects(), before + 3);
  for (HGDIOBJ h : made) EXPECT_TRUE(DeleteObject(h));
  EXPECT_EQ(platform::LiveGdiObjects(), before);
  EXPECT_FALSE(DeleteObject(made[0]));
}

TEST_F(GdiObjectsTest, SelectObjectSwapsByKindAndStartsWithTheDefaults) {
  HDC hdc = Raster(4, 4);
  EXPECT_EQ(GetCurrentObject(hdc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(hdc, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(hdc, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  HBRUSH brush = CreateSolidBrush(kRed);
  EXPECT_EQ(SelectObject(hdc, brush), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(SelectObject(hdc, brush), brush);  // selecting it again is allowed
  EXPECT_EQ(GetCurrentObject(hdc, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(SelectObject(hdc, GetStockObject(NULL_BRUSH)), brush);
  EXPECT_EQ(SelectObject(hdc, reinterpret_cast<HGDIOBJ>(uintptr_t{12345})), nullptr);
  EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(uintptr_t{12345}), brush), nullptr);
  DeleteObject(brush);
}

// The object stays in use, drawn with, until nothing selects it any more:
// not the context, nor a state saved in it.
TEST_F(GdiObjectsTest, DeletingASelectedObjectWaitsUntilItIsDeselected) {
  int before = platform::LiveGdiObjects();
  HDC hdc = Raster(20, 20);
  HPEN red = CreatePen(PS_SOLID, 0, kRed);
  SelectObject(hdc, red);
  SaveDC(hdc);
  SelectObject(hdc, GetStockObject(BLACK_PEN));
  EXPECT_TRUE(DeleteObject(red));
  EXPECT_EQ(platform::LiveGdiObjects(), before);  // deleted as far as callers go
  EXPECT_EQ(GetObjectType(red), 0u);
  EXPECT_EQ(SelectObject(hdc, red), nullptr);
  RestoreDC(hdc, -1);  // the saved state brings it back
  EXPECT_EQ(GetCurrentObject(hdc, OBJ_PEN), red);
  MoveToEx(hdc, 0, 5, nullptr);
  LineTo(hdc, 20, 5);
  EXPECT_EQ(Px(hdc, 10, 5), kRed);
  SelectObject(hdc, GetStockObject(BLACK_PEN));
  EXPECT_FALSE(DeleteObject(red));  // gone now
}

}  // namespace
