// Loading the plug-in and driving its server entry.
#include "plugin.h"

#include <dlfcn.h>

#include <filesystem>

namespace host {

Plugin::~Plugin() {
  Stop();
  Unload();
}

bool Plugin::Load(const std::string& path, std::string& error) {
  // Every symbol bound now: a plug-in that cannot run fails here, before any
  // statement, rather than in the middle of a script.
  lib_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (!lib_) {
    const char* why = dlerror();
    error = "cannot load plug-in " + path + ": " + (why ? why : "unknown reason");
    return false;
  }
  void* sym = dlsym(lib_, "OOCPSRV");
  if (!sym) {
    error = "plug-in " + path + " has no OOCPSRV";
    Unload();
    return false;
  }
  entry_ = reinterpret_cast<ServerEntry>(sym);
  return true;
}

bool Plugin::Start(CCommandProcessor* cp, std::string& error) {
  if (!entry_) {
    error = "no plug-in loaded";
    return false;
  }
  for (uintptr_t& w : block_) w = 0;
  block_[SRVBLK_CMDPROC] = reinterpret_cast<uintptr_t>(cp);
  short status = entry_(nullptr, 2, block_);
  client_ = reinterpret_cast<CCpClient*>(block_[SRVBLK_CLIENT]);
  if (status != 0 || !client_) {
    error = "the plug-in made no client (status " + std::to_string(status) + ")";
    client_ = nullptr;
    return false;
  }
  // The plug-in may name another entry for this client.
  if (block_[SRVBLK_ENTRY]) entry_ = reinterpret_cast<ServerEntry>(block_[SRVBLK_ENTRY]);
  started_ = true;
  // Message 3 reports failures by what it leaves unregistered, not by status.
  entry_(client_, 3, block_);
  return true;
}

short Plugin::Abort() { return started_ ? entry_(client_, 8, block_) : 0; }

void Plugin::Stop() {
  if (!started_) return;
  started_ = false;
  entry_(client_, 6, block_);
  client_ = nullptr;
}

void Plugin::Unload() {
  if (lib_) dlclose(lib_);
  lib_ = nullptr;
  entry_ = nullptr;
}

std::string DefaultPluginPath() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return "libstruct.so";
  return (exe.parent_path() / "libstruct.so").string();
}

}  // namespace host
