// structdb export: MOL files that the MOL import reads as the lookup reads the
// library and that build the sample again, SD records that carry what a
// molblock cannot, and Open Babel reading the SD file.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>
#include <sstream>

#include "convert/molimport.h"
#include "core/common.h"
#include "database/lookup.h"
#include "database/stdwriter.h"
#include "export.h"
#include "quietproc.h"
#include "testutil/tempdir.h"

namespace {

namespace fs = std::filesystem;
const std::string kSample = std::string(SAMPLE_DIR) + "/sample";
using Lines = std::vector<std::string>;

std::string Shell(const std::string& cmd, int* status = nullptr) {
  std::string out;
  FILE* p = popen(cmd.c_str(), "r");
  std::array<char, 4096> buf;
  for (size_t n; p && (n = fread(buf.data(), 1, buf.size(), p)) > 0;) out.append(buf.data(), n);
  const int st = p ? pclose(p) : -1;
  if (status) *status = WIFEXITED(st) ? WEXITSTATUS(st) : -1;
  return out;
}

Lines Split(const std::string& text) {
  Lines lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);)
    lines.push_back(line.empty() || line.back() != '\r' ? line : line.substr(0, line.size() - 1));
  return lines;
}

std::vector<INDEXREC> IndexOf(const std::string& lib) {
  const std::string bytes = testutil::ReadFileBytes(lib + ".ind");
  std::vector<INDEXREC> index(bytes.size() / sizeof(INDEXREC));
  std::memcpy(index.data(), bytes.data(), index.size() * sizeof(INDEXREC));
  return index;
}

// The record bodies of a library by their keys.
std::map<LONG, std::string> ByKey(const std::string& lib) {
  std::map<LONG, std::string> records;
  const std::string data = testutil::ReadFileBytes(lib + ".sdb");
  for (const INDEXREC& e : IndexOf(lib)) {
    const size_t at = static_cast<size_t>(e.lOffset);
    const size_t cb =
        static_cast<unsigned char>(data[at]) | static_cast<unsigned char>(data[at + 1]) << 8;
    records[e.lKey] = data.substr(at + 2, cb);
  }
  return records;
}

// The record bodies of a data file in file order.
Lines Bodies(const std::string& dataPath) {
  const std::string data = testutil::ReadFileBytes(dataPath);
  Lines bodies;
  for (size_t at = 1, cb; at + 2 <= data.size(); at += 2 + cb) {
    cb = static_cast<unsigned char>(data[at]) | static_cast<unsigned char>(data[at + 1]) << 8;
    bodies.push_back(data.substr(at + 2, cb));
  }
  return bodies;
}

// Name, bonds and labels, points relative to the first bond's first point:
// the lookup centres what it reads, the import does not.
std::string Picture(const CSDRAWREC* rec) {
  std::ostringstream out;
  const POINT o = rec->nBonds ? RecPoint(rec, 0) : POINT{0, 0};
  auto pt = [&](int i) {
    return " (" + std::to_string(RecPoint(rec, i).x - o.x) + "," +
           std::to_string(RecPoint(rec, i).y - o.y) + ")";
  };
  out << rec->szName << "\n";
  for (int i = 0; i < rec->nBonds; ++i)
    out << int{RecBondTypes(rec)[i]} << pt(2 * i) << pt(2 * i + 1) << "\n";
  const char* text = RecLabels(rec);
  for (int k = 0; k < rec->nLabels; ++k, text += std::strlen(text) + 1)
    out << text << pt(rec->iFirstLabel + k) << "\n";
  return out.str();
}

class Export : public ::testing::Test {
 protected:
  AFX_MAINTAIN_STATE state_{AfxGetStaticModuleState()};
  CQuietProcessor pcp_;
  STRUCT_DLL_INFO info_;
  testutil::TempDir tmp_;

  CSDRAWREC* Lookup(const std::string& lib, LONG key) {
    CSDRAWREC* rec = nullptr;
    EXPECT_EQ(LoadStructureFromFile(&pcp_, &info_, (lib + ".sdb").c_str(), key, &rec), 0) << key;
    return rec;
  }
  CSDRAWREC* Import(const std::string& file) {
    CSDRAWREC* rec = nullptr;
    EXPECT_EQ(MolToStructure(&pcp_, &info_, file.c_str(), &rec), 0) << file;
    return rec;
  }
};

