// The subset of a library by a list of IDs: the bytes of both outputs for any
// line ends, the records the index search finds whether the index is read
// whole or searched on disk, refusals before anything is opened, an abort,
// and failures that leave an index pointing only at whole records.
#include <gtest/gtest.h>
#include <platform/env.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <random>

#include "core/app.h"
#include "database/fileio.h"
#include "database/lookup.h"
#include "resources/resource.h"
#include "support/fakehost.h"
#include "support/libbytes.h"
#include "testutil/faultsweep.h"
#include "testutil/tempdir.h"
#include "tools/entries.h"
#include "tools/subset.h"

using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

namespace {

class SubsetTest : public ::testing::Test {
 protected:
  SubsetTest() {
    bodies_ = {libbytes::SimpleBody(0, 0, 10, 0, "A"), libbytes::SimpleBody(0, 0, 0, 10, "BB"),
               libbytes::SimpleBody(1, 2, 3, 4, "")};
    WriteFileBytes(dir_.file("src.sdb"), libbytes::DataFile(0, bodies_, &offsets_));
    WriteFileBytes(dir_.file("src.ind"),
                   libbytes::IndexFile({{50000, offsets_[0]}, {64175, offsets_[1]},
                                        {7732185, offsets_[2]}}));
  }
  ~SubsetTest() override { platform::ClearFaults(); }

  short Run(const std::string& list, PROGRESSPROC progress = nullptr) {
    WriteFileBytes(dir_.file("lib.txt"), list);
    return SubsetDatabase(client_.get(), dir_.file("lib.txt").c_str(),
                          dir_.file("src").c_str(), progress);
  }
  // The kind byte and the bodies of the given source records behind their
  // length words.
  std::string Data(std::initializer_list<int> which) {
    std::vector<libbytes::Bytes> b;
    for (int i : which) b.push_back(bodies_[i]);
    return libbytes::DataFile(1, b);
  }

