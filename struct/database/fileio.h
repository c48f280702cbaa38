// The file steps every reader and writer of library files takes: open for
// shared reading, read or write exactly, place the position, ask the size.
// Positions are 64-bit, so no caller multiplies an entry number into a
// 32-bit offset. All are silent: they report nothing through the command
// processor and tell success only by their result; on failure the file's
// position is unspecified and a buffer being read may be partly filled.
#pragma once

#include <afxwin.h>
#include <windows.h>

#include <vector>

// The file opened for reading, others may read too; INVALID_HANDLE_VALUE when
// it is missing, locked against readers or cannot be opened.
HANDLE OpenForReading(LPCSTR path);

// cb bytes, all of them, from the position; false on an error or a short read.
bool ReadExact(HANDLE h, void* buf, DWORD cb);
// cb bytes, all of them, at the position; false on an error or a short
// write. Nothing to write is success without a call.
bool WriteExact(HANDLE h, const void* buf, DWORD cb);

// The position pos bytes from the start; false when it cannot be set.
bool SeekTo(HANDLE h, long long pos);
// The position moved by delta bytes; false when it cannot be set.
bool SeekBy(HANDLE h, LONG delta);
// The position from the start, or -1 when it cannot be read.
long long FilePosition(HANDLE h);
// The size in bytes, or -1 when it cannot be read.
long long FileSizeOf(HANDLE h);

// Files that replace others whole: each is written under a temporary name
// beside its target, and Commit renames them all into place. When a rename
// fails the targets already replaced get their old files back, so a reader
// finds either every new file or every old one, never a half-written file
// or a new data file beside an old index. What is not committed is removed
// when the set goes.
class CWholeFiles {
 public:
  CWholeFiles() = default;
  ~CWholeFiles();
  CWholeFiles(const CWholeFiles&) = delete;
  CWholeFiles& operator=(const CWholeFiles&) = delete;

  // A new empty temporary file beside target, open for writing (the set
  // closes it); INVALID_HANDLE_VALUE when it cannot be made.
  HANDLE Create(LPCSTR target);
  // Closes the files and puts them in place; false (nothing replaced) when a
  // close or a rename failed.
  bool Commit();

 private:
  struct Entry {
    CString target, temp, backup;
    HANDLE h = INVALID_HANDLE_VALUE;
  };
  std::vector<Entry> files_;
};
