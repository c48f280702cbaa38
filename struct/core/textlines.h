// Reading text files line by line through one block buffer: the list files of
// the subset, the ASCII structure files and the text indexes of the
// maintenance tools. A line ends at CR LF, LF CR, a lone LF or a lone CR; a
// last line without a line end is still a line; of an over-long line the
// reader keeps what fits and drops the rest of that line.
#pragma once

#include <windows.h>

// The first CR or LF in [p, end), or end.
const char* FindLineEnd(const char* p, const char* end);

class CTextLineReader {
 public:
  // Bytes a read asks for: large enough that the calls cost little beside
  // the scanning of the lines.
  static constexpr DWORD kBlock = 256 * 1024;

  // Reads hFile from its current position; the handle stays the caller's.
  explicit CTextLineReader(HANDLE hFile);
  ~CTextLineReader();
  CTextLineReader(const CTextLineReader&) = delete;
  CTextLineReader& operator=(const CTextLineReader&) = delete;

  // False when the block buffer could not be allocated; nothing reads then.
  bool IsReady() const { return buf_ != nullptr; }

  // The next line into line (at most capacity - 1 characters and a NUL).
  // Returns the characters kept, kEnd at the end of the file (line empty) or
  // kError when a read fails.
  static constexpr int kEnd = -1;
  static constexpr int kError = -2;
  int ReadLine(char* line, int capacity);

  // ReadLine without the copy where it can be spared: *text receives where
  // the line's characters are, in the reader's block when the line lies
  // there whole (valid until the next call), otherwise in line as ReadLine
  // leaves them. In the block no NUL follows them, but at least kSlack
  // readable bytes do; the caller bounds the line by the count returned.
  static constexpr DWORD kSlack = 64;
  int ReadLineInPlace(char* line, int capacity, const char** text);

  // For callers that scan many short lines themselves: the block's unread
  // bytes [*from, returned end) in which a line end has its next byte
  // readable too (a line end there is one ReadLineInPlace would find whole),
  // with kFrontSlack readable bytes before them and at least kSlack after;
  // empty when the block is used up. Take(n) then passes over n of those
  // bytes, which must be whole lines with their line ends as ReadLine counts
  // them.
  static constexpr DWORD kFrontSlack = 16;
  const char* Window(const char** from) const {
    *from = buf_ + pos_;
    return pos_ < have_ ? buf_ + have_ - 1 : *from;
  }
  void Take(DWORD n) {
    pos_ += n;
    consumed_ += n;
    cut_ = false;
  }

  // Bytes of the file taken so far: the lines, their dropped rest and their
  // line ends.
  long long Consumed() const { return consumed_; }
  // True when the last line read was longer than its buffer.
  bool WasCut() const { return cut_; }

 private:
  // The byte at the position (reading the next block when the buffer is
  // used up), or -1 at the end, -2 on a failed read.
  int Peek();

  HANDLE hFile_;
  char* buf_ = nullptr;
  DWORD have_ = 0;
  DWORD pos_ = 0;
  bool eof_ = false;
  bool error_ = false;
  bool cut_ = false;
  long long consumed_ = 0;
};
