// structdb: build, dump and check structure libraries from the shell.
#include <platform/env.h>

#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "ascii.h"
#include "buildrun.h"
#include "database/fileio.h"
#include "export.h"
#include "libfile.h"
#include "sdfread.h"

namespace {

int Usage() {
  std::fprintf(
      stderr,
      "usage: structdb build [OPTIONS] OUT FILE...     build a standard library from SD and MOL\n"
      "                                                files (.mol: one MOL file, else SD)\n"
      "       structdb build --ascii FILE [OPTIONS] OUT  build one from an ASCII structure file\n"
      "       structdb dump LIB                          print every record decoded\n"
      "       structdb check LIB                         check index and records\n"
      "       structdb export LIB OUT.sdf                every indexed record as an SD file\n"
      "       structdb export --mol DIR LIB              one MOL file per indexed record\n"
      "build options:\n"
      "  --key-field NAME  the key is the SD data item NAME (a CAS number or an integer)\n"
      "  --number-from N   the keys are N, N+1, ... in the order written\n"
      "  --circles         six-membered alternating rings become aromatic, with circles\n"
      "  --quiet           no progress display\n"
      "LIB and OUT name the pair: lib, lib.sdb and lib.ind are the same library.\n");
  return 2;
}

// A key to number from: decimal digits only, 1 to 2147483647.
bool ParseNumberFrom(const char* text, long long* n) {
  *n = 0;
  if (!*text) return false;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    *n = std::min<long long>(*n * 10 + (*p - '0'), 1LL + INT32_MAX);
  }
  return *n >= 1 && *n <= INT32_MAX;
}

// The size of a file, 0 when it cannot be read (its reader says why).
long long SizeOf(const std::string& path) {
  HANDLE h = OpenForReading(path.c_str());
  if (h == INVALID_HANDLE_VALUE) return 0;
  const long long size = FileSizeOf(h);
  CloseHandle(h);
  return size > 0 ? size : 0;
}

int Build(int argc, char** argv) {
  BuildOptions options;
  std::string ascii;
  int i = 2;
  for (; i < argc && std::strncmp(argv[i], "--", 2) == 0; ++i) {
    const std::string opt = argv[i];
    const bool hasValue = i + 1 < argc;
    if (opt == "--circles") {
      options.circles = true;
    } else if (opt == "--quiet") {
      options.quiet = true;
    } else if (opt == "--key-field" && hasValue && argv[i + 1][0]) {
      options.keyField = argv[++i];
    } else if (opt == "--number-from" && hasValue) {
      if (!ParseNumberFrom(argv[++i], &options.numberFrom)) {
        std::fprintf(stderr, "structdb: --number-from takes a number from 1 to 2147483647\n");
        return 2;
      }
      options.numbered = true;
    } else if (opt == "--ascii" && hasValue) {
      ascii = argv[++i];
    } else {
      return Usage();
    }
  }
  std::vector<std::string> inputs(argv + i, argv + argc);
  if (inputs.empty() || (options.numbered && !options.keyField.empty())) return Usage();
  if (!ascii.empty()) {
    // The ASCII file's records carry their own circles and no data items.
    if (inputs.size() != 1 || options.circles || !options.keyField.empty()) return Usage();
    options.out = inputs[0];
    inputs = {ascii};
  } else {
    if (inputs.size() < 2) return Usage();
    options.out = inputs[0];
    inputs.erase(inputs.begin());
  }

  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  long long total = 0;
  for (const std::string& in : inputs) total += SizeOf(in);
  CBuildRun run(options, total);
  if (!run.Open()) return 2;
  long long done = 0;
  for (const std::string& in : inputs) {
    if (!run.Going()) break;
    if (!ascii.empty())
      ReadAsciiFile(run, in);
    else if (IsMolPath(in))
      ReadMolInput(run, in);
    else
      ReadSdFile(run, in, done);
    done += SizeOf(in);
    run.Progress(done);
  }
  return run.Finish();
}

}  // namespace

int main(int argc, char** argv) {
  platform::LoadEnvironment();
  if (argc < 3) return Usage();
  const std::string cmd = argv[1];
  if (cmd == "build") return Build(argc, argv);
  if (cmd == "dump" && argc == 3) return DumpLibrary(argv[2], stdout) ? 1 : 0;
  if (cmd == "check" && argc == 3) return CheckLibrary(argv[2], stdout) ? 1 : 0;
  if (cmd == "export" && argc == 4) return ExportLibrary(argv[2], argv[3], false);
  if (cmd == "export" && argc == 5 && std::strcmp(argv[2], "--mol") == 0)
    return ExportLibrary(argv[4], argv[3], true);
  return Usage();
}
