// The macro language's syntax: what parses into which statements, where the
// missing argument positions fall, operator precedence, and the errors that
// stop a script before it runs.
#include <gtest/gtest.h>

#include "parser.h"

namespace {

using host::ExprKind;
using host::StmtKind;

host::Program Parse(const std::string& text) {
  host::Program p;
  std::string error;
  EXPECT_TRUE(host::ParseProgram("t.mac", text, p, error)) << error;
  return p;
}

std::string ParseError(const std::string& text) {
  host::Program p;
  std::string error;
  EXPECT_FALSE(host::ParseProgram("t.mac", text, p, error)) << text;
  return error;
}

// Renders an expression with full parentheses, to check precedence.
std::string Show(const host::Expr& e) {
  switch (e.kind) {
    case ExprKind::Number:
      return std::to_string(static_cast<int>(e.number));
    case ExprKind::String:
      return "\"" + e.text + "\"";
    case ExprKind::Variable:
      return e.text;
    case ExprKind::Call: {
      std::string s = e.text + "(";
      for (size_t i = 0; i < e.args.size(); ++i)
        s += (i ? "," : "") + (e.args[i] ? Show(**e.args[i]) : "_");
      return s + ")";
    }
    case ExprKind::Unary:
      return "(" + e.text + " " + Show(*e.left) + ")";
    case ExprKind::Binary:
      return "(" + Show(*e.left) + " " + e.text + " " + Show(*e.right) + ")";
  }
  return "?";
}

std::string Missing(const std::vector<host::Arg>& args) {
  std::string s;
  for (const auto& a : args) s += a ? 'x' : '_';
  return s;
}

TEST(ParserTest, StatementsCommentsAndBlankLines) {
  host::Program p = Parse("! heading\n\nx = 1 ! set x\nPrint x, \"a!b\"\n   \n");
  ASSERT_EQ(p.statements.size(), 2u);
  EXPECT_EQ(p.statements[0].kind, StmtKind::Assign);
  EXPECT_EQ(p.statements[0].line, 3);
  EXPECT_EQ(p.statements[1].kind, StmtKind::Command);
  EXPECT_EQ(p.statements[1].name, "Print");
  ASSERT_EQ(p.statements[1].args.size(), 2u);
  EXPECT_EQ(Show(**p.statements[1].args[1]), "\"a!b\"");  // "!" inside a string is text
}

TEST(ParserTest, MissingArgumentPositions) {
  auto args = [](const std::string& line) { return Missing(Parse(line).statements[0].args); };
  EXPECT_EQ(args("CSAttach s, , r"), "x_x");
  EXPECT_EQ(args("Cmd , a"), "_x");
  EXPECT_EQ(args("Cmd a,"), "x_");
  EXPECT_EQ(args("Cmd , ,"), "___");
  EXPECT_EQ(args("Cmd"), "");
  host::Program p = Parse("x = F(1, , 3)\ny = G()\nz = H(,)");
  EXPECT_EQ(Missing(p.statements[0].value->args), "x_x");
  EXPECT_EQ(p.statements[1].value->args.size(), 0u);
  EXPECT_EQ(Missing(p.statements[2].value->args), "__");
}

TEST(ParserTest, PrecedenceAndAssociativity) {
  auto expr = [](const std::string& e) { return Show(*Parse("x = " + e).statements[0].value); };
  EXPECT_EQ(expr("1 + 2 * 3"), "(1 + (2 * 3))");
  EXPECT_EQ(expr("8 - 4 - 2"), "((8 - 4) - 2)");
  EXPECT_EQ(expr("-2 * 3"), "((- 2) * 3)");
  EXPECT_EQ(expr("(1 + 2) * 3"), "((1 + 2) * 3)");
  EXPECT_EQ(expr("a < b + 1 AND NOT c = d OR e"), "(((a < (b + 1)) AND (NOT (c = d))) OR e)");
  EXPECT_EQ(expr("a <> b"), "(a <> b)");
  EXPECT_EQ(expr("F(a + 1, G(b))"), "F((a + 1),G(b))");
}

TEST(ParserTest, LiteralsAndNames) {
  host::Program p = Parse("a$ = \"say \"\"hi\"\" C:\\dir\\f.sdb\"\nb = 1.5e3\nc = .25\n");
  EXPECT_EQ(p.statements[0].name, "a$");
  EXPECT_EQ(p.statements[0].value->text, "say \"hi\" C:\\dir\\f.sdb");  // backslash is plain
  EXPECT_DOUBLE_EQ(p.statements[1].value->number, 1500);
  EXPECT_DOUBLE_EQ(p.statements[2].value->number, 0.25);
  EXPECT_EQ(Parse("x = GetWindowText$(w)").statements[0].value->text, "GetWindowText$");
}

TEST(ParserTest, BlocksNestAndKeywordsIgnoreCase) {
  host::Program p = Parse(
      "if a then\n"
      "  for i = 1 to 3 step 2\n"
      "    Print i\n"
      "  Next I\n"
      "else\n"
      "  Print 0\n"
      "end if\n"
      "IF b THEN c = 1 ELSE Print 2\n");
  ASSERT_EQ(p.statements.size(), 2u);
  const host::Stmt& s = p.statements[0];
  EXPECT_EQ(s.kind, StmtKind::If);
  ASSERT_EQ(s.body.size(), 1u);
  EXPECT_EQ(s.body[0].kind, StmtKind::For);
  EXPECT_NE(s.body[0].step, nullptr);
  EXPECT_EQ(s.body[0].body.size(), 1u);
  EXPECT_EQ(s.orElse.size(), 1u);
  const host::Stmt& one = p.statements[1];
  ASSERT_EQ(one.body.size(), 1u);
  EXPECT_EQ(one.body[0].kind, StmtKind::Assign);
  ASSERT_EQ(one.orElse.size(), 1u);
  EXPECT_EQ(one.orElse[0].name, "Print");
}

TEST(ParserTest, ErrorsNameTheLine) {
  EXPECT_EQ(ParseError("Print 1\nx = (1 + 2\n"), "t.mac:2: expected ')' at end of line");
  EXPECT_EQ(ParseError("x = \"open"), "t.mac:1: unterminated string");
  EXPECT_EQ(ParseError("Print 1\nIF a THEN\nPrint 2\n"), "t.mac:2: no ENDIF for this IF");
  EXPECT_EQ(ParseError("FOR i = 1 TO 2\nIF a THEN\nENDIF\n"), "t.mac:1: no NEXT for this FOR");
  EXPECT_EQ(ParseError("ENDIF"), "t.mac:1: ENDIF without IF");
  EXPECT_EQ(ParseError("NEXT"), "t.mac:1: NEXT without FOR");
  EXPECT_EQ(ParseError("FOR i = 1 TO 2\nNEXT j"), "t.mac:2: NEXT j closes FOR i");
  EXPECT_EQ(ParseError("x = 1 2"), "t.mac:1: expected end of line before '2'");
  EXPECT_EQ(ParseError("x = @"), "t.mac:1: unexpected character '@'");
  EXPECT_EQ(ParseError("FOR s$ = 1 TO 2\nNEXT"), "t.mac:1: a loop variable holds a number: s$");
  EXPECT_EQ(ParseError("IF = 2"), "t.mac:1: expected a value before '='");
  EXPECT_EQ(ParseError("Foo(1, 2)"),
            "t.mac:1: a command takes its arguments without parentheses: Foo a, b");
  EXPECT_EQ(ParseError("x = 12abc"), "t.mac:1: bad number '12a'");
}

TEST(ParserTest, NestingIsBoundedAndLongFlatChainsAreNot) {
  auto parens = [](int n) { return "x = " + std::string(n, '(') + "1" + std::string(n, ')'); };
  Parse(parens(990));
  EXPECT_EQ(ParseError("Print 1\n" + parens(6500)), "t.mac:2: nesting too deep");
  EXPECT_EQ(ParseError("x = " + std::string(20000, '-') + "1"), "t.mac:1: nesting too deep");
  std::string ifs;
  for (int i = 0; i < 20000; ++i) ifs += "IF 1 THEN\n";
  for (int i = 0; i < 20000; ++i) ifs += "ENDIF\n";
  EXPECT_EQ(ParseError(ifs), "t.mac:1000: nesting too deep");
  std::string chain = "x = 1";
  for (int i = 0; i < 40000; ++i) chain += " + 1";
  Parse(chain);  // and freed
}

}  // namespace
