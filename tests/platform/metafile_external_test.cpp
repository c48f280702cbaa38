// Other programs open what the metafile device writes: libwmf's wmf2svg and,
// where it is installed, LibreOffice's converter. Each test is skipped when
// its program is absent.
#include <cstring>

#include "metafile_testutil.h"

namespace {

using MetaExternal = MetaTest;

// Every kind of record the device writes, on the context given.
void DrawEverything(HDC dc) {
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowOrgEx(dc, 0, 0, nullptr);
  SetWindowExtEx(dc, 400, 300, nullptr);
  SetBkMode(dc, TRANSPARENT);
  SetBkColor(dc, RGB(255, 255, 224));
  SetTextColor(dc, RGB(0, 0, 128));
  SetTextAlign(dc, TA_CENTER | TA_BASELINE);
  SetROP2(dc, R2_COPYPEN);
  SaveDC(dc);
  HPEN pens[3] = {CreatePen(PS_SOLID, 3, RGB(200, 0, 0)), CreatePen(PS_DOT, 1, RGB(0, 0, 0)),
                  CreatePen(PS_DASHDOT, 1, RGB(0, 128, 0))};
  LOGBRUSH hatch{BS_HATCHED, RGB(0, 0, 255), HS_DIAGCROSS};
  HBRUSH brushes[2] = {CreateSolidBrush(RGB(240, 240, 0)), CreateBrushIndirect(&hatch)};
  const POINT ring[6] = {{200, 40}, {240, 60}, {240, 100}, {200, 120}, {160, 100}, {160, 60}};
  for (int i = 0; i < 3; ++i) {
    SelectObject(dc, pens[i]);
    MoveToEx(dc, 20, 20 + 10 * i, nullptr);
    LineTo(dc, 380, 20 + 10 * i);
  }
  SelectObject(dc, brushes[0]);
  Polygon(dc, ring, 6);
  Polyline(dc, ring, 3);
  SelectObject(dc, brushes[1]);
  Rectangle(dc, 20, 150, 120, 250);
  SelectObject(dc, GetStockObject(NULL_BRUSH));
  Ellipse(dc, 140, 150, 260, 250);
  RestoreDC(dc, -1);
  IntersectClipRect(dc, 0, 0, 400, 300);
  LOGFONT lf{};
  lf.lfHeight = -24;
  lf.lfWeight = FW_BOLD;
  lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  std::strcpy(lf.lfFaceName, "Helvetica");
  HFONT font = CreateFontIndirect(&lf);
  SelectObject(dc, font);
  TextOut(dc, 200, 280, "CH3-OH", 6);
  LineTo(dc, 90000, -90000);
  SelectObject(dc, GetStockObject(SYSTEM_FONT));
  for (HGDIOBJ h : pens) DeleteObject(h);
  for (HGDIOBJ h : brushes) DeleteObject(h);
  DeleteObject(font);
}

HMETAFILE Everything() {
  HDC dc = CreateMetaFile(nullptr);
  DrawEverything(dc);
  return CloseMetaFile(dc);
}

TEST_F(MetaExternal, Wmf2svgOpensWhatIsWritten) {
  if (!Wmf2svgProblem().empty()) GTEST_SKIP() << Wmf2svgProblem();
  HMETAFILE mf = Everything();
  ExpectOpensInWmf2svg(Bits(mf), dir_, "everything");
  // Written straight to disk, and played again into a second metafile.
  HDC dc = CreateMetaFile(Path("direct.wmf").c_str());
  DrawEverything(dc);
  HMETAFILE direct = CloseMetaFile(dc);
  EXPECT_TRUE(Succeeds("wmf2svg -o '" + Path("direct.svg") + "' '" + Path("direct.wmf") + "'"));
  EXPECT_FALSE(Read("direct.svg").empty());
  HDC again = CreateMetaFile(nullptr);
  PlayMetaFile(again, direct);
  HMETAFILE replayed = CloseMetaFile(again);
  ExpectOpensInWmf2svg(Bits(replayed), dir_, "replayed");
  for (HMETAFILE h : {mf, direct, replayed}) DeleteMetaFile(h);
}

TEST_F(MetaExternal, LibreOfficeOpensWhatIsWritten) {
  if (!Succeeds("command -v soffice >/dev/null"))
    GTEST_SKIP() << "LibreOffice (soffice) is not installed";
  HMETAFILE mf = Everything();
  WriteBytes(Path("lo.wmf"), Bits(mf));
  DeleteMetaFile(mf);
  EXPECT_TRUE(Succeeds("cd '" + dir_.path().string() +
                       "' && HOME=. soffice --headless --convert-to png lo.wmf >/dev/null 2>&1"));
  EXPECT_FALSE(Read("lo.png").empty());
}

}  // namespace
