// Writes the host's stderr lines.
#include "console.h"

namespace host {

void Console::Line(const std::string& text) {
  Finish();
  err_ << text << '\n';
  err_.flush();
}

void Console::Progress(const std::string& text) {
  if (!terminal_) {
    Line("progress: " + text);
    return;
  }
  // Carriage return and erase-to-end-of-line keep one line for all progress.
  err_ << "\rprogress: " << text << "\x1b[K";
  err_.flush();
  progressOpen_ = true;
}

void Console::Finish() {
  if (!progressOpen_) return;
  err_ << '\n';
  err_.flush();
  progressOpen_ = false;
}

}  // namespace host
