// The maintenance commands: CSPack's statistics of an ASCII structure file
// and CSIPack's binary index, the limits that keep outside input from
// running either away, and their failures.
#include <gtest/gtest.h>
#include <platform/env.h>

#include <cstring>
#include <filesystem>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "resources/resource.h"
#include "server/entries.h"
#include "support/fakehost.h"
#include "testutil/tempdir.h"
#include "tools/entries.h"
#include "tools/pack.h"

using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

namespace {

// With abortAt set, raises the abort request at that progress line; until
// then a second passes on the frozen clock after each, so every report is due.
class AbortingProcessor : public fakehost::FakeProcessor {
 public:
  short ShowStatusText(int channel, LPCSTR text) override {
    if (channel == 9 && abortAt > 0 && --abortAt == 0) OOCPSRV(client, 8, nullptr);
    if (channel == 9 && abortAt > 0) platform::AdvanceTickCount(1000);
    return FakeProcessor::ShowStatusText(channel, text);
  }
  CCpClient* client = nullptr;
  int abortAt = 0;
};

class PackTest : public ::testing::Test {
 protected:
  PackTest() {
    platform::SetDrive('C', tmp_.file("c"));
    platform::SetDrive('D', tmp_.path().string());
    std::filesystem::create_directories(tmp_.file("c"));
    std::filesystem::create_directories(tmp_.file("STRUCT"));
    platform::SetTickCount(5000);
    host_.client = client_.get();
  }
  ~PackTest() override {
    platform::ClearFaults();
    platform::ClearDrives();
    platform::UseRealClock();
  }
  // The command with up to two paths and an optional record range.
  short Run(CommandEntry entry, std::vector<std::string> paths, const double* range = nullptr) {
    CString texts[2];
    OBJ_BASECLASS values[2] = {};
    RANGE_OBJ r{0, 0, {}, nullptr, range ? range[0] : 0, range ? range[1] : 0};
    OBJ_BASECLASS* args[3] = {nullptr, nullptr,
                              range ? reinterpret_cast<OBJ_BASECLASS*>(&r) : nullptr};
    for (size_t i = 0; i < paths.size(); ++i) {
      texts[i] = paths[i].c_str();
      values[i] = OBJ_BASECLASS{0, ARG_STRING, {}, &texts[i], {}, nullptr};
      args[i] = &values[i];
    }
    return entry(client_.get(), args);
  }
  short Pack(const std::string& ascii, const double* range = nullptr) {
    WriteFileBytes(tmp_.file("in.asc"), ascii);
    return Run(PackCmd, {tmp_.file("in.asc"), tmp_.file("out.bin")}, range);
  }
  std::string Stats() { return ReadFileBytes(tmp_.file("STRUCT.STS")); }
  // The statistics line that begins with label.
  std::string StatLine(const std::string& label) {
    const std::string s = Stats();
    const size_t at = s.find(label);
    return at == std::string::npos ? "" : s.substr(at, s.find("\r\n", at) - at);
  }
  short IPack(const std::string& text) {
    WriteFileBytes(tmp_.file("in.txt"), text);
    return Run(IndexPackCmd, {tmp_.file("in.txt"), tmp_.file("out.ind")});
  }
  std::string Binary() { return ReadFileBytes(tmp_.file("out.ind")); }

