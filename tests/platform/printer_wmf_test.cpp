// The "wmf" printer: a printer by its metrics, mapping and state, whose
// documents are written as metafiles of the calls made on it.
#include <string>

#include "gdi/metadc.h"
#include "gdi_fixture.h"
#include "metafile_testutil.h"

namespace {

constexpr int kUnits = 16380;  // the y-up page a plot prints on

class WmfPrinterTest : public GdiTest {
 protected:
  HDC Printer(const std::string& name) {
    HDC hdc = CreateDC("wmf", "Printer", Path(name).c_str(), nullptr);
    made_.push_back(hdc);
    return hdc;
  }
  static void PageUnits(HDC hdc) {
    SetMapMode(hdc, MM_ANISOTROPIC);
    SetWindowOrgEx(hdc, 0, kUnits, nullptr);
    SetWindowExtEx(hdc, kUnits, -kUnits, nullptr);
    SetViewportExtEx(hdc, 2480, 3508, nullptr);
  }
  std::vector<BYTE> Printed(const std::string& name) const {
    const std::string s = Read(name);
    return {s.begin(), s.end()};
  }
};

// It answers as a printer, mapping included, and records every call.
TEST_F(WmfPrinterTest, PrintsWhatWasDrawnAsAMetafile) {
  HDC hdc = Printer("doc.wmf");
  made_.push_back(CreateIC("wmf", "Printer", "doc.wmf", nullptr));
  for (HDC h : made_) {
    EXPECT_EQ(GetObjectType(h), static_cast<DWORD>(OBJ_DC));
    EXPECT_EQ(GetDeviceCaps(h, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(h, NUMCOLORS), -1);
    EXPECT_EQ(GetDeviceCaps(h, HORZRES), 2480);
    EXPECT_EQ(GetDeviceCaps(h, VERTRES), 3508);
    EXPECT_EQ(GetDeviceCaps(h, LOGPIXELSY), 300);
  }
  DOCINFO di{sizeof(DOCINFO), "Doc", nullptr, nullptr, 0};
  ASSERT_GT(StartDoc(hdc, &di), 0);
  ASSERT_GT(StartPage(hdc), 0);
  PageUnits(hdc);
  POINT corners[2] = {{0, 0}, {2480, 3508}};
  ASSERT_TRUE(DPtoLP(hdc, corners, 2));
  EXPECT_EQ(std::vector<LONG>({corners[0].x, corners[0].y, corners[1].x, corners[1].y}),
            std::vector<LONG>({0, kUnits, kUnits, 0}));
  EXPECT_EQ(SaveDC(hdc), 1);
  HPEN pen = CreatePen(PS_SOLID, 20, kRed);
  SelectObject(hdc, pen);
  EXPECT_EQ(GetCurrentObject(hdc, OBJ_PEN), pen);
  MoveToEx(hdc, 100, 200, nullptr);
  LineTo(hdc, 16000, 200);
  Rectangle(hdc, 1000, 15000, 5000, 11000);
  SetBkMode(hdc, TRANSPARENT);
  TextOut(hdc, 8000, 8000, "CH3", 3);
  SetMapMode(hdc, MM_TEXT);
  ASSERT_TRUE(RestoreDC(hdc, -1));
  SIZE ext{};
  GetWindowExtEx(hdc, &ext);
  EXPECT_EQ(GetMapMode(hdc), MM_ANISOTROPIC);
  EXPECT_EQ(ext.cy, -kUnits);
  DeleteObject(pen);
  EXPECT_EQ(CloseMetaFile(hdc), nullptr);  // its recording is no metafile context's
  ASSERT_GT(EndPage(hdc), 0);
  EXPECT_TRUE(Read("doc.wmf").empty());  // nothing before EndDoc
  ASSERT_GT(EndDoc(hdc), 0);

  const std::vector<BYTE> bytes = Printed("doc.wmf");
  EXPECT_EQ(WordAt(bytes, 0), 2);  // a disk metafile
  EXPECT_EQ(WordAt(bytes, 6) * 2u, bytes.size());
  const std::vector<Rec> expected = {
      {META_SETMAPMODE, Words({MM_ANISOTROPIC})},
      {META_SETWINDOWORG, Words({kUnits, 0})},
      {META_SETWINDOWEXT, Words({static_cast<WORD>(-kUnits), kUnits})},
      {META_SETVIEWPORTEXT, Words({3508, 2480})},
      {META_SAVEDC, {}},
      {META_CREATEPENINDIRECT, Words({PS_SOLID, 20, 0, 0x00FF, 0})},
      {META_SELECTOBJECT, Words({0})},
      {META_MOVETO, Words({200, 100})},
      {META_LINETO, Words({200, 16000})},
      {META_RECTANGLE, Words({11000, 5000, 15000, 1000})},
      {META_SETBKMODE, Words({TRANSPARENT})},
      {META_TEXTOUT, Words({3, 'C' | 'H' << 8, '3', 8000, 8000})},
      {META_SETMAPMODE, Words({MM_TEXT})},
      {META_RESTOREDC, Words({0xFFFF})},
      {META_DELETEOBJECT, Words({0})},
      {META_EOF, {}}};
  EXPECT_EQ(Records(bytes), expected);
  ExpectOpensInWmf2svg(bytes, dir_, "printed");
}

// A document starts from the state the printer is in, saved states included,
// but not with what was drawn before it.
TEST_F(WmfPrinterTest, DocumentsStartFromThePrintersStateAndMayBeAbandoned) {
  HDC hdc = Printer("first.wmf");
  EXPECT_EQ(EndDoc(hdc), SP_ERROR);  // none started
  PageUnits(hdc);
  SaveDC(hdc);
  SelectObject(hdc, GetStockObject(NULL_PEN));
  LineTo(hdc, 10, 10);  // not printed, but the position is the printer's
  ASSERT_GT(StartDoc(hdc, nullptr), 0);
  EXPECT_TRUE(RestoreDC(hdc, -1));
  Ellipse(hdc, 1, 2, 3, 4);
  ASSERT_GT(EndDoc(hdc), 0);
  std::vector<WORD> functions;
  for (const Rec& r : Records(Printed("first.wmf"))) functions.push_back(r.function);
  EXPECT_EQ(functions, std::vector<WORD>({META_SETMAPMODE, META_SETWINDOWEXT, META_SETVIEWPORTEXT,
                                          META_SETWINDOWORG, META_SAVEDC, META_CREATEPENINDIRECT,
                                          META_SELECTOBJECT, META_MOVETO, META_RESTOREDC,
                                          META_ELLIPSE, META_EOF}));

  const std::string gone = Path("gone.wmf");
  DOCINFO di{sizeof(DOCINFO), "Doc", gone.c_str(), nullptr, 0};
  ASSERT_GT(StartDoc(hdc, &di), 0);
  Rectangle(hdc, 0, 0, 100, 100);
  EXPECT_GT(AbortDoc(hdc), 0);
  ASSERT_GT(StartDoc(hdc, &di), 0);
  Rectangle(hdc, 0, 0, 100, 100);
  made_.clear();
  EXPECT_TRUE(DeleteDC(hdc));
  EXPECT_TRUE(Read("gone.wmf").empty());
  EXPECT_EQ(platform::gdi::FindMetaDC(hdc), nullptr);  // the recording went with it
}

}  // namespace
