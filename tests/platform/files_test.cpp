// File handles and operations by name, with the Windows error codes callers
// test for.
#include <filesystem>

#include "fixture.h"

namespace {

class FilesTest : public PlatformTest {
 protected:
  HANDLE Open(const std::string& name, DWORD access, DWORD disposition,
              DWORD share = FILE_SHARE_READ) {
    return CreateFile(Path(name).c_str(), access, share, nullptr, disposition,
                      FILE_ATTRIBUTE_NORMAL, nullptr);
  }
};

TEST_F(FilesTest, WriteSeekReadAndTruncate) {
  HANDLE h = Open("f.bin", GENERIC_READ | GENERIC_WRITE, CREATE_NEW);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  DWORD n = 0;
  ASSERT_TRUE(WriteFile(h, "0123456789", 10, &n, nullptr));
  EXPECT_EQ(n, 10u);
  EXPECT_EQ(SetFilePointer(h, 2, nullptr, FILE_BEGIN), 2u);
  EXPECT_EQ(SetFilePointer(h, 3, nullptr, FILE_CURRENT), 5u);
  EXPECT_EQ(SetFilePointer(h, -1, nullptr, FILE_END), 9u);
  SetLastError(kPrimedError);
  EXPECT_EQ(SetFilePointer(h, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NEGATIVE_SEEK));
  char buf[16] = {};
  SetFilePointer(h, 4, nullptr, FILE_BEGIN);
  ASSERT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));
  EXPECT_EQ(std::string(buf, n), "456789");
  ASSERT_TRUE(ReadFile(h, buf, sizeof buf, &n, nullptr));  // end of file is no error
  EXPECT_EQ(n, 0u);
  SetFilePointer(h, 3, nullptr, FILE_BEGIN);
  ASSERT_TRUE(SetEndOfFile(h));
  DWORD high = 7;
  EXPECT_EQ(GetFileSize(h, &high), 3u);
  EXPECT_EQ(high, 0u);
  ASSERT_TRUE(CloseHandle(h));
  EXPECT_EQ(Read("f.bin"), "012");
  SetLastError(kPrimedError);
  EXPECT_FALSE(CloseHandle(h));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(FilesTest, DispositionsAndTheirErrors) {
  SetLastError(kPrimedError);
  EXPECT_EQ(Open("none", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  SetLastError(kPrimedError);
  EXPECT_EQ(Open("nodir/none", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  SetLastError(kPrimedError);
  EXPECT_EQ(Open("nodir/new", GENERIC_WRITE, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  Write("old", "contents");
  SetLastError(kPrimedError);
  EXPECT_EQ(Open("old", GENERIC_WRITE, CREATE_NEW), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  SetLastError(kPrimedError);
  HANDLE h = Open("old", GENERIC_READ, OPEN_ALWAYS);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(h);
  EXPECT_EQ(Read("old"), "contents");
  SetLastError(kPrimedError);
  h = Open("old", GENERIC_WRITE, CREATE_ALWAYS);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  CloseHandle(h);
  EXPECT_EQ(Read("old"), "");
  std::filesystem::create_directory(dir_.path() / "d");
  SetLastError(kPrimedError);
  EXPECT_EQ(Open("d", GENERIC_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
}

TEST_F(FilesTest, AccessIsCheckedPerHandle) {
  HANDLE h = Open("w", GENERIC_WRITE, CREATE_NEW);
  char buf[4];
  DWORD n = 99;
  SetLastError(kPrimedError);
  EXPECT_FALSE(ReadFile(h, buf, 4, &n, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  EXPECT_EQ(n, 0u);
  CloseHandle(h);
  h = Open("w", GENERIC_READ, OPEN_EXISTING);
  SetLastError(kPrimedError);
  EXPECT_FALSE(WriteFile(h, "x", 1, &n, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ACCESS_DENIED));
  CloseHandle(h);
  SetLastError(kPrimedError);
  EXPECT_FALSE(ReadFile(INVALID_HANDLE_VALUE, buf, 4, &n, nullptr));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST_F(FilesTest, DeleteMoveAndCopy) {
  Write("a", "A");
  Write("b", "B");
  SetLastError(kPrimedError);
  EXPECT_FALSE(MoveFile(Path("a").c_str(), Path("b").c_str()));  // never replaces
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  ASSERT_TRUE(MoveFile(Path("a").c_str(), Path("c").c_str()));
  EXPECT_EQ(GetFileAttributes(Path("a").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(Read("c"), "A");
  SetLastError(kPrimedError);
  EXPECT_FALSE(CopyFile(Path("c").c_str(), Path("b").c_str(), TRUE));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_EXISTS));
  ASSERT_TRUE(CopyFile(Path("c").c_str(), Path("b").c_str(), FALSE));
  EXPECT_EQ(Read("b"), "A");
  ASSERT_TRUE(DeleteFile(Path("b").c_str()));
  SetLastError(kPrimedError);
  EXPECT_FALSE(DeleteFile(Path("b").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, MoveWithReplaceTakesTheTargetsPlace) {
  Write("new", "N");
  Write("old", "O");
  HANDLE held = CreateFile(Path("old").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(MoveFileEx(Path("new").c_str(), Path("old").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  CloseHandle(held);
  EXPECT_FALSE(MoveFileEx(Path("new").c_str(), Path("old").c_str(), 0));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
  ASSERT_TRUE(MoveFileEx(Path("new").c_str(), Path("old").c_str(), MOVEFILE_REPLACE_EXISTING));
  EXPECT_EQ(Read("old"), "N");
  EXPECT_EQ(GetFileAttributes(Path("new").c_str()), INVALID_FILE_ATTRIBUTES);
}

TEST_F(FilesTest, Attributes) {
  Write("f", "x");
  EXPECT_EQ(GetFileAttributes(Path("f").c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_NORMAL));
  EXPECT_EQ(GetFileAttributes(dir_.path().c_str()), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
  SetLastError(kPrimedError);
  EXPECT_EQ(GetFileAttributes(Path("missing").c_str()), INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
}

TEST_F(FilesTest, TemporaryFilesAreCreatedUnique) {
  char a[MAX_PATH], b[MAX_PATH];
  std::string dir = dir_.path().string();
  UINT ua = GetTempFileName(dir.c_str(), "structure", 0, a);
  UINT ub = GetTempFileName(dir.c_str(), "structure", 0, b);
  ASSERT_NE(ua, 0u);
  ASSERT_NE(ub, 0u);
  EXPECT_NE(ua, ub);
  std::string name = std::filesystem::path(a).filename().string();
  EXPECT_EQ(name.substr(0, 3), "str");
  EXPECT_EQ(name.substr(name.size() - 4), ".TMP");
  EXPECT_TRUE(std::filesystem::exists(a));
  EXPECT_EQ(GetTempFileName(dir.c_str(), "x", 0x1F, a), 0x1Fu);  // named, not made
  EXPECT_EQ(std::string(a), dir + "/x1F.TMP");
  EXPECT_FALSE(std::filesystem::exists(a));
  EXPECT_EQ(GetTempFileName((dir + "/none").c_str(), "x", 0, a), 0u);
  char tmp[MAX_PATH];
  DWORD n = GetTempPath(sizeof tmp, tmp);
  ASSERT_GT(n, 0u);
  EXPECT_EQ(tmp[n - 1], '/');
}

TEST_F(FilesTest, FreeSpaceOfAPathRootOrOverride) {
  ULONGLONG avail = 0, total = 0, free = 0;
  // The first three characters of a POSIX path name no directory.
  std::string root = dir_.path().string().substr(0, 3);
  ASSERT_TRUE(GetDiskFreeSpaceEx(root.c_str(), &avail, &total, &free));
  EXPECT_GT(total, 0u);
  platform::SetFreeDiskSpace(1000);
  ASSERT_TRUE(GetDiskFreeSpaceEx(dir_.path().c_str(), &avail, &total, &free));
  EXPECT_EQ(avail, 1000u);
  EXPECT_EQ(free, 1000u);
  EXPECT_FALSE(GetDiskFreeSpaceEx("Q:\\", &avail, &total, &free));
}

}  // namespace
