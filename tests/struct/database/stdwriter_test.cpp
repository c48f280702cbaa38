// The standard-library writer: shared endpoints become half and linked bonds,
// labels use codes where the table has them, and everything reads back.
#include <gtest/gtest.h>

#include <platform/env.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "database/lookup.h"
#include "database/packed.h"
#include "database/stdwriter.h"
#include "core/dllinfo.h"
#include "support/fakehost.h"
#include "testutil/tempdir.h"

namespace {

// A hexagon with alternating bonds, a hydroxy label on one corner, a chloro
// label off the ring, a separate two-atom piece and a name.
StdStructure Phenolish() {
  StdStructure s;
  s.lKey = 108952;
  s.name = "Phenol-ish";
  const POINT ring[6] = {{40, 0}, {20, 35}, {-20, 35}, {-40, 0}, {-20, -35}, {20, -35}};
  for (int i = 0; i < 6; ++i)
    s.bonds.push_back(
        {ring[i], ring[(i + 1) % 6], static_cast<BYTE>(i % 2 ? BOND_SINGLE : BOND_DOUBLE)});
  s.bonds.push_back({ring[0], POINT{80, 0}, BOND_SINGLE});
  s.bonds.push_back({POINT{200, 200}, POINT{240, 200}, BOND_TRIPLE});
  s.labels.push_back({POINT{80, 0}, "OH"});
  s.labels.push_back({POINT{300, -300}, "Xq"});
  s.labels.push_back({POINT{240, 200}, ""});
  return s;
}

TEST(StandardWriter, SharesEndpointsAndUsesLabelCodes) {
  StdStructure s = Phenolish();
  std::vector<BYTE> body;
  std::string why;
  ASSERT_TRUE(EncodeStandardRecord(s, body, why)) << why;
  // Two pieces: two full bonds; the ring and its hydroxy (seven atoms, two
  // from the full bond) grow by five half bonds and close with one linked bond.
  EXPECT_EQ(body[0], 2);
  EXPECT_EQ(body[1], 5);
  EXPECT_EQ(body[2], 1);
  EXPECT_EQ(body[3], 3);
  EXPECT_EQ(body[4], 0);
  // The record ends with the name and its NUL.
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(body.data()) + body.size() - 11),
            "Phenol-ish");
  EXPECT_EQ(body.back(), 0);
}

TEST(StandardWriter, RefusesWhatTheFormatCannotHold) {
  StdStructure s;
  for (int i = 0; i < 128; ++i) s.bonds.push_back({POINT{i * 100, 0}, POINT{i * 100 + 10, 0}, 0});
  std::vector<BYTE> body;
  std::string why;
  EXPECT_FALSE(EncodeStandardRecord(s, body, why));
  EXPECT_NE(why.find("127"), std::string::npos);
}

TEST(StandardWriter, FarCoordinatesTakeTheirWholeRun) {
  // 20000 units need 158 continuation bytes; the record still fits.
  StdStructure s;
  s.bonds.push_back({POINT{0, 0}, POINT{20000, -20000}, 0});
  std::vector<BYTE> body;
  std::string why;
  ASSERT_TRUE(EncodeStandardRecord(s, body, why)) << why;
  const BYTE* p = body.data() + 6;  // counts and the packed bond type
  LONG v[4];
  for (LONG& c : v) ASSERT_TRUE(ReadPackedValue(p, body.data() + body.size(), &c));
  EXPECT_EQ(v[2], 20000);
  EXPECT_EQ(v[3], -20000);
  // Beyond what a record can hold it is refused, not overrun.
  s.bonds[0].p2 = POINT{2000000000, 0};
  EXPECT_FALSE(EncodeStandardRecord(s, body, why));
}

