#include "progress.h"

#include <unistd.h>

#include <algorithm>
#include <string>

CProgress::CProgress(bool quiet, long long totalBytes)
    : quiet_(quiet),
      terminal_(isatty(fileno(stderr)) != 0),
      total_(totalBytes),
      start_(Clock::now()),
      last_(start_) {}

CProgress::~CProgress() { Clear(); }

void CProgress::Update(long long bytesDone, long long read, long long written) {
  if (quiet_) return;
  const Clock::time_point now = Clock::now();
  const double seconds = std::chrono::duration<double>(now - start_).count();
  if (seconds < 1.0) return;
  const auto gap = terminal_ ? std::chrono::milliseconds(100) : std::chrono::milliseconds(1000);
  if (shown_ && now - last_ < gap) return;
  shown_ = true;
  last_ = now;
  Show(bytesDone, read, written, seconds);
}

void CProgress::Show(long long bytesDone, long long read, long long written, double seconds) {
  const long long rate = static_cast<long long>(static_cast<double>(read) / seconds);
  const int percent =
      total_ > 0 ? static_cast<int>(std::clamp(bytesDone * 100 / total_, 0LL, 100LL)) : -1;
  if (!terminal_) {
    if (percent >= 0)
      std::fprintf(stderr, "structdb: progress %d%%, %lld read, %lld written, %lld a second\n",
                   percent, read, written, rate);
    else
      std::fprintf(stderr, "structdb: progress %lld read, %lld written, %lld a second\n", read,
                   written, rate);
    return;
  }
  constexpr int kWidth = 30;
  std::string bar(kWidth, '.');
  if (percent >= 0) std::fill_n(bar.begin(), percent * kWidth / 100, '#');
  std::fprintf(stderr, "\r[%s] %3d%%  %lld read  %lld written  %lld/s\033[K", bar.c_str(),
               std::max(percent, 0), read, written, rate);
  std::fflush(stderr);
  onLine_ = true;
}

void CProgress::Clear() {
  if (!onLine_) return;
  std::fprintf(stderr, "\r\033[K");
  std::fflush(stderr);
  onLine_ = false;
}
