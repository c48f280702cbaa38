// Finding and reading records: index search, record numbers with the
// sequential-read shortcut, the lookup mode and the configured libraries.
#include <gtest/gtest.h>
#include <platform/env.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

#include "database/lookup.h"
#include "core/dllinfo.h"
#include "support/fakehost.h"
#include "support/libbytes.h"
#include "testutil/faultsweep.h"
#include "testutil/tempdir.h"

using libbytes::DataFile;
using libbytes::IndexFile;
using libbytes::SimpleBody;
using testutil::WriteFileBytes;

namespace {

class LookupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetSystemDirectory(tmp_.path().string());
    // Records 1..4; CAS 50-00-0 is record 2, 64-17-5 record 4, record 3 has no key.
    lib_ = tmp_.file("lib.sdb");
    std::vector<int32_t> off;
    WriteFileBytes(lib_,
                   DataFile(0,
                            {SimpleBody(0, 0, 10, 0, "first"), SimpleBody(0, 0, 20, 0, ""),
                             SimpleBody(0, 0, 30, 0, "third"), SimpleBody(0, 0, 40, 0, "fourth")},
                            &off));
    offsets_ = off;
    WriteFileBytes(tmp_.file("lib.ind"), IndexFile({{50000, off[1]}, {64175, off[3]}}));
  }
  void TearDown() override {
    platform::SetSystemDirectory("");
    platform::ClearFaults();
  }
  void Configure(const std::vector<std::string>& libs) {
    std::string ini = "[Databases]\r\n";
    for (size_t i = 0; i < libs.size(); ++i)
      ini += "L" + std::to_string(i) + "=" + libs[i] + "\r\n";
    WriteFileBytes(tmp_.file("struct.ini"), ini);
  }
  CSDRAWREC* Load(LONG id, short* status = nullptr, const std::string& path = "") {
    CSDRAWREC* rec = nullptr;
    short s = LoadStructureFromFile(&host_, &info_, (path.empty() ? lib_ : path).c_str(), id, &rec);
    if (status) *status = s;
    return rec;
  }

  AFX_MAINTAIN_STATE state_{AfxGetStaticModuleState()};
  fakehost::FakeProcessor host_;
  STRUCT_DLL_INFO info_;
  testutil::TempDir tmp_;
  std::string lib_;
  std::vector<int32_t> offsets_;
};

TEST_F(LookupTest, IndexSearchFindsEveryKeyOfAnyIndexSize) {
  for (int n = 0; n <= 9; ++n) {
    std::vector<std::pair<int32_t, int32_t>> entries;
    for (int i = 0; i < n; ++i) entries.push_back({-5 + 10 * i, 100 + i});
    WriteFileBytes(tmp_.file("idx.ind"), IndexFile(entries));
    for (int i = 0; i < n; ++i) {
      EXPECT_EQ(FindIndexEntry(&host_, tmp_.file("idx.sdb").c_str(), -5 + 10 * i), 100 + i)
          << n << " " << i;
      EXPECT_EQ(FindIndexEntry(&host_, tmp_.file("idx.sdb").c_str(), -4 + 10 * i), 0);
    }
    EXPECT_EQ(FindIndexEntry(&host_, tmp_.file("idx.sdb").c_str(), -6), 0);
  }
  EXPECT_EQ(FindIndexEntry(&host_, tmp_.file("none.sdb").c_str(), 50000), 0);
  EXPECT_TRUE(host_.errors.empty());
}

TEST_F(LookupTest, IndexSearchReadsNoMoreThanTheSearchNeeds) {
  // Sizes around the block the last probes are read in (512 entries).
  for (int n : {1000, 100000}) {
    std::vector<std::pair<int32_t, int32_t>> entries;
    for (int i = 0; i < n; ++i) entries.push_back({i * 2, i + 1});
    WriteFileBytes(tmp_.file("big.ind"), IndexFile(entries));
    const int bound = static_cast<int>(std::ceil(std::log2(n))) + 2;
    for (LONG key : {0, 1, 998, 2 * n - 2, 2 * n - 1, 777, n, n + 1}) {
      platform::ClearFaults();
      EXPECT_EQ(FindIndexEntry(&host_, tmp_.file("big.sdb").c_str(), key), key % 2 ? 0 : key / 2 + 1)
          << n << " " << key;
      EXPECT_LE(platform::CallCount(platform::FaultOp::ReadFile), bound) << key;
      EXPECT_EQ(platform::CallCount(platform::FaultOp::CreateFile), 1) << key;
    }
  }
}

