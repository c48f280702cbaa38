// Tokenizer of the macro language: numbers, double-quoted strings ("" stands
// for one quote; backslashes are plain characters, since paths are Windows
// paths), names with an optional trailing "$", and the operators.
#include "lexer.h"

#include <cctype>
#include <cstdlib>

namespace host {
namespace {

bool IsNameStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsNameChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }
bool IsDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

}  // namespace

bool Tokenize(const std::string& line, std::vector<Token>& out, std::string& error) {
  out.clear();
  size_t i = 0;
  const size_t n = line.size();
  while (i < n) {
    const char c = line[i];
    Token t;
    t.column = static_cast<int>(i) + 1;
    if (c == ' ' || c == '\t' || c == '\r') {
      ++i;
      continue;
    }
    if (c == '!') break;
    if (IsDigit(c) || (c == '.' && i + 1 < n && IsDigit(line[i + 1]))) {
      size_t j = i;
      while (j < n && IsDigit(line[j])) ++j;
      if (j < n && line[j] == '.') {
        ++j;
        while (j < n && IsDigit(line[j])) ++j;
      }
      if (j < n && (line[j] == 'e' || line[j] == 'E')) {
        size_t k = j + 1;
        if (k < n && (line[k] == '+' || line[k] == '-')) ++k;
        if (k < n && IsDigit(line[k])) {
          while (k < n && IsDigit(line[k])) ++k;
          j = k;
        }
      }
      if (j < n && IsNameChar(line[j])) {
        error = "bad number '" + line.substr(i, j - i + 1) + "'";
        return false;
      }
      t.kind = Tok::Number;
      t.text = line.substr(i, j - i);
      t.number = std::strtod(t.text.c_str(), nullptr);
      out.push_back(t);
      i = j;
      continue;
    }
    if (c == '"') {
      size_t j = i + 1;
      std::string text;
      bool closed = false;
      while (j < n) {
        if (line[j] == '"') {
          if (j + 1 < n && line[j + 1] == '"') {
            text += '"';
            j += 2;
            continue;
          }
          closed = true;
          ++j;
          break;
        }
        text += line[j++];
      }
      if (!closed) {
        error = "unterminated string";
        return false;
      }
      t.kind = Tok::String;
      t.text = std::move(text);
      out.push_back(t);
      i = j;
      continue;
    }
    if (IsNameStart(c)) {
      size_t j = i;
      while (j < n && IsNameChar(line[j])) ++j;
      if (j < n && line[j] == '$') ++j;
      t.kind = Tok::Name;
      t.text = line.substr(i, j - i);
      out.push_back(t);
      i = j;
      continue;
    }
    t.kind = Tok::Op;
    if ((c == '<' || c == '>') && i + 1 < n &&
        (line[i + 1] == '=' || (c == '<' && line[i + 1] == '>'))) {
      t.text = line.substr(i, 2);
      i += 2;
    } else if (std::string("+-*/=<>(),").find(c) != std::string::npos) {
      t.text = std::string(1, c);
      ++i;
    } else {
      error = std::string("unexpected character '") + c + "'";
      return false;
    }
    out.push_back(t);
  }
  Token end;
  end.kind = Tok::End;
  end.column = static_cast<int>(n) + 1;
  out.push_back(end);
  return true;
}

}  // namespace host
