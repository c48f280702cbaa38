// A MOL file from outside: import refuses or builds a record that stays
// within its block.
#include <cstdlib>

#include "../apps/structdb/quietproc.h"
#include "convert/molimport.h"
#include "fuzzenv.h"
#include "core/common.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  static STRUCT_DLL_INFO* info = new STRUCT_DLL_INFO;
  static const std::string path = ScratchFile("input.mol");
  WriteScratch(path, data, size);
  CQuietProcessor pcp;
  CQuietReports quiet(true);
  CSDRAWREC* rec = nullptr;
  if (MolToStructure(&pcp, info, path.c_str(), &rec) == 0 && rec) {
    // Every offset the record states lies inside it.
    if (rec->offLabels > rec->cbTotal || rec->offPoints > rec->offLabels) __builtin_trap();
    std::free(rec);
  }
  return 0;
}