TEST_F(LookupTest, ShortIndexReadIsReportedAndFindsNothing) {
  platform::InjectFault(platform::FaultOp::ReadFile, 2);
  EXPECT_EQ(FindIndexEntry(&host_, lib_.c_str(), 64175), 0);
  ASSERT_EQ(host_.errors.size(), 1u);
  EXPECT_EQ(host_.errors[0].first, 528);
}

TEST_F(LookupTest, ByCasNumberNamesAndCentresTheRecord) {
  short status;
  CSDRAWREC* rec = Load(50000, &status);
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(status, 0);
  EXPECT_EQ(rec->lId, 50000);
  EXPECT_STREQ(rec->szName, "CAS # 50-00-0");  // the record has no name of its own
  EXPECT_EQ(rec->nBonds, 1);
  EXPECT_EQ(RecPoint(rec, 0).x, -10);
  EXPECT_EQ(RecPoint(rec, 1).x, 10);
  EXPECT_EQ(rec->iFirstLabel, 2);
  EXPECT_EQ(rec->iFirstCircle, 2);
  EXPECT_EQ(rec->offLabels, rec->cbTotal);
  EXPECT_EQ(rec->cbTotal, CSDRAWREC_HEADER + 1u + 16u);
  EXPECT_EQ(rec->lReserved, 10);
  EXPECT_EQ(std::memcmp(&rec->drawOpts, &info_.drawOpts, sizeof info_.drawOpts), 0);
  // Everything after the name's NUL stays clear.
  for (size_t i = std::strlen(rec->szName); i < sizeof rec->szName; ++i)
    EXPECT_EQ(rec->szName[i], 0);
  std::free(rec);
}

TEST_F(LookupTest, ByRecordNumberAndItsFailures) {
  CSDRAWREC* rec = Load(-2);
  ASSERT_NE(rec, nullptr);
  EXPECT_STREQ(rec->szName, "Rec # 2 ");
  EXPECT_EQ(rec->lId, -2);
  std::free(rec);
  rec = Load(-3);
  EXPECT_STREQ(rec->szName, "third");
  std::free(rec);

  short status;
  EXPECT_EQ(Load(-5, &status), nullptr);
  EXPECT_EQ(status, 527);
  EXPECT_EQ(host_.errors.back().second, "Structure data base does not contain record #5");
  EXPECT_EQ(Load(0, &status), nullptr);  // records count from 1
  EXPECT_EQ(status, 527);
  EXPECT_EQ(Load(INT32_MIN, &status), nullptr);  // its record number is past 32 bits
  EXPECT_EQ(status, 527);
  EXPECT_EQ(host_.errors.back().second,
            "Structure data base does not contain record #2147483648");
  EXPECT_EQ(Load(12345, &status), nullptr);
  EXPECT_EQ(status, 526);
  EXPECT_EQ(host_.errors.back().second, "Structure data base does not contain CAS #12-34-5");
  EXPECT_EQ(Load(1, &status, tmp_.file("missing.sdb")), nullptr);
  EXPECT_EQ(status, 529);
  // Data file present, index missing: a CAS number is not found.
  std::filesystem::remove(tmp_.file("lib.ind"));
  EXPECT_EQ(Load(50000, &status), nullptr);
  EXPECT_EQ(status, 526);
}

