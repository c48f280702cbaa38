// An SD file (or an ASCII structure file: the first input byte chooses) from
// outside: the build skips or writes each structure, and whatever it writes
// is a library whose every record decodes.
#include <unistd.h>

#include <cstdio>

#include "../apps/structdb/ascii.h"
#include "../apps/structdb/buildrun.h"
#include "../apps/structdb/libfile.h"
#include "../apps/structdb/sdfread.h"
#include "fuzzenv.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  if (size == 0) return 0;
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  static const std::string in = ScratchFile("input.sdf");
  static const std::string out = ScratchFile("lib");
  static FILE* devnull = std::fopen("/dev/null", "w");
  WriteScratch(in, data + 1, size - 1);
  BuildOptions options;
  options.out = out;
  options.quiet = true;
  if (data[0] & 1) options.keyField = "CAS";
  if (data[0] & 2) options.circles = true;
  // The run's lines go to stdout and stderr: away with them while it lasts,
  // so that the fuzzer's own reports stay readable.
  std::fflush(stdout);
  std::fflush(stderr);
  const int savedOut = dup(1), saved = dup(2);
  dup2(fileno(devnull), 1);
  dup2(fileno(devnull), 2);
  int status = 2;
  {
    CBuildRun run(options, static_cast<long long>(size));
    if (run.Open()) {
      if (data[0] & 4)
        ReadAsciiFile(run, in);
      else
        ReadSdFile(run, in, 0);
      status = run.Finish();
    }
  }
  std::fflush(stdout);
  std::fflush(stderr);
  dup2(savedOut, 1);
  dup2(saved, 2);
  close(savedOut);
  close(saved);
  if (status < 2 && CheckLibrary(out, devnull) != 0) __builtin_trap();
  return 0;
}
