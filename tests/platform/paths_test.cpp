// Windows paths on the host: drive map, unmapped drives, case-blind lookup,
// relative paths, full path names and the system directory.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "fixture.h"

namespace {

class PathsTest : public PlatformTest {};

class CurrentDirectory {
 public:
  explicit CurrentDirectory(const std::filesystem::path& dir)
      : saved_(std::filesystem::current_path()) {
    std::filesystem::current_path(dir);
  }
  ~CurrentDirectory() { std::filesystem::current_path(saved_); }

 private:
  std::filesystem::path saved_;
};

TEST_F(PathsTest, DriveLetterLeadsIntoMappedDirectory) {
  platform::SetDrive('x', dir_.path().string());
  EXPECT_EQ(platform::ToHostPath("X:\\Sub\\a.txt"), Path("Sub/a.txt"));
  EXPECT_EQ(platform::ToHostPath("x:/Sub/a.txt"), Path("Sub/a.txt"));
  EXPECT_EQ(platform::ToHostPath("X:\\"), dir_.path().string());
  // Dots never climb out of the drive.
  EXPECT_EQ(platform::ToHostPath("X:\\..\\..\\b\\.\\c.txt"), Path("b/c.txt"));
}

TEST_F(PathsTest, UnmappedDriveIsMissing) {
  EXPECT_EQ(platform::ToHostPath("Q:\\file.txt"), "");
  SetLastError(kPrimedError);
  HANDLE h = CreateFile("Q:\\file.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        FILE_ATTRIBUTE_NORMAL, nullptr);
  EXPECT_EQ(h, INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  EXPECT_EQ(GetFileAttributes("Q:\\"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PathsTest, ComponentsMatchWithoutRegardToCase) {
  std::filesystem::create_directories(dir_.path() / "Data");
  Write("Data/Lib.SDB", "x");
  EXPECT_EQ(platform::ToHostPath(Path("data/lib.sdb")), Path("Data/Lib.SDB"));
  platform::SetDrive('D', dir_.path().string());
  HANDLE h = CreateFile("d:\\DATA\\LIB.sdb", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                        0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  SetLastError(kPrimedError);
  EXPECT_EQ(CreateFile("d:\\DATA\\none.sdb", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       0, nullptr),
            INVALID_HANDLE_VALUE);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
  // Creating over a name spelt in another case replaces that file, not a new one beside it.
  h = CreateFile("d:\\data\\lib.SDB", GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_EQ(std::filesystem::file_size(Path("Data/Lib.SDB")), 0u);
  EXPECT_FALSE(std::filesystem::exists(Path("data/lib.SDB")));
  // A new file: its directory is found, its own name kept as given.
  EXPECT_EQ(platform::ToHostPath("D:\\data\\New.Txt"), Path("Data/New.Txt"));
  EXPECT_EQ(platform::ToHostPath("D:\\nowhere\\x"), Path("nowhere/x"));
}

TEST_F(PathsTest, DotsAndDoubleSlashesResolveLexically) {
  Write("a.txt", "x");
  // ".." climbs lexically, as on Windows, even out of a directory that does not exist.
  for (const std::string& p : {Path("nosuch/../a.txt"), Path("./a.txt"), Path("") + "//a.txt",
                               Path("nosuch/.././A.TXT")}) {
    HANDLE h = CreateFile(p.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_NE(h, INVALID_HANDLE_VALUE) << p;
    CloseHandle(h);
  }
}

TEST_F(PathsTest, ExactSpellingWinsOverOtherCase) {
  Write("a.txt", "lower");
  Write("A.txt", "upper");
  EXPECT_EQ(platform::ToHostPath(Path("A.txt")), Path("A.txt"));
  EXPECT_EQ(platform::ToHostPath(Path("a.txt")), Path("a.txt"));
  EXPECT_EQ(platform::ToHostPath(Path("a.TXT")), Path("A.txt"));  // first in byte order
}

TEST_F(PathsTest, RelativePathsFollowCurrentDirectory) {
  std::filesystem::create_directories(dir_.path() / "Sub");
  CurrentDirectory cd(dir_.path());
  std::string cwd = std::filesystem::current_path().string();
  EXPECT_EQ(platform::ToHostPath("sub\\f.ini"), cwd + "/Sub/f.ini");
  char buf[MAX_PATH];
  ASSERT_EQ(GetCurrentDirectory(sizeof buf, buf), cwd.size());
  EXPECT_EQ(std::string(buf), cwd);
  EXPECT_EQ(GetCurrentDirectory(2, buf), cwd.size() + 1);  // the size it needs
}

TEST_F(PathsTest, FullPathNames) {
  char buf[MAX_PATH];
  LPSTR part = nullptr;
  ASSERT_EQ(GetFullPathName("C:\\a\\.\\b\\..\\c.txt", sizeof buf, buf, &part), 10u);
  EXPECT_STREQ(buf, "C:\\a\\c.txt");
  EXPECT_STREQ(part, "c.txt");
  CurrentDirectory cd(dir_.path());
  std::string cwd = std::filesystem::current_path().string();
  GetFullPathName("x\\y.ini", sizeof buf, buf, &part);
  EXPECT_EQ(std::string(buf), cwd + "/x/y.ini");
  EXPECT_STREQ(part, "y.ini");
  EXPECT_EQ(GetFullPathName("abc", 3, buf, nullptr), cwd.size() + 5);
}

TEST_F(PathsTest, SystemDirectory) {
  char buf[MAX_PATH];
  EXPECT_EQ(GetSystemDirectory(buf, sizeof buf), 0u);
  platform::SetSystemDirectory(dir_.path().string());
  std::string dir = dir_.path().string();
  EXPECT_EQ(GetSystemDirectory(buf, sizeof buf), dir.size());
  EXPECT_EQ(std::string(buf), dir);
  EXPECT_EQ(GetSystemDirectory(buf, 3), dir.size() + 1);
}

TEST_F(PathsTest, EnvironmentGivesDrivesAndSystemDirectory) {
  setenv("STRUCT_DRIVE_K", dir_.path().c_str(), 1);
  setenv("STRUCT_SYSDIR", dir_.path().c_str(), 1);
  platform::LoadEnvironment();
  unsetenv("STRUCT_DRIVE_K");
  unsetenv("STRUCT_SYSDIR");
  EXPECT_EQ(platform::ToHostPath("K:\\f"), Path("f"));
  EXPECT_EQ(platform::SystemDirectory(), dir_.path().string());
}

}  // namespace