TEST_F(LookupTest, RecordsInOrderUseTheShortcutUntilAnotherFileIsRead) {
  WriteFileBytes(tmp_.file("other.sdb"),
                 DataFile(0, {SimpleBody(0, 0, 5, 0, "a"), SimpleBody(0, 0, 5, 0, "b"),
                              SimpleBody(0, 0, 5, 0, "c")}));
  auto readsFor = [&](LONG id, const std::string& path) {
    platform::ClearFaults();
    std::free(Load(id, nullptr, path));
    return platform::CallCount(platform::FaultOp::ReadFile);
  };
  EXPECT_EQ(readsFor(-1, lib_), 2);  // length and body
  EXPECT_EQ(readsFor(-2, lib_), 2);
  EXPECT_EQ(readsFor(-3, lib_), 2);
  EXPECT_EQ(readsFor(-3, tmp_.file("other.sdb")), 4);  // a scan: three lengths and a body
  EXPECT_EQ(readsFor(-4, lib_), 5);                    // the shortcut is gone
  EXPECT_EQ(readsFor(-1, lib_), 2);
  std::free(Load(64175));  // a CAS read clears the shortcut
  EXPECT_EQ(readsFor(-2, lib_), 3);
}

TEST_F(LookupTest, LookupModeNamesRecordsByTheirKey) {
  info_.lMode = 1;
  CSDRAWREC* rec = Load(-2);
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(rec->lId, 50000);
  EXPECT_STREQ(rec->szName, "Rec # 2  (50-00-0)");
  std::free(rec);
  EXPECT_EQ(info_.lNextRecord, 3) << "reading in order keeps its shortcut in this mode too";
  short status;
  EXPECT_EQ(Load(-3, &status), nullptr);  // no index entry points at record 3
  EXPECT_EQ(status, 527);
}

TEST_F(LookupTest, ConfiguredLibrariesInOrderFirstOneWins) {
  std::string second = tmp_.file("second.sdb");
  std::vector<int32_t> off;
  WriteFileBytes(
      second,
      DataFile(1, {SimpleBody(0, 0, 1, 0, "from second"), SimpleBody(0, 0, 1, 0, "only in second")},
               &off));
  WriteFileBytes(tmp_.file("second.ind"), IndexFile({{50000, off[0]}, {71432, off[1]}}));

  CSDRAWREC* rec = nullptr;
  EXPECT_EQ(LoadStructure(&host_, &info_, 50000, &rec), 542);  // nothing configured
  Configure({lib_, second});
  ASSERT_EQ(LoadStructure(&host_, &info_, 50000, &rec), 0);
  EXPECT_STREQ(rec->szName, "CAS # 50-00-0");
  std::free(rec);
  EXPECT_EQ(FindInAnyDatabase(&host_, &info_, 71432), off[1]);
  host_.errors.clear();
  ASSERT_EQ(LoadStructure(&host_, &info_, 71432, &rec), 0);
  EXPECT_STREQ(rec->szName, "only in second");
  EXPECT_TRUE(host_.errors.empty());  // the library passed over is not reported
  std::free(rec);

  Configure({second, lib_});
  ASSERT_EQ(LoadStructure(&host_, &info_, 50000, &rec), 0);
  EXPECT_STREQ(rec->szName, "from second");
  std::free(rec);
  EXPECT_EQ(LoadStructure(&host_, &info_, 11111, &rec), 526);
  EXPECT_EQ(rec, nullptr);
  EXPECT_EQ(host_.errors.size(), 1u);

  // A damaged library passed over is reported all the same: its index
  // points past its data file.
  std::string damaged = tmp_.file("damaged.sdb");
  WriteFileBytes(damaged, DataFile(1, {SimpleBody(0, 0, 1, 0, "x")}));
  WriteFileBytes(tmp_.file("damaged.ind"), IndexFile({{71432, 100000}}));
  Configure({damaged, second});
  host_.errors.clear();
  ASSERT_EQ(LoadStructure(&host_, &info_, 71432, &rec), 0);
  EXPECT_STREQ(rec->szName, "only in second");
  std::free(rec);
  ASSERT_EQ(host_.errors.size(), 1u);
  EXPECT_EQ(host_.errors[0].first, 521);
}

TEST_F(LookupTest, FailedReadsLeakNothing) {
  EXPECT_GT(testutil::SweepFaults(platform::FaultOp::LocalAlloc, [&] { std::free(Load(-4)); }), 0);
  EXPECT_GT(testutil::SweepFaults(platform::FaultOp::ReadFile, [&] { std::free(Load(64175)); }), 2);
  EXPECT_GT(testutil::SweepFaults(platform::FaultOp::HeapAlloc, [&] { std::free(Load(64175)); }), 2);
}

}  // namespace
