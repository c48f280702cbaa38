// The plug-in as a loaded library: its server entry and the messages the host
// sends it (2 create the client, 3 initialise it, 8 abort, 6 end it).
#pragma once

#include <cmdproc.h>

#include <string>

namespace host {

class Plugin {
 public:
  Plugin() = default;
  ~Plugin();  // ends the client if still started, then unloads
  Plugin(const Plugin&) = delete;
  Plugin& operator=(const Plugin&) = delete;

  // Loads the library and finds OOCPSRV; false with a message on failure.
  bool Load(const std::string& path, std::string& error);
  // Messages 2 and 3; false with a message when the client is not made.
  bool Start(CCommandProcessor* cp, std::string& error);
  // Message 8.
  short Abort();
  // Message 6; the caller has destroyed every value first.
  void Stop();
  // Unloads the library (after Stop and after every window it made is gone).
  void Unload();

  CCpClient* client() const { return client_; }

 private:
  void* lib_ = nullptr;
  ServerEntry entry_ = nullptr;
  CCpClient* client_ = nullptr;
  uintptr_t block_[SRVBLK_WORDS] = {};
  bool started_ = false;
};

// libstruct.so in the directory of the running program.
std::string DefaultPluginPath();

}  // namespace host
