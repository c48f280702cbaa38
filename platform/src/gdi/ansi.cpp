// Code page 1252 to UTF-8: Latin-1 except the 0x80-0x9F row, which holds
// typographic characters; its five unassigned codes become U+FFFD. Text that
// is well-formed UTF-8 already (the dialog templates' texts, which dumps print
// as they stand) is drawn as it is: a code page 1252 text reads as valid
// multi-byte UTF-8 only in odd pairs such as "Ã©".
#include "ansi.h"

#include <cstdint>

namespace platform::gdi {

namespace {

constexpr uint16_t kRow80[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};

void Append(std::string& out, uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// True when text holds at least one multi-byte sequence and every byte above
// 0x7F belongs to a well-formed one (no overlong forms, no surrogates).
bool IsMultiByteUtf8(const unsigned char* p, int count) {
  bool multi = false;
  for (int i = 0; i < count;) {
    const unsigned char b = p[i];
    int n = b < 0x80             ? 0
            : (b & 0xE0) == 0xC0 ? 1
            : (b & 0xF0) == 0xE0 ? 2
            : (b & 0xF8) == 0xF0 ? 3
                                 : -1;
    if (n < 0 || (n == 1 && b < 0xC2) || i + n >= count) return false;
    uint32_t cp = n == 0 ? b : b & (0x3F >> n);
    for (int k = 1; k <= n; ++k) {
      if ((p[i + k] & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (p[i + k] & 0x3F);
    }
    if ((n == 2 && (cp < 0x800 || (cp >= 0xD800 && cp < 0xE000))) ||
        (n == 3 && (cp < 0x10000 || cp > 0x10FFFF)))
      return false;
    multi = multi || n > 0;
    i += n + 1;
  }
  return multi;
}

}  // namespace

std::string AnsiToUtf8(const char* text, int count) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(text);
  if (IsMultiByteUtf8(bytes, count)) {
    std::string out(text, static_cast<size_t>(count));
    // A NUL would end cairo's string early; Windows draws the default glyph.
    for (size_t at; (at = out.find('\0')) != std::string::npos;) out.replace(at, 1, "\xEF\xBF\xBD");
    return out;
  }
  std::string out;
  out.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    auto b = static_cast<unsigned char>(text[i]);
    // A NUL would end cairo's string early; Windows draws the default glyph.
    if (b == 0)
      Append(out, 0xFFFD);
    else
      Append(out, b >= 0x80 && b < 0xA0 ? kRow80[b - 0x80] : b);
  }
  return out;
}

}  // namespace platform::gdi
