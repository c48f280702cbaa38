// Structures and pictures drawn into a plot's placement through opcode 9, on
// screen and on a printer, and the picture values of the clipboard: what the
// records and pixels show, and the ranges and placements that have no place.
#include <gtest/gtest.h>
#include <platform/env.h>
#include <platform/gdi_export.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <memory>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/common.h"
#include "database/drawrec.h"
#include "objects/entries.h"
#include "objects/metaobj.h"
#include "support/fakehost.h"
#include "support/records.h"
#include "testutil/tempdir.h"

namespace {

// A picture of a frame over its whole window, as a program would draw one.
HMETAFILE Frame(bool withWindow) {
  HDC meta = CreateMetaFile(nullptr);
  if (withWindow) {
    SetWindowOrgEx(meta, 0, 0, nullptr);
    SetWindowExtEx(meta, 1000, 1000, nullptr);
  }
  SelectObject(meta, GetStockObject(NULL_BRUSH));
  Rectangle(meta, 0, 0, 1000, 1000);
  return CloseMetaFile(meta);
}

class PlotsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetSystemDirectory(tmp_.path().string());
    testutil::WriteFileBytes(tmp_.file("win.ini"),
                             "[windows]\r\ndevice=Paper,pdf," + tmp_.file("out.pdf") + "\r\n");
  }
  void TearDown() override {
    client_.reset();
    platform::SetSystemDirectory("");
  }
  CCpClient* Client() {
    if (!client_) client_ = std::make_unique<fakehost::Client>(host_);
    return client_->get();
  }
  PLOTDRAWREQ Request(HDC hdc, RECT target, int print) {
    PLOTDRAWREQ r{};
    r.bPrint = print;
    r.hdc = r.hdcRef = hdc;
    r.rcTarget = target;
    r.llXTo = r.llYTo = 1000;
    r.lPrintExtX = PLOT_PRINT_UNITS;
    r.lPrintUnitY = 1;
    return r;
  }
  short Draw(ObjOpCall handler, OBJ_BASECLASS* v, const PLOTDRAWREQ& r) {
    AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
    return handler(v, OBJOP_DRAW, reinterpret_cast<intptr_t>(&r), 0, Client());
  }
  // The border rectangle a structure leaves in a metafile, as left, top,
  // right, bottom; empty when nothing was drawn.
  std::vector<int> Border(CSDRAWREC* rec, PLOTDRAWREQ r) {
    HDC meta = CreateMetaFile(nullptr);
    HDC screen = platform::CreateRasterDC(10, 10, RGB(255, 255, 255));
    r.hdc = meta;
    r.hdcRef = screen;
    OBJ_BASECLASS v{};
    v.pWord3 = rec;
    EXPECT_EQ(Draw(ChemStrucObjOpCall, &v, r), 0);
    HMETAFILE hmf = CloseMetaFile(meta);
    DeleteDC(screen);
    std::vector<int> last;
    EnumMetaFile(
        nullptr, hmf,
        [](HDC, HANDLETABLE*, METARECORD* m, int, LPARAM p) -> int {
          if (m->rdFunction == META_RECTANGLE) {
            const auto* w = reinterpret_cast<const int16_t*>(m->rdParm);
            *reinterpret_cast<std::vector<int>*>(p) = {w[3], w[2], w[1], w[0]};
          }
          return 1;
        },
        reinterpret_cast<LPARAM>(&last));
    DeleteMetaFile(hmf);
    return last;
  }
  // The ink of a drawing made on a raster page with the printer's mapping.
  RECT PrintedInk(ObjOpCall handler, OBJ_BASECLASS* v, RECT place) {
    const int w = 600, h = 800;
    HDC page = platform::CreateRasterDC(w, h, RGB(255, 255, 255));
    SetMapMode(page, MM_ANISOTROPIC);
    SetWindowOrgEx(page, 0, PLOT_PRINT_UNITS, nullptr);
    SetWindowExtEx(page, PLOT_PRINT_UNITS, -PLOT_PRINT_UNITS, nullptr);
    SetViewportExtEx(page, w, h, nullptr);
    if (handler == ChemStrucObjOpCall)
      static_cast<CSDRAWREC*>(v->pWord3)->rcPlace = place;
    else
      PayloadOf(v)->rcPlace = place;
    EXPECT_EQ(Draw(handler, v, Request(page, RECT{0, 0, PLOT_PRINT_UNITS, PLOT_PRINT_UNITS}, 1)),
              0);
    SetMapMode(page, MM_TEXT);
    SetWindowOrgEx(page, 0, 0, nullptr);
    RECT ink{w, h, 0, 0};
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x)
        if (GetPixel(page, x, y) != RGB(255, 255, 255)) {
          ink.left = std::min<LONG>(ink.left, x);
          ink.top = std::min<LONG>(ink.top, y);
          ink.right = std::max<LONG>(ink.right, x + 1);
          ink.bottom = std::max<LONG>(ink.bottom, y + 1);
        }
    DeleteDC(page);
    return ink;
  }
  OBJ_BASECLASS* Picture(bool withWindow) {
    METAFILEPICT pict{MM_ANISOTROPIC, 0, 0, Frame(withWindow)};
    auto* v = new OBJ_BASECLASS{};
    v->pWord2 = NewMetafilePayload(pict, "Clipboard");
    DeleteMetaFile(pict.hMF);
    return v;
  }
  void Release(OBJ_BASECLASS* v) {
    AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
    EXPECT_EQ(MetaFileObjOpCall(v, OBJOP_DESTROY, 0, 0, Client()), 0);
  }

  testutil::TempDir tmp_;
  fakehost::FakeProcessor host_;
  std::unique_ptr<fakehost::Client> client_;
};

