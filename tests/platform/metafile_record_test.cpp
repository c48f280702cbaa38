// Recording metafiles: drawings against bytes written by hand from the WMF
// format, the object table and its slots, what the Set calls and SelectObject
// return, clamping, font records, and disk metafiles.
#include <cstring>

#include "metafile_testutil.h"

namespace {

using MetaRecord = MetaTest;

TEST_F(MetaRecord, SmallDrawingIsByteExact) {
  HDC dc = CreateMetaFile(nullptr);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_METADC));
  SetWindowExtEx(dc, 100, 50, nullptr);
  HPEN pen = CreatePen(PS_SOLID, 2, RGB(255, 0, 0));
  EXPECT_EQ(SelectObject(dc, pen), GetStockObject(BLACK_PEN));
  MoveToEx(dc, 10, 20, nullptr);
  LineTo(dc, 90, 40);
  EXPECT_EQ(SelectObject(dc, GetStockObject(HOLLOW_BRUSH)), GetStockObject(WHITE_BRUSH));
  Ellipse(dc, 5, 6, 95, 44);
  DeleteObject(pen);
  LOGFONT lf{};
  lf.lfHeight = -12;
  lf.lfWeight = FW_NORMAL;
  lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
  std::strcpy(lf.lfFaceName, "Arial");
  HFONT font = CreateFontIndirect(&lf);
  SelectObject(dc, font);
  TextOut(dc, 10, 12, "Hi", 2);
  HMETAFILE mf = CloseMetaFile(dc);
  ASSERT_NE(mf, nullptr);
  DeleteObject(font);

  const std::vector<BYTE> bits = Bits(mf);
  // clang-format off
  EXPECT_EQ(bits, Words({
      1, 9, 0x0300, 87, 0, 2, 15, 0, 0,   // header: 87 words, 2 objects, largest 15
      5, 0, 0x020C, 50, 100,              // SETWINDOWEXT y, x
      8, 0, 0x02FA, 0, 2, 0, 0x00FF, 0,   // CREATEPENINDIRECT -> slot 0
      4, 0, 0x012D, 0,                    // SELECTOBJECT 0
      5, 0, 0x0214, 20, 10,               // MOVETO y, x
      5, 0, 0x0213, 40, 90,               // LINETO y, x
      7, 0, 0x02FC, 1, 0, 0, 0,           // CREATEBRUSHINDIRECT BS_NULL -> slot 1
      4, 0, 0x012D, 1,                    // SELECTOBJECT 1
      7, 0, 0x0418, 44, 95, 6, 5,         // ELLIPSE bottom, right, top, left
      4, 0, 0x01F0, 0,                    // DELETEOBJECT 0: slot 0 is free
      15, 0, 0x02FB, 0xFFF4, 0, 0, 0,     // CREATEFONTINDIRECT -> slot 0: h, w, esc, orient,
      400, 0, 0, 0, 0x2200,               //   weight, style bytes, pitch and family 0x22,
      0x7241, 0x6169, 0x006C,             //   "Arial" NUL
      4, 0, 0x012D, 0,                    // SELECTOBJECT 0
      7, 0, 0x0521, 2, 0x6948, 12, 10,    // TEXTOUT count, "Hi", y, x
      3, 0, 0x0000,                       // EOF
  }));
  // clang-format on
  EXPECT_EQ(WordAt(bits, 6) * 2u, bits.size()) << "mtSize counts words, header included";
  ExpectOpensInWmf2svg(bits, dir_, "small");
  DeleteMetaFile(mf);
}

