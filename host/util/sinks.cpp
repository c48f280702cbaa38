// Where the utility library's reports go. The host program routes them through
// its own console; tests capture them. Unset sinks fall back to plain stderr.
#include "hostutil.h"

#include <cstdio>

namespace hostutil {
namespace {

void DefaultError(int msg, const std::string& text) {
  std::fprintf(stderr, "error %d: %s\n", msg, text.c_str());
  std::fflush(stderr);
}

void DefaultHelp(const std::string& file, DWORD context) {
  std::fprintf(stderr, "help: %s %u\n", file.c_str(), static_cast<unsigned>(context));
  std::fflush(stderr);
}

Sinks& Current() {
  static Sinks sinks{DefaultError, DefaultHelp};
  return sinks;
}

}  // namespace

void SetSinks(const Sinks& s) {
  Current().error = s.error ? s.error : DefaultError;
  Current().help = s.help ? s.help : DefaultHelp;
}

const Sinks& GetSinks() { return Current(); }

}  // namespace hostutil

void DisplayHelp(CCommandProcessor* /*pcp*/, LPCSTR helpFile, int /*command*/, DWORD context) {
  hostutil::GetSinks().help(helpFile ? helpFile : "", context);
}
