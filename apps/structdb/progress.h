// The progress of a long build on stderr. On a terminal: one bar line with
// the share of the input done, the counts and the rate, redrawn at most ten
// times a second. Elsewhere: a plain "structdb: progress ..." line at most
// once a second. Nothing shows in the first second, so a short run (and
// every test) prints none of it.
#pragma once

#include <chrono>
#include <cstdio>

class CProgress {
 public:
  // quiet: show nothing. totalBytes: the size of all the input (0: unknown).
  CProgress(bool quiet, long long totalBytes);
  ~CProgress();
  CProgress(const CProgress&) = delete;
  CProgress& operator=(const CProgress&) = delete;

  void Update(long long bytesDone, long long read, long long written);
  // Takes the bar off its line, so that another message can be printed;
  // the next update draws it again.
  void Clear();

 private:
  using Clock = std::chrono::steady_clock;
  void Show(long long bytesDone, long long read, long long written, double seconds);

  bool quiet_;
  bool terminal_;
  long long total_;
  Clock::time_point start_;
  Clock::time_point last_;
  bool shown_ = false;   // a report was made
  bool onLine_ = false;  // the bar is on the terminal's current line
};