// The parameter layouts of the other records, values outside 16 bits, and
// the previous values the Set calls return.
TEST_F(MetaRecord, RecordLayoutsAndClamping) {
  HDC dc = CreateMetaFile(nullptr);
  EXPECT_EQ(SetMapMode(dc, MM_ANISOTROPIC), MM_TEXT);
  SetWindowOrgEx(dc, -5, 7, nullptr);
  SetViewportExtEx(dc, 300, 200, nullptr);
  SetViewportOrgEx(dc, 1, 2, nullptr);
  EXPECT_EQ(SetBkMode(dc, TRANSPARENT), OPAQUE);
  EXPECT_EQ(SetBkColor(dc, RGB(1, 2, 3)), RGB(255, 255, 255));
  EXPECT_EQ(SetTextColor(dc, RGB(0x10, 0x20, 0x30)), RGB(0, 0, 0));
  EXPECT_EQ(SetTextAlign(dc, TA_CENTER | TA_BASELINE), static_cast<UINT>(TA_LEFT | TA_TOP));
  EXPECT_EQ(SetROP2(dc, R2_NOT), R2_COPYPEN);
  const POINT pts[3] = {{1, 2}, {3, 4}, {70000, -70000}};
  EXPECT_TRUE(Polyline(dc, pts, 3));
  EXPECT_TRUE(Polygon(dc, pts, 2));
  EXPECT_FALSE(Polyline(dc, pts, 1));
  Rectangle(dc, 1, 2, 3, 4);
  IntersectClipRect(dc, 10, 20, 30, 40);
  LineTo(dc, 100000, -100000);
  TextOut(dc, 1, 2, "abc", 3);
  EXPECT_EQ(SaveDC(dc), 1);
  EXPECT_TRUE(RestoreDC(dc, -1));
  EXPECT_FALSE(RestoreDC(dc, -1)) << "nothing saved any more";
  HMETAFILE mf = CloseMetaFile(dc);
  const std::vector<BYTE> bits = Bits(mf);
  // clang-format off
  EXPECT_EQ(bits, Words({
      1, 9, 0x0300, 105, 0, 0, 10, 0, 0,             // header
      4, 0, 0x0103, 8,                               // SETMAPMODE, no padding word
      5, 0, 0x020B, 7, 0xFFFB,                       // SETWINDOWORG y, x
      5, 0, 0x020E, 200, 300,                        // SETVIEWPORTEXT y, x
      5, 0, 0x020D, 2, 1,                            // SETVIEWPORTORG y, x
      4, 0, 0x0102, 1,                               // SETBKMODE
      5, 0, 0x0201, 0x0201, 0x0003,                  // SETBKCOLOR low, high word
      5, 0, 0x0209, 0x2010, 0x0030,                  // SETTEXTCOLOR
      4, 0, 0x012E, 30,                              // SETTEXTALIGN
      4, 0, 0x0104, 6,                               // SETROP2
      10, 0, 0x0325, 3, 1, 2, 3, 4, 32767, 0x8000,   // POLYLINE count, x y pairs, clamped
      8, 0, 0x0324, 2, 1, 2, 3, 4,                   // POLYGON
      7, 0, 0x041B, 4, 3, 2, 1,                      // RECTANGLE bottom, right, top, left
      7, 0, 0x0416, 40, 30, 20, 10,                  // INTERSECTCLIPRECT
      5, 0, 0x0213, 0x8000, 32767,                   // LINETO clamped
      8, 0, 0x0521, 3, 0x6261, 0x0063, 2, 1,         // TEXTOUT, odd text padded
      3, 0, 0x001E,                                  // SAVEDC
      4, 0, 0x0127, 0xFFFF,                          // RESTOREDC -1
      3, 0, 0x0000,
  }));
  // clang-format on
  ExpectOpensInWmf2svg(bits, dir_, "layouts");
  DeleteMetaFile(mf);
}