  AFX_MAINTAIN_STATE state_{AfxGetStaticModuleState()};
  testutil::TempDir dir_;
  fakehost::FakeProcessor host_;
  fakehost::Client client_{host_};
  std::vector<libbytes::Bytes> bodies_;
  std::vector<int32_t> offsets_;
};

TEST_F(SubsetTest, CopiesListedRecordsInListOrderWithASortedIndexForAnyLineEnds) {
  // Descending, a repeat, an ID the source lacks.
  const std::string crlf = "7732185\r\n  64175\r\n999\r\n7732185\r\n50000\r\n";
  platform::SetTickCount(1000);
  ASSERT_EQ(Run(crlf, ReportToolProgress), 0);
  platform::UseRealClock();
  ASSERT_EQ(host_.statusTexts.size(), 1u);  // the first at once, then one a second
  EXPECT_EQ(host_.statusTexts[0].second, "CSSubset: 7732185 done, 23.0% complete");
  const std::string data = Data({2, 1, 0});
  const int32_t rec1 = 1 + 2 + static_cast<int32_t>(bodies_[2].size());
  const int32_t rec2 = rec1 + 2 + static_cast<int32_t>(bodies_[1].size());
  const std::string index = libbytes::IndexFile({{50000, rec2}, {64175, rec1}, {7732185, 1}});
  EXPECT_EQ(ReadFileBytes(dir_.file("lib.sdb")), data);
  EXPECT_EQ(ReadFileBytes(dir_.file("lib.ind")), index);
  EXPECT_TRUE(host_.errors.empty());
  for (const std::string list : {"7732185\n  64175\n999\n7732185\n50000",
                                 "7732185\r64175\n\r999\n7732185\r50000\r"}) {
    SCOPED_TRACE(list);
    ASSERT_EQ(Run(list), 0);
    EXPECT_EQ(ReadFileBytes(dir_.file("lib.sdb")), data);
    EXPECT_EQ(ReadFileBytes(dir_.file("lib.ind")), index);
  }
  EXPECT_EQ(platform::OpenFileHandles(), 0);
  // An over-long line keeps its start and drops the rest, not read as an ID.
  ASSERT_EQ(Run("64175" + std::string(300, ' ') + "50000\r\n"), 0);
  EXPECT_EQ(ReadFileBytes(dir_.file("lib.sdb")), Data({1}));
}

TEST_F(SubsetTest, CopiesWhatTheIndexSearchFindsEvenInADamagedIndex) {
  // Keys out of order and repeated, entries without a record, a record
  // longer than the first read of one.
  bodies_.push_back(libbytes::SimpleBody(5, 6, 7, 8, std::string(700, 'n')));
  offsets_.clear();
  WriteFileBytes(dir_.file("src.sdb"), libbytes::DataFile(0, bodies_, &offsets_));
  std::mt19937 rng(5);
  std::vector<std::pair<int32_t, int32_t>> entries;
  for (int i = 0; i < 300; ++i)
    entries.push_back({1 + static_cast<int32_t>(rng() % 200), offsets_[rng() % offsets_.size()]});
  std::sort(entries.begin(), entries.end());
  for (int i = 0; i < 40; ++i) std::swap(entries[rng() % 300], entries[rng() % 300]);
  for (int i = 0; i < 300; i += 7) entries[i].second = 0;
  WriteFileBytes(dir_.file("src.ind"), libbytes::IndexFile(entries));

  std::vector<int> found(211, -1);  // the body each key's search leads to
  HANDLE h = OpenForReading(dir_.file("src.ind").c_str());
  for (int32_t key = 1; key <= 210; ++key) {
    const LONG offset = FindIndexEntryIn(&host_, h, key);
    for (size_t b = 0; b < offsets_.size(); ++b)
      if (offset != 0 && offsets_[b] == offset) found[key] = static_cast<int>(b);
  }
  CloseHandle(h);
  // The whole list at once reads the index whole; one key a list searches it
  // on disk.
  std::string list;
  std::vector<libbytes::Bytes> copied;
  std::vector<std::pair<int32_t, int32_t>> index;
  int32_t at = 1;
  for (int32_t key = 1; key <= 210; ++key) {
    list += std::to_string(key) + "\n";
    ASSERT_EQ(Run(std::to_string(key) + "\n"), 0);
    if (found[key] < 0) {
      EXPECT_EQ(ReadFileBytes(dir_.file("lib.sdb")), libbytes::DataFile(1, {})) << key;
      continue;
    }
    EXPECT_EQ(ReadFileBytes(dir_.file("lib.sdb")), Data({found[key]})) << key;
    copied.push_back(bodies_[found[key]]);
    index.push_back({key, at});
    at += 2 + static_cast<int32_t>(bodies_[found[key]].size());
  }
  ASSERT_EQ(Run(list), 0);
  EXPECT_EQ(ReadFileBytes(dir_.file("lib.sdb")), libbytes::DataFile(1, copied));
  EXPECT_EQ(ReadFileBytes(dir_.file("lib.ind")), libbytes::IndexFile(index));
  EXPECT_TRUE(host_.errors.empty());
}

TEST_F(SubsetTest, RefusesNamesThatWouldReplaceTheListOrTheSource) {
  EXPECT_EQ(SubsetCmd(client_.get(), nullptr), IDS_ERR_BADPARAM);
  CString name(dir_.file("lib.txt").c_str());
  OBJ_BASECLASS list{};
  list.pWord1 = &name;
  OBJ_BASECLASS* args[4] = {&list, nullptr, nullptr, nullptr};
  EXPECT_EQ(SubsetCmd(client_.get(), args), IDS_ERR_BADPARAM);
  ASSERT_EQ(host_.errors.size(), 2u);
  EXPECT_NE(host_.errors[0].second.find("(1)"), std::string::npos);
  EXPECT_NE(host_.errors[1].second.find("(2)"), std::string::npos);

  WriteFileBytes(dir_.file("x.sdb"), "50000\r\n");
  EXPECT_EQ(SubsetDatabase(client_.get(), dir_.file("x.sdb").c_str(), dir_.file("src").c_str(),
                           nullptr),
            IDS_ERR_BADPARAM);
  EXPECT_EQ(ReadFileBytes(dir_.file("x.sdb")), "50000\r\n");
  const std::string source = ReadFileBytes(dir_.file("src.sdb"));
  WriteFileBytes(dir_.file("src.txt"), "50000\r\n");
  EXPECT_EQ(SubsetDatabase(client_.get(), dir_.file("src.txt").c_str(),
                           dir_.file("SRC.IND").c_str(), nullptr),
            IDS_ERR_BADPARAM);
  EXPECT_EQ(ReadFileBytes(dir_.file("src.sdb")), source);
}

TEST_F(SubsetTest, AnAbortKeepsWhatWasCopiedAndFailuresLeaveWholeRecords) {
  GetStructApp().m_bAbort = 1;
  EXPECT_EQ(Run("50000\r\n"), 0);
  EXPECT_EQ(ReadFileBytes(dir_.file("lib.sdb")), std::string(1, '\1'));
  EXPECT_EQ(ReadFileBytes(dir_.file("lib.ind")), "");

  // Any write or read failing: the data file holds whole records, and the
  // index all of them or (its own write failed) none.
  const int32_t second = static_cast<int32_t>(Data({0}).size());
  const int32_t third = static_cast<int32_t>(Data({0, 1}).size());
  const std::map<std::string, std::string> indexOf = {
      {"", ""},
      {Data({}), ""},
      {Data({0}), libbytes::IndexFile({{50000, 1}})},
      {Data({0, 1}), libbytes::IndexFile({{50000, 1}, {64175, second}})},
      {Data({0, 1, 2}), libbytes::IndexFile({{50000, 1}, {64175, second}, {7732185, third}})}};
  auto run = [&] { Run("50000\r\n64175\r\n7732185\r\n"); };
  auto check = [&](int) {
    auto it = indexOf.find(ReadFileBytes(dir_.file("lib.sdb")));
    ASSERT_NE(it, indexOf.end()) << ReadFileBytes(dir_.file("lib.sdb")).size();
    const std::string index = ReadFileBytes(dir_.file("lib.ind"));
    EXPECT_TRUE(index == it->second || index.empty());
  };
  testutil::SweepFaults(platform::FaultOp::WriteFile, platform::FaultKind::ShortWrite, run, check);
  testutil::SweepFaults(platform::FaultOp::ReadFile, platform::FaultKind::Fail, run, check);
  testutil::SweepFaults(platform::FaultOp::HeapAlloc, platform::FaultKind::Fail, run, check);

  // A source cut inside its last record: 521 naming it, the rest indexed.
  const std::string source = ReadFileBytes(dir_.file("src.sdb"));
  WriteFileBytes(dir_.file("src.sdb"), source.substr(0, source.size() - 3));
  EXPECT_EQ(Run("64175\r\n7732185\r\n50000\r\n"), IDS_ERR_BADSTRUCTURE);
  EXPECT_NE(host_.errors.back().second.find("src.sdb"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(dir_.file("lib.sdb")), Data({1}));
  EXPECT_EQ(ReadFileBytes(dir_.file("lib.ind")), libbytes::IndexFile({{64175, 1}}));
  EXPECT_EQ(platform::OpenFileHandles(), 0);
}

// Output that outgrows the block the records are gathered in: written whole,
// and a write failing in any block leaves whole records, all indexed.
TEST_F(SubsetTest, LongRunsAreWrittenWholeAndFailuresStillLeaveWholeRecords) {
  std::vector<libbytes::Bytes> bodies;
  std::vector<std::pair<int32_t, int32_t>> entries;
  std::string list;
  for (int i = 0; i < 2500; ++i) bodies.push_back(libbytes::SimpleBody(1, 2, 3, 4, std::string(90, 'a' + i % 26)));
  std::vector<int32_t> offsets;
  WriteFileBytes(dir_.file("src.sdb"), libbytes::DataFile(0, bodies, &offsets));
  for (int i = 0; i < 2500; ++i) {
    entries.push_back({1000 + i, offsets[i]});
    list += std::to_string(1000 + (i * 7) % 2500) + "\r\n";
  }
  WriteFileBytes(dir_.file("src.ind"), libbytes::IndexFile(entries));
  std::vector<libbytes::Bytes> expected;
  for (int i = 0; i < 2500; ++i) expected.push_back(bodies[(i * 7) % 2500]);
  const std::string all = libbytes::DataFile(1, expected);
  ASSERT_GT(all.size(), 128u * 1024);
  ASSERT_EQ(Run(list), 0);
  EXPECT_EQ(ReadFileBytes(dir_.file("lib.sdb")), all);
  EXPECT_EQ(ReadFileBytes(dir_.file("lib.ind")).size(), 2500u * 8);
  auto check = [&](int) {
    const std::string data = ReadFileBytes(dir_.file("lib.sdb"));
    ASSERT_EQ(all.compare(0, data.size(), data), 0);
    // Whole records: the index entries are those of the records held.
    size_t held = 0;
    for (size_t at = 1; at < data.size(); ++held) at += 2 + (static_cast<uint8_t>(data[at]) | static_cast<uint8_t>(data[at + 1]) << 8);
    const std::string index = ReadFileBytes(dir_.file("lib.ind"));
    EXPECT_TRUE(index.size() == held * 8 || index.empty()) << held;
  };
  EXPECT_GT(testutil::SweepFaults(platform::FaultOp::WriteFile, platform::FaultKind::ShortWrite,
                                  [&] {
                                    std::filesystem::remove(dir_.file("lib.sdb"));
                                    std::filesystem::remove(dir_.file("lib.ind"));
                                    Run(list);
                                  },
                                  check),
            3);
}

}  // namespace
