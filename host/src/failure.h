// How a statement fails inside the host. A HostError is the host's own report
// ("error: <text>"); an EntryFailed carries the status of a plug-in entry or
// handler that has already reported (or chosen not to). Neither ever crosses
// into the plug-in.
#pragma once

#include <string>

namespace host {

struct HostError {
  std::string text;
};

struct EntryFailed {
  short status;
};

}  // namespace host
