// Tokens of one line of the macro language. Names keep their spelling (with a
// trailing "$" when they have one); keywords are recognised by the parser, as
// names compared without regard to case.
#pragma once

#include <string>
#include <vector>

namespace host {

enum class Tok {
  Number,
  String,
  Name,
  Op,   // + - * / = <> < > <= >= ( ) ,
  End,  // end of the line (a "!" comment ends it too)
};

struct Token {
  Tok kind = Tok::End;
  std::string text;  // the name, the string's contents, or the operator
  double number = 0;
  int column = 1;  // 1-based, for messages
};

// Splits one line; on a lexical error (an unterminated string, a stray
// character) returns false with a message in error.
bool Tokenize(const std::string& line, std::vector<Token>& out, std::string& error);

}  // namespace host
