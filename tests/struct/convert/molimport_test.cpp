// MOL import: line ends, labels and implicit hydrogens, refusals, and files
// written by chemistry toolkits.
#include <gtest/gtest.h>
#include <platform/env.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "convert/molimport.h"
#include "core/dllinfo.h"
#include "support/fakehost.h"
#include "testutil/faultsweep.h"
#include "testutil/tempdir.h"

using testutil::WriteFileBytes;

namespace {

struct Atom {
  double x, y, z;
  const char* symbol;
};
struct Bond {
  int a1, a2, type;
};

// A MOL file with the given line end.
std::string Mol(const std::string& name, const std::string& comment, const std::vector<Atom>& atoms,
                const std::vector<Bond>& bonds, const std::string& eol = "\r\n") {
  std::ostringstream s;
  char line[128];
  s << name << eol << "  test  01012500002D" << eol << comment << eol;
  std::snprintf(line, sizeof line, "%3zu%3zu  0  0  0  0  0  0  0  0999 V2000", atoms.size(),
                bonds.size());
  s << line << eol;
  for (const Atom& a : atoms) {
    std::snprintf(line, sizeof line, "%10.4f%10.4f%10.4f %-3s 0  0  0  0  0  0", a.x, a.y, a.z,
                  a.symbol);
    s << line << eol;
  }
  for (const Bond& b : bonds) {
    std::snprintf(line, sizeof line, "%3d%3d%3d  0", b.a1, b.a2, b.type);
    s << line << eol;
  }
  s << "M  END" << eol;
  return s.str();
}

std::vector<std::string> LabelsOf(const CSDRAWREC* rec) {
  std::vector<std::string> out;
  const char* p = RecLabels(rec);
  for (int i = 0; i < rec->nLabels; ++i, p += std::strlen(p) + 1) out.emplace_back(p);
  return out;
}

class MolTest : public ::testing::Test {
 protected:
  CSDRAWREC* Import(const std::string& text, short* status = nullptr,
                    const std::string& file = "m.mol") {
    WriteFileBytes(tmp_.file(file), text);
    CSDRAWREC* rec = nullptr;
    short s = MolToStructure(&host_, &info_, tmp_.file(file).c_str(), &rec);
    if (status) *status = s;
    if (rec) recs_.emplace_back(rec, &std::free);
    return rec;
  }
  short Refusal(const std::string& text) {
    short status = 0;
    EXPECT_EQ(Import(text, &status), nullptr);
    return status;
  }

