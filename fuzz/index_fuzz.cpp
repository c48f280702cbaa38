// An index file from outside: the search ends, finds only what is there and
// reads nothing past the file, sorted or not. The first four bytes pick the
// key; the rest is the index.
#include <cstring>

#include "../apps/structdb/quietproc.h"
#include "database/lookup.h"
#include "fuzzenv.h"
#include "core/common.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  if (size < 4) return 0;
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  LONG key;
  std::memcpy(&key, data, 4);
  static const std::string data_path = ScratchFile("index.sdb");
  static const std::string index_path = ScratchFile("index.ind");
  WriteScratch(index_path, data + 4, size - 4);
  CQuietProcessor pcp;
  CQuietReports quiet(true);
  LONG offset = FindIndexEntry(&pcp, data_path.c_str(), key);
  // A hit must be an entry of the file with that key.
  if (offset != 0) {
    bool present = false;
    for (size_t i = 4; i + 8 <= size; i += 8) {
      LONG k, o;
      std::memcpy(&k, data + i, 4);
      std::memcpy(&o, data + i + 4, 4);
      present = present || (k == key && o == offset);
    }
    if (!present) __builtin_trap();
  }
  FindIdByOffset(data_path.c_str(), key);
  return 0;
}
