// The renderer through the records it leaves in a metafile: geometry, bond
// lines, circles, label placement and fonts, colours, and clean-up.
#include <gtest/gtest.h>
#include <platform/env.h>
#include <platform/gdi_export.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/dllinfo.h"
#include "render/draw.h"
#include "render/geometry.h"
#include "render/metafile.h"
#include "support/fakehost.h"

namespace {

struct Rec {
  Rec(std::vector<BYTE> t, std::vector<POINT> p, std::vector<std::string> l = {}, int c = 0)
      : types(std::move(t)), points(std::move(p)), labels(std::move(l)), circles(c) {}
  std::vector<BYTE> types;
  std::vector<POINT> points;  // endpoints, label anchors, circle centres
  std::vector<std::string> labels;
  int circles;
};

// A record as a producer lays it out (bounds left at zero).
CSDRAWREC* Make(const Rec& r, const CSDRAWOPTS& opts) {
  size_t cbLabels = 0;
  for (const auto& l : r.labels) cbLabels += l.size() + 1;
  const size_t nb = r.types.size();
  const size_t cb =
      CSDRAWREC_HEADER + nb + 8 * r.points.size() + (r.labels.empty() ? 0 : cbLabels + 1);
  auto* rec = static_cast<CSDRAWREC*>(std::calloc(cb, 1));
  rec->cbTotal = static_cast<DWORD>(cb);
  rec->drawOpts = opts;
  rec->nBonds = static_cast<WORD>(nb);
  rec->nLabels = static_cast<WORD>(r.labels.size());
  rec->nCircles = static_cast<WORD>(r.circles);
  rec->iFirstLabel = static_cast<WORD>(2 * nb);
  rec->iFirstCircle = static_cast<WORD>(2 * nb + r.labels.size());
  rec->offBondTypes = CSDRAWREC_HEADER;
  rec->offPoints = static_cast<WORD>(CSDRAWREC_HEADER + nb);
  rec->offLabels = static_cast<WORD>(rec->offPoints + 8 * r.points.size());
  if (nb) std::memcpy(RecBondTypes(rec), r.types.data(), nb);
  for (size_t i = 0; i < r.points.size(); ++i) SetRecPoint(rec, static_cast<int>(i), r.points[i]);
  char* p = reinterpret_cast<char*>(rec) + rec->offLabels;
  for (const auto& l : r.labels) {
    std::memcpy(p, l.c_str(), l.size() + 1);
    p += l.size() + 1;
  }
  return rec;
}

struct Record {
  WORD fn;
  std::vector<int16_t> p;  // parameters as the file holds them
  std::string text;        // TEXTOUT characters
};

class RenderTest : public ::testing::Test {
 protected:
  RenderTest() {
    std::memset(&opts_, 0, sizeof opts_);
    for (int i = 0; i < 7; ++i) opts_.crItem[i] = RGB(10 * i + 1, 20 * i + 2, 30 * i + 3);
    opts_.lFontHeight = 12;
    opts_.wBkMode = OPAQUE;
    opts_.bCircles = 1;
    opts_.bBorder = 1;
    std::strcpy(opts_.lfLabel.lfFaceName, "Lucida Console");
    opts_.lfLabel.lfWeight = 400;
    screen_ = platform::CreateRasterDC(400, 400, RGB(0, 0, 0));
  }
  ~RenderTest() override {
    DeleteDC(screen_);
    for (CSDRAWREC* r : recs_) std::free(r);
  }
  CSDRAWREC* Rec_(const Rec& r) {
    recs_.push_back(Make(r, opts_));
    return recs_.back();
  }
  // Draws into a metafile with the screen as reference and returns its records.
  std::vector<Record> Draw(CSDRAWREC* rec, RECT target, HDC ref = nullptr, short force = 0) {
    HDC meta = CreateMetaFile(nullptr);
    DrawStructure(&host_, rec, meta, ref ? ref : screen_, &target, force);
    HMETAFILE hmf = CloseMetaFile(meta);
    std::vector<Record> out;
    EnumMetaFile(
        nullptr, hmf,
        [](HDC, HANDLETABLE*, METARECORD* r, int, LPARAM p) -> int {
          Record rec{r->rdFunction, {}, {}};
          const size_t n = r->rdSize - 3;
          const auto* w = reinterpret_cast<const int16_t*>(r->rdParm);
          rec.p.assign(w, w + n);
          if (r->rdFunction == META_TEXTOUT)
            rec.text.assign(reinterpret_cast<const char*>(r->rdParm + 1), r->rdParm[0]);
          reinterpret_cast<std::vector<Record>*>(p)->push_back(rec);
          return 1;
        },
        reinterpret_cast<LPARAM>(&out));
    DeleteMetaFile(hmf);
    return out;
  }
  // Lines as (x1, y1, x2, y2) from MOVETO/LINETO pairs.
  static std::vector<std::vector<int>> Lines(const std::vector<Record>& rs) {
    std::vector<std::vector<int>> lines;
    int x = 0, y = 0;
    for (const Record& r : rs) {
      if (r.fn == META_MOVETO) y = r.p[0], x = r.p[1];
      if (r.fn == META_LINETO) {
        lines.push_back({x, y, r.p[1], r.p[0]});
        y = r.p[0], x = r.p[1];
      }
    }
    return lines;
  }
  static std::vector<Record> Only(const std::vector<Record>& rs, WORD fn) {
    std::vector<Record> out;
    for (const Record& r : rs)
      if (r.fn == fn) out.push_back(r);
    return out;
  }

