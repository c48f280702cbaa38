// Value ownership against a real plug-in (the test plug-in counts its
// payloads): duplicates on assignment, destruction of overwritten values and
// temporaries, arguments passed by reference, plot children, and failures of
// entries, all ending with every value destroyed exactly once before the
// plug-in is told to end.
#include <gtest/gtest.h>

#include "test_host.h"

namespace {

using hosttest::TestHost;

void ExpectAllEnded(TestHost& h) {
  h.Finish();
  auto c = h.Counts();
  EXPECT_EQ(c.liveAtStop, 0) << "values alive when message 6 came";
  EXPECT_EQ(c.created + c.duplicated, c.destroyed);
}

TEST(OwnershipTest, ServerMessagesInOrder) {
  TestHost h(true);
  h.Run("Abort\n");
  h.Finish();
  EXPECT_EQ(h.Messages(), "2,3,8,6");
}

TEST(OwnershipTest, AssignmentDuplicatesAndOverwriteDestroys) {
  TestHost h(true);
  auto r = h.Run("a = MakeThing(\"one\")\nb = a\nRename b, \"two\"\nPrint a, b\n");
  EXPECT_EQ(r.out, "THING one THING two\n");
  auto c = h.Counts();
  EXPECT_EQ(c.created, 1);
  EXPECT_EQ(c.duplicated, 1);
  EXPECT_EQ(c.destroyed, 0);
  h.Run("a = MakeThing(\"three\")\na = a\n");
  c = h.Counts();
  EXPECT_EQ(c.destroyed, 1);  // the old a; "a = a" neither copies nor ends
  EXPECT_EQ(c.duplicated, 1);
  ExpectAllEnded(h);
}

TEST(OwnershipTest, TemporariesEndWithTheirStatement) {
  TestHost h(true);
  auto r = h.Run(
      "Print MakeThing(\"t\"), NameOf$(MakeThing(\"u\"))\nm = MS(0, 1, 0, 1)\n"
      "Attach MakeThing(\"v\"), m\n");
  EXPECT_EQ(r.out, "THING t u\n");
  auto c = h.Counts();
  EXPECT_EQ(c.created, 3);
  EXPECT_EQ(c.duplicated, 1);  // the child the plot keeps
  EXPECT_EQ(c.destroyed, 3);
  ExpectAllEnded(h);
}

TEST(OwnershipTest, ArgumentsArePassedByReference) {
  TestHost h(true);
  auto r = h.Run(
      "n = 1\nBump n\nBump n\nt = MakeThing(\"x\")\nRename t, \"renamed\"\n"
      "Print n, NameOf$(t)\nBump 5\n");
  EXPECT_EQ(r.out, "3 renamed\n");
  EXPECT_FALSE(r.failed);
  ExpectAllEnded(h);
}

TEST(OwnershipTest, PlotsAdoptDuplicatesAndCarryThemThroughCopies) {
  TestHost h(true);
  auto r = h.Run(
      "t = MakeThing(\"s\")\n"
      "m = MS(0, 10, 0, 5)\n"
      "Attach t, m\n"
      "Attach t, m\n"
      "m2 = m\n"
      "Detach m\n"
      "Print ChildCount(m), ChildCount(m2), m2\n");
  EXPECT_EQ(r.out, "1 2 MS(0, 10, 0, 5) [THING, THING]\n");
  EXPECT_FALSE(r.failed) << r.err;
  auto c = h.Counts();
  EXPECT_EQ(c.duplicated, 4);  // two attached copies, and both again for m2
  EXPECT_EQ(c.destroyed, 1);   // the detached child
  h.Run("m = 0\n");
  EXPECT_EQ(h.Counts().destroyed, 2);  // m ended with its remaining child
  ExpectAllEnded(h);
}

TEST(OwnershipTest, PlotRefusesToAdoptAnArgument) {
  TestHost h(true);
  auto r =
      h.Run("t = MakeThing(\"s\")\nm = MS(0, 1, 0, 1)\nAttachOriginal t, m\nPrint ChildCount(m)\n");
  EXPECT_EQ(r.out, "0\n");
  EXPECT_EQ(r.err, "error: MS adopts the child it is given: add a duplicate, not an argument\n");
  EXPECT_TRUE(r.failed);
  ExpectAllEnded(h);
}

TEST(OwnershipTest, FailingEntriesLeaveNoValueBehind) {
  TestHost h(true);
  auto r = h.Run(
      "x = 5\n"
      "x = Fail(600)\n"
      "Print _STATUS, x\n"
      "x = Fail(601, 1)\n"  // made a result, then failed
      "y = NoResult()\n"
      "Print Fail(602)\n"
      "Print \"end\"\n");
  EXPECT_EQ(r.out, "600 5\nend\n");
  EXPECT_EQ(r.err, "error: NoResult gave no value\n");
  EXPECT_TRUE(r.failed);
  EXPECT_DOUBLE_EQ(h.Number("x"), 5);
  EXPECT_EQ(h.rt().variables().Find("y"), nullptr);
  // A duplicate that fails keeps the target as it was.
  auto d = h.Run("a = MakeThing(\"nodup\")\nb = 1\nb = a\nPrint _STATUS, b\n");
  EXPECT_EQ(d.out, "600 1\n");
  ExpectAllEnded(h);
}

TEST(OwnershipTest, OverloadsChooseByTypesOfPresentArguments) {
  TestHost h(true);
  auto r = h.Run(
      "t = MakeThing(\"a\")\n"
      "Print Which$(1, \"s\"), Which$(\"s\", \"s\"), Which$(t), Which$(MS(0, 1, 0, 1))\n"
      "Print Which$(, \"s\")\n"  // missing fits any: the first form wins
      "Print Which$(\"s\")\n"
      "Print Which$(1, 2)\n"
      "Print Which$(1, \"s\", 3)\n"
      "Put t, 1\nPrint _PUT\nPut \"x\", 1\nPrint _PUT\nNoArgs\nPrint _NOARGS\n");
  EXPECT_EQ(r.out, "number,string string,string thing ms\nnumber,string\nstring,string\n1\n2\n1\n");
  EXPECT_EQ(r.err,
            "error: no form of Which$ takes (number, number)\n"
            "error: too many arguments for Which$\n");
}

TEST(OwnershipTest, MissingArgumentsArriveAsNullElements) {
  TestHost h(true);
  auto r = h.Run(
      "t = MakeThing(\"a\")\n"
      "Print Positions$(1, \"s\", t, 2)\n"
      "Print Positions$(1, , , 2)\n"
      "Print Positions$(, \"s\")\n"
      "Print Positions$()\n");
  EXPECT_EQ(r.out, "n s t n\nn - - n\n- s - -\n- - - -\n");
}

TEST(OwnershipTest, VariablesAndStatusTextsFromThePlugin) {
  TestHost h(true);
  auto r = h.Run(
      "SetVar \"_button\", 1\nPrint _BUTTON\n"
      "SetVar \"bad$\", 1\n"
      "NeedVar \"_LIBPATH$\", 1\nPrint \"tolerated\"\n"
      "NeedVar \"_LIBPATH$\", 0\n"
      "_libpath$ = \"C:\\lib\\\"\nNeedVar \"_LIBPATH$\", 0\nPrint _LEN\n"
      "Say 0, \"Searching\"\nSay 9, \"50%\"\n");
  EXPECT_EQ(r.out, "1\ntolerated\n7\n");
  EXPECT_EQ(r.err,
            "error: NeedVar: no string variable _LIBPATH$\n"
            "status: Searching\n"
            "progress: 50%\n");
  EXPECT_EQ(h.rt().nErrors, 0);
}

}  // namespace
