// structdb from the shell: the sample library passes its check and is what
// the program builds from the sample molecules; corrupt libraries are named
// problem by problem.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "testutil/tempdir.h"

namespace {

struct ToolRun {
  int status;
  std::string out;
};

ToolRun Structdb(const std::string& args) {
  std::string cmd = std::string(STRUCTDB_PATH) + " " + args + " 2>&1";
  FILE* p = popen(cmd.c_str(), "r");
  ToolRun r{-1, ""};
  if (!p) return r;
  std::array<char, 4096> buf;
  size_t n;
  while ((n = fread(buf.data(), 1, buf.size(), p)) > 0) r.out.append(buf.data(), n);
  int st = pclose(p);
  r.status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return r;
}

std::string Bytes(std::initializer_list<int> b) {
  std::string s;
  for (int v : b) s.push_back(static_cast<char>(v));
  return s;
}

std::string Entry(int32_t key, int32_t offset) {
  char e[8];
  std::memcpy(e, &key, 4);
  std::memcpy(e + 4, &offset, 4);
  return std::string(e, 8);
}

TEST(Structdb, SampleLibraryPassesAndIsWhatBuildMakes) {
  const std::string sample = std::string(SAMPLE_DIR) + "/sample";
  ToolRun check = Structdb("check " + sample);
  EXPECT_EQ(check.status, 0) << check.out;
  EXPECT_EQ(check.out, "ok: 80 records, 80 index entries\n");

  testutil::TempDir tmp;
  // In key order: "ls | sort -V" orders CAS-numbered files by their numbers.
  ToolRun build = Structdb("build --circles " + tmp.file("again") + " $(ls " + SAMPLE_DIR +
                           "/molecules/*.mol | sort -V)");
  ASSERT_EQ(build.status, 0) << build.out;
  for (const char* ext : {".sdb", ".ind"})
    EXPECT_EQ(testutil::ReadFileBytes(tmp.file(std::string("again") + ext)),
              testutil::ReadFileBytes(sample + ext))
        << ext << ": the bundled library is out of date; rebuild it with structdb";

  ToolRun dump = Structdb("dump " + sample);
  EXPECT_EQ(dump.status, 0);
  EXPECT_NE(dump.out.find("record 1  offset 1  length"), std::string::npos);
  EXPECT_NE(dump.out.find("key 50000"), std::string::npos);
  EXPECT_NE(dump.out.find("name     \"Formaldehyde\""), std::string::npos);
  EXPECT_NE(dump.out.find("circle 1"), std::string::npos);
}

TEST(Structdb, CorruptLibrariesAreReportedProblemByProblem) {
  testutil::TempDir tmp;
  // Record 1 is sound; record 2 refers to endpoint 5 of 3; record 3's body
  // claims a label it does not hold; the index is out of order and points
  // between records.
  const std::string r1 = Bytes({10, 0, 1, 0, 0, 0, 0, 0, 0, 0, 10, 0});
  const std::string r2 = Bytes({6, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 5});
  const std::string r3 = Bytes({11, 0, 1, 0, 0, 1, 0, 0, 0, 0, 10, 0, 0});
  testutil::WriteFileBytes(tmp.file("bad.sdb"), std::string(1, '\0') + r1 + r2 + r3);
  testutil::WriteFileBytes(tmp.file("bad.ind"), Entry(500, 1) + Entry(400, 13) + Entry(600, 4));
  ToolRun check = Structdb("check " + tmp.file("bad.ind"));
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.out.find("index entry 2: key 400 is out of order (after 500)"), std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("index entry 3: key 600 points at offset 4, where no record starts"),
            std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("record 2 at offset 13: does not decode"), std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("record 3 at offset 21: does not decode"), std::string::npos)
      << check.out;
  EXPECT_EQ(check.out.find("record 1 "), std::string::npos) << check.out;

  // A body running past the end of the file.
  testutil::WriteFileBytes(tmp.file("cut.sdb"), std::string(1, '\0') + r1 + Bytes({40, 0, 1, 0}));
  testutil::WriteFileBytes(tmp.file("cut.ind"), Entry(1, 1));
  check = Structdb("check " + tmp.file("cut"));
  EXPECT_EQ(check.status, 1);
  EXPECT_NE(check.out.find("record 2 at offset 13: body of 40 bytes runs past the end of the file"),
            std::string::npos)
      << check.out;

  // No index and 500 empty records: the first 100 problems listed, the rest counted.
  testutil::WriteFileBytes(tmp.file("zeros.sdb"), std::string(1001, '\0'));
  check = Structdb("check " + tmp.file("zeros"));
  EXPECT_EQ(check.status, 1);
  EXPECT_EQ(std::count(check.out.begin(), check.out.end(), '\n'), 101);
  EXPECT_NE(check.out.find("\n... and 401 more problems\n"), std::string::npos) << check.out;

  EXPECT_EQ(Structdb("check " + tmp.file("none")).status, 1);
  EXPECT_EQ(Structdb("frobnicate x").status, 2);
}

}  // namespace
