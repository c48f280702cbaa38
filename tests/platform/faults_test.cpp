// Injected faults: the nth call fails, writes short or finds the disk full,
// once or from then on; and a profile write that fails leaves the file whole.
#include <filesystem>

#include "fixture.h"

namespace {

using platform::FaultKind;
using platform::FaultOp;

class FaultsTest : public PlatformTest {
 protected:
  HANDLE Create(const std::string& name) {
    return CreateFile(Path(name).c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                      0, nullptr);
  }
  int FilesInDir() {
    int n = 0;
    for (auto& e : std::filesystem::directory_iterator(dir_.path())) n += e.exists();
    return n;
  }
};

TEST_F(FaultsTest, NthCallFailsOnce) {
  HANDLE h = Create("f");
  platform::InjectFault(FaultOp::WriteFile, 2);
  DWORD n;
  EXPECT_TRUE(WriteFile(h, "ab", 2, &n, nullptr));
  SetLastError(kPrimedError);
  EXPECT_FALSE(WriteFile(h, "cd", 2, &n, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_WRITE_FAULT));
  EXPECT_EQ(n, 0u);
  EXPECT_TRUE(WriteFile(h, "ef", 2, &n, nullptr));
  EXPECT_EQ(platform::CallCount(FaultOp::WriteFile), 3);
  CloseHandle(h);
  EXPECT_EQ(Read("f"), "abef");  // the failed call changed nothing
}

TEST_F(FaultsTest, PersistentFaultHitsEveryLaterCall) {
  platform::InjectPersistentFault(FaultOp::CreateFile, 2);
  HANDLE h = Create("a");
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_EQ(Create("b"), INVALID_HANDLE_VALUE);
  EXPECT_EQ(Create("c"), INVALID_HANDLE_VALUE);
  platform::ClearFaults();
  EXPECT_EQ(platform::CallCount(FaultOp::CreateFile), 0);
  h = Create("d");
  EXPECT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
}

TEST_F(FaultsTest, ShortWriteStoresHalf) {
  HANDLE h = Create("f");
  platform::InjectFault(FaultOp::WriteFile, 1, FaultKind::ShortWrite);
  DWORD n = 0;
  EXPECT_TRUE(WriteFile(h, "0123456789", 10, &n, nullptr));
  EXPECT_EQ(n, 5u);
  CloseHandle(h);
  EXPECT_EQ(Read("f"), "01234");
}

TEST_F(FaultsTest, DiskFullFailsAndEmptiesTheDisk) {
  HANDLE h = Create("f");
  ULONGLONG avail = 0;
  ASSERT_TRUE(GetDiskFreeSpaceEx(dir_.path().c_str(), &avail, nullptr, nullptr));
  EXPECT_GT(avail, 0u);  // before the fault fires the disk has room
  platform::InjectFault(FaultOp::WriteFile, 1, FaultKind::DiskFull);
  DWORD n;
  SetLastError(kPrimedError);
  EXPECT_FALSE(WriteFile(h, "abc", 3, &n, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_DISK_FULL));
  ASSERT_TRUE(GetDiskFreeSpaceEx(dir_.path().c_str(), &avail, nullptr, nullptr));
  EXPECT_EQ(avail, 0u);
  CloseHandle(h);
}

TEST_F(FaultsTest, ReadSeekDeleteAndMoveFail) {
  Write("f", "abcdef");
  HANDLE h = CreateFile(Path("f").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                        nullptr, OPEN_EXISTING, 0, nullptr);
  char buf[8];
  DWORD n;
  platform::InjectFault(FaultOp::ReadFile, 1);
  SetLastError(kPrimedError);
  EXPECT_FALSE(ReadFile(h, buf, 6, &n, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_READ_FAULT));
  platform::InjectFault(FaultOp::SetFilePointer, 1);
  EXPECT_EQ(SetFilePointer(h, 1, nullptr, FILE_BEGIN), INVALID_SET_FILE_POINTER);
  EXPECT_TRUE(ReadFile(h, buf, 6, &n, nullptr));  // the position did not move
  EXPECT_EQ(std::string(buf, n), "abcdef");
  CloseHandle(h);
  platform::InjectFault(FaultOp::DeleteFile, 1);
  EXPECT_FALSE(DeleteFile(Path("f").c_str()));
  platform::InjectFault(FaultOp::MoveFile, 1);
  EXPECT_FALSE(MoveFile(Path("f").c_str(), Path("g").c_str()));
  EXPECT_EQ(Read("f"), "abcdef");
}

TEST_F(FaultsTest, FailedCloseStillReleasesTheHandle) {
  HANDLE h = Create("f");
  int open = platform::OpenFileHandles();
  platform::InjectFault(FaultOp::CloseHandle, 1);
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(platform::OpenFileHandles(), open - 1);
  SetLastError(kPrimedError);
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(FaultsTest, AllocatorsFailOnTheNthCall) {
  platform::InjectFault(FaultOp::LocalAlloc, 2);
  HLOCAL a = LocalAlloc(LHND, 16);
  EXPECT_NE(a, nullptr);
  EXPECT_EQ(LocalReAlloc(a, 32, LMEM_MOVEABLE), nullptr);  // the block stays as it was
  EXPECT_EQ(LocalSize(a), 16u);
  LocalFree(a);
  platform::InjectFault(FaultOp::GlobalAlloc, 1);
  SetLastError(kPrimedError);
  EXPECT_EQ(GlobalAlloc(GHND, 16), nullptr);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY));
}

TEST_F(FaultsTest, FailedProfileWriteLeavesFileIntact) {
  const std::string original = "[Globals]\r\nTextSize=12\r\n";
  std::string ini = Path("struct.ini");
  struct Case {
    FaultOp op;
    FaultKind kind;
  };
  for (Case c :
       {Case{FaultOp::ProfileWrite, FaultKind::Fail},
        Case{FaultOp::ProfileWrite, FaultKind::DiskFull},
        Case{FaultOp::CreateFile, FaultKind::Fail}, Case{FaultOp::WriteFile, FaultKind::ShortWrite},
        Case{FaultOp::WriteFile, FaultKind::DiskFull},
        Case{FaultOp::CloseHandle, FaultKind::Fail}}) {
    Write("struct.ini", original);
    platform::ClearFaults();
    platform::InjectFault(c.op, 1, c.kind);
    EXPECT_FALSE(WritePrivateProfileString("Globals", "TextSize", "14", ini.c_str()))
        << static_cast<int>(c.op);
    EXPECT_EQ(Read("struct.ini"), original);
    EXPECT_EQ(FilesInDir(), 1) << "a temporary file was left";
  }
  platform::ClearFaults();
  EXPECT_TRUE(WritePrivateProfileString("Globals", "TextSize", "14", ini.c_str()));
}

}  // namespace