TEST_F(PlotsTest, StructurePlacementOnScreenAndOnPaper) {
  CSDRAWREC* rec = OneBondRecord();
  rec->rcPlace = RECT{100, 0, 300, 200};  // left x, bottom y, right x, top y
  // x 0..1000 onto 500 pixels: 100..300 is 50..150; the bottom of the range
  // is the bottom edge of the target on screen.
  EXPECT_EQ(Border(rec, Request(nullptr, RECT{0, 0, 500, 400}, 0)),
            (std::vector<int>{50, 320, 150, 400}));
  // On paper y grows upward: the same placement starts at the target's top.
  EXPECT_EQ(Border(rec, Request(nullptr, RECT{0, 0, 500, 400}, 1)),
            (std::vector<int>{50, 0, 150, 80}));
  // Without a printer entry the drawing still goes ahead.
  testutil::WriteFileBytes(tmp_.file("win.ini"), "[windows]\r\n");
  EXPECT_EQ(Border(rec, Request(nullptr, RECT{0, 0, 500, 400}, 1)),
            (std::vector<int>{50, 0, 150, 80}));
  // An empty range has no place for anything; far placements saturate.
  PLOTDRAWREQ empty = Request(nullptr, RECT{0, 0, 500, 400}, 0);
  empty.llXTo = 0;
  EXPECT_TRUE(Border(rec, empty).empty());
  rec->rcPlace = RECT{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  PLOTDRAWREQ far = Request(nullptr, RECT{0, 0, 500, 400}, 0);
  far.llXFrom = far.llYFrom = INT64_MIN / 2;
  EXPECT_FALSE(Border(rec, far).empty());
  std::free(rec);
}

TEST_F(PlotsTest, PrintedStructureAndPictureShareTheirRectangle) {
  CSDRAWREC* rec = OneBondRecord();
  OBJ_BASECLASS structure{};
  structure.pWord3 = rec;
  OBJ_BASECLASS* picture = Picture(true);
  for (RECT place : {RECT{100, 100, 300, 300}, RECT{123, 77, 377, 401}}) {
    const RECT a = PrintedInk(ChemStrucObjOpCall, &structure, place);
    const RECT b = PrintedInk(MetaFileObjOpCall, picture, place);
    EXPECT_LE(std::abs(a.left - b.left), 1);
    EXPECT_LE(std::abs(a.top - b.top), 1);
    EXPECT_LE(std::abs(a.right - b.right), 1);
    EXPECT_LE(std::abs(a.bottom - b.bottom), 1);
    EXPECT_GT(a.right - a.left, 50);
  }
  Release(picture);
  std::free(rec);
}

TEST_F(PlotsTest, PicturesWithoutAPlaceReportZeroDivisor) {
  HDC screen = platform::CreateRasterDC(200, 200, RGB(255, 255, 255));
  OBJ_BASECLASS* picture = Picture(true);
  OBJ_BASECLASS* bare = Picture(false);
  PayloadOf(picture)->rcPlace = PayloadOf(bare)->rcPlace = RECT{100, 100, 300, 300};
  PLOTDRAWREQ r = Request(screen, RECT{0, 0, 200, 200}, 0);
  EXPECT_EQ(Draw(MetaFileObjOpCall, picture, r), 0);
  EXPECT_EQ(GetPixel(screen, 20, 170), RGB(0, 0, 0)) << "the frame's bottom-left corner";
  EXPECT_EQ(Draw(MetaFileObjOpCall, bare, r), 519) << "no window extent to scale by";
  PayloadOf(picture)->rcPlace = RECT{100, 100, 100, 300};
  EXPECT_EQ(Draw(MetaFileObjOpCall, picture, r), 519);
  r.llYTo = 0;
  EXPECT_EQ(Draw(MetaFileObjOpCall, picture, r), 519);
  EXPECT_EQ(GetMapMode(screen), MM_TEXT) << "the context is restored on every way out";
  Release(picture);
  Release(bare);
  DeleteDC(screen);
}

TEST_F(PlotsTest, ClipboardPicturesShareOnePayload) {
  AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
  CCpClient* client = Client();
  OBJ_BASECLASS* m = nullptr;
  OpenClipboard(nullptr);
  EmptyClipboard();
  CloseClipboard();
  EXPECT_EQ(ChemStrucMFCreate(client, nullptr, &m), 546);
  auto put = [](LONG mm) { PutPicture(Frame(true), mm, 100, 100); };
  put(MM_ISOTROPIC);
  EXPECT_EQ(ChemStrucMFCreate(client, nullptr, &m), 547);
  {
    // A block too small for the picture record is no picture.
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4);
    OpenClipboard(nullptr);
    EmptyClipboard();
    SetClipboardData(CF_METAFILEPICT, h);
    CloseClipboard();
    EXPECT_EQ(ChemStrucMFCreate(client, nullptr, &m), 546);
  }
  EXPECT_EQ(m, nullptr);
  put(MM_ANISOTROPIC);
  ASSERT_EQ(ChemStrucMFCreate(client, nullptr, &m), 0);
  OBJ_BASECLASS* m2 = nullptr;
  ASSERT_EQ(MetaFileObjOpCall(m, OBJOP_DUPLICATE, reinterpret_cast<intptr_t>(&m2), 0, client), 0);
  EXPECT_EQ(PayloadOf(m2), PayloadOf(m));
  EXPECT_EQ(PayloadOf(m)->nRefs, 2);
  BSTR a = nullptr, b = nullptr;
  ASSERT_EQ(MetaFileObjOpCall(m, OBJOP_DESCRIBE, reinterpret_cast<intptr_t>(&a), 0, client), 0);
  ASSERT_EQ(MetaFileObjOpCall(m2, OBJOP_DESCRIBE, reinterpret_cast<intptr_t>(&b), 0, client), 0);
  char expected[32];
  std::snprintf(expected, sizeof expected, "Meta File: %x",
                static_cast<unsigned>(reinterpret_cast<uintptr_t>(PayloadOf(m)) & 0xFFFFFFFFu));
  EXPECT_STREQ(a, expected);
  EXPECT_STREQ(a, b);
  SysFreeString(a);
  SysFreeString(b);
  char name[3];
  EXPECT_EQ(MetaFileObjOpCall(m, OBJOP_TYPENAME, reinterpret_cast<intptr_t>(name), 3, client), 0);
  EXPECT_STREQ(name, "ME");
  EXPECT_EQ(MetaFileObjOpCall(m, 42, 0, 0, client), 537);
  // Releasing the first leaves the picture drawable through the second.
  MetaFileObjOpCall(m, OBJOP_DESTROY, 0, 0, client);
  HDC screen = platform::CreateRasterDC(50, 50, RGB(255, 255, 255));
  PayloadOf(m2)->rcPlace = RECT{0, 0, 1000, 1000};
  EXPECT_EQ(Draw(MetaFileObjOpCall, m2, Request(screen, RECT{0, 0, 50, 50}, 0)), 0);
  DeleteDC(screen);
  MetaFileObjOpCall(m2, OBJOP_DESTROY, 0, 0, client);
}

