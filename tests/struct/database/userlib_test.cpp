// Adding structures to user libraries: the bytes written, replacing an ID,
// refusals that leave both files as they were, failures at every write and
// close that lose no stored key, and the progress display.
#include <gtest/gtest.h>
#include <platform/env.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "convert/molimport.h"
#include "core/dllinfo.h"
#include "database/lookup.h"
#include "database/userlib.h"
#include "resources/resource.h"
#include "support/fakehost.h"
#include "support/libbytes.h"
#include "testutil/faultsweep.h"
#include "testutil/tempdir.h"

using testutil::ReadFileBytes;
using testutil::WriteFileBytes;

namespace {

// One bond (0,0)-(x,0), no labels, the given name and ID.
CSDRAWREC* Simple(LONG id, int x, const char* name) {
  const size_t cb = CSDRAWREC_HEADER + 1 + 16;
  auto* rec = static_cast<CSDRAWREC*>(std::calloc(cb, 1));
  rec->cbTotal = cb;
  rec->lId = id;
  rec->nBonds = 1;
  rec->offBondTypes = CSDRAWREC_HEADER;
  rec->offPoints = CSDRAWREC_HEADER + 1;
  rec->offLabels = static_cast<WORD>(cb);
  rec->iFirstLabel = rec->iFirstCircle = 2;
  SetRecPoint(rec, 1, POINT{x, 0});
  std::strcpy(rec->szName, name);
  return rec;
}

std::string Entry(int32_t key, int32_t offset) {
  char e[8];
  std::memcpy(e, &key, 4);
  std::memcpy(e + 4, &offset, 4);
  return std::string(e, 8);
}

std::string Body(int x, const std::string& name) {
  std::string b = {1, 0, 0, 0, 0, 0, 0, 0, static_cast<char>(x), 0};
  return b + name + '\0';
}

std::string Record(int x, const std::string& name) {
  std::string b = Body(x, name);
  return std::string(1, static_cast<char>(b.size())) + '\0' + b;
}

class UserLibTest : public ::testing::Test {
 protected:
  void TearDown() override {
    platform::ClearFaults();
    platform::UseRealClock();
  }
  short Add(CSDRAWREC* rec, const std::string& lib = "lib", PROGRESSPROC progress = nullptr) {
    short s = AddStructureToLibrary(tmp_.file(lib).c_str(), &rec, 1, progress, client_.get(), FALSE,
                                    nullptr);
    std::free(rec);
    return s;
  }
  std::string Data() { return ReadFileBytes(tmp_.file("lib.sdb")); }
  std::string Index() { return ReadFileBytes(tmp_.file("lib.ind")); }

