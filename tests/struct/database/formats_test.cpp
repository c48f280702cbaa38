// The record and file formats, from bytes written by hand.
#include <gtest/gtest.h>

#include <cstring>

#include "database/cas.h"
#include "database/drawrec.h"
#include "database/labels.h"
#include "database/libpath.h"
#include "database/packed.h"
#include "database/readrec.h"
#include "core/dllinfo.h"
#include "support/fakehost.h"

namespace {

using Bytes = std::vector<BYTE>;

Bytes Pack(std::initializer_list<LONG> values) {
  std::vector<LONG> v(values);
  size_t cb = 0;
  for (LONG x : v) cb += static_cast<size_t>(PackedSize(x));
  Bytes out(cb + 8, 0xEE);
  const int n = WritePackedValues(v.data(), static_cast<int>(v.size()), out.data());
  EXPECT_EQ(out[cb], 0xEE) << "wrote past its reckoned size";
  out.resize(static_cast<size_t>(n));
  return out;
}

TEST(PackedValues, WriterUsesContinuationRuns) {
  EXPECT_EQ(Pack({127}), (Bytes{0x7F, 0x00}));
  EXPECT_EQ(Pack({-126}), (Bytes{0x82}));
  EXPECT_EQ(Pack({126}), (Bytes{0x7E}));
  EXPECT_EQ(Pack({200}), (Bytes{0x7F, 0x49}));
  EXPECT_EQ(Pack({255}), (Bytes{0x7F, 0x7F, 0x01}));
  EXPECT_EQ(Pack({-127}), (Bytes{0x81, 0x00}));
  EXPECT_EQ(Pack({-300}), (Bytes{0x81, 0x81, 0xD2}));
  EXPECT_EQ(Pack({0, 1, -1}), (Bytes{0x00, 0x01, 0xFF}));
  for (LONG v : {0, 126, 127, 253, 254, 255, 1000, -126, -127, -254, -255, -100000})
    EXPECT_EQ(PackedSize(v), static_cast<int>(Pack({v}).size())) << v;
}

TEST(PackedValues, ReaderSumsAndStopsAtItsEnd) {
  const Bytes in{0x7F, 0x49, 0x81, 0x00, 0x80, 0x7F, 0x7F};
  const BYTE* p = in.data();
  const BYTE* end = in.data() + in.size();
  LONG v = 0;
  ASSERT_TRUE(ReadPackedValue(p, end, &v));
  EXPECT_EQ(v, 200);
  ASSERT_TRUE(ReadPackedValue(p, end, &v));
  EXPECT_EQ(v, -127);
  ASSERT_TRUE(ReadPackedValue(p, end, &v));
  EXPECT_EQ(v, -128);  // 0x80 is read although never written
  EXPECT_FALSE(ReadPackedValue(p, end, &v));  // a run cut off by the end
  EXPECT_EQ(p, end);
}

TEST(LibraryPaths, AnyExtensionNamesThePair) {
  EXPECT_STREQ(DataPathOf("C:\\libs\\lib.ind"), "C:\\libs\\lib.sdb");
  EXPECT_STREQ(IndexPathOf("C:\\libs\\lib.sdb"), "C:\\libs\\lib.ind");
  EXPECT_STREQ(DataPathOf("lib"), "lib.sdb");
  EXPECT_STREQ(IndexPathOf("lib.old.sdb"), "lib.old.ind");
  EXPECT_STREQ(DataPathOf("C:\\my.dir\\lib"), "C:\\my.dir\\lib.sdb");
  EXPECT_STREQ(DataPathOf("/tmp/x.y/lib"), "/tmp/x.y/lib.sdb");
}

TEST(CasNumbers, DigitsOnlyAndHyphenatedText) {
  fakehost::FakeProcessor host;
  STRUCT_DLL_INFO info;
  EXPECT_EQ(ParseCasNumber(&info, "CAS 50-00-0"), 50000);
  EXPECT_EQ(ParseCasNumber(&info, "no digits"), 0);
  EXPECT_EQ(ParseCasNumber(&info, nullptr), 0);
  EXPECT_EQ(ParseCasNumber(&info, "99999999999999"), 2147483647);
  CString text;
  EXPECT_EQ(FormatCasNumber(&info, 50000, text), 7);
  EXPECT_STREQ(text, "50-00-0");
  FormatCasNumber(&info, 7732185, text);
  EXPECT_STREQ(text, "7732-18-5");
  FormatCasNumber(&info, 15, text);
  EXPECT_STREQ(text, "0-01-5");
}

TEST(LabelCodes, TableEndsWithEmptyText) {
  EXPECT_STREQ(g_LabelCodes[0], " ");
  EXPECT_STREQ(g_LabelCodes[7], "NH2");
  EXPECT_STREQ(g_LabelCodes[20], "^Br");
  EXPECT_STREQ(g_LabelCodes[21], "");
  EXPECT_EQ(FindLabelCode("Cl"), 10);
  EXPECT_EQ(FindLabelCode("Xe"), -1);
}

// Five bonds of all three kinds, three labels (code 0, code 21 and inline),
// one circle, no name.
const Bytes kFiveBondBody = {
    0x02, 0x02, 0x01, 0x03, 0x01,  // counts: full, half, linked, labels, circles
    0xE1, 0x00,                    // types 1 0 2 3 | 0: two bytes for five bonds
    0x00, 0x00, 0x0A, 0x00,        // full (0,0)-(10,0)
    0x0A, 0x00, 0x7F, 0x49, 0x05,  // full (10,0)-(200,5)
    0x82, 0x7F, 0x00, 0x01,        // half (-126,127) to endpoint 1
    0x7F, 0x7F, 0x01, 0x81, 0x00, 0x04,  // half (255,-127) to endpoint 4
    0x00, 0x06,                    // linked endpoints 0 and 6
    0x03, 0x00,                    // label at endpoint 3, code 0
    0x7F, 0x7F, 0x01, 0x14, 0xEC, 0x15,  // label at (20,-20), code 21
    0xFF, 0x01, 0x02, 'M', 'e', 0x00,    // label at (1,2) by -1, inline "Me"
    0x05, 0x06,                    // circle at (5,6)
    0x00,                          // no name
};

TEST(RecordBody, DecodesEveryBondFormReferenceAndLabelForm) {
  fakehost::FakeProcessor host;
  CSREADREC* rr = NewReadRecord();
  ASSERT_EQ(ExpandRecordBody(&host, "lib.sdb", kFiveBondBody.data(),
                             static_cast<UINT>(kFiveBondBody.size()), rr),
            0);
  ASSERT_EQ(rr->nBonds, 5);
  EXPECT_EQ(Bytes(rr->pBondTypes, rr->pBondTypes + 5), (Bytes{1, 0, 2, 3, 0}));
  const std::vector<std::pair<LONG, LONG>> want = {
      {0, 0},     {10, 0},    {10, 0},  {200, 5},   {-126, 127}, {10, 0},  {255, -127},
      {-126, 127}, {0, 0},    {255, -127}, {200, 5}, {20, -20},   {1, 2},   {5, 6}};
  ASSERT_EQ(rr->nPoints, want.size());
  for (size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(rr->pPoints[i].x, want[i].first) << i;
    EXPECT_EQ(rr->pPoints[i].y, want[i].second) << i;
  }
  EXPECT_EQ(rr->iFirstLabel, 10);
  EXPECT_EQ(rr->iFirstCircle, 13);
  EXPECT_EQ(rr->nLabels, 3);
  EXPECT_EQ(rr->cbLabels, 2 + 1 + 3);
  EXPECT_EQ(std::string(rr->pLabels, 7), std::string(" \0\0Me\0\0", 7));
  EXPECT_TRUE(host.errors.empty());
  FreeReadRecord(rr);
}

TEST(RecordBody, CorruptOrShortBodiesAreRefusedWithThePath) {
  fakehost::FakeProcessor host;
  auto refuse = [&](Bytes body, const char* why) {
    CSREADREC* rr = NewReadRecord();
    host.errors.clear();
    EXPECT_EQ(ExpandRecordBody(&host, "C:\\x.sdb", body.data(), static_cast<UINT>(body.size()), rr),
              521)
        << why;
    ASSERT_EQ(host.errors.size(), 1u) << why;
    EXPECT_EQ(host.errors[0].second, "Bad structure read, file may be corrupt (C:\\x.sdb)");
    FreeReadRecord(rr);
  };
  Bytes refAhead = kFiveBondBody;
  refAhead[19] = 0x05;  // five endpoints are known at that byte (its own new one included)
  refuse(refAhead, "reference to an endpoint not yet read");
  Bytes labelRef = kFiveBondBody;
  labelRef[28] = 0x0A;  // label at endpoint 10 of 10
  refuse(labelRef, "label position beyond the endpoints");
  for (size_t cut = 0; cut < kFiveBondBody.size() - 1; ++cut)
    refuse(Bytes(kFiveBondBody.begin(), kFiveBondBody.begin() + cut), "body cut short");
  Bytes negative = kFiveBondBody;
  negative[3] = 0xFF;
  refuse(negative, "negative count");
  Bytes noNul = {1, 0, 0, 1, 0, 0, 1, 2, 3, 4, 0x7F, 0x7F, 0x01, 0, 0, 'A', 'B'};
  refuse(noNul, "inline label text running past the body");
}

TEST(RecordBody, NameIsCutTo49Characters) {
  fakehost::FakeProcessor host;
  // The name runs to the end of the body: no NUL.
  const std::string bytes = std::string("\1\0\0\0\0\0\1\2\3\4", 10) + std::string(60, 'n');
  const Bytes body(bytes.begin(), bytes.end());
  CSREADREC* rr = NewReadRecord();
  ASSERT_EQ(ExpandRecordBody(&host, "x", body.data(), static_cast<UINT>(body.size()), rr), 0);
  EXPECT_EQ(std::string(rr->szName), std::string(49, 'n'));
  FreeReadRecord(rr);
}

TEST(Bounds, OneBondIsCentredWithItsMargin) {
  fakehost::FakeProcessor host;
  Bytes body = {1, 0, 0, 0, 0, 0, 0x00, 0x00, 0x7F, 0x7F, 0x02, 0x00, 0x00};  // (0,0)-(256,0)
  CSREADREC* rr = NewReadRecord();
  ASSERT_EQ(ExpandRecordBody(&host, "x", body.data(), static_cast<UINT>(body.size()), rr), 0);
  ComputeBoundsAndCentre(rr);
  EXPECT_EQ(rr->pPoints[0].x, -128);
  EXPECT_EQ(rr->pPoints[1].x, 128);
  EXPECT_EQ(rr->rcBounds.left, -130);
  EXPECT_EQ(rr->rcBounds.right, 130);
  EXPECT_EQ(rr->rcBounds.top, 2);
  EXPECT_EQ(rr->rcBounds.bottom, -2);
  EXPECT_EQ(rr->lReserved, 10);
  FreeReadRecord(rr);
}

TEST(Bounds, LabelsWidenByTheirLength) {
  fakehost::FakeProcessor host;
  // bond (0,0)-(10,0); label "NH2" (code 7) at endpoint 1
  Bytes body = {1, 0, 0, 1, 0, 0, 0, 0, 10, 0, 1, 7, 0};
  CSREADREC* rr = NewReadRecord();
  ASSERT_EQ(ExpandRecordBody(&host, "x", body.data(), static_cast<UINT>(body.size()), rr), 0);
  ComputeBoundsAndCentre(rr);
  // left = 10 - 6*3 - 6 - 2 = -16, right = 10 + 24 + 2 = 36: centre 10.
  EXPECT_EQ(rr->rcBounds.left, -26);
  EXPECT_EQ(rr->rcBounds.right, 26);
  EXPECT_EQ(rr->pPoints[2].x, 0);
  FreeReadRecord(rr);
}

TEST(DrawRecord, DuplicateIsAByteCopyEvenWithOddPointOffset) {
  const size_t cb = CSDRAWREC_HEADER + 3 + 6 * 8;
  auto* rec = static_cast<CSDRAWREC*>(std::calloc(cb, 1));
  rec->cbTotal = cb;
  rec->nBonds = 3;
  rec->offBondTypes = CSDRAWREC_HEADER;
  rec->offPoints = CSDRAWREC_HEADER + 3;  // odd: points are unaligned
  rec->offLabels = static_cast<WORD>(cb);
  for (int i = 0; i < 6; ++i) SetRecPoint(rec, i, POINT{i * 7, -i});
  CSDRAWREC* copy = DuplicateStructureRecord(rec);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(std::memcmp(copy, rec, cb), 0);
  EXPECT_EQ(RecPoint(copy, 5).x, 35);
  EXPECT_EQ(RecPoint(copy, 5).y, -5);
  EXPECT_EQ(DuplicateStructureRecord(nullptr), nullptr);
  std::free(copy);
  std::free(rec);
}

}  // namespace