// Slots: the lowest free one is taken, deleting frees it, stock objects keep
// theirs, and mtNoObjects is the most objects alive at once. SelectObject
// reports the previous object of the kind, as SaveDC and RestoreDC leave it.
TEST_F(MetaRecord, ObjectSlotsAndSelection) {
  HDC dc = CreateMetaFile(nullptr);
  HPEN a = CreatePen(PS_SOLID, 1, 0), b = CreatePen(PS_DASH, 1, 0);
  HBRUSH c = CreateSolidBrush(RGB(0, 0, 255));
  SelectObject(dc, a);
  EXPECT_EQ(SaveDC(dc), 1);
  SelectObject(dc, GetStockObject(NULL_PEN));
  EXPECT_EQ(SelectObject(dc, b), GetStockObject(NULL_PEN));
  EXPECT_TRUE(RestoreDC(dc, 1));
  EXPECT_EQ(SelectObject(dc, a), a) << "restored; selecting again records only the selection";
  DeleteObject(GetStockObject(NULL_PEN));  // nothing: stock objects stay
  DeleteObject(a);
  SelectObject(dc, c);  // slot 0 again
  SelectObject(dc, GetStockObject(NULL_PEN));
  DeleteObject(b);
  DeleteObject(c);
  EXPECT_EQ(SelectObject(dc, nullptr), nullptr);
  HMETAFILE mf = CloseMetaFile(dc);
  EXPECT_EQ(CloseMetaFile(dc), nullptr) << "closed once only";
  const std::vector<BYTE> bits = Bits(mf);
  EXPECT_EQ(WordAt(bits, 10), 3) << "mtNoObjects";
  std::vector<std::pair<WORD, WORD>> seen;  // function, first parameter
  for (const Rec& r : Records(bits))
    seen.emplace_back(r.function, r.params.empty() ? 0 : WordAt(r.params, 0));
  const std::vector<std::pair<WORD, WORD>> expected = {
      {META_CREATEPENINDIRECT, PS_SOLID},
      {META_SELECTOBJECT, 0},
      {META_SAVEDC, 0},
      {META_CREATEPENINDIRECT, PS_NULL},
      {META_SELECTOBJECT, 1},
      {META_CREATEPENINDIRECT, PS_DASH},
      {META_SELECTOBJECT, 2},
      {META_RESTOREDC, 1},
      {META_SELECTOBJECT, 0},
      {META_DELETEOBJECT, 0},
      {META_CREATEBRUSHINDIRECT, BS_SOLID},
      {META_SELECTOBJECT, 0},
      {META_SELECTOBJECT, 1},
      {META_DELETEOBJECT, 2},
      {META_DELETEOBJECT, 0},
      {META_EOF, 0},
  };
  EXPECT_EQ(seen, expected);
  DeleteMetaFile(mf);
}

// Where a font's fields lie in its record (as a dump reads them), with a face
// too long for the 16-bit form.
TEST_F(MetaRecord, FontRecordFields) {
  HDC dc = CreateMetaFile(nullptr);
  LOGFONT lf{};
  lf.lfHeight = -12;
  lf.lfWidth = 7;
  lf.lfWeight = FW_BOLD;
  lf.lfCharSet = 0xEE;
  lf.lfPitchAndFamily = FIXED_PITCH | FF_MODERN;
  std::memset(lf.lfFaceName, 'F', LF_FACESIZE);
  HFONT font = CreateFontIndirect(&lf);
  SelectObject(dc, font);
  HMETAFILE mf = CloseMetaFile(dc);
  DeleteObject(font);
  const std::vector<BYTE> b = Bits(mf);
  EXPECT_EQ(WordAt(b, 18), 3 + 9 + 16) << "31 face characters and the NUL";
  EXPECT_EQ(WordAt(b, 22), META_CREATEFONTINDIRECT);
  EXPECT_EQ(WordAt(b, 24), 0xFFF4);
  EXPECT_EQ(WordAt(b, 26), 7);
  EXPECT_EQ(WordAt(b, 32), FW_BOLD);
  EXPECT_EQ(b[18 + 19], 0xEE);
  EXPECT_EQ(b[18 + 23], FIXED_PITCH | FF_MODERN);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&b[18 + 24])), std::string(31, 'F'));
  DeleteMetaFile(mf);
}

// A disk metafile's file exists from the start and says mtType 2; a write
// that fails leaves no metafile, no file and no open handle behind.
TEST_F(MetaRecord, DiskMetafiles) {
  HDC dc = CreateMetaFile(Path("disk.wmf").c_str());
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetFileAttributes(Path("disk.wmf").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  Rectangle(dc, 0, 0, 10, 10);
  HMETAFILE mf = CloseMetaFile(dc);
  ASSERT_NE(mf, nullptr);
  std::vector<BYTE> bits = Bits(mf);
  const std::string file = Read("disk.wmf");
  EXPECT_EQ(bits[0], 1) << "in memory";
  bits[0] = 2;
  EXPECT_EQ(std::vector<BYTE>(file.begin(), file.end()), bits);
  DeleteMetaFile(mf);

  EXPECT_EQ(CreateMetaFile(Path("missing/dir/x.wmf").c_str()), nullptr);
  dc = CreateMetaFile(Path("full.wmf").c_str());
  LineTo(dc, 1, 1);
  platform::InjectFault(platform::FaultOp::WriteFile, 1, platform::FaultKind::DiskFull);
  SetLastError(kPrimedError);
  EXPECT_EQ(CloseMetaFile(dc), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  EXPECT_EQ(GetFileAttributes(Path("full.wmf").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
