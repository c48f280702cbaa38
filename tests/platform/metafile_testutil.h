// What the metafile tests share: a fixture that also checks that no GDI
// object or metafile is left behind, golden bytes written as the format's
// 16-bit words, and libwmf's wmf2svg, which must open what the device writes.
#pragma once

#include <sys/wait.h>

#include <cstdlib>
#include <initializer_list>
#include <string>
#include <vector>

#include "fixture.h"
#include "gdi/metafile_handles.h"

class MetaTest : public PlatformTest {
 protected:
  void SetUp() override {
    PlatformTest::SetUp();
    objects_ = platform::LiveGdiObjects();
    metafiles_ = platform::LiveMetaFiles();
  }
  void TearDown() override {
    EXPECT_EQ(platform::LiveGdiObjects(), objects_) << "GDI objects leaked";
    EXPECT_EQ(platform::LiveMetaFiles(), metafiles_) << "metafiles leaked";
    PlatformTest::TearDown();
  }

 private:
  int objects_ = 0, metafiles_ = 0;
};

// Little-endian bytes of 16-bit words; a DWORD is its low word, then its high.
inline std::vector<BYTE> Words(std::initializer_list<WORD> words) {
  std::vector<BYTE> out;
  for (WORD w : words) out.insert(out.end(), {static_cast<BYTE>(w), static_cast<BYTE>(w >> 8)});
  return out;
}

inline std::vector<BYTE> Bits(HMETAFILE h) {
  std::vector<BYTE> out(GetMetaFileBitsEx(h, 0, nullptr));
  EXPECT_EQ(GetMetaFileBitsEx(h, static_cast<UINT>(out.size()), out.data()), out.size());
  return out;
}

inline WORD WordAt(const std::vector<BYTE>& b, size_t at) {
  return static_cast<WORD>(b.at(at) | (b.at(at + 1) << 8));
}

// The records of a metafile as (function, parameter bytes).
struct Rec {
  WORD function;
  std::vector<BYTE> params;
  bool operator==(const Rec&) const = default;
};
inline std::vector<Rec> Records(const std::vector<BYTE>& b) {
  std::vector<Rec> out;
  for (size_t at = 18, len; at + 6 <= b.size(); at += len) {
    len = 2 * (WordAt(b, at) | static_cast<size_t>(WordAt(b, at + 2)) << 16);
    if (len < 6 || at + len > b.size()) break;
    out.push_back({WordAt(b, at + 4), std::vector<BYTE>(b.begin() + at + 6, b.begin() + at + len)});
  }
  return out;
}

inline void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes) {
  testutil::WriteFileBytes(path, std::string(bytes.begin(), bytes.end()));
}

// True when the shell command exits with status 0.
inline bool Succeeds(const std::string& command) {
  const int status = std::system(command.c_str());
  return status != -1 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Why wmf2svg cannot check anything here, or "": it must be installed and find
// its fonts (Debian's fonts-urw-base35; without them it refuses any text).
// Probed once with a metafile of one TEXTOUT record.
inline const std::string& Wmf2svgProblem() {
  static const std::string problem = [] {
    if (!Succeeds("command -v wmf2svg >/dev/null 2>&1"))
      return std::string("wmf2svg (Debian libwmf-bin) is not installed");
    testutil::TempDir dir;
    WriteBytes(dir.file("p.wmf"),
               Words({1, 9, 0x0300, 19, 0, 0, 7, 0, 0, 7, 0, 0x0521, 2, 0x6948, 12, 10, 3, 0, 0}));
    if (Succeeds("wmf2svg -o '" + dir.file("p.svg") + "' '" + dir.file("p.wmf") +
                 "' >/dev/null 2>&1"))
      return std::string();
    return std::string("wmf2svg cannot convert a text metafile (fonts-urw-base35 missing?)");
  }();
  return problem;
}

// Writes the metafile to dir/name.wmf and, when wmf2svg can be used, converts
// it: that must succeed with a non-empty SVG. (wmf2svg refuses pictures that
// draw nothing, so only drawings are given to it.)
inline void ExpectOpensInWmf2svg(const std::vector<BYTE>& bytes, const testutil::TempDir& dir,
                                 const std::string& name) {
  const std::string wmf = dir.file(name + ".wmf"), svg = dir.file(name + ".svg");
  WriteBytes(wmf, bytes);
  if (!Wmf2svgProblem().empty()) return;
  EXPECT_TRUE(Succeeds("wmf2svg -o '" + svg + "' '" + wmf + "' >/dev/null 2>&1")) << name;
  EXPECT_FALSE(testutil::ReadFileBytes(svg).empty()) << name;
}
