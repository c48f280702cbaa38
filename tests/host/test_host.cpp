// The in-process test host.
#include "test_host.h"

#include <dlfcn.h>
#include <gtest/gtest.h>

#include "interpreter.h"
#include "parser.h"
#include "values.h"

namespace hosttest {

TestHost::TestHost(bool withPlugin) {
  std::string error;
  EXPECT_TRUE(windows_.Create(800, 600, error)) << error;
  rt_ = std::make_unique<host::Runtime>(console_);
  rt_->hwndMain = windows_.main();
  rt_->hwndView = windows_.view();
  if (!withPlugin) return;
  probe_ = dlopen(TEST_PLUGIN_PATH, RTLD_NOW);
  EXPECT_NE(probe_, nullptr) << dlerror();
  if (auto reset = reinterpret_cast<void (*)()>(dlsym(probe_, "TestPluginReset"))) reset();
  EXPECT_TRUE(plugin_.Load(TEST_PLUGIN_PATH, error)) << error;
  EXPECT_TRUE(plugin_.Start(rt_.get(), error)) << error;
}

TestHost::~TestHost() {
  Finish();
  if (probe_) dlclose(probe_);
}

void TestHost::Finish() {
  if (finished_) return;
  finished_ = true;
  rt_->DestroyAllValues();
  plugin_.Stop();
  windows_.Destroy();
  plugin_.Unload();
}

Outcome TestHost::Run(const std::string& script) {
  host::Program program;
  std::string error;
  EXPECT_TRUE(host::ParseProgram("test", script, program, error)) << error;
  out_.str("");
  err_.str("");
  host::HostContext ctx{out_, [this] { return plugin_.Abort(); }};
  host::Interpreter interp(*rt_, builtins_, ctx);
  interp.Run(program);
  return {out_.str(), err_.str(), interp.failed()};
}

double TestHost::Number(const std::string& name) {
  OBJ_BASECLASS* v = rt_->variables().Find(name);
  EXPECT_TRUE(host::IsNumber(v)) << name;
  return host::IsNumber(v) ? v->dValue : -12345;
}

std::string TestHost::String(const std::string& name) {
  OBJ_BASECLASS* v = rt_->variables().Find(name);
  EXPECT_TRUE(host::IsString(v)) << name;
  return host::StringOf(v);
}

PluginCounts TestHost::Counts() const {
  PluginCounts c;
  auto get = reinterpret_cast<void (*)(int*, int*, int*, int*)>(dlsym(probe_, "TestPluginCounts"));
  if (get) get(&c.created, &c.duplicated, &c.destroyed, &c.liveAtStop);
  return c;
}

std::string TestHost::Messages() const {
  auto get = reinterpret_cast<const char* (*)()>(dlsym(probe_, "TestPluginMessages"));
  return get ? get() : "";
}

}  // namespace hosttest
