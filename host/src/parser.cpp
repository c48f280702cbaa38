// Recursive-descent parser of the macro language. Lines are statements;
// IF/ELSE/ENDIF and FOR/NEXT nest over lines; "IF c THEN statement [ELSE
// statement]" is the one-line form.
#include "parser.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>
#include <sstream>
#include <vector>

#include "lexer.h"

namespace host {

std::string Upper(const std::string& s) {
  std::string u = s;
  std::transform(u.begin(), u.end(), u.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return u;
}

namespace {

const char* const kKeywords[] = {"IF", "THEN", "ELSE", "ENDIF", "END", "FOR",
                                 "TO", "STEP", "NEXT", "AND",   "OR",  "NOT"};

bool IsKeyword(const std::string& upper) {
  return std::find(std::begin(kKeywords), std::end(kKeywords), upper) != std::end(kKeywords);
}

struct SyntaxError {
  int line;
  std::string text;
};

// Deeper nesting of blocks, parentheses, signs and NOTs than this is refused:
// parsing, running and freeing a script each take stack per level.
constexpr int kMaxNesting = 1000;

class Parser {
 public:
  explicit Parser(const std::string& text) {
    // Editors on the plug-in's home platform like to start files with a BOM.
    const bool bom = text.rfind("\xEF\xBB\xBF", 0) == 0;
    std::istringstream in(bom ? text.substr(3) : text);
    std::string line;
    while (std::getline(in, line)) lines_.push_back(line);
  }

  Block ParseAll() {
    std::string stop;
    Block b = ParseBlock({}, stop);
    return b;
  }

 private:
  // ---------------------------------------------------------------- lines
  bool NextLine() {
    while (lineNo_ < static_cast<int>(lines_.size())) {
      std::string error;
      ++lineNo_;
      if (!Tokenize(lines_[static_cast<size_t>(lineNo_ - 1)], toks_, error)) Fail(error);
      pos_ = 0;
      if (toks_.front().kind != Tok::End) return true;
    }
    return false;
  }

  [[noreturn]] void Fail(const std::string& text) { throw SyntaxError{lineNo_, text}; }

  // One level of nesting while it lives.
  class Nest {
   public:
    explicit Nest(Parser& p) : p_(p) {
      if (++p_.depth_ > kMaxNesting) p_.Fail("nesting too deep");
    }
    ~Nest() { --p_.depth_; }
    Nest(const Nest&) = delete;
    Nest& operator=(const Nest&) = delete;

   private:
    Parser& p_;
  };

  const Token& Peek() const { return toks_[pos_]; }
  Token Take() { return toks_[pos_ < toks_.size() - 1 ? pos_++ : pos_]; }

  bool AtKeyword(const char* kw) const {
    return Peek().kind == Tok::Name && Upper(Peek().text) == kw;
  }
  bool AtOp(const char* op) const { return Peek().kind == Tok::Op && Peek().text == op; }
  bool AtEnd() const { return Peek().kind == Tok::End; }

  void Expect(bool ok, const std::string& what) {
    if (!ok) Fail("expected " + what + Found());
  }
  std::string Found() const {
    const Token& t = Peek();
    switch (t.kind) {
      case Tok::End:
        return " at end of line";
      case Tok::String:
        return " before \"" + t.text + "\"";
      default:
        return " before '" + t.text + "'";
    }
  }
  void ExpectEnd() { Expect(AtEnd(), "end of line"); }

  // ---------------------------------------------------------------- statements
  // Parses statements up to a line that starts with one of stops (consumed
  // into stop, its tokens left for the caller); at the end of the text when
  // stops is empty.
  Block ParseBlock(std::initializer_list<const char*> stops, std::string& stop) {
    Block block;
    while (NextLine()) {
      const Token& first = Peek();
      if (first.kind == Tok::Name) {
        std::string kw = Upper(first.text);
        if (kw == "END" && pos_ + 1 < toks_.size() && toks_[pos_ + 1].kind == Tok::Name &&
            Upper(toks_[pos_ + 1].text) == "IF") {
          Take();
          kw = "ENDIF";
        }
        for (const char* s : stops) {
          if (kw == s) {
            Take();
            stop = kw;
            return block;
          }
        }
        if (kw == "ELSE" || kw == "ENDIF" || kw == "NEXT" || kw == "END") {
          Fail(kw == "NEXT" ? "NEXT without FOR" : kw + " without IF");
        }
      }
      block.push_back(ParseStatement());
    }
    if (stops.size() > 0) {
      lineNo_ = openedAt_.empty() ? lineNo_ : openedAt_.back();
      Fail(std::string("no ") + *(stops.end() - 1) + " for this " +
           (std::string(*(stops.end() - 1)) == "NEXT" ? "FOR" : "IF"));
    }
    return block;
  }

  Stmt ParseStatement() {
    Nest nest(*this);
    if (AtKeyword("IF")) return ParseIf();
    if (AtKeyword("FOR")) return ParseFor();
    Stmt s = ParseSimple();
    ExpectEnd();
    return s;
  }

  // An assignment or a command, ending at the end of the line or at ELSE.
  Stmt ParseSimple() {
    Stmt s;
    s.line = lineNo_;
    Expect(Peek().kind == Tok::Name, "a statement");
    Token name = Take();
    if (IsKeyword(Upper(name.text))) Fail("unexpected " + Upper(name.text));
    s.name = name.text;
    if (AtOp("=")) {
      Take();
      s.kind = StmtKind::Assign;
      s.value = ParseExpr();
      return s;
    }
    s.kind = StmtKind::Command;
    if (AtEnd() || AtKeyword("ELSE")) return s;
    if (AtOp("(") && IsParenthesisedList()) {
      Fail("a command takes its arguments without parentheses: " + name.text + " a, b");
    }
    s.args = ParseArgs([this] { return AtEnd() || AtKeyword("ELSE"); });
    return s;
  }

  // "Name(a, b)" as a whole statement reads like a function call; say so
  // rather than failing on the expression that follows.
  bool IsParenthesisedList() const {
    int depth = 0;
    for (size_t i = pos_; i < toks_.size(); ++i) {
      const Token& t = toks_[i];
      if (t.kind == Tok::Op && t.text == "(") ++depth;
      if (t.kind == Tok::Op && t.text == ")") --depth;
      if (t.kind == Tok::Op && t.text == "," && depth == 1) return true;
      if (depth == 0) return i + 1 < toks_.size() && toks_[i + 1].kind == Tok::End && i == pos_ + 1;
    }
    return false;
  }

  template <typename AtStop>
  std::vector<Arg> ParseArgs(AtStop atStop) {
    std::vector<Arg> args;
    for (;;) {
      if (AtOp(",")) {
        args.emplace_back(std::nullopt);
      } else if (atStop()) {
        // A blank after a comma is a missing argument too.
        args.emplace_back(std::nullopt);
        return args;
      } else {
        args.emplace_back(ParseExpr());
      }
      if (AtOp(",")) {
        Take();
        continue;
      }
      Expect(atStop(), "',' or the end of the arguments");
      return args;
    }
  }

  Stmt ParseIf() {
    Stmt s;
    s.kind = StmtKind::If;
    s.line = lineNo_;
    Take();
    s.value = ParseExpr();
    Expect(AtKeyword("THEN"), "THEN");
    Take();
    if (!AtEnd()) {
      s.body.push_back(ParseSimple());
      if (AtKeyword("ELSE")) {
        Take();
        s.orElse.push_back(ParseSimple());
      }
      ExpectEnd();
      return s;
    }
    openedAt_.push_back(s.line);
    std::string stop;
    s.body = ParseBlock({"ELSE", "ENDIF"}, stop);
    if (stop == "ELSE") {
      ExpectEnd();
      s.orElse = ParseBlock({"ENDIF"}, stop);
    }
    ExpectEnd();
    openedAt_.pop_back();
    return s;
  }

  Stmt ParseFor() {
    Stmt s;
    s.kind = StmtKind::For;
    s.line = lineNo_;
    Take();
    Expect(Peek().kind == Tok::Name && !IsKeyword(Upper(Peek().text)), "a loop variable");
    s.name = Take().text;
    if (s.name.back() == '$') Fail("a loop variable holds a number: " + s.name);
    Expect(AtOp("="), "'='");
    Take();
    s.value = ParseExpr();
    Expect(AtKeyword("TO"), "TO");
    Take();
    s.limit = ParseExpr();
    if (AtKeyword("STEP")) {
      Take();
      s.step = ParseExpr();
    }
    ExpectEnd();
    openedAt_.push_back(s.line);
    std::string stop;
    s.body = ParseBlock({"NEXT"}, stop);
    if (Peek().kind == Tok::Name) {
      if (Upper(Peek().text) != Upper(s.name))
        Fail("NEXT " + Peek().text + " closes FOR " + s.name);
      Take();
    }
    ExpectEnd();
    openedAt_.pop_back();
    return s;
  }

  // ---------------------------------------------------------------- expressions
  ExprPtr ParseExpr() {
    Nest nest(*this);
    return ParseOr();
  }

  static ExprPtr MakeBinary(const std::string& op, ExprPtr l, ExprPtr r) {
    auto e = std::make_unique<Expr>();
    e->kind = ExprKind::Binary;
    e->text = op;
    e->left = std::move(l);
    e->right = std::move(r);
    return e;
  }

  ExprPtr ParseOr() {
    ExprPtr e = ParseAnd();
    while (AtKeyword("OR")) {
      Take();
      e = MakeBinary("OR", std::move(e), ParseAnd());
    }
    return e;
  }

  ExprPtr ParseAnd() {
    ExprPtr e = ParseNot();
    while (AtKeyword("AND")) {
      Take();
      e = MakeBinary("AND", std::move(e), ParseNot());
    }
    return e;
  }

  ExprPtr ParseNot() {
    if (AtKeyword("NOT")) {
      Nest nest(*this);
      Take();
      auto e = std::make_unique<Expr>();
      e->kind = ExprKind::Unary;
      e->text = "NOT";
      e->left = ParseNot();
      return e;
    }
    return ParseComparison();
  }

  ExprPtr ParseComparison() {
    ExprPtr e = ParseAdditive();
    for (const char* op : {"=", "<>", "<", ">", "<=", ">="}) {
      if (AtOp(op)) {
        Take();
        e = MakeBinary(op, std::move(e), ParseAdditive());
        break;
      }
    }
    return e;
  }

  ExprPtr ParseAdditive() {
    ExprPtr e = ParseTerm();
    while (AtOp("+") || AtOp("-")) {
      std::string op = Take().text;
      e = MakeBinary(op, std::move(e), ParseTerm());
    }
    return e;
  }

  ExprPtr ParseTerm() {
    ExprPtr e = ParseUnary();
    while (AtOp("*") || AtOp("/")) {
      std::string op = Take().text;
      e = MakeBinary(op, std::move(e), ParseUnary());
    }
    return e;
  }

  ExprPtr ParseUnary() {
    if (AtOp("-") || AtOp("+")) {
      Nest nest(*this);
      auto e = std::make_unique<Expr>();
      e->kind = ExprKind::Unary;
      e->text = Take().text;
      e->left = ParseUnary();
      return e;
    }
    return ParsePrimary();
  }

  ExprPtr ParsePrimary() {
    auto e = std::make_unique<Expr>();
    const Token& t = Peek();
    if (t.kind == Tok::Number) {
      e->kind = ExprKind::Number;
      e->number = Take().number;
      return e;
    }
    if (t.kind == Tok::String) {
      e->kind = ExprKind::String;
      e->text = Take().text;
      return e;
    }
    if (AtOp("(")) {
      Take();
      ExprPtr inner = ParseExpr();
      Expect(AtOp(")"), "')'");
      Take();
      return inner;
    }
    Expect(t.kind == Tok::Name && !IsKeyword(Upper(t.text)), "a value");
    e->text = Take().text;
    if (AtOp("(")) {
      Take();
      e->kind = ExprKind::Call;
      if (AtOp(")")) {
        Take();
        return e;
      }
      e->args = ParseArgs([this] { return AtOp(")"); });
      Take();
      return e;
    }
    e->kind = ExprKind::Variable;
    return e;
  }

  std::vector<std::string> lines_;
  std::vector<Token> toks_;
  size_t pos_ = 0;
  int lineNo_ = 0;
  int depth_ = 0;
  std::vector<int> openedAt_;
};

}  // namespace

bool ParseProgram(const std::string& name, const std::string& text, Program& out,
                  std::string& error) {
  out.source = name;
  try {
    Parser p(text);
    out.statements = p.ParseAll();
    return true;
  } catch (const SyntaxError& e) {
    error = name + ":" + std::to_string(e.line) + ": " + e.text;
    return false;
  }
}

}  // namespace host