  fakehost::FakeProcessor host_;
  STRUCT_DLL_INFO info_;
  testutil::TempDir tmp_;
  std::vector<std::unique_ptr<CSDRAWREC, decltype(&std::free)>> recs_;
};

const std::vector<Atom> kMethanolAtoms = {{-0.75, 0, 0, "C"}, {0.75, 0, 0, "O"}};

TEST_F(MolTest, MethanolGivesOneHydroxyLabel) {
  CSDRAWREC* rec = Import(Mol("Methanol", "67-56-1", kMethanolAtoms, {{1, 2, 1}}));
  ASSERT_NE(rec, nullptr);
  EXPECT_STREQ(rec->szName, "Methanol");
  EXPECT_EQ(rec->lId, 67561);
  EXPECT_EQ(rec->nBonds, 1);
  EXPECT_EQ(rec->nLabels, 1);
  EXPECT_EQ(rec->iFirstLabel, 2);
  EXPECT_EQ(rec->nCircles, 0);
  EXPECT_EQ(rec->iFirstCircle, 0);
  EXPECT_EQ(rec->lReserved, 0);
  EXPECT_EQ(rec->offBondTypes, 216);
  EXPECT_EQ(rec->offPoints, 216 + 2);
  EXPECT_EQ(rec->offLabels, 218 + 3 * 8);
  EXPECT_EQ(rec->cbTotal, 218u + 17 + 8 + 3);
  EXPECT_EQ(LabelsOf(rec), std::vector<std::string>{"OH"});
  // 0.75 A is 20 units; y turns over.
  EXPECT_EQ(RecPoint(rec, 0).x, -20);
  EXPECT_EQ(RecPoint(rec, 1).x, 20);
  EXPECT_EQ(RecPoint(rec, 2).x, 20);
  EXPECT_EQ(RecBondTypes(rec)[0], BOND_SINGLE);
  EXPECT_EQ(rec->rcBounds.left, 0);
  EXPECT_EQ(rec->rcBounds.right, 0);
}

TEST_F(MolTest, CoordinatesMultiplyThenDivide) {
  // 8.1375 x 2000 / 75 is 216.99..., one unit below what a precomputed
  // 2000/75 gives; y turns over.
  CSDRAWREC* rec = Import(Mol("x", "", {{8.1375, -8.1375, 0, "C"}, {0, 0, 0, "O"}}, {{1, 2, 1}}));
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(RecPoint(rec, 0).x - RecPoint(rec, 1).x, 216);
  EXPECT_EQ(RecPoint(rec, 0).y - RecPoint(rec, 1).y, 216);
  // Coordinates that fill their ten columns run into the one before them
  // ("-1000.5000-1200.2500"): read by the columns, the symbol too.
  rec = Import(Mol("x", "", {{-1000.5, -1200.25, 0, "N"}, {0, 0, 0, "O"}}, {{1, 2, 1}}));
  ASSERT_NE(rec, nullptr);
  EXPECT_EQ(RecPoint(rec, 0).x - RecPoint(rec, 1).x, -26680);
  EXPECT_EQ(RecPoint(rec, 0).y - RecPoint(rec, 1).y, 32006);
  EXPECT_EQ(LabelsOf(rec), (std::vector<std::string>{"NH2", "OH"}));
}

TEST(MolCoordinate, ReadsEveryTokenAsAtofDoes) {
  std::vector<std::string> texts{"-0.0000", "+.5", "1.", ".", "-", "", "1e5", "0x10", "nan",
                                 "1.2.3", "12345.678901234", "1234567890123456", "-9999.9999",
                                 "0.000000000000001", "1.5\t", "--1", "8.1375"};
  std::srand(7);
  for (int i = 0; i < 20000; ++i) {
    std::string t = std::rand() % 3 ? "" : std::rand() % 2 ? "-" : "+";
    const int n = 1 + std::rand() % 16, point = std::rand() % (n + 2);
    for (int d = 0; d < n; ++d) {
      if (d == point) t += '.';
      t += static_cast<char>('0' + std::rand() % 10);
    }
    texts.push_back(t);
  }
  for (const std::string& t : texts) {
    const double a = ReadMolCoordinate(t.c_str()), b = std::atof(t.c_str());
    EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << t;
  }
}

TEST_F(MolTest, HydrogensFollowTheBondOrderOfLoneNAndO) {
  // N bonded to 1..3 carbons with the given types; O likewise.
  auto labelFor = [&](const char* symbol, std::vector<int> types) {
    std::vector<Atom> atoms = {{0, 0, 0, symbol}};
    std::vector<Bond> bonds;
    for (size_t i = 0; i < types.size(); ++i) {
      atoms.push_back({1.0 + i, 1.0, 0, "C"});
      bonds.push_back({1, static_cast<int>(i) + 2, types[i]});
    }
    CSDRAWREC* rec = Import(Mol("x", "", atoms, bonds));
    return rec ? LabelsOf(rec).at(0) : std::string("refused");
  };
  EXPECT_EQ(labelFor("N", {1}), "NH2");
  EXPECT_EQ(labelFor("N", {1, 1}), "NH");
  EXPECT_EQ(labelFor("N", {2}), "NH");
  EXPECT_EQ(labelFor("N", {1, 1, 1}), "N");
  EXPECT_EQ(labelFor("N", {1, 2}), "N");
  EXPECT_EQ(labelFor("N", {4}), "N");  // aromatic counts 4
  EXPECT_EQ(labelFor("O", {1}), "OH");
  EXPECT_EQ(labelFor("O", {2}), "O");
  EXPECT_EQ(labelFor("O", {1, 1}), "O");
  EXPECT_EQ(labelFor("Cl", {1}), "Cl");
  EXPECT_EQ(labelFor("c", {1}), "c");
}

TEST_F(MolTest, LineEndsOfEveryKindImportAlike) {
  const std::vector<Atom> atoms = {{0, 0, 0, "C"}, {1.5, 0, 0, "N"}, {-0.8, 1.2, 0, "O"}};
  const std::vector<Bond> bonds = {{1, 2, 3}, {1, 3, 2}};
  CSDRAWREC* crlf = Import(Mol("Cyanide", "50-00-0", atoms, bonds, "\r\n"), nullptr, "a.mol");
  ASSERT_NE(crlf, nullptr);
  EXPECT_EQ(crlf->lId, 50000);
  for (const char* eol : {"\n", "\r", "\n\r"}) {
    CSDRAWREC* other = Import(Mol("Cyanide", "50-00-0", atoms, bonds, eol), nullptr, "b.mol");
    ASSERT_NE(other, nullptr) << static_cast<int>(eol[0]);
    ASSERT_EQ(other->cbTotal, crlf->cbTotal);
    EXPECT_EQ(std::memcmp(other, crlf, crlf->cbTotal), 0);
  }
  // An empty comment line is a line, not a line end to skip.
  CSDRAWREC* noCas = Import(Mol("X", "", atoms, bonds, "\n"));
  ASSERT_NE(noCas, nullptr);
  EXPECT_EQ(noCas->lId, 0);
  // The last bond line may end the file without a line end.
  std::string text = Mol("X", "", kMethanolAtoms, {{1, 2, 2}}, "\n");
  text.resize(text.find("M  END"));
  text.pop_back();
  CSDRAWREC* cut = Import(text);
  ASSERT_NE(cut, nullptr);
  EXPECT_EQ(RecBondTypes(cut)[0], BOND_DOUBLE);
}

// The file's lines from its handle and from memory (how a whole file is read
// at once) are the same lines, for every sample molecule and edge text.
// Files that fit the first read, fill it exactly, straddle it or are too big
// to be read whole give the same record (a long second line moves the atoms).
TEST_F(MolTest, FilesOfAnySizeImportAlike) {
  std::vector<Atom> atoms;
  std::vector<Bond> bonds;
  for (int i = 0; i < 99; ++i) {
    atoms.push_back({(i % 10) * 1.5, (i / 10) * 0.8125, 0, i % 7 ? "C" : "O"});
    if (i) bonds.push_back({i, i + 1, 1 + i % 2});
  }
  const std::string base = Mol("chain", "", atoms, bonds), header = "  test  01012500002D";
  ASSERT_LT(base.size(), 16384u);
  std::string first;
  for (size_t pad : {size_t{0}, 16384 - base.size(), size_t{9000}, size_t{12000}, size_t{16384},
                     size_t{1} << 20}) {
    std::string text = base;
    text.insert(text.find(header) + header.size(), pad, ' ');
    const CSDRAWREC* rec = Import(text);
    ASSERT_NE(rec, nullptr) << pad;
    const std::string bytes(reinterpret_cast<const char*>(rec), rec->cbTotal);
    if (first.empty()) first = bytes;
    EXPECT_EQ(bytes, first) << pad;
  }
  EXPECT_EQ(reinterpret_cast<const CSDRAWREC*>(first.data())->nBonds, 98);
}

// From 100 atoms on the counts and bond fields run into each other
// ("120119", " 99100  1"); the fixed columns tell them apart.
TEST_F(MolTest, ThreeDigitAtomNumbersInRunTogetherFields) {
  std::vector<Atom> atoms;
  std::vector<Bond> bonds;
  for (int i = 0; i < 120; ++i) {
    atoms.push_back({(i % 10) * 1.5, (i / 10) * 1.5, 0, "C"});
    if (i) bonds.push_back({i, i + 1, 1});
  }
  const CSDRAWREC* rec = Import(Mol("long chain", "", atoms, bonds));
  ASSERT_NE(rec, nullptr);
  ASSERT_EQ(rec->nBonds, 119);
  for (int j = 0; j < 119; ++j) {  // bond j joins atoms j and j + 1
    const LONG dx = (j + 1) % 10 ? 40 : -360, dy = (j + 1) % 10 ? 0 : -40;
    EXPECT_NEAR(RecPoint(rec, 2 * j + 1).x - RecPoint(rec, 2 * j).x, dx, 1) << j;
    EXPECT_NEAR(RecPoint(rec, 2 * j + 1).y - RecPoint(rec, 2 * j).y, dy, 1) << j;
  }
}

TEST_F(MolTest, LinesFromTheHandleAndFromMemoryAgree) {
  std::vector<std::string> texts = {std::string(300, 'a') + "\r\nb\n\nc", "x\n\ry\r\rz\r\n",
                                    std::string(49, 'q') + "\r\n" + std::string(50, 'r') + "\r",
                                    "", "\n", "no end", std::string("a\0b\nc", 5)};
  for (const auto& e : std::filesystem::directory_iterator(std::string(SAMPLE_DIR) + "/molecules"))
    texts.push_back(testutil::ReadFileBytes(e.path().string()));
  for (const std::string& text : texts) {
    WriteFileBytes(tmp_.file("lines.txt"), text);
    HANDLE h = CreateFile(tmp_.file("lines.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                          OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    CTextMolLines memory(text.data(), text.size());
    char a[50], b[50];
    int na, nb;
    do {
      na = ReadTextLine(h, a, sizeof a);
      nb = memory.ReadLine(b, sizeof b);
      ASSERT_EQ(na, nb) << text.substr(0, 40);
      ASSERT_EQ(std::string(a, na < 0 ? 0 : na), std::string(b, nb < 0 ? 0 : nb));
    } while (na >= 0);
    CloseHandle(h);
  }
  // Every byte at either end of a word of a longer line: printable exactly
  // from blank to tilde. A name line's text ends at a NUL, whatever follows.
  EXPECT_TRUE(IsPrintableLine(""));
  for (int c = 1; c < 256; ++c)
    for (size_t at : {0, 7, 8, 15, 19}) {
      std::string text(20, 'x');
      text[at] = static_cast<char>(c);
      EXPECT_EQ(IsPrintableLine(text.c_str()), c >= ' ' && c <= '~') << c << " at " << at;
    }
  EXPECT_NE(Import(Mol(std::string("Named\0\x01\x7F", 8), "", kMethanolAtoms, {{1, 2, 1}})),
            nullptr);
}

TEST_F(MolTest, EmptyNameFallsBackToThePath) {
  CSDRAWREC* rec =
      Import(Mol("", "", kMethanolAtoms, {{1, 2, 1}}), nullptr, std::string(60, 'p') + ".mol");
  ASSERT_NE(rec, nullptr);
  std::string path = tmp_.file(std::string(60, 'p') + ".mol").substr(0, 49);
  EXPECT_EQ(std::string(rec->szName), path);
}

TEST_F(MolTest, FlatAndThreeDimensionalFiles) {
  std::vector<Atom> atoms = kMethanolAtoms;
  atoms[1].z = 0.01;  // below half a unit: flat
  EXPECT_NE(Import(Mol("x", "", atoms, {{1, 2, 1}})), nullptr);
  atoms[1].z = 0.5;
  EXPECT_EQ(Refusal(Mol("x", "", atoms, {{1, 2, 1}})), 543);
  EXPECT_EQ(host_.errors.back().second, "MOL file contains a 3D structure, which is not supported");
}

TEST_F(MolTest, BadFilesAreRefusedWith544) {
  EXPECT_EQ(Refusal(""), 544);
  EXPECT_EQ(Refusal(Mol("x", "", {{0, 0, 0, "C"}}, {})), 544);         // no bonds
  EXPECT_EQ(Refusal(Mol("x", "", kMethanolAtoms, {{1, 3, 1}})), 544);  // atom 3 of 2
  EXPECT_EQ(Refusal(Mol("x", "", kMethanolAtoms, {{0, 2, 1}})), 544);  // atom 0
  EXPECT_EQ(Refusal(Mol("x", "", kMethanolAtoms, {{1, 2, 0}})), 544);  // type 0
  std::string shortBond = Mol("x", "", kMethanolAtoms, {{1, 2, 1}});
  shortBond.replace(shortBond.find("  1  2  1  0"), 11, "  1  2");
  EXPECT_EQ(Refusal(shortBond), 544);
  std::string shortAtom = Mol("x", "", kMethanolAtoms, {{1, 2, 1}});
  const size_t at = shortAtom.find("    0.7500");
  shortAtom.replace(at, shortAtom.find('\r', at) - at, "    0.7500    0.0000    0.0000");
  EXPECT_EQ(Refusal(shortAtom), 544);
  std::string truncated = Mol("x", "", kMethanolAtoms, {{1, 2, 1}});
  truncated.resize(truncated.find("  1  2  1"));
  EXPECT_EQ(Refusal(truncated), 544);
  std::string tab = Mol("x\tname", "", kMethanolAtoms, {{1, 2, 1}});
  EXPECT_EQ(Refusal(tab), 544);
  // Counts that ran together are read by their columns (100 atoms here, of
  // which the file has two: its bond line then reads as an atom at z 1).
  std::string runTogether = Mol("x", "", kMethanolAtoms, {{1, 2, 1}});
  runTogether.replace(runTogether.find("  2  1  0"), 9, "100120  0");
  EXPECT_EQ(Refusal(runTogether), 543);
  // Counts past the format's 999, however large, and numbers at the limits
  // on bond lines are refused before anything is sized or stored.
  std::string huge = Mol("x", "", kMethanolAtoms, {{1, 2, 1}});
  huge.replace(huge.find("  2  1  0"), 9, "970881267037344822  1  0");
  EXPECT_NE(Refusal(huge), 0);
  std::string thousand = Mol("x", "", kMethanolAtoms, {{1, 2, 1}});
  thousand.replace(thousand.find("  2  1  0"), 9, "1000  1  0");
  EXPECT_EQ(Refusal(thousand), 544);
  EXPECT_EQ(Refusal(Mol("x", "", kMethanolAtoms, {{-2147483647 - 1, 2, 1}})), 544);
  EXPECT_EQ(Refusal(Mol("x", "", kMethanolAtoms, {{1, 2, 257}})), 544);  // not a byte
  EXPECT_EQ(host_.errors.back().second.rfind("Incorrect or badly formatted MOL file: ", 0), 0u);

  short status = 0;
  CSDRAWREC* rec = nullptr;
  status = MolToStructure(&host_, &info_, tmp_.file("missing.mol").c_str(), &rec);
  EXPECT_EQ(status, 529);
  EXPECT_EQ(rec, nullptr);
}

TEST_F(MolTest, FailuresReleaseEverything) {
  std::string good = Mol("x", "", kMethanolAtoms, {{1, 2, 1}});
  testutil::SweepFaults(platform::FaultOp::ReadFile, [&] { Import(good); });
  testutil::SweepFaults(platform::FaultOp::LocalAlloc, [&] { Import(good); });
  testutil::SweepFaults(platform::FaultOp::HeapAlloc, [&] { Import(good); });
  const int blocks = platform::LiveLocalBlocks();
  Refusal(Mol("x", "", kMethanolAtoms, {{1, 5, 1}}));
  EXPECT_EQ(platform::LiveLocalBlocks(), blocks);
}

TEST_F(MolTest, ToolkitFilesImportWithTheirBondsAndLabels) {
  const std::string dir = std::string(std::getenv("STRUCT_TEST_DATA")) + "/peer-mol/";
  std::ifstream index(dir + "index.tsv");
  std::string line;
  std::getline(index, line);
  int files = 0;
  while (std::getline(index, line)) {
    std::istringstream row(line);
    std::string file, source, name, cas, bonds, labels;
    std::getline(row, file, '\t');
    std::getline(row, source, '\t');
    std::getline(row, name, '\t');
    std::getline(row, cas, '\t');
    std::getline(row, bonds, '\t');
    std::getline(row, labels, '\t');
    CSDRAWREC* rec = nullptr;
    ASSERT_EQ(MolToStructure(&host_, &info_, (dir + file).c_str(), &rec), 0) << file;
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->nBonds, std::stoi(bonds)) << file;
    EXPECT_EQ(rec->nLabels, std::stoi(labels)) << file;
    CString text;
    std::string digits;
    for (char c : cas)
      if (c != '-') digits += c;
    EXPECT_EQ(rec->lId, std::stol(digits)) << file;
    std::free(rec);
    ++files;
  }
  EXPECT_EQ(files, 16);
}

}  // namespace
