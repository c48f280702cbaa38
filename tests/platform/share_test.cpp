// Share modes between handles of this process and of another process.
#include <sys/wait.h>
#include <unistd.h>

#include "fixture.h"

namespace {

class ShareTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    Write("f", "data");
  }
  HANDLE Open(DWORD access, DWORD share) {
    return CreateFile(Path("f").c_str(), access, share, nullptr, OPEN_EXISTING, 0, nullptr);
  }
  // Whether an open succeeds, the handle closed again.
  bool Opens(DWORD access, DWORD share) {
    SetLastError(kPrimedError);
    HANDLE h = Open(access, share);
    if (h == INVALID_HANDLE_VALUE) {
      EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
      return false;
    }
    CloseHandle(h);
    return true;
  }
  // Runs the check in a child process, which opens the file on its own.
  bool OpensInChild(DWORD access, DWORD share) {
    pid_t pid = fork();
    if (pid == 0) _exit(Opens(access, share) ? 0 : 1);
    int status = 0;
    waitpid(pid, &status, 0);
    EXPECT_TRUE(WIFEXITED(status));
    return WEXITSTATUS(status) == 0;
  }
};

constexpr DWORD R = GENERIC_READ, W = GENERIC_WRITE;
constexpr DWORD SR = FILE_SHARE_READ, SW = FILE_SHARE_WRITE;

TEST_F(ShareTest, WriterSharingReadRefusesSecondWriter) {
  HANDLE h = Open(W, SR);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(Opens(W, SR | SW));
  EXPECT_TRUE(Opens(R, SR | SW));
  EXPECT_FALSE(Opens(R, SR));  // would refuse the writer already there
  CloseHandle(h);
  EXPECT_TRUE(Opens(W, SR));
}

TEST_F(ShareTest, ExclusiveHandleRefusesEveryone) {
  HANDLE h = Open(R, 0);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(Opens(R, SR | SW));
  EXPECT_FALSE(Opens(W, SR | SW));
  CloseHandle(h);
}

TEST_F(ShareTest, ReadersSharingReadCoexist) {
  HANDLE a = Open(R, SR);
  HANDLE b = Open(R, SR);
  EXPECT_NE(a, INVALID_HANDLE_VALUE);
  EXPECT_NE(b, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(Opens(W, SR | SW));
  CloseHandle(a);
  CloseHandle(b);
}

TEST_F(ShareTest, RefusedCreateAlwaysLeavesContents) {
  HANDLE h = Open(R, SR);
  HANDLE c = CreateFile(Path("f").c_str(), W, SR, nullptr, CREATE_ALWAYS, 0, nullptr);
  EXPECT_EQ(c, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_EQ(Read("f"), "data");
}

TEST_F(ShareTest, OtherProcessesAreRefusedToo) {
  HANDLE h = Open(W, SR);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  EXPECT_FALSE(OpensInChild(W, SR | SW));
  EXPECT_TRUE(OpensInChild(R, SR | SW));
  CloseHandle(h);
  EXPECT_TRUE(OpensInChild(W, SR));
}

TEST_F(ShareTest, HandleOfOtherProcessRefusesUs) {
  int ready[2], done[2];
  ASSERT_EQ(pipe(ready), 0);
  ASSERT_EQ(pipe(done), 0);
  pid_t pid = fork();
  if (pid == 0) {
    HANDLE h = Open(W, 0);
    char c = h == INVALID_HANDLE_VALUE ? 'n' : 'y';
    if (write(ready[1], &c, 1) != 1) _exit(2);
    if (read(done[0], &c, 1) != 1) _exit(2);
    _exit(0);
  }
  char c = 0;
  ASSERT_EQ(read(ready[0], &c, 1), 1);
  EXPECT_EQ(c, 'y');
  EXPECT_FALSE(Opens(R, SR | SW));
  ASSERT_EQ(write(done[1], "x", 1), 1);
  waitpid(pid, nullptr, 0);
  EXPECT_TRUE(Opens(R, SR | SW));
  for (int fd : {ready[0], ready[1], done[0], done[1]}) close(fd);
}

TEST_F(ShareTest, OpenFileIsNotDeletedUnlessShared) {
  HANDLE h = Open(R, SR);
  SetLastError(kPrimedError);
  EXPECT_FALSE(DeleteFile(Path("f").c_str()));
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
  CloseHandle(h);
  h = Open(R, SR | FILE_SHARE_DELETE);
  EXPECT_TRUE(DeleteFile(Path("f").c_str()));
  CloseHandle(h);
}

}  // namespace
