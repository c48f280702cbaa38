// Playing metafiles: enumeration record by record, single records (rewritten
// ones included) with a handle table, and whole pictures played on another
// metafile context, where every call the player makes shows up as a record,
// and on a raster context.
#include <cstring>

#include "metafile_testutil.h"

namespace {

using MetaPlay = MetaTest;

// A drawing whose pen is deleted and whose font takes the pen's slot.
HMETAFILE Drawing() {
  HDC dc = CreateMetaFile(nullptr);
  SetMapMode(dc, MM_ANISOTROPIC);
  SetWindowExtEx(dc, 100, 50, nullptr);
  HPEN pen = CreatePen(PS_DASH, 1, RGB(255, 0, 0));
  SelectObject(dc, pen);
  LineTo(dc, 90, 40);
  SelectObject(dc, GetStockObject(HOLLOW_BRUSH));
  Ellipse(dc, 5, 6, 95, 44);
  DeleteObject(pen);
  LOGFONT lf{};
  lf.lfHeight = -10;
  std::strcpy(lf.lfFaceName, "Helvetica");
  HFONT font = CreateFontIndirect(&lf);
  SelectObject(dc, font);
  TextOut(dc, 10, 12, "Hi", 2);
  DeleteObject(font);
  return CloseMetaFile(dc);
}

struct Seen {
  std::vector<WORD> functions;
  int stopAt = -1, nObj = -1;
};

int CALLBACK Collect(HDC hdc, HANDLETABLE* ht, METARECORD* mr, int nObj, LPARAM param) {
  auto* seen = reinterpret_cast<Seen*>(param);
  EXPECT_TRUE(hdc == nullptr && ht != nullptr);
  seen->functions.push_back(mr->rdFunction);
  seen->nObj = nObj;
  return static_cast<int>(seen->functions.size()) != seen->stopAt;
}

TEST_F(MetaPlay, EnumerationSeesEveryRecordAndCanStop) {
  HMETAFILE mf = Drawing();
  std::vector<WORD> expected;
  for (const Rec& r : Records(Bits(mf))) expected.push_back(r.function);
  Seen all, some;
  EXPECT_TRUE(EnumMetaFile(nullptr, mf, Collect, reinterpret_cast<LPARAM>(&all)));
  EXPECT_EQ(all.functions, expected) << "in order, end record included";
  EXPECT_EQ(all.nObj, 2) << "the header's object count";
  some.stopAt = 3;
  EXPECT_FALSE(EnumMetaFile(nullptr, mf, Collect, reinterpret_cast<LPARAM>(&some)));
  EXPECT_EQ(some.functions, std::vector<WORD>(expected.begin(), expected.begin() + 3));
  EXPECT_FALSE(EnumMetaFile(nullptr, nullptr, Collect, 0));
  EXPECT_FALSE(EnumMetaFile(nullptr, mf, nullptr, 0));
  DeleteMetaFile(mf);
}

// Played on a metafile context, a picture records itself again; afterwards the
// context's own objects are selected back and the picture's are deleted.
TEST_F(MetaPlay, PlayedOnMetafileRecordsTheSameDrawing) {
  HMETAFILE mf = Drawing();
  HDC target = CreateMetaFile(nullptr);
  EXPECT_TRUE(PlayMetaFile(target, mf));
  EXPECT_FALSE(PlayMetaFile(nullptr, mf));
  EXPECT_EQ(SelectObject(target, GetStockObject(WHITE_PEN)), GetStockObject(BLACK_PEN));
  HMETAFILE copy = CloseMetaFile(target);
  std::vector<Rec> source = Records(Bits(mf)), played = Records(Bits(copy));
  source.pop_back();  // the end record
  ASSERT_GT(played.size(), source.size());
  EXPECT_EQ(std::vector<Rec>(played.begin(), played.begin() + source.size()), source);
  for (size_t i = source.size(); i + 1 < played.size(); ++i)
    EXPECT_TRUE(played[i].function == META_SELECTOBJECT ||
                played[i].function == META_DELETEOBJECT || (played[i].function & 0xFFF0) == 0x02F0)
        << "only objects selected back, made and deleted: record " << i;
  ExpectOpensInWmf2svg(Bits(copy), dir_, "played");
  DeleteMetaFile(copy);
  DeleteMetaFile(mf);
}

// Plays every record, the window extent replaced by a copy with new values.
int CALLBACK PlayRewritten(HDC hdc, HANDLETABLE* ht, METARECORD* mr, int nObj, LPARAM ext) {
  if (mr->rdFunction != META_SETWINDOWEXT) {
    PlayMetaFileRecord(hdc, ht, mr, nObj);
    return 1;
  }
  std::vector<uint32_t> copy(mr->rdSize / 2 + 1);
  std::memcpy(copy.data(), mr, mr->rdSize * 2);
  auto* rec = reinterpret_cast<METARECORD*>(copy.data());
  WORD* parm = rec->rdParm;  // y, then x
  parm[0] = static_cast<WORD>(reinterpret_cast<const SIZE*>(ext)->cy);
  parm[1] = static_cast<WORD>(reinterpret_cast<const SIZE*>(ext)->cx);
  EXPECT_TRUE(PlayMetaFileRecord(hdc, ht, rec, nObj));
  return 1;
}

TEST_F(MetaPlay, RewrittenWindowExtentIsPlayed) {
  HMETAFILE mf = Drawing();
  HDC target = CreateMetaFile(nullptr);
  SIZE ext{1000, -500};
  EXPECT_TRUE(EnumMetaFile(target, mf, PlayRewritten, reinterpret_cast<LPARAM>(&ext)));
  HMETAFILE copy = CloseMetaFile(target);
  EXPECT_EQ(Records(Bits(copy)).at(1), (Rec{META_SETWINDOWEXT, Words({0xFE0C, 1000})}));
  DeleteMetaFile(copy);

  HDC raster = CreateCompatibleDC(nullptr);
  ext = {640, 480};
  EXPECT_TRUE(EnumMetaFile(raster, mf, PlayRewritten, reinterpret_cast<LPARAM>(&ext)));
  SIZE got{};
  EXPECT_TRUE(GetWindowExtEx(raster, &got));
  EXPECT_EQ(got.cx, 640);
  EXPECT_EQ(got.cy, 480);
  EXPECT_EQ(SelectObject(raster, GetStockObject(WHITE_PEN)), GetStockObject(BLACK_PEN))
      << "the context's own pen is selected back";
  DeleteDC(raster);
  DeleteMetaFile(mf);
}

// Single records with the caller's own table: creations fill the first free
// slot, selections and deletions name slots, and nothing reads past a record.
// Records of other programs: text with options, and objects this GDI cannot
// make, which still take their slot.
TEST_F(MetaPlay, SingleRecordsAndTheirSlots) {
  HDC target = CreateMetaFile(nullptr);
  HGDIOBJ slots[2] = {};
  auto* ht = reinterpret_cast<HANDLETABLE*>(slots);
  const auto play = [&](const std::vector<BYTE>& bytes, UINT n = 2) {
    std::vector<uint32_t> aligned(bytes.size() / 4 + 2);
    std::memcpy(aligned.data(), bytes.data(), bytes.size());
    return PlayMetaFileRecord(target, ht, reinterpret_cast<METARECORD*>(aligned.data()), n);
  };
  EXPECT_FALSE(play(Words({6, 0, META_DIBCREATEPATTERNBRUSH, 5, 0, 0xABCD}))) << "yet takes slot 0";
  const std::vector<BYTE> pen = Words({8, 0, META_CREATEPENINDIRECT, PS_DOT, 1, 0, 0x00FF, 0});
  EXPECT_TRUE(play(pen));
  ASSERT_EQ(GetObjectType(slots[0]), static_cast<DWORD>(OBJ_BRUSH)) << "a placeholder";
  ASSERT_EQ(GetObjectType(slots[1]), static_cast<DWORD>(OBJ_PEN));
  EXPECT_FALSE(play(pen)) << "no free slot; the pen is not kept";
  EXPECT_TRUE(play(Words({4, 0, META_SELECTOBJECT, 1})));
  EXPECT_FALSE(play(Words({4, 0, META_SELECTOBJECT, 2}))) << "past the table";
  EXPECT_FALSE(play(Words({4, 0, META_SELECTOBJECT, 1}), 1)) << "past noObjs";
  EXPECT_TRUE(play(Words({4, 0, META_DELETEOBJECT, 0})));
  EXPECT_EQ(slots[0], nullptr);
  EXPECT_FALSE(play(Words({4, 0, META_SELECTOBJECT, 0}))) << "a free slot";
  EXPECT_FALSE(play(Words({4, 0, META_LINETO, 7}))) << "a point without x";
  EXPECT_FALSE(play(Words({5, 0, META_TEXTOUT, 40, 0x4141}))) << "text past the record";
  EXPECT_FALSE(play(Words({5, 0, META_POLYLINE, 9, 1}))) << "points past the record";
  EXPECT_FALSE(play(Words({8, 0, META_EXTTEXTOUT, 5, 6, 9, 0, 0x6B6F}))) << "text past the record";
  EXPECT_FALSE(play(Words({2, 0, META_SAVEDC}))) << "smaller than a record header";
  EXPECT_FALSE(play(Words({3, 0, 0x0817}))) << "a record this device does not draw";
  EXPECT_TRUE(play(Words({8, 0, META_EXTTEXTOUT, 5, 6, 2, 0, 0x6B6F})));  // y, x, n, options
  METARECORD saveDC{3, META_SAVEDC, {0}};
  EXPECT_FALSE(PlayMetaFileRecord(nullptr, ht, &saveDC, 2)) << "no context";
  SelectObject(target, GetStockObject(BLACK_PEN));
  DeleteObject(slots[1]);
  HMETAFILE mf = CloseMetaFile(target);
  const std::vector<Rec> recs = Records(Bits(mf));
  ASSERT_EQ(recs.size(), 7u);
  EXPECT_EQ(recs[0], (Rec{META_CREATEPENINDIRECT, Words({PS_DOT, 1, 0, 0x00FF, 0})}));
  EXPECT_EQ(recs[1], (Rec{META_SELECTOBJECT, Words({0})}));
  EXPECT_EQ(recs[2], (Rec{META_TEXTOUT, Words({2, 0x6B6F, 5, 6})}));
  EXPECT_EQ(recs[5], (Rec{META_DELETEOBJECT, Words({0})}));
  DeleteMetaFile(mf);
}

}  // namespace