// A plot as the host keeps one: children by index, each answered by its
// type's handler ("STRUC" and "META" here).
struct FakePlot {
  OBJ_BASECLASS value{};
  std::vector<OBJ_BASECLASS*> children;
  CCpClient* client = nullptr;
  short Op(OBJ_BASECLASS* v, unsigned short op, intptr_t p1, intptr_t p2) {
    if (v == &value) {
      auto* child = reinterpret_cast<OBJ_BASECLASS*>(p1);
      switch (op) {
        case OBJOP_GETCHILD:
          if (p1 < 0 || static_cast<size_t>(p1) >= children.size()) return 1;
          *reinterpret_cast<OBJ_BASECLASS**>(p2) = children[static_cast<size_t>(p1)];
          return 0;
        case OBJOP_ADDCHILD:
          children.push_back(child);
          return 0;
        case OBJOP_REMOVECHILD:
          children.erase(std::find(children.begin(), children.end(), child));
          return 0;
        default:
          return 1;
      }
    }
    ObjOpCall handler = v->pWord2 ? MetaFileObjOpCall : ChemStrucObjOpCall;
    return handler(v, op, p1, p2, client);
  }
  ~FakePlot() {
    for (OBJ_BASECLASS* c : children) Op(c, OBJOP_DESTROY, 0, 0);
  }
};

