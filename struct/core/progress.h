// Progress on the host's status line for the long operations (additions to a
// user library, the subset, the maintenance tools) and the completion line of
// the tools. Both only show text: nothing is reported as an error.
#pragma once

#include "core/common.h"

// The shape of every progress callback: a title, a count done (0: none) and
// the share done in tenths of a percent.
typedef void (*PROGRESSPROC)(CCpClient* client, LPCSTR title, int count, int permille);

// "title: N done, P.p% complete" (or "title: P.p% complete" without a count)
// on status channel 9.
void ReportToolProgress(CCpClient* client, LPCSTR title, int count, int permille);

// Calls proc (when there is one) if a report is due by the tick count *next,
// then makes the next one due a second later: the share is min(1000,
// done x 1000 / total) in tenths of a percent, 0 without a total. Start *next
// at GetTickCount() for a first report at once.
void PaceProgress(PROGRESSPROC proc, CCpClient* client, LPCSTR title, int count, long long done,
                  long long total, DWORD* next);

// When a loop over many short steps (the lines of a text file) looks at the
// abort request and the clock: at its first step, then after kSteps more
// steps or kBytes more of its input, whichever comes first. Either takes
// well under 10 ms unless a single read of the file stalls (an index line
// the long way takes about 50 ns), and the steps between cost nothing but a
// count; a poll costs as much as a few dozen lines.
class CStepPacer {
 public:
  static constexpr int kSteps = 16384;
  static constexpr long long kBytes = 1024 * 1024;

  // True when the steps (one, or a run of them) that took the input up to
  // position end where the loop is to look.
  bool Due(long long position, int steps = 1) {
    left_ -= steps;
    if (left_ > 0 && position < next_) return false;
    left_ = kSteps;
    next_ = position + kBytes;
    return true;
  }
  // The steps a run may take before the count alone makes a look due.
  int Left() const { return left_ > 0 ? left_ : 1; }

 private:
  int left_ = 1;
  long long next_ = 0;
};

// The completion text for an elapsed time in milliseconds: seconds and tenths
// up to a minute, minutes, seconds and tenths beyond.
CString CompletionText(LPCSTR name, DWORD elapsedMs);