TEST(StandardWriter, LibraryReadsBackWithCirclesAndCodes) {
  AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
  fakehost::FakeProcessor host;
  STRUCT_DLL_INFO info;
  testutil::TempDir tmp;
  StdStructure ring = Phenolish();
  MarkAromaticRings(ring);
  ASSERT_EQ(ring.circles.size(), 1u);
  EXPECT_EQ(ring.circles[0].x, 0);
  EXPECT_EQ(ring.circles[0].y, 0);
  StdStructure other;
  other.lKey = 50000;
  other.bonds.push_back({POINT{0, 0}, POINT{0, 50}, BOND_DOUBLE});
  std::string why;
  ASSERT_TRUE(WriteStandardLibrary(tmp.file("std"), {ring, other}, why)) << why;

  CSDRAWREC* rec = nullptr;
  ASSERT_EQ(LoadStructureFromFile(&host, &info, tmp.file("std.sdb").c_str(), 108952, &rec), 0);
  ASSERT_EQ(rec->nBonds, 8);
  ASSERT_EQ(rec->nCircles, 1);
  ASSERT_EQ(rec->nLabels, 3);
  EXPECT_STREQ(rec->szName, "Phenol-ish");
  // Read back in the writer's bond order, shifted by the centring: compare
  // the set of bonds relative to the circle, which is the ring's centre.
  const POINT c = RecPoint(rec, rec->iFirstCircle);
  int aromatic = 0;
  for (int i = 0; i < rec->nBonds; ++i) {
    POINT a = RecPoint(rec, 2 * i), b = RecPoint(rec, 2 * i + 1);
    bool found = false;
    for (const StdBond& want : ring.bonds) {
      auto same = [&](POINT p, POINT q) { return p.x - c.x == q.x && p.y - c.y == q.y; };
      if (((same(a, want.p1) && same(b, want.p2)) || (same(a, want.p2) && same(b, want.p1))) &&
          RecBondTypes(rec)[i] == want.nType)
        found = true;
    }
    EXPECT_TRUE(found) << "bond " << i;
    aromatic += RecBondTypes(rec)[i] == BOND_AROMATIC;
  }
  EXPECT_EQ(aromatic, 6);
  const char* text = RecLabels(rec);
  EXPECT_STREQ(text, "OH");
  text += 3;
  EXPECT_STREQ(text, "Xq");
  text += 3;
  EXPECT_STREQ(text, "");
  POINT xq = RecPoint(rec, rec->iFirstLabel + 1);
  EXPECT_EQ(xq.x - c.x, 300);
  EXPECT_EQ(xq.y - c.y, -300);
  std::free(rec);

  ASSERT_EQ(LoadStructureFromFile(&host, &info, tmp.file("std.sdb").c_str(), -2, &rec), 0);
  EXPECT_STREQ(rec->szName, "Rec # 2 ");  // written without a name
  std::free(rec);
  EXPECT_TRUE(host.errors.empty());
}

}  // namespace

namespace {

TEST(StandardWriter, AFailedWriteOrRenameKeepsTheOldLibraryWhole) {
  testutil::TempDir tmp;
  const std::string lib = tmp.file("std");
  std::string why;
  ASSERT_TRUE(WriteStandardLibrary(lib, {Phenolish()}, why)) << why;
  const std::string data = testutil::ReadFileBytes(lib + ".sdb");
  const std::string index = testutil::ReadFileBytes(lib + ".ind");
  StdStructure other = Phenolish();
  other.lKey = 50000;
  // Disk full at the index, then each rename of the commit (two steps aside,
  // two into place) failing in turn.
  std::vector<std::pair<platform::FaultOp, int>> faults = {{platform::FaultOp::WriteFile, 2}};
  for (int n = 1; n <= 4; ++n) faults.push_back({platform::FaultOp::MoveFile, n});
  for (const auto& [op, nth] : faults) {
    SCOPED_TRACE(nth);
    platform::InjectFault(op, nth, platform::FaultKind::DiskFull);
    EXPECT_FALSE(WriteStandardLibrary(lib, {other}, why));
    platform::ClearFaults();
    EXPECT_EQ(testutil::ReadFileBytes(lib + ".sdb"), data);
    EXPECT_EQ(testutil::ReadFileBytes(lib + ".ind"), index);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.path()), {}), 2);
  }
  EXPECT_EQ(platform::OpenFileHandles(), 0);
  // Nothing there before: a failure leaves nothing.
  platform::InjectFault(platform::FaultOp::MoveFile, 2);
  EXPECT_FALSE(WriteStandardLibrary(tmp.file("fresh"), {other}, why));
  platform::ClearFaults();
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tmp.path()), {}), 2);
}

}  // namespace
