// structdb: build, dump and check structure libraries from the shell.
#include <platform/env.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "convert/molimport.h"
#include "database/stdwriter.h"
#include "export.h"
#include "libfile.h"
#include "quietproc.h"
#include "core/common.h"
#include "core/settings.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: structdb build [--circles] OUT FILE.mol...   build a standard library\n"
               "       structdb dump LIB                          print every record decoded\n"
               "       structdb check LIB                         check index and records\n"
               "LIB and OUT name the pair: lib, lib.sdb and lib.ind are the same library.\n");
  return 2;
}

int Build(int argc, char** argv) {
  bool circles = false;
  int i = 2;
  if (i < argc && std::strcmp(argv[i], "--circles") == 0) {
    circles = true;
    ++i;
  }
  if (argc - i < 2) return Usage();
  const std::string out = argv[i++];
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CQuietProcessor pcp;
  STRUCT_DLL_INFO info;
  ReadSettings(&info);
  std::vector<StdStructure> structures;
  for (; i < argc; ++i) {
    CSDRAWREC* rec = nullptr;
    if (MolToStructure(&pcp, &info, argv[i], &rec) != 0 || !rec) {
      std::fprintf(stderr, "structdb: %s: not imported\n", argv[i]);
      return 1;
    }
    StdStructure s = StructureFromRecord(rec);
    std::free(rec);
    if (s.lKey <= 0) {
      std::fprintf(stderr, "structdb: %s: no CAS number on its comment line\n", argv[i]);
      return 1;
    }
    if (circles) {
      // What the record cannot hold is refused before the ring search.
      std::vector<BYTE> body;
      std::string why;
      if (!EncodeStandardRecord(s, body, why)) {
        std::fprintf(stderr, "structdb: %s: %s\n", argv[i], why.c_str());
        return 1;
      }
      MarkAromaticRings(s);
    }
    structures.push_back(std::move(s));
  }
  std::string why;
  if (!WriteStandardLibrary(out, structures, why)) {
    std::fprintf(stderr, "structdb: %s\n", why.c_str());
    return 1;
  }
  std::printf("%zu structures written to %s\n", structures.size(), out.c_str());
  return 0;
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
