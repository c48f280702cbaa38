#include "core/textlines.h"

#include <cstdlib>

#include "core/alloc.h"

CTextLineReader::CTextLineReader(HANDLE hFile)
    : hFile_(hFile), buf_(StructAllocOf<char>(kBlock)) {}

CTextLineReader::~CTextLineReader() { StructFree(buf_); }

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

int CTextLineReader::Next() {
  const int c = Peek();
  if (c >= 0) {
    ++pos_;
    ++consumed_;
  }
  return c;
}

int CTextLineReader::ReadLine(char* line, int capacity) {
  cut_ = false;
  if (capacity > 0) line[0] = 0;
  if (!buf_ || capacity <= 0) return kError;
  int len = 0;
  int c = Next();
  if (c == -2) return kError;
  if (c == -1) return kEnd;
  while (c >= 0 && c != '\r' && c != '\n') {
    if (len + 1 < capacity)
      line[len++] = static_cast<char>(c);
    else
      cut_ = true;
    c = Next();
  }
  line[len] = 0;
  if (c == -2) return kError;
  if (c == '\r' || c == '\n') {
    const int partner = c == '\r' ? '\n' : '\r';
    const int d = Peek();
    if (d == -2) return kError;
    if (d == partner) Next();
  }
  return len;
}
