#include "keytext.h"

#include <algorithm>
#include <climits>

#include "database/cas.h"

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits from text[*at], at least min and at most max of them; false
// otherwise (*at then unspecified).
bool Digits(const std::string& text, size_t* at, size_t min, size_t max) {
  size_t n = 0;
  while (*at < text.size() && IsDigit(text[*at])) ++*at, ++n;
  return n >= min && n <= max;
}

// The registry's check: each digit before the last weighted by its place
// counted from the right (1, 2, 3, ...), the sum modulo 10.
bool CheckDigitAgrees(const std::string& cas) {
  int sum = 0, weight = 1;
  for (size_t i = cas.size() - 1; i-- > 0;)
    if (IsDigit(cas[i])) sum += (cas[i] - '0') * weight++;
  return sum % 10 == cas.back() - '0';
}

}  // namespace

KeyText ParseKeyText(STRUCT_DLL_INFO* info, const std::string& text, LONG* key) {
  *key = 0;
  size_t first = 0, last = text.size();
  while (first < last && IsBlank(text[first])) ++first;
  while (last > first && IsBlank(text[last - 1])) --last;
  const std::string t = text.substr(first, last - first);
  if (t.empty()) return KeyText::kMissing;

  // A CAS number: two to seven digits, two, one, joined by hyphens.
  size_t at = 0;
  if (Digits(t, &at, 2, 7) && at < t.size() && t[at] == '-') {
    if (!(++at, Digits(t, &at, 2, 2)) || at >= t.size() || t[at] != '-' ||
        !(++at, Digits(t, &at, 1, 1)) || at != t.size())
      return KeyText::kMalformed;
    if (!CheckDigitAgrees(t)) return KeyText::kCheckDigit;
    long long v = 0;
    for (char c : t)
      if (IsDigit(c)) v = v * 10 + (c - '0');  // ten digits at most
    if (v < 1 || v > INT32_MAX) return KeyText::kOutOfRange;
    *key = ParseCasNumber(info, t.c_str());
    return KeyText::kOk;
  }

  // A plain integer, with an optional sign.
  at = (t[0] == '+' || t[0] == '-') ? 1 : 0;
  const size_t digitsFrom = at;
  if (!Digits(t, &at, 1, t.size()) || at != t.size()) return KeyText::kMalformed;
  long long v = 0;
  for (size_t i = digitsFrom; i < t.size(); ++i)
    v = std::min<long long>(v * 10 + (t[i] - '0'), 1LL + INT32_MAX);  // held past the limit
  if (t[0] == '-') v = -v;
  if (v < 1 || v > INT32_MAX) return KeyText::kOutOfRange;
  *key = static_cast<LONG>(v);
  return KeyText::kOk;
}

const char* KeyTextProblem(KeyText k) {
  switch (k) {
    case KeyText::kOk:
      return "a key";
    case KeyText::kMissing:
      return "no key";
    case KeyText::kMalformed:
      return "malformed key";
    case KeyText::kCheckDigit:
      return "bad check digit";
    case KeyText::kOutOfRange:
      return "key out of range";
  }
  return "?";
}

std::string QuotedForMessage(const std::string& text) {
  std::string out = "\"";
  for (char c : text.substr(0, 40)) out += (c >= ' ' && c <= '~') ? c : '?';
  return out + (text.size() > 40 ? "...\"" : "\"");
}