TEST_F(Export, SampleRoundTripsThroughMolFiles) {
  const std::string dir = tmp_.file("mols"), again = tmp_.file("again");
  ASSERT_EQ(ExportLibrary(kSample, dir, true), 0);
  Lines want, got;
  for (const auto& e : fs::directory_iterator(std::string(SAMPLE_DIR) + "/molecules"))
    if (e.path().extension() == ".mol") want.push_back(e.path().filename().string());
  for (const auto& e : fs::directory_iterator(dir)) got.push_back(e.path().filename().string());
  std::sort(want.begin(), want.end());
  std::sort(got.begin(), got.end());
  ASSERT_EQ(got, want);  // named as the files the sample was built from

  // Each file imports as the lookup reads its record: bonds, labels, name, key.
  for (const INDEXREC& e : IndexOf(kSample)) {
    char name[32];
    std::snprintf(name, sizeof name, "/%d-%02d-%d.mol", e.lKey / 1000, e.lKey / 10 % 100,
                  e.lKey % 10);
    CSDRAWREC* stored = Lookup(kSample, e.lKey);
    CSDRAWREC* back = Import(dir + name);
    ASSERT_TRUE(stored && back) << name;
    EXPECT_EQ(back->lId, e.lKey);
    EXPECT_EQ(Picture(back), Picture(stored)) << name;
    std::free(stored);
    std::free(back);
  }

  // Built again, every record without circles is the sample's byte for byte.
  // Aromatic bonds come back aromatic, so --circles finds no alternating ring
  // and the records with circles come back without them, the rest equal.
  int status = 0;
  const std::string structdb = STRUCTDB_PATH;
  const std::string out =
      Shell(structdb + " build --circles " + again + " $(ls " + dir + "/*.mol | sort -V) 2>&1",
            &status);
  ASSERT_EQ(status, 0) << out;
  const Lines sample = Bodies(kSample + ".sdb"), built = Bodies(again + ".sdb");
  ASSERT_EQ(built.size(), 80u);
  ASSERT_EQ(built.size(), sample.size());
  int withCircles = 0;
  for (size_t i = 0; i < sample.size(); ++i) {
    withCircles += sample[i][4] != 0;
    if (sample[i][4] == 0) {
      EXPECT_EQ(built[i], sample[i]) << "record " << i + 1;
    }
  }
  EXPECT_GT(withCircles, 0);
  auto content = [](const std::string& dump) {
    std::string kept;
    for (const std::string& line : Split(dump))
      if (line.rfind("  circle", 0) != 0) kept += line.substr(0, line.find("  offset")) + "\n";
    return kept;
  };
  const std::string dumped = Shell(structdb + " dump " + again);
  EXPECT_EQ(dumped.find("  circle"), std::string::npos);
  EXPECT_EQ(content(dumped), content(Shell(structdb + " dump " + kSample)));
  EXPECT_EQ(testutil::ReadFileBytes(again + ".ind").size(), 80u * sizeof(INDEXREC));
}

// Through an SD file the circles and the free labels come back in their data
// items: every record of the sample again byte for byte, under its key.
TEST_F(Export, SampleRoundTripsThroughAnSdFileRecordForRecord) {
  ASSERT_EQ(ExportLibrary(kSample, tmp_.file("s.sdf"), false), 0);
  int status = 0;
  const std::string out = Shell(std::string(STRUCTDB_PATH) + " build --quiet --key-field ID " +
                                    tmp_.file("again") + " " + tmp_.file("s.sdf") + " 2>&1",
                                &status);
  ASSERT_EQ(status, 0) << out;
  const auto sample = ByKey(kSample), again = ByKey(tmp_.file("again"));
  ASSERT_EQ(again.size(), 80u);
  EXPECT_TRUE(again == sample);
  // The sample is in key order, as the export writes: the same files.
  EXPECT_EQ(testutil::ReadFileBytes(tmp_.file("again.sdb")), testutil::ReadFileBytes(kSample + ".sdb"));
  EXPECT_EQ(testutil::ReadFileBytes(tmp_.file("again.ind")), testutil::ReadFileBytes(kSample + ".ind"));
}