  testutil::TempDir tmp_;
  AbortingProcessor host_;
  fakehost::Client client_{host_};
};

// Five lines a record: CAS, name, bonds, labels, circles.
std::string Record(const std::string& cas, const std::string& bonds = "0",
                   const std::string& labels = "0", const std::string& circles = "0",
                   const std::string& name = "Name") {
  return "c" + cas + "\r\n" + name + "\r\n" + bonds + "\r\n" + labels + "\r\n" + circles + "\r\n";
}

std::string Entry(int32_t key, int32_t offset) {
  std::string e(8, '\0');
  std::memcpy(e.data(), &key, 4);
  std::memcpy(e.data() + 4, &offset, 4);
  return e;
}

// ---------------------------------------------------------------- CSPack

const std::string kTwoRecords =
    Record("50000", "3 (0,0) (10,0) 1; (10,0) (20,0) 2; (0,10) (5,-7) 1", "2 0 30 40 OH 3 N",
           "1 7 8", "Methanol") +
    Record("64-17-5", "5 7 8 17 8 1 17 8 27 8 1 27 8 37 8 1 37 8 47 8 1 47 8 57 -20 4", "0", "0",
           "Ethanolamine:x") +
    "\r\n";

TEST_F(PackTest, TwoRecordsGiveTheirStatisticsWithAnyLineEnds) {
  const std::string expected =
      "Structures: 2\r\nMax Name: 12\r\nMin (X, Y): (0, -20)\r\nMax (X, Y): (57, 40)\r\n"
      "Span (X, Y): (50, 28)\r\nnDupCoords: 5\r\nMax Bonds: 5 (Total: 8)\r\n"
      "Max Heteroatoms: 2 (Total: 2)\r\nMax Aromatic circles: 1 (Total: 1)\r\n"
      "INDEXREC_SIZE: 8\r\nCSFILEREC_SIZE: 20\r\nBONDREC_SIZE: 20\r\nACIRCLEREC_SIZE: 8\r\n"
      "HATOMREC_SIZE: 16\r\n";
  // The default paths first: D:\STRUCT\STRU.ASC into C:\STRU.BIN.
  WriteFileBytes(tmp_.file("STRUCT/STRU.ASC"), kTwoRecords);
  WriteFileBytes(tmp_.file("c/STRU.BIN"), "old");
  ASSERT_EQ(Run(PackCmd, {}), 0);
  EXPECT_EQ(Stats(), expected);
  EXPECT_EQ(ReadFileBytes(tmp_.file("c/STRU.BIN")), "");
  EXPECT_TRUE(std::filesystem::exists(tmp_.file("c/STRU.IN")));
  EXPECT_TRUE(host_.errors.empty());
  ASSERT_EQ(host_.statusTexts.size(), 2u);
  EXPECT_EQ(host_.statusTexts[0], std::make_pair(9, std::string("CSPack: 1 done, 0.0% complete")));
  EXPECT_EQ(host_.statusTexts[1],
            std::make_pair(0, std::string("CSPack: , completed (0.0 secs).")));
  for (const char* end : {"\n", "\r", "\n\r"}) {
    SCOPED_TRACE(testing::PrintToString(std::string(end)));
    std::string text = kTwoRecords;
    for (size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += strlen(end))
      text.replace(at, 2, end);
    ASSERT_EQ(Pack(text), 0);
    EXPECT_EQ(Stats(), expected);
  }
}

TEST_F(PackTest, RangeEndAndEndOfFile) {
  std::string many;
  for (int i = 1; i <= 12; ++i) many += Record(std::to_string(i));
  const double range[2] = {0, 10};
  ASSERT_EQ(Pack(many + "\r\n", range), 0);
  EXPECT_EQ(StatLine("Structures"), "Structures: 10");
  EXPECT_EQ(StatLine("Span"), "Span (X, Y): (1, 1)");
  // Without the terminator the end of the file is reported, once, and the
  // records before it count; so does a record the end cuts short.
  for (const auto& text : {many, many + "c13\r\nName\r\n1 1 1 2 2 1"}) {
    host_.errors.clear();
    ASSERT_EQ(Pack(text), 0);
    ASSERT_EQ(host_.errors.size(), 1u);
    EXPECT_EQ(host_.errors[0].first, IDS_ERR_FILEREAD);
    EXPECT_EQ(host_.errors[0].second, "File read error occurred (" + tmp_.file("in.asc") + ")");
  }
  EXPECT_EQ(StatLine("Structures"), "Structures: 13");
  EXPECT_EQ(StatLine("Max Bonds"), "Max Bonds: 1 (Total: 1)");
  // Nothing read: the extremes keep their starting values.
  ASSERT_EQ(Pack("\r\n"), 0);
  EXPECT_EQ(StatLine("Min"), "Min (X, Y): (2147483647, 2147483647)");
  EXPECT_EQ(StatLine("Max ("), "Max (X, Y): (-2147483648, -2147483648)");
  EXPECT_EQ(StatLine("Span"), "Span (X, Y): (0, 0)");
}

TEST_F(PackTest, CountsFromTheFileAreBoundedByItsLines) {
  // A record without a CAS number is passed over with its lines, even those
  // that begin with "c".
  const std::string longText(300, 'L');
  ASSERT_EQ(Pack(Record("0", "9 1 1 2 2 1", "0", "0", "cyclohexane") +
                 Record("7", "2000000000 1 2 3", "2000000000 0 -1 2 " + longText + " 5",
                        "2000000000 1 2 3")),
            0);
  EXPECT_EQ(StatLine("Structures"), "Structures: 1");
  EXPECT_EQ(StatLine("Max Bonds"), "Max Bonds: 0 (Total: 0)");
  EXPECT_EQ(StatLine("Max Hetero"), "Max Heteroatoms: 1 (Total: 1)");
  EXPECT_EQ(StatLine("Max Arom"), "Max Aromatic circles: 1 (Total: 1)");
  EXPECT_EQ(StatLine("Min"), "Min (X, Y): (-1, 2)");
  // Spans are measured on what the tables keep: 16 bits of (x + 100, y + 50).
  ASSERT_EQ(Pack(Record("9", "1 -100 0 32700 70000 1")), 0);
  EXPECT_EQ(StatLine("Span"), "Span (X, Y): (32736, 4464)");

  // Over-long circle lines keep 510 pairs each (the rest of the line is
  // dropped, not read as the next line); the duplicates saturate at 16 bits.
  std::string circles = "1000";
  for (int i = 0; i < 1000; ++i) circles += " 0 0";
  std::string big;
  for (int i = 1; i <= 70; ++i) big += Record(std::to_string(i), "0", "0", circles);
  ASSERT_EQ(Pack(big + "\r\n"), 0);
  EXPECT_EQ(StatLine("Structures"), "Structures: 70");
  EXPECT_EQ(StatLine("nDup"), "nDupCoords: 32767");
  EXPECT_EQ(StatLine("Max Arom"), "Max Aromatic circles: 510 (Total: 35700)");
}

TEST_F(PackTest, FailuresAreReportedAndLeaveNothingOpen) {
  const int handles = platform::OpenFileHandles();
  const int blocks = platform::LiveLocalBlocks();
  // A path that does not fit is refused, not cut: the cut name is left alone.
  const std::string dir = tmp_.path().string() + "/";
  const std::string cut = dir + std::string(MAX_PATH - 1 - dir.size(), 'p');
  WriteFileBytes(cut, "keep");
  EXPECT_EQ(Run(PackCmd, {tmp_.file("in.asc"), cut + "x"}), IDS_ERR_BADPARAM);
  EXPECT_EQ(Run(IndexPackCmd, {cut + "x"}), IDS_ERR_BADPARAM);
  ASSERT_EQ(host_.errors.size(), 2u);
  EXPECT_EQ(host_.errors[0].second, "Bad parameter (2) passed to function or command");
  EXPECT_EQ(host_.errors[1].second, "Bad parameter (1) passed to function or command");
  EXPECT_EQ(ReadFileBytes(cut), "keep");

  using platform::FaultOp;
  // The failure, its report, and whether the statistics are still written.
  const std::tuple<FaultOp, int, int, bool> cases[] = {
      {FaultOp::LocalAlloc, 1, IDS_ERR_NOMEMORY, false},
      {FaultOp::LocalAlloc, 2, IDS_ERR_NOMEMORY, true},
      {FaultOp::LocalAlloc, 3, IDS_ERR_NOMEMORY, true},
      {FaultOp::CreateFile, 1, IDS_ERR_NODATAFILE, true},
      {FaultOp::CreateFile, 2, IDS_ERR_CREATEFILE, true},
      {FaultOp::CreateFile, 3, IDS_ERR_CREATEINDEX, true},
      {FaultOp::ReadFile, 1, IDS_ERR_FILEREAD, true},
      {FaultOp::CloseHandle, 2, IDS_ERR_CLOSEFILE, true},
      {FaultOp::MoveFile, 1, 0, false}};
  for (auto [op, nth, status, stats] : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(op)) + " #" + std::to_string(nth));
    WriteFileBytes(tmp_.file("STRUCT.STS"), "old");
    WriteFileBytes(tmp_.file("in.asc"), kTwoRecords);
    host_.errors.clear();
    platform::ClearFaults();
    platform::InjectFault(op, nth);
    EXPECT_EQ(Run(PackCmd, {tmp_.file("in.asc"), tmp_.file("out")}), status);
    platform::ClearFaults();
    EXPECT_EQ(host_.errors.size(), status ? 1u : 0u);
    EXPECT_EQ(Stats() != "old", stats);
    if (status == IDS_ERR_CLOSEFILE) {
      EXPECT_EQ(host_.errors[0].second, "Error durring close of file (" + tmp_.file("out") + ")");
    }
    EXPECT_EQ(platform::OpenFileHandles(), handles);
    EXPECT_EQ(platform::LiveLocalBlocks(), blocks);
    // No temporary statistics file stays behind.
    for (const auto& e : std::filesystem::directory_iterator(tmp_.path()))
      EXPECT_NE(e.path().extension(), ".TMP") << e.path();
  }
  EXPECT_TRUE(std::filesystem::exists(tmp_.file("out.IN")));
}

