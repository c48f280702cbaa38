#include "core/textlines.h"

#include <algorithm>
#include <bit>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/alloc.h"

// Eight bytes at a time while a word holds neither CR nor LF: a byte of the
// word exclusive-ored with a line-end byte in every position is zero exactly
// where that line end is, and the lowest flag of the zero test is exact
// (borrows only run upwards).
const char* FindLineEnd(const char* p, const char* end) {
  constexpr uint64_t kOnes = 0x0101010101010101u;
  constexpr uint64_t kHigh = 0x8080808080808080u;
  auto zeros = [](uint64_t x) { return (x - kOnes) & ~x & kHigh; };
  for (; end - p >= 8; p += 8) {
    uint64_t w;
    std::memcpy(&w, p, 8);
    const uint64_t found = zeros(w ^ (kOnes * '\n')) | zeros(w ^ (kOnes * '\r'));
    if (!found) continue;
    if constexpr (std::endian::native == std::endian::little) return p + std::countr_zero(found) / 8;
    break;
  }
  for (; p < end; ++p)
    if (*p == '\r' || *p == '\n') return p;
  return end;
}

CTextLineReader::CTextLineReader(HANDLE hFile) : hFile_(hFile) {
  // Zero-filled: what lies around the bytes read is defined for the slack.
  if (char* block = StructAllocOf<char>(kFrontSlack + kBlock + kSlack, true))
    buf_ = block + kFrontSlack;
}

CTextLineReader::~CTextLineReader() {
  if (buf_) StructFree(buf_ - kFrontSlack);
}

int CTextLineReader::Peek() {
  if (pos_ < have_) return static_cast<unsigned char>(buf_[pos_]);
  if (error_) return -2;
  if (eof_ || !buf_) return -1;
  DWORD got = 0;
  if (!ReadFile(hFile_, buf_, kBlock, &got, nullptr)) {
    error_ = true;
    return -2;
  }
  have_ = got;
  pos_ = 0;
  if (got == 0) {
    eof_ = true;
    return -1;
  }
  return static_cast<unsigned char>(buf_[0]);
}

int CTextLineReader::ReadLine(char* line, int capacity) {
  cut_ = false;
  if (capacity > 0) line[0] = 0;
  if (!buf_ || capacity <= 0) return kError;
  int c = Peek();
  if (c == -2) return kError;
  if (c == -1) return kEnd;
  int len = 0;
  // The line a buffered run at a time: what fits is kept, the rest dropped.
  for (;;) {
    const char* from = buf_ + pos_;
    const char* end = FindLineEnd(from, buf_ + have_);
    const auto run = static_cast<DWORD>(end - from);
    const int keep = static_cast<int>(std::min<DWORD>(run, static_cast<DWORD>(capacity - 1 - len)));
    std::memcpy(line + len, from, static_cast<size_t>(keep));
    len += keep;
    if (keep < static_cast<int>(run)) cut_ = true;
    pos_ += run;
    consumed_ += run;
    if (pos_ < have_) break;  // at a line end
    c = Peek();
    if (c < 0) {
      line[len] = 0;
      return c == -2 ? kError : len;
    }
  }
  line[len] = 0;
  // The line end, with its partner when the pair is CR LF or LF CR.
  const int partner = buf_[pos_] == '\r' ? '\n' : '\r';
  ++pos_;
  ++consumed_;
  const int d = Peek();
  if (d == -2) return kError;
  if (d == partner) {
    ++pos_;
    ++consumed_;
  }
  return len;
}

int CTextLineReader::ReadLineInPlace(char* line, int capacity, const char** text) {
  *text = line;
  if (buf_ && capacity > 0 && pos_ < have_) {
    const char* from = buf_ + pos_;
    const char* last = buf_ + have_ - 1;
    const char* end = FindLineEnd(from, last);
    // The line, its line end and the byte after it are in the block: no read
    // is needed to tell the line end's partner.
    if (end < last && end - from < capacity) {
      const auto run = static_cast<DWORD>(end - from);
      const char partner = *end == '\r' ? '\n' : '\r';
      const DWORD taken = run + (end[1] == partner ? 2 : 1);
      pos_ += taken;
      consumed_ += taken;
      cut_ = false;
      *text = from;
      return static_cast<int>(run);
    }
  }
  return ReadLine(line, capacity);
}