TEST_F(PlotsTest, AttachKeepsTheOldChildUntilTheNewOneIsWhole) {
  AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
  FakePlot plot, other;
  plot.client = other.client = Client();
  host_.objectOp = [&](OBJ_BASECLASS* v, unsigned short op, intptr_t p1, intptr_t p2) {
    return (v == &other.value ? other : plot).Op(v, op, p1, p2);
  };
  OBJ_BASECLASS structure{};
  structure.pWord3 = OneBondRecord();
  OBJ_BASECLASS* args[4] = {&structure, &plot.value, nullptr, nullptr};
  ASSERT_EQ(ChemStrucAttach(Client(), args), 0);
  ASSERT_EQ(plot.children.size(), 1u);
  // A structure without a record cannot be duplicated: the old child stays.
  OBJ_BASECLASS empty{};
  args[0] = &empty;
  EXPECT_EQ(ChemStrucAttach(Client(), args), 536);
  ASSERT_EQ(plot.children.size(), 1u);
  EXPECT_NE(plot.children[0]->pWord3, nullptr);
  // One picture on two plots: each keeps its own placement.
  OBJ_BASECLASS* picture = Picture(true);
  const RANGE_OBJ low{0, 0, {}, nullptr, 0, 500}, high{0, 0, {}, nullptr, 500, 900};
  OBJ_BASECLASS* lowArg = const_cast<OBJ_BASECLASS*>(reinterpret_cast<const OBJ_BASECLASS*>(&low));
  OBJ_BASECLASS* highArg =
      const_cast<OBJ_BASECLASS*>(reinterpret_cast<const OBJ_BASECLASS*>(&high));
  OBJ_BASECLASS* metaArgs[4] = {picture, &plot.value, lowArg, lowArg};
  ASSERT_EQ(ChemStrucMFAttach(Client(), metaArgs), 0);
  metaArgs[1] = &other.value;
  metaArgs[2] = metaArgs[3] = highArg;
  ASSERT_EQ(ChemStrucMFAttach(Client(), metaArgs), 0);
  ASSERT_EQ(plot.children.size(), 2u);
  ASSERT_EQ(other.children.size(), 1u);
  EXPECT_EQ(PayloadOf(plot.children[1])->rcPlace.right, 500);
  EXPECT_EQ(PayloadOf(other.children[0])->rcPlace.right, 900);
  EXPECT_EQ(PayloadOf(picture)->nRefs, 1) << "the attached copies share nothing with it";
  Release(picture);
  std::free(structure.pWord3);
}