// ---------------------------------------------------------------- CSIPack

TEST_F(PackTest, IndexLinesBecomeEntriesInOrder) {
  // Every digit, a character next to them, long runs of leading zeros; a
  // line cut after 255 characters keeps the digits before the cut only.
  ASSERT_EQ(IPack("50000 1\r\n7\nx 5\n2147483648 1\n1 -2147483649\n -2147483648\t-1 tail\r\r"
                  "1987654320 23456789\n6: 7\n000000000000000000042 +0000000007\n"
                  "000000000000000000043 000000000000000008\n0000000000000044X9\n"
                  "0000000000000045 9\n" +
                  std::string(250, ' ') + "1 23456789\n12 2147483647"),
            0);
  EXPECT_EQ(Binary(), std::string("\x50\xC3\x00\x00\x01\x00\x00\x00", 8) + Entry(INT32_MIN, -1) +
                          Entry(1987654320, 23456789) + Entry(42, 7) + Entry(43, 8) + Entry(45, 9) +
                          Entry(1, 234) + Entry(12, INT32_MAX));
  EXPECT_EQ(host_.statusTexts.front(), std::make_pair(9, std::string("CSIPack: 0.0% complete")));
  EXPECT_EQ(host_.statusTexts.back().second.rfind("CSPack: , completed", 0), 0u);
  EXPECT_TRUE(host_.errors.empty());

  // Many blocks of lines in the usual form and others between them, every
  // kind of line end, numbers of every length and the range's edges: the
  // usual ones are read straight from the block, the rest the long way.
  const char* const ends[] = {"\r\n", "\n", "\r", "\n\r"};
  std::mt19937 rng(7);
  std::string text, expected;
  for (int i = 0; i < 150000; ++i) {
    const auto key = static_cast<int32_t>(rng() >> (1 + rng() % 31));
    const auto offset = static_cast<int32_t>(rng() >> (1 + rng() % 31));
    const std::string k = std::to_string(key), o = std::to_string(offset);
    const long long wider = std::stoll("1" + k + "0");
    switch (rng() % 8) {
      case 0:
        text += "0" + k + " " + o;
        expected += Entry(key, offset);
        break;
      case 1:
        text += k + "\t+" + o + " x";
        expected += Entry(key, offset);
        break;
      case 2:
        text += k + " " + o + "9999999999";
        break;
      case 3:
        text += "1" + k + "0 " + o;
        if (wider <= INT32_MAX) expected += Entry(static_cast<int32_t>(wider), offset);
        break;
      case 4:
        text += k + " -" + o;
        expected += Entry(key, -offset);
        break;
      default:
        text += k + " " + o;
        expected += Entry(key, offset);
        break;
    }
    const char* end = ends[rng() % 4];
    text += end;
    if (rng() % 8 == 0) text += end;  // an empty line
  }
  ASSERT_GT(text.size(), 16 * 64 * 1024u);
  ASSERT_EQ(IPack(text), 0);
  EXPECT_EQ(Binary(), expected);
  ASSERT_EQ(IPack(""), 0);
  EXPECT_EQ(Binary(), "");
}

