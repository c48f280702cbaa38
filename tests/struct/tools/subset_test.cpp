// The subset of a library by a list of IDs: the bytes of both outputs for any
// line ends, refusals before anything is opened, an abort, and failures that
// leave an index pointing only at whole records.
#include <gtest/gtest.h>
#include <platform/env.h>

#include <map>
#include <platform/env.h>

#include "core/app.h"
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

}  // namespace
