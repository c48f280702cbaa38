// The parsed form of a macro script: expressions and statements, each
// statement with its source line. A script is parsed whole before any of it
// runs.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace host {

struct Expr;
using ExprPtr = std::unique_ptr<Expr>;
// An argument position; empty when the position was left blank.
using Arg = std::optional<ExprPtr>;

enum class ExprKind { Number, String, Variable, Call, Unary, Binary };

struct Expr {
  Expr() = default;
  Expr(const Expr&) = delete;
  Expr& operator=(const Expr&) = delete;
  // Takes a long chain of left operands apart one by one, not by recursion.
  ~Expr() {
    while (left) {
      ExprPtr next = std::move(left->left);
      left = std::move(next);
    }
  }

  ExprKind kind = ExprKind::Number;
  double number = 0;
  std::string text;       // string literal, variable or function name, operator
  std::vector<Arg> args;  // Call
  ExprPtr left, right;    // Unary uses left only
};

struct Stmt;
using Block = std::vector<Stmt>;

enum class StmtKind { Assign, Command, If, For };

struct Stmt {
  StmtKind kind = StmtKind::Command;
  int line = 0;
  std::string name;       // assigned variable, command, or loop variable
  ExprPtr value;          // Assign: the value; If: the condition; For: the start
  std::vector<Arg> args;  // Command
  ExprPtr limit, step;    // For (step may be null)
  Block body, orElse;     // If: then and else branches; For: the body
};

struct Program {
  std::string source;  // script name, for messages
  Block statements;
};

}  // namespace host
