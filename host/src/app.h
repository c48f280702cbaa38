// The structhost program as a function: set up the platform and the windows,
// load and start the plug-in, run the scripts, end everything in order, and
// give the exit status (0 all went well, 1 a statement failed, 2 the run could
// not start).
#pragma once

#include <ostream>

#include "options.h"

namespace host {

struct HostIo {
  std::ostream& out;  // Print output only
  std::ostream& err;  // reports
  bool errIsTerminal = false;
  bool inIsTerminal = false;
};

int RunHost(const Options& options, HostIo io);

}  // namespace host
