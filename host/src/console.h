// The host's stderr: error reports, status and progress texts, and whatever
// the platform and the utility library report. On a terminal progress is one
// line rewritten in place, which must be ended before any other line.
#pragma once

#include <ostream>
#include <string>

namespace host {

class Console {
 public:
  Console(std::ostream& err, bool terminal) : err_(err), terminal_(terminal) {}

  void Line(const std::string& text);
  void Error(const std::string& text) { Line("error: " + text); }
  void Status(const std::string& text) { Line("status: " + text); }
  void Progress(const std::string& text);
  // Ends an open progress line.
  void Finish();

 private:
  std::ostream& err_;
  bool terminal_;
  bool progressOpen_ = false;
};

}  // namespace host
