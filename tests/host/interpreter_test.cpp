// Running scripts with the host's built-ins alone: values and operators,
// control flow, _STATUS, the string-variable rule, Print's formats, and how a
// failing statement is reported without stopping the script.
#include <gtest/gtest.h>
#include <platform/env.h>

#include "test_host.h"

namespace {

using hosttest::TestHost;

TEST(InterpreterTest, ArithmeticStringsAndComparisons) {
  TestHost h(false);
  auto r = h.Run(
      "Print 1 + 2 * 3, (1 + 2) * 3, 7 / 2, -2 - -3\n"
      "Print 0.1 + 0.2, 1e20, 1 / 3\n"
      "a$ = \"ab\" + \"c\"\n"
      "Print a$, a$ = \"abc\", \"b\" > \"abc\", 2 <= 1, 3 <> 3\n"
      "Print NOT 0, 1 AND 0, 0 OR 5\n");
  EXPECT_EQ(r.out,
            "7 9 3.5 1\n"
            "0.3 1e+20 0.333333333333333\n"
            "abc 1 1 0 0\n"
            "1 0 1\n");
  EXPECT_EQ(r.err, "");
  EXPECT_FALSE(r.failed);
}

TEST(InterpreterTest, LongOperatorChainsTakeNoStackPerTerm) {
  TestHost h(false);
  std::string chain = "Print 1";
  for (int i = 0; i < 40000; ++i) chain += i % 2 ? " + 1" : " - 2 AND 1 OR 0 * 3";
  auto r = h.Run(chain + "\n");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(r.out, "1\n");
}

TEST(InterpreterTest, NamesIgnoreCaseAndDollarNamesAreOtherVariables) {
  TestHost h(false);
  auto r = h.Run("Count = 2\ncount = COUNT + 1\ncount$ = \"x\"\nprint Count, COUNT$\n");
  EXPECT_EQ(r.out, "3 x\n");
}

TEST(InterpreterTest, IfElseAndOneLineIf) {
  TestHost h(false);
  auto r = h.Run(
      "x = 5\n"
      "IF x > 3 THEN\n  Print \"big\"\nELSE\n  Print \"small\"\nENDIF\n"
      "IF x < 3 THEN Print \"no\" ELSE Print \"else\"\n"
      "IF x = 5 THEN Print \"yes\"\n");
  EXPECT_EQ(r.out, "big\nelse\nyes\n");
}

TEST(InterpreterTest, ForLoopsCountStepAndLeaveVariablePastTheEnd) {
  TestHost h(false);
  auto r = h.Run(
      "FOR i = 1 TO 3\n  Print i\nNEXT\n"
      "FOR j = 10 TO 4 STEP -3\n  Print j\nNEXT j\n"
      "FOR k = 1 TO 0\n  Print \"never\"\nNEXT\n"
      "Print i, j, k\n");
  EXPECT_EQ(r.out, "1\n2\n3\n10\n7\n4\n4 1 1\n");
  // The body may move the variable on, as in BASIC.
  auto s = h.Run("FOR i = 1 TO 10\n  Print i\n  i = i + 4\nNEXT\n");
  EXPECT_EQ(s.out, "1\n6\n");
  auto z = h.Run("FOR i = 1 TO 2 STEP 0\nPrint i\nNEXT\nPrint \"after\"\n");
  EXPECT_EQ(z.out, "after\n");
  EXPECT_EQ(z.err, "error: FOR i with STEP 0 never ends\n");
  EXPECT_TRUE(z.failed);
  // A step lost in a large number would not move the loop on either.
  auto big = h.Run("FOR i = 1e16 TO 1e16 + 10\nPrint i\nNEXT\nPrint \"after\"\n");
  EXPECT_EQ(big.out, "1e+16\nafter\n");
  EXPECT_EQ(big.err, "error: FOR i: STEP no longer changes the variable\n");
  EXPECT_TRUE(big.failed);
}

TEST(InterpreterTest, HostErrorsFailTheStatementAndTheScriptGoesOn) {
  TestHost h(false);
  auto r = h.Run(
      "x = 1\n"
      "x = y + 1\n"
      "Print _STATUS, x\n"
      "Print 1 / 0\n"
      "Nope 1\n"
      "z = Nope(1)\n"
      "Print \"a\" + 1\n"
      "Print \"end\"\n");
  EXPECT_EQ(r.out, "1 1\nend\n");
  EXPECT_EQ(r.err,
            "error: unset variable y\n"
            "error: division by zero\n"
            "error: unknown command Nope\n"
            "error: unknown function Nope\n"
            "error: cannot apply + to string and number\n");
  EXPECT_TRUE(r.failed);
  EXPECT_DOUBLE_EQ(h.Number("x"), 1);  // the failed assignment kept the old value
  EXPECT_DOUBLE_EQ(h.Number("_STATUS"), 0);
}

TEST(InterpreterTest, StatusFollowsTheLastStatement) {
  TestHost h(false);
  auto r = h.Run("Print q\nPrint _STATUS\nPrint _STATUS\n");
  EXPECT_EQ(r.out, "1\n0\n");
  // A failed IF condition skips both branches and sets the status.
  auto s = h.Run("IF q THEN\nPrint 1\nELSE\nPrint 2\nENDIF\nPrint _STATUS\n");
  EXPECT_EQ(s.out, "1\n");
}

TEST(InterpreterTest, StringsLiveOnlyInDollarVariables) {
  TestHost h(false);
  auto r = h.Run("a = \"text\"\nb$ = 2\nc$ = RANGE(1, 2)\n");
  EXPECT_EQ(r.err,
            "error: cannot assign a string to a: string variables end in $\n"
            "error: cannot assign number to b$\n"
            "error: cannot assign RANGE to c$\n");
  EXPECT_EQ(h.rt().variables().Count(), 1u);  // only _STATUS
}

TEST(InterpreterTest, PrintShowsObjectsMissingValuesAndExactNumbers) {
  TestHost h(false);
  auto r = h.Run(
      "r = RANGE(1.5, -2)\n"
      "Print r, , \"x\"\n"
      "Print MS(0, 10, 0, 100), CHRO(1, 2, 3, 4)\n"
      "Print 123456789012345678, 0.1 * 3, -0.5\n"
      "Print\n");
  EXPECT_EQ(r.out,
            "RANGE(1.5, -2)  x\n"
            "MS(0, 10, 0, 100) CHRO(1, 2, 3, 4)\n"
            "1.23456789012346e+17 0.3 -0.5\n"
            "\n");
}

TEST(InterpreterTest, BuiltinsCheckTheirArguments) {
  TestHost h(false);
  auto r =
      h.Run("r = RANGE(1)\nr = RANGE(1, \"2\")\nm = MS(1, 2, 3, 4, 5)\nPrint RANGE\nRANGE 1, 2\n");
  EXPECT_EQ(r.err,
            "error: RANGE needs argument 2\n"
            "error: RANGE: argument 2 is not a number\n"
            "error: too many arguments for MS\n"
            "error: unset variable RANGE\n"
            "error: RANGE is a function: use it in an expression, as x = RANGE(...)\n");
}

TEST(InterpreterTest, ClipboardTextRoundTrip) {
  TestHost h(false);
  auto r = h.Run("ClipSetText \"hello, world\"\nt$ = ClipText$()\nPrint t$\nx = ClipText$\n");
  EXPECT_EQ(r.out, "hello, world\n");
  EXPECT_EQ(r.err, "error: unset variable ClipText$\n");
  ASSERT_TRUE(OpenClipboard(nullptr));
  HANDLE block = GetClipboardData(CF_TEXT);
  ASSERT_NE(block, nullptr);
  EXPECT_EQ(GlobalSize(block), 13u);  // the text and its NUL
  CloseClipboard();
  auto e = h.Run("ClipSetText \"\"\nPrint \"[\" + ClipText$() + \"]\"\n");
  EXPECT_EQ(e.out, "[]\n");
}

TEST(InterpreterTest, AnswerQueuesUserActions) {
  platform::ClearActions();
  TestHost h(false);
  h.Run("Answer \"click 1\"\nAnswer \"ok\"\n");
  std::string line;
  ASSERT_TRUE(platform::NextAction(line));
  EXPECT_EQ(line, "click 1");
  ASSERT_TRUE(platform::NextAction(line));
  EXPECT_EQ(line, "ok");
  platform::ClearActions();
}

}  // namespace
