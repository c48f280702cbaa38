// structdb build from SD, MOL and ASCII structure files: the sample library
// comes out the same from an SD file as from its MOL files, bad structures are
// skipped one line each with the rest written, and a run that writes nothing
// leaves the old library alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "core/dllinfo.h"
#include "keytext.h"
#include "testutil/tempdir.h"

namespace {

namespace fs = std::filesystem;
using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

struct ToolRun {
  int status;
  std::string out, err;
};

ToolRun Structdb(const testutil::TempDir& tmp, const std::string& args) {
  const std::string out = tmp.file("stdout.txt"), err = tmp.file("stderr.txt");
  const std::string cmd =
      "cd " + tmp.path().string() + " && " + STRUCTDB_PATH + " " + args + " >" + out + " 2>" + err;
  const int st = std::system(cmd.c_str());
  return {WIFEXITED(st) ? WEXITSTATUS(st) : -1, ReadFileBytes(out), ReadFileBytes(err)};
}

// The sample molecules in key order (the sample library's order): by the
// number their CAS-numbered file names spell.
std::vector<fs::path> SampleMolFiles() {
  std::vector<fs::path> files;
  for (const auto& e : fs::directory_iterator(std::string(SAMPLE_DIR) + "/molecules"))
    if (e.path().extension() == ".mol") files.push_back(e.path());
  auto key = [](const fs::path& p) {
    std::string digits;
    for (char c : p.stem().string())
      if (c != '-') digits += c;
    return std::stoll(digits);
  };
  std::sort(files.begin(), files.end(),
            [&](const fs::path& a, const fs::path& b) { return key(a) < key(b); });
  return files;
}

// The molecules as SD records with their CAS number (the file name) in a
// <CAS> data item, line ends as eol.
std::string SampleSd(const std::vector<fs::path>& files, const std::string& eol) {
  std::string sd;
  for (const fs::path& f : files) {
    std::string mol = ReadFileBytes(f.string());
    if (eol == "\n") mol.erase(std::remove(mol.begin(), mol.end(), '\r'), mol.end());
    sd += mol + "> <CAS>" + eol + f.stem().string() + eol + eol + "$$$$" + eol;
  }
  return sd;
}

std::string Lib(const std::string& dir, const std::string& name) {
  return ReadFileBytes(dir + "/" + name + ".sdb") + "|" + ReadFileBytes(dir + "/" + name + ".ind");
}

TEST(StructdbBuild, SdFilesGiveTheSampleLibraryByteForByte) {
  testutil::TempDir tmp;
  const std::vector<fs::path> mols = SampleMolFiles();
  ASSERT_EQ(mols.size(), 80u);
  const std::string sample = Lib(SAMPLE_DIR, "sample");
  WriteFileBytes(tmp.file("crlf.sdf"), SampleSd(mols, "\r\n"));
  WriteFileBytes(tmp.file("lf.sdf"), SampleSd(mols, "\n"));

  ToolRun r = Structdb(tmp, "build --key-field CAS --circles crlf crlf.sdf");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.err, "structdb: 80 read, 80 written, 0 skipped\n");
  EXPECT_EQ(Lib(tmp.path().string(), "crlf"), sample);
  ASSERT_EQ(Structdb(tmp, "build --quiet --key-field CAS --circles lf lf.sdf").status, 0);
  EXPECT_EQ(Lib(tmp.path().string(), "lf"), sample);

  // The key from the third line, and SD records mixed with MOL files: the
  // records follow the order of the inputs.
  const std::vector<fs::path> first(mols.begin(), mols.begin() + 30);
  WriteFileBytes(tmp.file("first.sd"), SampleSd(first, "\r\n") + "\r\n");
  std::string args = "build --circles mixed first.sd";
  for (size_t i = 30; i < mols.size(); ++i) args += " " + mols[i].string();
  r = Structdb(tmp, args);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Lib(tmp.path().string(), "mixed"), sample);

  // Many records: the data file is written in several blocks, and every
  // index entry still points at its record.
  std::string many;
  for (int i = 0; i < 50; ++i) many += SampleSd(mols, "\n");
  WriteFileBytes(tmp.file("many.sdf"), many);
  r = Structdb(tmp, "build --number-from 1000 many many.sdf");
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(Structdb(tmp, "check many").out, "ok: 4000 records, 4000 index entries\n");
  EXPECT_GT(fs::file_size(tmp.file("many.sdb")), 3u << 16);

  // Lines longer than the MOL reader keeps are cut the same way in both.
  std::string mol = ReadFileBytes(mols[0].string());
  const size_t line3 = mol.find("\r\n", mol.find("\r\n") + 2);  // name and program line replaced
  mol = std::string(70, 'N') + "\r\n" + std::string(300, 'p') + mol.substr(line3);
  WriteFileBytes(tmp.file("long.mol"), mol);
  WriteFileBytes(tmp.file("long.sdf"), mol + "$$$$\r\n");
  ASSERT_EQ(Structdb(tmp, "build from-mol long.mol").status, 0);
  ASSERT_EQ(Structdb(tmp, "build from-sd long.sdf").status, 0);
  EXPECT_EQ(Lib(tmp.path().string(), "from-sd"), Lib(tmp.path().string(), "from-mol"));
  EXPECT_NE(Structdb(tmp, "dump from-sd").out.find(std::string(49, 'N') + "\""), std::string::npos);
}

