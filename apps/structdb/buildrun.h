// One run of "structdb build": the readers hand every structure they read to
// the run, which writes it to the library or skips it with one line on
// stderr ("structdb: FILE: structure N: WHY"); the run ends with a summary
// line on stderr, the library put in place when anything was written, and
// the exit status: 0 all written, 1 some skipped (or a file unreadable), 2
// nothing written (the old library, if any, untouched).
#pragma once

#include <string>

#include "core/common.h"
#include "database/stdwriter.h"
#include "progress.h"
#include "quietproc.h"

struct BuildOptions {
  std::string out;
  std::string keyField;   // the SD data item holding the key; empty: the third line
  bool numbered = false;  // keys numberFrom, numberFrom + 1, ... in the order written
  long long numberFrom = 1;
  bool circles = false;
  bool quiet = false;
};

// Why a structure was skipped, as the summary counts them.
enum class SkipReason {
  kNoKey,
  kMalformedKey,
  kCheckDigit,
  kKeyOutOfRange,
  kRepeatedKey,
  kRefused
};

class CBuildRun {
 public:
  CBuildRun(const BuildOptions& options, long long totalBytes);
  CBuildRun(const CBuildRun&) = delete;
  CBuildRun& operator=(const CBuildRun&) = delete;

  // Creates the temporary data file; false (reason printed) when it cannot.
  bool Open();
  // False once a write failed: the readers stop.
  bool Going() const { return !failed_; }

  // Structure number (from 1) of file, its key set (unless numbering):
  // written, or skipped when its key is repeated or the record cannot hold it.
  void Take(const std::string& file, long long number, StdStructure s);
  void Skip(const std::string& file, long long number, SkipReason reason, const std::string& why);
  // A file that could not be read, wholly or from some point on.
  void FileProblem(const std::string& file, const std::string& why);
  // Bytes of the input done, for the progress display.
  void Progress(long long bytesDone);

  // Puts the library in place when anything was written, prints the
  // summary; returns the exit status.
  int Finish();

  const BuildOptions& options() const { return options_; }
  STRUCT_DLL_INFO* info() { return &info_; }
  CCommandProcessor* pcp() { return &pcp_; }

 private:
  static constexpr int kReasons = 6;
  void Count(SkipReason reason);

  BuildOptions options_;
  CQuietProcessor pcp_;
  STRUCT_DLL_INFO info_;
  CStdLibraryWriter writer_;
  CProgress progress_;
  long long bytesDone_ = 0;
  long long read_ = 0;
  long long skipped_[kReasons] = {};
  long long fileProblems_ = 0;
  long long next_;  // the next number given when numbering
  bool failed_ = false;
};