  testutil::TempDir tmp_;
  fakehost::FakeProcessor host_;
  fakehost::Client client_{host_};
};

TEST_F(UserLibTest, NewLibraryThenAppendInsertFirstAndReplace) {
  ASSERT_EQ(Add(Simple(500, 10, "A")), 0);
  EXPECT_EQ(Data(), "\x01" + Record(10, "A"));
  EXPECT_EQ(Index(), Entry(500, 1));

  const int32_t second = 1 + static_cast<int32_t>(Record(10, "A").size());
  ASSERT_EQ(Add(Simple(900, 20, "B")), 0);  // above every ID: one entry appended
  EXPECT_EQ(Index(), Entry(500, 1) + Entry(900, second));

  const int32_t third = second + static_cast<int32_t>(Record(20, "B").size());
  ASSERT_EQ(Add(Simple(100, 30, "C")), 0);  // below all: first, the rest moved by 8
  EXPECT_EQ(Index(), Entry(100, third) + Entry(500, 1) + Entry(900, second));

  const int32_t fourth = third + static_cast<int32_t>(Record(30, "C").size());
  ASSERT_EQ(Add(Simple(500, 40, "A2")), 0);  // an existing ID: same size, new record
  EXPECT_EQ(Index(), Entry(100, third) + Entry(500, fourth) + Entry(900, second));
  EXPECT_EQ(Data(),
            "\x01" + Record(10, "A") + Record(20, "B") + Record(30, "C") + Record(40, "A2"));

  AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
  CSDRAWREC* old = nullptr;
  ASSERT_EQ(LoadStructureFromFile(&host_, GetDllInfo(client_.get()), tmp_.file("lib.sdb").c_str(),
                                  -1, &old),
            0);
  EXPECT_STREQ(old->szName, "A");  // the replaced record is still record 1
  std::free(old);
  EXPECT_TRUE(host_.errors.empty());
}

TEST_F(UserLibTest, FreeSpaceCountsTheMovedTailAndTheNewEntryOnOneVolume) {
  ASSERT_EQ(Add(Simple(500, 10, "A")), 0);
  ASSERT_EQ(Add(Simple(900, 20, "B")), 0);
  const std::string index = Index();
  // Inserting first moves 16 bytes through the temporary file (same volume
  // as the library here) and adds 8: 20 bytes free is too little for both.
  platform::SetFreeDiskSpace(20);
  EXPECT_EQ(Add(Simple(100, 30, "C")), 548);
  EXPECT_EQ(Index(), index);
  platform::SetFreeDiskSpace(25);
  EXPECT_EQ(Add(Simple(100, 30, "C")), 0);
  // With the temporary directory on another volume each needs its own share.
  char here[MAX_PATH], shm[MAX_PATH];
  if (GetVolumePathName(tmp_.path().c_str(), here, MAX_PATH) &&
      GetVolumePathName("/dev/shm", shm, MAX_PATH) && std::strcmp(here, shm) != 0) {
    const char* old = std::getenv("TMPDIR");
    const std::string saved = old ? old : "";
    setenv("TMPDIR", "/dev/shm", 1);
    platform::SetFreeDiskSpace(24);  // a tail of 24 bytes, 8 added
    EXPECT_EQ(Add(Simple(50, 40, "D")), 0);
    old ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR");
  }
  platform::SetFreeDiskSpace(-1);
}

TEST_F(UserLibTest, LongTemporaryDirectoriesAreReportedNotOverrun) {
  ASSERT_EQ(Add(Simple(500, 10, "A")), 0);
  const char* old = std::getenv("TMPDIR");
  const std::string saved = old ? old : "";
  auto useTemporary = [&](size_t length) {
    std::string dir = tmp_.path().string();
    while (dir.size() + 51 < length) dir += "/" + std::string(50, 'd');
    dir += "/" + std::string(length - dir.size() - 1, 'e');
    std::filesystem::create_directories(dir);
    setenv("TMPDIR", dir.c_str(), 1);
  };
  // A name past the scratch texts' 256 bytes (but within a path's 260).
  useTemporary(245);
  EXPECT_EQ(Add(Simple(100, 10, "B")), 0);
  // A directory past what a path holds: 518, and the index as it was.
  const std::string index = Index();
  useTemporary(300);
  EXPECT_EQ(Add(Simple(50, 10, "C")), 518);
  EXPECT_EQ(Index(), index);
  if (old)
    setenv("TMPDIR", saved.c_str(), 1);
  else
    unsetenv("TMPDIR");
  EXPECT_EQ(host_.errors.back().second,
            "Could not create file ((temporary directory path too long))");
}

TEST_F(UserLibTest, AFailedFirstAdditionLeavesNoHalfLibrary) {
  // The disk fills at the first write: the files the addition made go again.
  platform::InjectFault(platform::FaultOp::WriteFile, 1, platform::FaultKind::DiskFull);
  EXPECT_EQ(Add(Simple(1, 10, "A"), "fresh"), 516);
  EXPECT_FALSE(std::filesystem::exists(tmp_.file("fresh.sdb")));
  EXPECT_FALSE(std::filesystem::exists(tmp_.file("fresh.ind")));
  EXPECT_EQ(Add(Simple(1, 10, "A"), "fresh"), 0);
  // An empty pair, as an older failure left it, is a new library too.
  WriteFileBytes(tmp_.file("empty.sdb"), "");
  WriteFileBytes(tmp_.file("empty.ind"), "");
  ASSERT_EQ(Add(Simple(3, 10, "E"), "empty"), 0);
  EXPECT_EQ(ReadFileBytes(tmp_.file("empty.sdb")), "\x01" + Record(10, "E"));
  EXPECT_EQ(ReadFileBytes(tmp_.file("empty.ind")), Entry(3, 1));
}

TEST_F(UserLibTest, RefusalsLeaveBothFilesAsTheyWere) {
  WriteFileBytes(tmp_.file("std.sdb"), std::string(1, '\0') + Record(10, "S"));
  WriteFileBytes(tmp_.file("std.ind"), Entry(5, 1));
  EXPECT_EQ(Add(Simple(7, 10, "X"), "std.ind"), 549);
  EXPECT_EQ(ReadFileBytes(tmp_.file("std.sdb")), std::string(1, '\0') + Record(10, "S"));
  EXPECT_EQ(ReadFileBytes(tmp_.file("std.ind")), Entry(5, 1));

  // A data file whose index is gone is never emptied.
  WriteFileBytes(tmp_.file("orphan.sdb"), "\x01" + Record(10, "O"));
  EXPECT_EQ(Add(Simple(7, 10, "X"), "orphan"), 529);
  EXPECT_NE(host_.errors.back().second.find("orphan.ind"), std::string::npos);
  EXPECT_EQ(ReadFileBytes(tmp_.file("orphan.sdb")), "\x01" + Record(10, "O"));
  EXPECT_FALSE(std::filesystem::exists(tmp_.file("orphan.ind")));

  ASSERT_EQ(Add(Simple(1, 10, "A")), 0);
  const std::string data = Data(), index = Index();
  CSDRAWREC* typed = Simple(2, 10, "T");
  RecBondTypes(typed)[0] = 4;  // a MOL bond type the file cannot keep
  EXPECT_EQ(Add(typed), 538);
  EXPECT_NE(host_.errors.back().second.find("has type 4"), std::string::npos);
  EXPECT_EQ(Data(), data);
  EXPECT_EQ(Index(), index);
}

TEST_F(UserLibTest, ImportAddAndLookUpGiveTheSameStructure) {
  AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
  STRUCT_DLL_INFO* info = GetDllInfo(client_.get());
  const std::string mol =
      std::string(std::getenv("STRUCT_TEST_DATA")) + "/peer-mol/rdkit-caffeine.mol";
  CSDRAWREC* imported = nullptr;
  ASSERT_EQ(MolToStructure(&host_, info, mol.c_str(), &imported), 0);
  CSDRAWREC* copy = DuplicateStructureRecord(imported);
  copy->lId = 58082;
  ASSERT_EQ(Add(copy), 0);
  CSDRAWREC* back = nullptr;
  ASSERT_EQ(LoadStructureFromFile(&host_, info, tmp_.file("lib.sdb").c_str(), 58082, &back), 0);
  ASSERT_EQ(back->nBonds, imported->nBonds);
  ASSERT_EQ(back->nLabels, imported->nLabels);
  EXPECT_EQ(std::memcmp(RecBondTypes(back), RecBondTypes(imported), back->nBonds), 0);
  const POINT shift{RecPoint(imported, 0).x - RecPoint(back, 0).x,
                    RecPoint(imported, 0).y - RecPoint(back, 0).y};
  for (int i = 0; i < RecPointCount(back); ++i) {
    EXPECT_EQ(RecPoint(imported, i).x - RecPoint(back, i).x, shift.x) << i;
    EXPECT_EQ(RecPoint(imported, i).y - RecPoint(back, i).y, shift.y) << i;
  }
  EXPECT_EQ(std::memcmp(RecLabels(back), RecLabels(imported),
                        imported->cbTotal - imported->offLabels - 1),
            0);
  std::free(imported);
  std::free(back);
}

// Every write and close of an addition into a library with a tail to move
// fails once, one run per fault point: the old keys keep their records.
TEST_F(UserLibTest, FailuresAtEveryWriteAndCloseLoseNoStoredKey) {
  AFX_MAINTAIN_STATE state(AfxGetStaticModuleState());
  auto build = [&] {
    std::filesystem::remove(tmp_.file("lib.sdb"));
    std::filesystem::remove(tmp_.file("lib.ind"));
    for (LONG id : {300, 400, 500, 600}) Add(Simple(id, 10 + id / 100, "K"));
  };
  build();
  const std::string index = Index(), data = Data();
  short status = 0;
  auto run = [&] {
    WriteFileBytes(tmp_.file("lib.sdb"), data);
    WriteFileBytes(tmp_.file("lib.ind"), index);
    host_.errors.clear();
    status = Add(Simple(350, 99, "new"));
  };
  auto check = [&](int) {
    const std::string after = Index();
    ASSERT_EQ(after.size() % 8, 0u);
    // Sorted, unique, and every old key with its old offset.
    for (size_t i = 8; i < after.size(); i += 8) {
      int32_t a, b;
      std::memcpy(&a, after.data() + i - 8, 4);
      std::memcpy(&b, after.data() + i, 4);
      EXPECT_LT(a, b);
    }
    for (size_t i = 0; i < index.size(); i += 8)
      EXPECT_NE(after.find(index.substr(i, 8)), std::string::npos) << "old entry " << i / 8;
    for (LONG id : {300, 400, 500, 600}) {
      CSDRAWREC* rec = nullptr;
      EXPECT_EQ(LoadStructureFromFile(&host_, GetDllInfo(client_.get()),
                                      tmp_.file("lib.sdb").c_str(), id, &rec),
                0)
          << id;
      std::free(rec);
    }
    // Records keep their numbers: nothing half-written stays in the data file.
    CSDRAWREC* fifth = nullptr;
    short s5 = LoadStructureFromFile(&host_, GetDllInfo(client_.get()),
                                     tmp_.file("lib.sdb").c_str(), -5, &fifth);
    if (status != 0 && Data() == data) {
      EXPECT_EQ(s5, 527);
    } else if (s5 == 0) {
      EXPECT_STREQ(fifth->szName, "new");
    }
    std::free(fifth);
  };
  using platform::FaultKind;
  using platform::FaultOp;
  // The record, the saved tail, the merged entries.
  EXPECT_GE(testutil::SweepFaults(FaultOp::WriteFile, FaultKind::ShortWrite, run, check), 3);
  testutil::SweepFaults(FaultOp::WriteFile, FaultKind::DiskFull, run, check);
  testutil::SweepFaults(FaultOp::CloseHandle, FaultKind::Fail, run, check);
  testutil::SweepFaults(FaultOp::ReadFile, FaultKind::Fail, run, check);
}

TEST_F(UserLibTest, ProgressAtMostOnceASecond) {
  static std::vector<std::string> lines;
  lines.clear();
  // A large index built directly: entries only, no records needed.
  std::string bigIndex;
  for (int32_t id = 1000; id < 21000; ++id) bigIndex += Entry(id, 1);
  WriteFileBytes(tmp_.file("big.sdb"), "\x01" + Record(10, "K"));
  WriteFileBytes(tmp_.file("big.ind"), bigIndex);
  platform::SetTickCount(5000);  // frozen: only the first report is due
  auto progress = [](CCpClient*, LPCSTR title, int count, int permille) {
    lines.push_back(std::string(title) + " " + std::to_string(count) + " " +
                    std::to_string(permille));
  };
  ASSERT_EQ(Add(Simple(5, 10, "early"), "big", progress), 0);
  EXPECT_EQ(lines, std::vector<std::string>{"CSAddStruct 0 0"});
}

}  // namespace
