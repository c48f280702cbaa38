// Code page 1252 to UTF-8: Latin-1 except the 0x80-0x9F row, which holds
// typographic characters; its five unassigned codes become U+FFFD.
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

}  // namespace

std::string AnsiToUtf8(const char* text, int count) {
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
