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

// The completion text for an elapsed time in milliseconds: seconds and tenths
// up to a minute, minutes, seconds and tenths beyond.
CString CompletionText(LPCSTR name, DWORD elapsedMs);