// The host's own DrawPlot and PrintPlot, read back record by record: the
// placement 100..300 of x 0..1000 on 500 pixels, bottom at the range bottom.
TEST_F(PlotsTest, DrawnAndPrintedPlotsReadBackRecordByRecord) {
  testutil::WriteFileBytes(tmp_.file("e.mol"),
                           "E\r\n\r\n\r\n  2  1\r\n 0 0 0 C\r\n 1.5 0 0 O\r\n  1  2  1\r\n");
  testutil::WriteFileBytes(tmp_.file("win.ini"),
                           "[windows]\r\ndevice=Paper,wmf," + tmp_.file("printed.wmf") + "\r\n");
  // Labels in points: on paper they go through the page's mapping.
  testutil::WriteFileBytes(tmp_.file("struct.ini"), "[Globals]\r\nTextSize=-12\r\n");
  testutil::WriteFileBytes(tmp_.file("plot.mac"),
                           "e = CSMolCreate(\"e.mol\")\n"
                           "p = MS(0, 1000, 0, 1000)\n"
                           "CSAttach e, p, RANGE(100, 300), RANGE(0, 200)\n"
                           "DrawPlot p, \"plot.wmf\", 500, 400\n"
                           "PrintPlot p\n");
  const std::string cmd = "cd '" + tmp_.path().string() +
                          "' && '" STRUCTHOST_PATH "' --plugin '" PLUGIN_PATH
                          "' --sysdir . plot.mac </dev/null";
  ASSERT_EQ(std::system(cmd.c_str()), 0);
  // The last rectangle (left, top, right, bottom), then the first font's height.
  auto lastRectangle = [](HMETAFILE hmf) {
    struct Seen {
      std::vector<int> rect;
      int font = 0;
    } seen;
    EnumMetaFile(
        nullptr, hmf,
        [](HDC, HANDLETABLE*, METARECORD* m, int, LPARAM p) -> int {
          auto* out = reinterpret_cast<Seen*>(p);
          const auto* w = reinterpret_cast<const int16_t*>(m->rdParm);
          if (m->rdFunction == META_RECTANGLE) out->rect = {w[3], w[2], w[1], w[0]};
          if (m->rdFunction == META_CREATEFONTINDIRECT && out->font == 0) out->font = w[0];
          return 1;
        },
        reinterpret_cast<LPARAM>(&seen));
    DeleteMetaFile(hmf);
    seen.rect.push_back(seen.font);
    return seen.rect;
  };
  const std::string placeable = testutil::ReadFileBytes(tmp_.file("plot.wmf"));
  ASSERT_GT(placeable.size(), 22u);
  EXPECT_EQ(lastRectangle(SetMetaFileBitsEx(static_cast<UINT>(placeable.size() - 22),
                                            reinterpret_cast<const BYTE*>(placeable.data()) + 22)),
            (std::vector<int>{50, 320, 150, 400, 16}));
  // On the page y grows upward from the target's top edge (0): 16380 units
  // across the range, the scale 16.38 kept in single precision (a hair below).
  EXPECT_EQ(lastRectangle(GetMetaFile(tmp_.file("printed.wmf").c_str())),
            (std::vector<int>{1637, 0, 4913, 3275, 233}));
}

}  // namespace
