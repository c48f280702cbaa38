// The passes of the two maintenance commands, CSPack and CSIPack, and what
// they share: path arguments and the progress of a pass through one file.
// Each pass reports its own errors and returns the status.
#pragma once

#include <cstring>

#include "core/progress.h"

// The tokens of a line of an ASCII structure file (runs of ": ,;()" between
// them), split in place.
class CAsciiTokens {
 public:
  explicit CAsciiTokens(char* line) : p_(line) {}
  char* Next() {
    while (IsSeparator(*p_)) ++p_;
    if (!*p_) return nullptr;
    char* token = p_;
    while (*p_ && !IsSeparator(*p_)) ++p_;
    if (*p_) *p_++ = 0;
    return token;
  }

 private:
  static bool IsSeparator(char c) { return c && std::strchr(": ,;()", c) != nullptr; }
  char* p_;
};

// Where CSPack leaves its statistics after every run.
#define PACK_STATS_PATH "D:\\STRUCT.STS"

// Reads the ASCII structure file ascPath record by record, at most
// lastRecord records, into the bond, label and circle tables; creates
// binPath and its index (binPath with the extension ".IN") empty; writes the
// statistics to PACK_STATS_PATH.
short PackAsciiStructures(CCpClient* client, LPCSTR ascPath, LPCSTR binPath, LONG lastRecord);

// Writes each line of the text index textPath ("key offset") as one 8-byte
// entry into binPath, which is created or emptied first.
short PackIndexFile(CCpClient* client, LPCSTR textPath, LPCSTR binPath);

// Path argument n (def when it is absent or empty) into *path. A path of
// MAX_PATH characters or more is refused with 534 naming the argument: cut,
// it would name another file, which the command would then empty.
short GetToolPathArg(CCpClient* client, OBJ_BASECLASS** args, int n, LPCSTR def, CString* path);

// The progress of a pass through a file of a known size, at most one report
// a second; the first is due at once.
class CPassProgress {
 public:
  CPassProgress(CCpClient* client, LPCSTR title, long long fileSize)
      : client_(client), title_(title), size_(fileSize) {}
  void SetFileSize(long long fileSize) { size_ = fileSize; }
  // Reports position (bytes of the file done) and count when a report is due.
  void Update(long long position, LONG count);

 private:
  CCpClient* client_;
  LPCSTR title_;
  long long size_;
  bool reported_ = false;
  DWORD last_ = 0;
};