TEST(StructdbBuild, BadStructuresAreSkippedAndTheRestWritten) {
  testutil::TempDir tmp;
  const std::string dir = std::string(SAMPLE_DIR) + "/molecules/";
  auto item = [&](const std::string& mol, const std::string& cas) {
    return ReadFileBytes(dir + mol + ".mol") + "> <CAS>\r\n" + cas + "\r\n\r\n$$$$\r\n";
  };
  std::string sd = item("50-00-0", "50-00-0") + ReadFileBytes(dir + "64-17-5.mol") +
                   "> <NAME>\r\nEthanol\r\n\r\n$$$$\r\n" + item("67-56-1", "67-56-2") +
                   item("71-43-2", "2147483648") + item("50-78-2", "50000") +
                   "bad\r\n  x\r\n\r\n999999 V2000\r\n> <CAS>\r\n58-08-2\r\n\r\n$$$$\r\n" +
                   item("58-08-2", "  58-08-2 ") + item("64-17-5", "64-17-") + "\r\n\r\n";
  WriteFileBytes(tmp.file("in.sdf"), sd);
  ToolRun r = Structdb(tmp, "build --key-field CAS lib in.sdf");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "structdb: in.sdf: structure 2: no <CAS> data item\n"
            "structdb: in.sdf: structure 3: bad check digit in <CAS> \"67-56-2\"\n"
            "structdb: in.sdf: structure 4: key out of range in <CAS> \"2147483648\"\n"
            "structdb: in.sdf: structure 5: key 50000 repeated (the first one stays)\n"
            "structdb: in.sdf: structure 6: refused: not a molblock the MOL reader takes "
            "(header, counts, atom or bond lines)\n"
            "structdb: in.sdf: structure 8: malformed key in <CAS> \"64-17-\"\n"
            "structdb: 8 read, 2 written, 6 skipped (1 no key, 1 malformed key, 1 bad check "
            "digit, 1 key out of range, 1 repeated key, 1 refused)\n");
  EXPECT_EQ(r.out, "2 structures written to lib\n");
  ToolRun dump = Structdb(tmp, "dump lib");
  EXPECT_NE(dump.out.find("record 1  offset 1  length 25  key 50000\n"), std::string::npos);
  EXPECT_NE(dump.out.find("record 2  offset 28  length 74  key 58082\n"), std::string::npos);
  EXPECT_EQ(dump.out.find("record 3"), std::string::npos) << dump.out;

  // MOL files: a bad one is skipped and a missing one named, the rest written.
  WriteFileBytes(tmp.file("bad.mol"), "x\r\n");
  r = Structdb(tmp, "build mols " + dir + "50-00-0.mol bad.mol missing.mol");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "structdb: bad.mol: structure 1: refused: not a molblock the MOL reader takes "
            "(header, counts, atom or bond lines)\n"
            "structdb: missing.mol: cannot open\n"
            "structdb: 2 read, 1 written, 1 skipped (1 refused), 1 file not read whole\n");

  // Numbering stops at the largest key.
  r = Structdb(tmp, "build --number-from 2147483646 num in.sdf");
  EXPECT_EQ(r.status, 1);
  EXPECT_NE(r.err.find("structure 3: numbering passed 2147483647\n"), std::string::npos) << r.err;
  EXPECT_NE(Structdb(tmp, "dump num").out.find("key 2147483647\n"), std::string::npos);
}