  fakehost::FakeProcessor host_;
  CSDRAWOPTS opts_;
  HDC screen_;
  std::vector<CSDRAWREC*> recs_;
};

// A target 48 x 8 centred on (100, 50): a bond of 40 units is drawn at scale 1.
const RECT kUnitTarget{76, 46, 124, 54};

TEST_F(RenderTest, DoubleAndTripleBondsAreParallelLines) {
  opts_.bBorder = 0;
  auto lines = Lines(Draw(Rec_({{BOND_DOUBLE}, {{-20, 0}, {20, 0}}}), kUnitTarget));
  EXPECT_EQ(lines, (std::vector<std::vector<int>>{{80, 52, 120, 52}, {80, 48, 120, 48}}));
  lines = Lines(Draw(Rec_({{BOND_TRIPLE}, {{-20, 0}, {20, 0}}}), kUnitTarget));
  EXPECT_EQ(lines, (std::vector<std::vector<int>>{
                       {80, 50, 120, 50}, {80, 53, 120, 53}, {80, 47, 120, 47}}));
}

TEST_F(RenderTest, GeometryCentresTurnsAndKeepsDrawingsStable) {
  CSDRAWREC* bond = Rec_({{BOND_SINGLE}, {{0, 0}, {40, 0}}});
  NormalizeStructure(bond);
  EXPECT_EQ(RecPoint(bond, 0).x, -20);
  EXPECT_EQ(RecPoint(bond, 1).x, 20);
  EXPECT_EQ(bond->rcBounds.left, -24);
  EXPECT_EQ(bond->rcBounds.top, 4);
  EXPECT_EQ(bond->rcBounds.right, 24);
  EXPECT_EQ(bond->rcBounds.bottom, -4);
  auto first = Lines(Draw(bond, RECT{0, 0, 200, 100}));
  EXPECT_EQ(Lines(Draw(bond, RECT{0, 0, 200, 100})), first);

  CSDRAWREC* turned = Rec_({{BOND_SINGLE}, {{0, 0}, {10, 0}}});
  turned->drawOpts.bRotate = 1;
  NormalizeStructure(turned);
  EXPECT_EQ(turned->drawOpts.bRotate, 0);
  EXPECT_EQ(RecPoint(turned, 0).x, 0);
  EXPECT_EQ(RecPoint(turned, 0).y, 5);
  EXPECT_EQ(RecPoint(turned, 1).y, -5);
  EXPECT_EQ(turned->rcBounds.left, -4);
  EXPECT_EQ(turned->rcBounds.top, 9);

  CSDRAWREC* far = Rec_({{BOND_SINGLE}, {{2000, 0}, {2100, 0}}});
  NormalizeStructure(far);
  EXPECT_EQ(RecPoint(far, 0).x, 193);
  EXPECT_EQ(RecPoint(far, 1).x, 293);
  EXPECT_EQ(far->rcBounds.left, -296);
  EXPECT_EQ(far->rcBounds.right, 297);
  NormalizeStructure(far);
  EXPECT_EQ(RecPoint(far, 0).x, -50);
  EXPECT_EQ(RecPoint(far, 1).x, 50);
  EXPECT_EQ(far->rcBounds.left, -54);

  CSDRAWREC* empty = Rec_({{}, {}});
  ComputeStructureBounds(empty);
  EXPECT_EQ(empty->rcBounds.left, 306);
  EXPECT_EQ(empty->rcBounds.top, -171);
  RECT t{0, 0, 200, 100};
  EXPECT_FLOAT_EQ(FitStructure(bond, screen_, &t).scale, 200.0f / 48.0f);  // the narrower fits
}

TEST_F(RenderTest, NegativeWindowExtentTurnsYOver) {
  HDC ref = platform::CreateRasterDC(100, 100, RGB(0, 0, 0));
  SetMapMode(ref, MM_ANISOTROPIC);
  SetWindowExtEx(ref, 16380, -16380, nullptr);
  CSDRAWREC* rec = Rec_({{BOND_SINGLE}, {{0, -10}, {0, 10}}});
  RECT t{0, 0, 28, 28};
  const DRAWSCALE fit = FitStructure(rec, ref, &t);
  EXPECT_EQ(fit.yscale, -fit.scale);
  DeleteDC(ref);
}

TEST_F(RenderTest, LabelsAnchorByTheirShapeAndSetRuns) {
  opts_.bBorder = 0;
  opts_.lFontHeight = 12;
  // Four labels far apart on one bond's ends and beyond; scale 1 target.
  CSDRAWREC* rec = Rec_({{BOND_SINGLE},
                         {{-100, 0}, {100, 0}, {-100, 0}, {100, 0}, {0, 40}, {0, -40}, {50, 20}},
                         {"^Br", "HO", "OH", "Cl", "NH2"}});
  NormalizeStructure(rec);
  RECT t{0, 0, rec->rcBounds.right - rec->rcBounds.left, rec->rcBounds.top - rec->rcBounds.bottom};
  auto texts = Only(Draw(rec, t), META_TEXTOUT);
  const POINT c{(t.left + t.right) >> 1, (t.top + t.bottom) >> 1};
  auto x = [&](const Record& r) { return r.p[r.p.size() - 1]; };
  auto y = [&](const Record& r) { return r.p[r.p.size() - 2]; };
  ASSERT_EQ(texts.size(), 6u);
  const POINT a0 = RecPoint(rec, 2), a1 = RecPoint(rec, 3), a2 = RecPoint(rec, 4),
              a3 = RecPoint(rec, 5), a4 = RecPoint(rec, 6);
  EXPECT_EQ(texts[0].text, "Br");  // the caret is not drawn; right-anchored
  EXPECT_EQ(x(texts[0]), a0.x - 9 * 2 + 3 + c.x);
  EXPECT_EQ(texts[1].text, "HO");
  EXPECT_EQ(x(texts[1]), a1.x - 9 * 2 + 3 + c.x);
  EXPECT_EQ(texts[2].text, "OH");  // left-anchored
  EXPECT_EQ(x(texts[2]), a2.x - 3 + c.x);
  EXPECT_EQ(texts[3].text, "Cl");  // centred
  EXPECT_EQ(x(texts[3]), a3.x + c.x - 9);
  // NH2: "NH" at the cell top, then a smaller 2 lowered by two thirds of 12.
  EXPECT_EQ(texts[4].text, "NH");
  EXPECT_EQ(texts[5].text, "2");
  EXPECT_EQ(y(texts[4]), a4.y + c.y - 6);
  EXPECT_EQ(y(texts[5]), y(texts[4]) + 8);
  EXPECT_EQ(x(texts[5]), x(texts[4]) + (4 * 12 * 2) / 6);
}

TEST_F(RenderTest, ChargeSignsAreRaisedAndFontsFollowPoints) {
  opts_.lFontHeight = -10;  // 10 points on a 96-dpi reference: 13 device units
  CSDRAWREC* rec = Rec_({{BOND_SINGLE}, {{0, 0}, {40, 0}, {40, 0}}, {"O-"}});
  auto rs = Draw(rec, RECT{0, 0, 400, 100});
  auto fonts = Only(rs, META_CREATEFONTINDIRECT);
  ASSERT_EQ(fonts.size(), 2u);
  EXPECT_EQ(fonts[0].p[0], 13);
  EXPECT_EQ(fonts[1].p[0], 9);
  auto texts = Only(rs, META_TEXTOUT);
  ASSERT_EQ(texts.size(), 2u);
  EXPECT_EQ(texts[1].text, "-");
  EXPECT_EQ(texts[1].p[texts[1].p.size() - 2], texts[0].p[texts[0].p.size() - 2] - 13 / 3);
}

TEST_F(RenderTest, TwoColourDevicesDrawBlackUnlessColourIsForced) {
  HDC mono = CreateIC("mono", "Printer", "out.pdf", nullptr);
  ASSERT_NE(mono, nullptr);
  CSDRAWREC* rec = Rec_({{BOND_SINGLE}, {{0, 0}, {40, 0}, {40, 0}}, {"OH"}});
  auto colours = [&](short force) {
    std::vector<uint32_t> out;
    for (const Record& r : Draw(rec, RECT{0, 0, 200, 100}, mono, force)) {
      if (r.fn == META_CREATEPENINDIRECT)
        out.push_back(static_cast<uint16_t>(r.p[3]) | (static_cast<uint32_t>(r.p[4]) << 16));
      if (r.fn == META_SETTEXTCOLOR)
        out.push_back(static_cast<uint16_t>(r.p[0]) | (static_cast<uint32_t>(r.p[1]) << 16));
    }
    return out;
  };
  for (uint32_t c : colours(0)) EXPECT_EQ(c, 0u);
  // Pens reach the metafile when they are first selected: the single-bond
  // pen, the circle pen (made even without circles), then the text colour of
  // the labels, then the border pen.
  auto forced = colours(1);
  EXPECT_EQ(forced, (std::vector<uint32_t>{opts_.crItem[0], opts_.crItem[3], opts_.crItem[5],
                                           opts_.crItem[6]}));
  DeleteDC(mono);
}

TEST_F(RenderTest, ZeroLengthDoubleBondReportsAndTheRestIsDrawn) {
  CSDRAWREC* rec = Rec_({{BOND_DOUBLE, BOND_SINGLE}, {{5, 5}, {5, 5}, {0, 0}, {40, 0}}});
  auto lines = Lines(Draw(rec, RECT{0, 0, 200, 100}));
  ASSERT_EQ(host_.errors.size(), 1u);
  EXPECT_EQ(host_.errors[0].first, 541);
  EXPECT_EQ(lines.size(), 3u);  // two degenerate lines and the single bond
}

TEST_F(RenderTest, FarCoordinatesAndExtremeSizesStayInRange) {
  // Run under UBSan, any wrapped sum or out-of-range cast here fails.
  for (LONG height : {INT32_MAX, INT32_MIN, 12}) {
    opts_.lFontHeight = height;
    CSDRAWREC* rec =
        Rec_({{BOND_DOUBLE, BOND_TRIPLE},
              {{INT32_MIN, 0}, {INT32_MAX, 0}, {0, INT32_MIN}, {0, INT32_MAX}, {5, 5}, {-9, 9}},
              {"SO3H"},
              1});
    rec->drawOpts.bRotate = 1;
    rec->drawOpts.bThickBonds = 1;
    EXPECT_FALSE(Draw(rec, RECT{0, 0, 300, 300}).empty());
    EXPECT_LE(rec->rcBounds.left, rec->rcBounds.right);
  }
  LONG x = 0, y = 0;
  const RECT wide{0, 0, INT32_MAX, 1};
  PictureExtents(&wide, &x, &y);
  EXPECT_EQ(x, INT32_MAX);
}

TEST_F(RenderTest, CirclesBorderAndCleanUp) {
  opts_.bCircles = 2;
  opts_.bThickBonds = 1;
  int live = platform::LiveGdiObjects();
  CSDRAWREC* rec = Rec_({{BOND_AROMATIC}, {{0, 0}, {40, 0}, {20, 20}}, {}, 1});
  RECT t{0, 0, 100, 100};
  auto rs = Draw(rec, t);
  // Scale 100/48: the circle has radius trunc(13 * scale).
  auto ellipses = Only(rs, META_ELLIPSE);
  ASSERT_EQ(ellipses.size(), 1u);
  const float scale = 100.0f / 48.0f;
  const int r = static_cast<int>(13.0f * scale);
  EXPECT_EQ(ellipses[0].p[1] - ellipses[0].p[3], 2 * r);  // right - left
  // In the order first selected: the aromatic bond's pen, the circle pen,
  // the border pen.
  auto pens = Only(rs, META_CREATEPENINDIRECT);
  ASSERT_EQ(pens.size(), 3u);
  EXPECT_EQ(pens[0].p[1], static_cast<int>(scale) + 1);  // thick bond pen
  EXPECT_EQ(pens[1].p[0], PS_DOT);
  EXPECT_EQ(pens[1].p[1], 1);
  EXPECT_EQ(pens[2].p[1], 0);  // the border is always thin
  // The border is the last thing drawn, on the target itself.
  const Record* last = nullptr;
  for (const Record& rec2 : rs)
    if (rec2.fn == META_RECTANGLE || rec2.fn == META_LINETO || rec2.fn == META_TEXTOUT ||
        rec2.fn == META_ELLIPSE)
      last = &rec2;
  ASSERT_NE(last, nullptr);
  EXPECT_EQ(last->fn, META_RECTANGLE);
  EXPECT_EQ(last->p, (std::vector<int16_t>{100, 100, 0, 0}));
  // State saved and restored in pairs; every object made is deleted.
  EXPECT_EQ(Only(rs, META_SAVEDC).size(), Only(rs, META_RESTOREDC).size());
  EXPECT_EQ(Only(rs, META_DELETEOBJECT).size(),
            pens.size() + Only(rs, META_CREATEFONTINDIRECT).size());
  EXPECT_EQ(platform::LiveGdiObjects(), live);
}

}  // namespace
