// A test of the platform stand-in: its own temporary directory, no drives, no
// system directory and no faults at the start, and no handle, block or
// window left behind at the end.
#pragma once

#include <gtest/gtest.h>
#include <platform/env.h>
#include <windows.h>

#include <string>

#include "testutil/tempdir.h"

// Set as the last error before a call whose error code a test checks: no
// call sets it, so a call that sets nothing cannot pass.
constexpr DWORD kPrimedError = 0xE0E0E0E0;

class PlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::ClearFaults();
    platform::ClearDrives();
    platform::SetSystemDirectory("");
    handles_ = platform::OpenFileHandles();
    locals_ = platform::LiveLocalBlocks();
    globals_ = platform::LiveGlobalBlocks();
    windows_ = platform::LiveWindows();
  }
  void TearDown() override {
    platform::ClearFaults();
    platform::ClearDrives();
    platform::SetSystemDirectory("");
    EXPECT_EQ(platform::OpenFileHandles(), handles_) << "file handles leaked";
    EXPECT_EQ(platform::LiveLocalBlocks(), locals_) << "local blocks leaked";
    EXPECT_EQ(platform::LiveGlobalBlocks(), globals_) << "global blocks leaked";
    EXPECT_EQ(platform::LiveWindows(), windows_) << "windows left";
  }

  std::string Path(const std::string& name) const { return dir_.file(name); }
  std::string Read(const std::string& name) const { return testutil::ReadFileBytes(Path(name)); }
  void Write(const std::string& name, const std::string& bytes) const {
    testutil::WriteFileBytes(Path(name), bytes);
  }

  testutil::TempDir dir_;

 private:
  int handles_ = 0, locals_ = 0, globals_ = 0, windows_ = 0;
};
