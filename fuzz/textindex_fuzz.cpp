// A text index from outside: the index pass ends with success, holds nothing
// open or allocated afterwards, and writes whole 8-byte entries, no more
// than the input has lines.
#include <platform/env.h>

#include <cstdio>
#include <fstream>
#include <iterator>

#include "../apps/structdb/quietproc.h"
#include "core/common.h"
#include "fuzzenv.h"
#include "tools/pack.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  static const std::string text = ScratchFile("index.txt");
  static const std::string bin = ScratchFile("index.bin");
  WriteScratch(text, data, size);
  CQuietProcessor pcp;
  CQuietReports quiet(true);
  CCpClient client{0, 0, nullptr, &pcp};
  const int handles = platform::OpenFileHandles();
  const int blocks = platform::LiveLocalBlocks();
  if (PackIndexFile(&client, text.c_str(), bin.c_str()) != 0) __builtin_trap();
  if (platform::OpenFileHandles() != handles || platform::LiveLocalBlocks() != blocks)
    __builtin_trap();
  std::ifstream in(bin, std::ios::binary);
  const std::string out((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  // Each entry needs a line of at least "0 0" and a line end between lines.
  if (out.size() % 8 != 0 || out.size() / 8 > (size + 1) / 4) __builtin_trap();
  return 0;
}