// A ring with its circle and a label of every kind: plain element, element
// with the hydrogens the import adds, hydrogens first, charged, free text,
// carbon with hydrogens, and one on no atom, not in the order the bonds reach
// the atoms. 217 and 434 are coordinates the import's arithmetic lands one
// unit off.
StdStructure EveryLabel() {
  StdStructure s;
  s.lKey = 58082;
  s.name = "Every label";
  const POINT ring[6] = {{0, 0}, {217, -100}, {434, 0}, {434, 217}, {217, 300}, {0, 217}};
  const POINT out[6] = {{-217, -217}, {217, -300}, {600, -100},
                        {600, 300},   {217, 434},  {-217, 300}};
  for (int i = 0; i < 6; ++i) {
    s.bonds.push_back({ring[i], ring[(i + 1) % 6], BOND_AROMATIC});
    s.bonds.push_back({ring[i], out[i], i == 3 ? BOND_DOUBLE : BOND_SINGLE});
  }
  s.bonds.push_back({out[5], POINT{-300, 434}, BOND_SINGLE});
  s.bonds.push_back({POINT{-300, 434}, POINT{-434, 300}, BOND_SINGLE});
  s.circles.push_back({217, 100});
  s.labels = {{{-300, 434}, "NH"}, {out[0], "Cl"},    {out[1], "OH"}, {out[2], "NH3+"},
              {{700, 700}, "HCl"}, {out[3], "CO2Et"}, {out[4], "HO"}, {out[5], "CH3"}};
  return s;
}

TEST_F(Export, SdRecordsCarryEveryLabelKindCirclesAndKeys) {
  StdStructure nameless;
  nameless.lKey = 12345;  // not a CAS number: its check digit would be 0
  nameless.bonds.push_back({POINT{0, 0}, POINT{75, 0}, BOND_TRIPLE});
  const StdStructure every = EveryLabel();
  std::string why;
  ASSERT_TRUE(WriteStandardLibrary(tmp_.file("gen"), {every, nameless}, why)) << why;
  ASSERT_EQ(ExportLibrary(tmp_.file("gen"), tmp_.file("gen.sdf"), false), 0);
  ASSERT_EQ(ExportLibrary(tmp_.file("gen.ind"), tmp_.file("mols"), true), 0);
  const Lines sd = Split(testutil::ReadFileBytes(tmp_.file("gen.sdf")));
  const Lines plain = Split(testutil::ReadFileBytes(tmp_.file("mols/12345.mol")));
  const Lines mol = Split(testutil::ReadFileBytes(tmp_.file("mols/58-08-2.mol")));

  // In key order, each molblock as its MOL file, then the items.
  Lines want = plain;
  for (const char* line : {"> <ID>", "12345", "", "$$$$"}) want.push_back(line);
  want.insert(want.end(), mol.begin(), mol.end());
  for (const char* line :
       {"> <ID>", "58082", "", "> <CAS>", "58-08-2", "", "> <STRUCT_CIRCLES>", "8.1376 -3.7500", "",
        "> <STRUCT_LABELS>", "5 26.2500 -26.2500 HCl", "", "$$$$"})
    want.push_back(line);
  EXPECT_EQ(sd, want);
  EXPECT_EQ(Lines(plain.begin(), plain.begin() + 3),
            (Lines{"", "  structdb          2D", "12345"}));
  // Labelled atoms first; the labels the import would not make from the
  // element ride in alias lines, the charge in the atom line and M  CHG.
  ASSERT_EQ(mol.size(), 4u + 14 + 14 + 8 + 2);
  EXPECT_EQ(mol[2], "58-08-2");
  EXPECT_EQ(mol[4 + 3], "   22.5000    3.7500    0.0000 N   0  3  0  0  0  0  0  0  0  0  0  0");
  EXPECT_EQ(Lines(mol.begin() + 32, mol.end()),
            (Lines{"A    4", "NH3+", "A    5", "CO2Et", "A    6", "HO", "A    7", "CH3",
                   "M  CHG  1   4   1", "M  END"}));

  // The import reads no alias lines: it gives the symbol back for those
  // labels and nothing for the carbon, every label at its atom's exact point.
  CSDRAWREC* back = Import(tmp_.file("mols/58-08-2.mol"));
  ASSERT_TRUE(back);
  EXPECT_STREQ(back->szName, "Every label");
  EXPECT_EQ(back->lId, 58082);
  std::string labels, wantLabels = "NH Cl OH NH2 A OH ";
  const char* text = RecLabels(back);
  for (int k = 0; k < back->nLabels; ++k, text += std::strlen(text) + 1) {
    labels += std::string(text) + " ";
    const POINT p = RecPoint(back, back->iFirstLabel + k), q = every.labels[k < 4 ? k : k + 1].pt;
    EXPECT_TRUE(p.x == q.x && p.y == q.y) << text << " at " << p.x << "," << p.y;
  }
  EXPECT_EQ(labels, wantLabels);
  std::free(back);

  // The build reads the aliases and the items back: the same records.
  int status = 0;
  const std::string out = Shell(std::string(STRUCTDB_PATH) + " build --quiet --key-field ID " +
                                    tmp_.file("again") + " " + tmp_.file("gen.sdf") + " 2>&1",
                                &status);
  ASSERT_EQ(status, 0) << out;
  EXPECT_TRUE(ByKey(tmp_.file("again")) == ByKey(tmp_.file("gen")));
}

