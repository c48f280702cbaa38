#include "core/progress.h"

#include <algorithm>

#include "resources/resource.h"

void ReportToolProgress(CCpClient* client, LPCSTR title, int count, int permille) {
  CString done;
  if (count > 0)
    done.Format(LoadText(IDS_STATUS_DONEPERCENT), static_cast<long>(count), permille / 10,
                permille % 10);
  else
    done.Format(LoadText(IDS_STATUS_PERCENT), permille / 10, permille % 10);
  CString line;
  line.Format("%s: %s", title, static_cast<LPCSTR>(done));
  client->pcp->ShowStatusText(9, line);
}

CString CompletionText(LPCSTR name, DWORD elapsedMs) {
  const int tenths = static_cast<int>(elapsedMs / 100);
  CString text;
  if (tenths > 600)
    text.Format(LoadText(IDS_STATUS_COMPLETEDMINS), name, tenths / 600, (tenths % 600) / 10,
                tenths % 10);
  else
    text.Format(LoadText(IDS_STATUS_COMPLETEDSECS), name, tenths / 10, tenths % 10);
  return text;
}

void PaceProgress(PROGRESSPROC proc, CCpClient* client, LPCSTR title, int count, long long done,
                  long long total, DWORD* next) {
  if (!proc) return;
  const DWORD now = GetTickCount();
  if (static_cast<LONG>(now - *next) < 0) return;
  int permille = 0;
  if (total > 0) permille = static_cast<int>(std::min<long long>(1000, done * 1000 / total));
  proc(client, title, count, permille);
  *next = now + 1000;
}