TEST(StructdbBuild, NothingWrittenLeavesTheOldLibraryAlone) {
  testutil::TempDir tmp;
  fs::copy_file(std::string(SAMPLE_DIR) + "/sample.sdb", tmp.file("lib.sdb"));
  fs::copy_file(std::string(SAMPLE_DIR) + "/sample.ind", tmp.file("lib.ind"));
  WriteFileBytes(tmp.file("none.sdf"), "\r\n\r\n");
  WriteFileBytes(tmp.file("junk.sdf"), "junk\r\n$$$$\r\n");
  ToolRun r = Structdb(tmp, "build lib none.sdf junk.sdf");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.err,
            "structdb: junk.sdf: structure 1: refused: not a molblock the MOL reader takes "
            "(header, counts, atom or bond lines)\n"
            "structdb: 1 read, 0 written, 1 skipped (1 refused); no files replaced\n");
  EXPECT_EQ(Lib(tmp.path().string(), "lib"), Lib(SAMPLE_DIR, "sample"));
  EXPECT_EQ(std::distance(fs::directory_iterator(tmp.path()), {}), 6);  // no temporaries left

  for (const char* usage :
       {"build --key-field CAS --number-from 1 x none.sdf", "build --number-from 0 x none.sdf",
        "build --number-from 2147483648 x none.sdf", "build --ascii none.sdf --circles x",
        "build x"})
    EXPECT_EQ(Structdb(tmp, usage).status, 2) << usage;
}

TEST(StructdbBuild, AsciiStructureFiles) {
  testutil::TempDir tmp;
  WriteFileBytes(
      tmp.file("in.asc"),
      "c 50-00-0\nFormaldehyde\n1: (0,0, 40,0, 2)\n1: 2 O\n0\n"
      "c 0\nplaceholder\n0\n0\n0\n"
      "c 7732-18-5 rest\r\nTriangle, anchored\r\n3; 0 0 40 0 1; 40 0 20 30 2; 20 30 0 0 4\r\n"
      "2 (0, 10, 10, Ar) (5, Cl)\r\n1 (20, 10)\r\n"
      "c 1234\nBad type\n1 0 0 10 0 5\n0\n0\n"
      "c 1235\nBad end point\n1 0 0 10 0 1\n1 3 N\n0\n"
      "\nc 99\nafter the end\n0\n0\n0\n");
  ToolRun r = Structdb(tmp, "build --ascii in.asc lib");
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(r.err,
            "structdb: in.asc: structure 4: refused: bond 1: type 5 (1 to 4)\n"
            "structdb: in.asc: structure 5: refused: label 1: end point 3 of 2\n"
            "structdb: 4 read, 2 written, 2 skipped (2 refused)\n");
  ToolRun dump = Structdb(tmp, "dump lib");
  EXPECT_EQ(dump.out,
            "record 1  offset 1  length 25  key 50000\n"
            "  name     \"Formaldehyde\"\n"
            "  bond 1   double   (0, 0) - (40, 0)\n"
            "  label 1   \"O\" at (40, 0)\n"
            "\n"
            "record 2  offset 28  length 46  key 7732185\n"
            "  name     \"Triangle, anchored\"\n"
            "  bond 1   single   (0, 0) - (40, 0)\n"
            "  bond 2   double   (20, 30) - (40, 0)\n"
            "  bond 3   aromatic (20, 30) - (0, 0)\n"
            "  label 1   \"Ar\" at (10, 10)\n"
            "  label 2   \"Cl\" at (20, 30)\n"
            "  circle 1  at (20, 10)\n"
            "\n");
}

}  // namespace

namespace {

TEST(StructdbBuild, KeyTexts) {
  STRUCT_DLL_INFO info;
  struct Case {
    const char* text;
    KeyText result;
    LONG key;
  } cases[] = {
      {" 50-00-0 ", KeyText::kOk, 50000},
      {"7732-18-5", KeyText::kOk, 7732185},
      {"1336-21-6", KeyText::kOk, 1336216},
      {"9004-34-6", KeyText::kOk, 9004346},
      {"9004-34-7", KeyText::kCheckDigit, 0},
      {"2147483647", KeyText::kOk, INT32_MAX},
      {"+12", KeyText::kOk, 12},
      {"", KeyText::kMissing, 0},
      {"\t ", KeyText::kMissing, 0},
      {"2147483648", KeyText::kOutOfRange, 0},
      {"99999999999999999999", KeyText::kOutOfRange, 0},
      {"0", KeyText::kOutOfRange, 0},
      {"-3", KeyText::kOutOfRange, 0},
      {"9999999-99-5", KeyText::kOutOfRange, 0},
      {"0-00-0", KeyText::kMalformed, 0},
      {"00-00-0", KeyText::kOutOfRange, 0},
      {"50-0-0", KeyText::kMalformed, 0},
      {"50-00-00", KeyText::kMalformed, 0},
      {"12345678-00-0", KeyText::kMalformed, 0},
      {"50 000", KeyText::kMalformed, 0},
      {"5e3", KeyText::kMalformed, 0},
  };
  for (const Case& c : cases) {
    LONG key = -1;
    EXPECT_EQ(ParseKeyText(&info, c.text, &key), c.result) << c.text;
    EXPECT_EQ(key, c.key) << c.text;
  }
}

}  // namespace