TEST_F(PackTest, AbortKeepsTheEntriesReadSoFar) {
  // Progress lines: one before reading, one after the first line, then every
  // so many lines; the abort raised at the third stops the pass there.
  std::string text, expected;
  for (int i = 0; i < 100000; ++i) {
    text += std::to_string(i) + " " + std::to_string(i) + "\n";
    expected += Entry(i, i);
  }
  host_.abortAt = 3;
  ASSERT_EQ(IPack(text), 0);
  const std::string kept = Binary();
  EXPECT_EQ(kept.size() % 8, 0u);
  EXPECT_GT(kept.size(), 8u);
  EXPECT_LT(kept.size(), expected.size() / 2);
  EXPECT_EQ(kept, expected.substr(0, kept.size()));
}

TEST_F(PackTest, FailedWritesKeepWholeEntriesAndWriteNothingMore) {
  // Blocks of 131,072, 131,072 and 3 entries (1 MB a block).
  std::string text, expected;
  for (int i = 0; i < 2 * 131072 + 3; ++i) {
    text += std::to_string(i) + (i % 3 ? " " : " -") + std::to_string(i) + "\n";
    expected += Entry(i, i % 3 ? i : -i);
  }
  const int handles = platform::OpenFileHandles();
  // A short write keeps the entries it stored whole; the last one fails the
  // command as any other.
  for (auto [nth, kind, kept] : {std::tuple{1, platform::FaultKind::ShortWrite, 524288},
                                 std::tuple{1, platform::FaultKind::DiskFull, 0},
                                 std::tuple{3, platform::FaultKind::ShortWrite, 2097160}}) {
    SCOPED_TRACE(nth);
    host_.errors.clear();
    platform::ClearFaults();
    platform::InjectFault(platform::FaultOp::WriteFile, nth, kind);
    EXPECT_EQ(IPack(text), IDS_ERR_FILEWRITE);
    EXPECT_EQ(platform::CallCount(platform::FaultOp::WriteFile), nth);
    platform::ClearFaults();
    EXPECT_EQ(Binary(), expected.substr(0, kept));
    ASSERT_EQ(host_.errors.size(), 1u);
    EXPECT_EQ(host_.errors[0].second, "File write error occurred (" + tmp_.file("out.ind") + ")");
    EXPECT_EQ(platform::OpenFileHandles(), handles);
  }
}

}  // namespace