TEST_F(Export, RecordsThatCannotBeReadAreSkippedAndNamed) {
  // Record 1 is sound; record 2 refers to endpoint 5 of 3; one entry points
  // between records.
  const char sound[] = {10, 0, 1, 0, 0, 0, 0, 0, 0, 0, 10, 0};
  const char broken[] = {6, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 5};
  testutil::WriteFileBytes(
      tmp_.file("bad.sdb"),
      std::string(1, '\0') + std::string(sound, sizeof sound) + std::string(broken, sizeof broken));
  const INDEXREC index[] = {{400, 13}, {500, 1}, {600, 4}};
  testutil::WriteFileBytes(tmp_.file("bad.ind"),
                           std::string(reinterpret_cast<const char*>(index), sizeof index));
  testing::internal::CaptureStderr();
  EXPECT_EQ(ExportLibrary(tmp_.file("bad"), tmp_.file("bad.sdf"), false), 1);
  const std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("key 400) not exported: the record does not decode"), std::string::npos);
  EXPECT_NE(err.find("key 600) not exported: no record starts at offset 4"), std::string::npos);
  const Lines sd = Split(testutil::ReadFileBytes(tmp_.file("bad.sdf")));
  EXPECT_EQ(std::count(sd.begin(), sd.end(), "$$$$"), 1);
  const auto id = std::find(sd.begin(), sd.end(), "> <ID>");
  ASSERT_NE(id, sd.end());
  EXPECT_EQ(id[1], "500");

  testing::internal::CaptureStderr();
  EXPECT_EQ(ExportLibrary(tmp_.file("none"), tmp_.file("none.sdf"), false), 2);
  EXPECT_NE(testing::internal::GetCapturedStderr().find("cannot read"), std::string::npos);
  EXPECT_FALSE(fs::exists(tmp_.file("none.sdf")));
}

TEST_F(Export, OpenBabelReadsEveryRecordWithItsAtomsAndBonds) {
  if (std::system("command -v obabel >/dev/null 2>&1") != 0) GTEST_SKIP() << "obabel not installed";
  const std::string sdf = tmp_.file("sample.sdf");
  ASSERT_EQ(ExportLibrary(kSample, sdf, false), 0);
  const Lines lines =
      Split(Shell("obabel -isdf " + sdf + " -otxt --append 'atoms bonds' 2>/dev/null"));
  const std::vector<INDEXREC> index = IndexOf(kSample);
  ASSERT_EQ(lines.size(), index.size());
  for (size_t i = 0; i < index.size(); ++i) {
    CSDRAWREC* rec = Lookup(kSample, index[i].lKey);
    ASSERT_TRUE(rec);
    std::vector<std::pair<LONG, LONG>> atoms;
    for (int k = 0; k < 2 * rec->nBonds; ++k)
      atoms.emplace_back(RecPoint(rec, k).x, RecPoint(rec, k).y);
    std::sort(atoms.begin(), atoms.end());
    atoms.erase(std::unique(atoms.begin(), atoms.end()), atoms.end());
    EXPECT_EQ(lines[i], std::string(rec->szName) + " " + std::to_string(atoms.size()) + " " +
                            std::to_string(rec->nBonds));
    std::free(rec);
  }
}

}  // namespace
