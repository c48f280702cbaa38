// The structhost program run as users run it, with the test plug-in: exit
// statuses, what reaches stdout and stderr, --list, and the order of scripts
// and -e statements.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "host_window.h"
#include "plugin.h"
#include "testutil/tempdir.h"

namespace {

struct HostRun {
  int status = -1;
  std::string out, err;
};

std::string Quote(const std::string& s) {
  std::string q = "'";
  for (char c : s) q += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return q + "'";
}

class StructHostTest : public ::testing::Test {
 protected:
  // Runs structhost in the temporary directory with the test plug-in (unless
  // the arguments name another).
  HostRun Host(std::vector<std::string> args, const std::string& env = "", bool plugin = true) {
    std::string cmd =
        "cd " + Quote(dir_.path().string()) + " && " + env + " " + Quote(STRUCTHOST_PATH);
    if (plugin) cmd += " --plugin " + Quote(TEST_PLUGIN_PATH);
    for (const std::string& a : args) cmd += " " + Quote(a);
    cmd += " </dev/null >out.txt 2>err.txt";
    HostRun r;
    int raw = std::system(cmd.c_str());
    r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    r.out = testutil::ReadFileBytes(dir_.file("out.txt"));
    r.err = testutil::ReadFileBytes(dir_.file("err.txt"));
    return r;
  }
  void Script(const std::string& name, const std::string& text) {
    testutil::WriteFileBytes(dir_.file(name), text);
  }
  testutil::TempDir dir_;
};

TEST_F(StructHostTest, ListShowsRegistrationsInOrder) {
  HostRun r = Host({"--list"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out,
            "type THING 5\n"
            "type GADGET 6\n"
            "type PANE 7\n"
            "function MakeThing(string)\n"
            "function MakeGadget()\n"
            "function Which$(number, string)\n"
            "function Which$(string, string)\n"
            "function Which$(THING)\n"
            "function Which$(MS)\n"
            "function Positions$(number, string, THING, number)\n"
            "function Fail(number, number)\n"
            "function NoResult()\n"
            "function NameOf$(THING)\n"
            "function ChildCount(MS)\n"
            "function Draws$()\n"
            "function MakePane(string, number)\n"
            "function PaneLog$()\n"
            "command Rename THING, string\n"
            "command Bump number\n"
            "command Attach THING, MS\n"
            "command AttachOriginal THING, MS\n"
            "command Detach MS\n"
            "command Say number, string\n"
            "command SetVar string, number\n"
            "command NeedVar string, number\n"
            "command NoArgs\n"
            "command Put THING, number\n"
            "command Put string, number\n"
            "command Attach THING, CHRO\n");
  EXPECT_EQ(r.err, "");
}

TEST_F(StructHostTest, ExitStatusFollowsFailedStatements) {
  Script("ok.mac", "t = MakeThing(\"a\")\nPrint NameOf$(t)\n");
  HostRun ok = Host({"ok.mac"});
  EXPECT_EQ(ok.status, 0);
  EXPECT_EQ(ok.out, "a\n");
  EXPECT_EQ(ok.err, "");

  Script("bad.mac", "Print 1\nx = Fail(600)\nPrint _STATUS\nPrint y\nPrint 2\n");
  HostRun bad = Host({"bad.mac"});
  EXPECT_EQ(bad.status, 1);
  EXPECT_EQ(bad.out, "1\n600\n2\n");  // the script went on after each failure
  EXPECT_EQ(bad.err, "error: unset variable y\n");
}

TEST_F(StructHostTest, ScriptsThenStatementsInOrder) {
  Script("a.mac", "x = 1\nPrint \"a\", x\n");
  Script("b.mac", "x = x + 1\nPrint \"b\", x\n");
  HostRun r = Host({"-e", "FOR i = 1 TO 2", "a.mac", "-e", "Print i, x", "b.mac", "-e", "NEXT"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out, "a 1\nb 2\n1 2\n2 2\n");
}

TEST_F(StructHostTest, NothingRunsUnlessEverythingParsesAndLoads) {
  Script("first.mac", "Print \"ran\"\n");
  Script("broken.mac", "Print 1\nIF x THEN\n");
  HostRun parse = Host({"first.mac", "broken.mac"});
  EXPECT_EQ(parse.status, 2);
  EXPECT_EQ(parse.out, "");
  EXPECT_EQ(parse.err, "error: broken.mac:2: no ENDIF for this IF\n");

  HostRun expr = Host({"first.mac", "-e", "Print (1"});
  EXPECT_EQ(expr.status, 2);
  EXPECT_EQ(expr.err, "error: -e:1: expected ')' at end of line\n");

  HostRun missing = Host({"first.mac", "none.mac"});
  EXPECT_EQ(missing.status, 2);
  EXPECT_EQ(missing.err, "error: cannot read script none.mac\n");

  HostRun noPlugin = Host({"--plugin", "./nowhere.so", "first.mac"}, "", false);
  EXPECT_EQ(noPlugin.status, 2);
  EXPECT_EQ(noPlugin.out, "");
  EXPECT_NE(noPlugin.err.find("error: cannot load plug-in ./nowhere.so"), std::string::npos);

  HostRun refused = Host({"first.mac"}, "TESTPLUGIN_REFUSE_CLIENT=1");
  EXPECT_EQ(refused.status, 2);
  EXPECT_EQ(refused.out, "");
  EXPECT_EQ(refused.err, "error: the plug-in made no client (status 554)\n");
}

TEST_F(StructHostTest, UsageErrors) {
  for (const auto& args : std::vector<std::vector<std::string>>{{"--bogus"},
                                                                {"-e"},
                                                                {"--view", "800"},
                                                                {"--view=0x600"},
                                                                {"--drive", "CC"},
                                                                {"--list=1"}}) {
    HostRun r = Host(args);
    EXPECT_EQ(r.status, 2) << args[0];
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err.rfind("error: ", 0), 0u) << r.err;
  }
  HostRun answers = Host({"--answers", "missing.txt", "-e", "Print 1"});
  EXPECT_EQ(answers.status, 2);
  EXPECT_EQ(answers.err, "error: cannot read answers missing.txt\n");
}

TEST_F(StructHostTest, EveryValueEndsBeforeThePluginDoes) {
  Script("own.mac",
         "a = MakeThing(\"x\")\nb = a\nm = MS(0, 1, 0, 1)\nAttach a, m\nm2 = m\n"
         "Print NameOf$(MakeThing(\"t\"))\n");
  HostRun r = Host({"own.mac"}, "TESTPLUGIN_REPORT=1");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.err, "testplugin: created 2 duplicated 3 destroyed 5 live 0\n");
}

TEST(HostWindowsTest, ViewLivesInsideTheMainWindow) {
  host::HostWindows w;
  std::string error;
  ASSERT_TRUE(w.Create(320, 200, error)) << error;
  char cls[64] = {};
  GetClassName(w.view(), cls, sizeof cls);
  EXPECT_STREQ(cls, "ViewDrawClass");
  EXPECT_EQ(GetParent(w.view()), w.main());
  RECT rc{};
  GetClientRect(w.view(), &rc);
  EXPECT_EQ(rc.right - rc.left, 320);
  EXPECT_EQ(rc.bottom - rc.top, 200);
  HWND view = w.view();
  w.Destroy();
  EXPECT_FALSE(IsWindow(view));
}

TEST(PluginPathTest, DefaultIsBesideTheProgram) {
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe");
  EXPECT_EQ(host::DefaultPluginPath(), (exe.parent_path() / "libstruct.so").string());
}

}  // namespace
