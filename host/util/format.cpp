// One-argument message formatting for the error reports. Message texts come
// from a Windows string table, where LONG and long are both 32 bits; here long
// is 64 bits, so each conversion gets the C type its length modifier asks for
// instead of whatever type the caller happened to hold.
#include "hostutil.h"

#include <cstdio>
#include <string>
#include <string_view>

namespace {

struct Conversion {
  std::string head;    // "%", flags, width and precision, without length
  std::string length;  // "", "h", "hh", "l", "ll", "z", ...
  char type = 0;       // conversion letter; 0 when the text ended early
  size_t end = 0;      // index just past the conversion
};

Conversion ParseConversion(const char* fmt, size_t at) {
  Conversion c;
  size_t i = at + 1;
  c.head.push_back('%');
  while (fmt[i] && std::string_view("-+ #0").find(fmt[i]) != std::string_view::npos)
    c.head += fmt[i++];
  while (fmt[i] >= '0' && fmt[i] <= '9') c.head += fmt[i++];
  if (fmt[i] == '.') {
    c.head += fmt[i++];
    while (fmt[i] >= '0' && fmt[i] <= '9') c.head += fmt[i++];
  }
  while (fmt[i] && std::string_view("hlLqjzt").find(fmt[i]) != std::string_view::npos)
    c.length += fmt[i++];
  c.type = fmt[i];
  c.end = fmt[i] ? i + 1 : i;
  return c;
}

// The conversion directive with a new length modifier and letter. Built by appends:
// chains of operator+ on short strings trip a false -Wrestrict in GCC 12.
std::string Directive(const Conversion& c, const char* length, char type) {
  std::string s;
  s.reserve(c.head.size() + 4);
  s.append(c.head).append(length).push_back(type);
  return s;
}

template <typename T>
std::string Print(const std::string& directive, T value) {
  char buf[512];
  int n = std::snprintf(buf, sizeof buf, directive.c_str(), value);
  if (n < 0) return {};
  if (static_cast<size_t>(n) < sizeof buf) return std::string(buf, static_cast<size_t>(n));
  std::string big(static_cast<size_t>(n) + 1, '\0');
  std::snprintf(big.data(), big.size(), directive.c_str(), value);
  big.resize(static_cast<size_t>(n));
  return big;
}

// A value in the conversion the message text names, as the string table's own
// platform would have printed a LONG: "%ld" gets a long, "%d" an int, and the
// unsigned forms see 32 bits, never a sign-extended pattern. A value beyond 32
// bits (a record number past the LONG range) shows whole through "%ld".
std::string FormatLong(const Conversion& c, long long value) {
  const std::string& len = c.length;
  const bool narrow = len.empty() || len == "h" || len == "hh";
  const auto bits = static_cast<uint32_t>(value);
  switch (c.type) {
    case 'd':
    case 'i':
      if (narrow) return Print(Directive(c, len.c_str(), c.type), static_cast<int>(value));
      if (len == "l") return Print(Directive(c, "l", 'd'), static_cast<long>(value));
      return Print(Directive(c, "ll", 'd'), static_cast<long long>(value));
    case 'u':
    case 'x':
    case 'X':
    case 'o':
      if (narrow) return Print(Directive(c, len.c_str(), c.type), static_cast<unsigned>(bits));
      if (len == "l") return Print(Directive(c, "l", c.type), static_cast<unsigned long>(bits));
      return Print(Directive(c, "ll", c.type), static_cast<unsigned long long>(bits));
    case 'c':
      return Print(Directive(c, "", 'c'), static_cast<int>(value));
    case 'e':
    case 'E':
    case 'f':
    case 'F':
    case 'g':
    case 'G':
      return Print(Directive(c, "", c.type), static_cast<double>(value));
    case 's':
      return Print(Directive(c, "", 's'), std::to_string(value).c_str());
    default:
      return {};
  }
}

std::string FormatText(const Conversion& c, const char* text) {
  // Only "%s" expects a text; any other conversion still shows the text rather
  // than reinterpreting its pointer.
  Conversion asText = c;
  if (c.type != 's') {
    size_t dot = asText.head.find('.');
    if (dot != std::string::npos) asText.head.resize(dot);
  }
  return Print(Directive(asText, "", 's'), text ? text : "");
}

template <typename Fill>
std::string FormatOne(const char* fmt, Fill fill) {
  std::string out;
  if (!fmt) return out;
  size_t i = 0;
  while (fmt[i]) {
    if (fmt[i] != '%') {
      out += fmt[i++];
      continue;
    }
    if (fmt[i + 1] == '%') {
      out += '%';
      i += 2;
      continue;
    }
    Conversion c = ParseConversion(fmt, i);
    if (!c.type || std::string_view("diuxXocsfFeEgG").find(c.type) == std::string_view::npos) {
      // Not a conversion this formatter knows: keep the text as written.
      out.append(fmt + i, c.end - i);
      i = c.end;
      continue;
    }
    out += fill(c);
    i = c.end;
  }
  return out;
}

}  // namespace

namespace hostutil {

std::string FormatNum(const char* fmt, LONG value) {
  return FormatOne(fmt, [value](const Conversion& c) { return FormatLong(c, value); });
}

std::string FormatNum64(const char* fmt, long long value) {
  return FormatOne(fmt, [value](const Conversion& c) { return FormatLong(c, value); });
}

std::string FormatStr(const char* fmt, const char* text) {
  return FormatOne(fmt, [text](const Conversion& c) { return FormatText(c, text); });
}

}  // namespace hostutil
