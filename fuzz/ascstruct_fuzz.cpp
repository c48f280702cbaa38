// An ASCII structure file from outside: the pack pass ends, holds nothing
// open or allocated afterwards, leaves its outputs empty and writes
// statistics that agree with each other and with the size of the input.
#include <platform/env.h>

#include <cstdio>
#include <fstream>
#include <sstream>

#include "../apps/structdb/quietproc.h"
#include "core/common.h"
#include "fuzzenv.h"
#include "tools/pack.h"

namespace {

std::string Slurp(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  static const std::string asc = ScratchFile("input.asc");
  static const std::string bin = ScratchFile("out.bin");
  static const std::string stats = [] {
    const std::string dir = ScratchFile("");
    platform::SetDrive('D', dir);
    return dir + "STRUCT.STS";
  }();
  WriteScratch(asc, data, size);
  std::remove(stats.c_str());
  CQuietProcessor pcp;
  CQuietReports quiet(true);
  CCpClient client{0, 0, nullptr, &pcp};
  const int handles = platform::OpenFileHandles();
  const int blocks = platform::LiveLocalBlocks();
  const short status = PackAsciiStructures(&client, asc.c_str(), bin.c_str(), INT32_MAX);
  if (status != 0) __builtin_trap();
  if (platform::OpenFileHandles() != handles || platform::LiveLocalBlocks() != blocks)
    __builtin_trap();
  if (!Slurp(bin).empty()) __builtin_trap();

  long records = 0, totals[3] = {};
  int name = 0, x0 = 0, y0 = 0, x1 = 0, y1 = 0, sx = 0, sy = 0, dups = 0, maxima[3] = {};
  const std::string text = Slurp(stats);
  const int got = std::sscanf(
      text.c_str(),
      "Structures: %ld\r\nMax Name: %d\r\nMin (X, Y): (%d, %d)\r\nMax (X, Y): (%d, %d)\r\n"
      "Span (X, Y): (%d, %d)\r\nnDupCoords: %d\r\nMax Bonds: %d (Total: %ld)\r\n"
      "Max Heteroatoms: %d (Total: %ld)\r\nMax Aromatic circles: %d (Total: %ld)\r\n",
      &records, &name, &x0, &y0, &x1, &y1, &sx, &sy, &dups, &maxima[0], &totals[0], &maxima[1],
      &totals[1], &maxima[2], &totals[2]);
  if (got != 15) __builtin_trap();
  // Every record counted starts with a line of at least "c" and a digit.
  if (records < 0 || static_cast<size_t>(records) > size / 2) __builtin_trap();
  if (name < 0 || name > 2047 || dups < 0 || sx < 0 || sy < 0 || sx > 65535 || sy > 65535)
    __builtin_trap();
  // Without coordinates the extremes keep their starting values; with them
  // the minimum is at most the maximum (both may saturate at 2147483647).
  const bool coords = !(x0 == INT32_MAX && x1 == INT32_MIN);
  if (coords && (x0 > x1 || y0 > y1)) __builtin_trap();
  if (!coords && (y0 != INT32_MAX || x1 != INT32_MIN || y1 != INT32_MIN || dups != 0))
    __builtin_trap();
  for (int i = 0; i < 3; ++i)
    if (maxima[i] < 0 || maxima[i] > totals[i] || (maxima[i] > 0 && records == 0)) __builtin_trap();
  return 0;
}
