// Finding and reading records: index search, record numbers with the
// sequential-read shortcut, the lookup mode and the configured libraries.
#include <gtest/gtest.h>
#include <platform/env.h>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <cstdlib>
#include <cstring>

#include "database/lookup.h"
#include "database/probecache.h"
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

// An index unchanged for a while has the top of its search kept between
// lookups: the answers stay those of reading, every change is seen at once.
TEST_F(LookupTest, KeptProbesAnswerAsReadingAndSeeEveryChange) {
  CProbeCache::Clear();
  const std::string big = tmp_.file("big.ind"), data = tmp_.file("big.sdb");
  auto writeIndex = [&](const std::string& path, int n, int32_t offsetBase) {
    std::vector<std::pair<int32_t, int32_t>> entries;
    for (int i = 0; i < n; ++i) entries.push_back({i * 2, offsetBase + i});
    WriteFileBytes(path, IndexFile(entries));
  };
  auto age = [](const std::string& path, int seconds) {
    std::filesystem::last_write_time(path, std::filesystem::file_time_type::clock::now() -
                                               std::chrono::seconds(seconds));
  };
  auto lookup = [&](LONG key, int* reads = nullptr) {
    platform::ClearFaults();
    const LONG r = FindIndexEntry(&host_, data.c_str(), key);
    if (reads) *reads = platform::CallCount(platform::FaultOp::ReadFile);
    return r;
  };
  const int n = 100000;
  writeIndex(big, n, 1);
  age(big, 60);
  const std::vector<LONG> keys{0, 1, 2 * n - 2, 2 * n - 1, 777, 778, n, -3, 123456};
  for (int pass = 0; pass < 2; ++pass) {
    for (LONG key : keys) {
      int reads = 0;
      EXPECT_EQ(lookup(key, &reads), key % 2 || key < 0 || key >= 2 * n ? 0 : key / 2 + 1) << key;
      // Warm: only the block of the last probes (or nothing, a kept hit).
      if (pass == 1) {
        EXPECT_LE(reads, 2) << key;
      }
    }
  }
  // Rewritten in place, same size: seen at once (the write moved its time).
  auto repoint = [&](LONG key, int32_t offset) {  // the entry of key points elsewhere
    HANDLE h = CreateFile(big.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    const auto entry = IndexFile({{key, offset}});
    DWORD done = 0;
    SetFilePointer(h, (key / 2) * 8, nullptr, FILE_BEGIN);
    ASSERT_TRUE(WriteFile(h, entry.data(), 8, &done, nullptr));
    CloseHandle(h);
  };
  const LONG root = (n - 1) / 2 * 2;  // the first probe's key
  repoint(root, 424242);
  EXPECT_EQ(lookup(root), 424242);
  age(big, 30);
  EXPECT_EQ(lookup(root), 424242);
  EXPECT_EQ(lookup(root), 424242);
  // Nothing is kept from a file just written: a second write in the same
  // tick of a coarse clock would leave the same time behind.
  writeIndex(big, n, 1);
  const auto justWritten = std::filesystem::last_write_time(big);
  EXPECT_EQ(lookup(root), root / 2 + 1);
  repoint(root, 434343);
  std::filesystem::last_write_time(big, justWritten);
  EXPECT_EQ(lookup(root), 434343);
  age(big, 30);
  EXPECT_EQ(lookup(root), 434343);
  // Replaced by another file of the same size and time: another file index.
  writeIndex(tmp_.file("other.ind"), n, 5000000);
  age(tmp_.file("other.ind"), 30);
  std::filesystem::last_write_time(tmp_.file("other.ind"), std::filesystem::last_write_time(big));
  std::filesystem::rename(tmp_.file("other.ind"), big);
  EXPECT_EQ(lookup(root), 5000000 + root / 2);
  EXPECT_EQ(lookup(2), 5000001);
  // A damaged (unsorted) index answers the same kept or read.
  std::vector<std::pair<int32_t, int32_t>> shuffled;
  for (int i = 0; i < 3000; ++i) shuffled.push_back({(i * 7919) % 3001, i + 1});
  WriteFileBytes(big, IndexFile(shuffled));
  std::vector<LONG> fresh;
  for (LONG key = 0; key < 3001; key += 37) fresh.push_back(lookup(key));
  age(big, 60);
  for (int pass = 0; pass < 2; ++pass) {
    for (LONG key = 0, i = 0; key < 3001; key += 37, ++i) EXPECT_EQ(lookup(key), fresh[i]) << key;
  }
  EXPECT_TRUE(host_.errors.empty());
  CProbeCache::Clear();
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
