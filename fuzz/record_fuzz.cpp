// A record body from outside: expanding, bounding and flattening it must stay
// inside the body and the block, whatever the bytes say.
#include <cstdlib>

#include "../apps/structdb/quietproc.h"
#include "database/readrec.h"
#include "core/common.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  if (size > 0xFFFF) return 0;
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  static STRUCT_DLL_INFO* info = new STRUCT_DLL_INFO;
  CQuietProcessor pcp;
  CQuietReports quiet(true);
  // The reader hands the body over with one extra zero byte behind it.
  unsigned char* body = static_cast<unsigned char*>(std::calloc(size + 1, 1));
  if (size) std::memcpy(body, data, size);
  CSREADREC* rr = NewReadRecord();
  if (rr && ExpandRecordBody(&pcp, "fuzz.sdb", body, static_cast<UINT>(size), rr) == 0) {
    ComputeBoundsAndCentre(rr);
    CSDRAWREC* rec = nullptr;
    if (FlattenReadRecord(&pcp, info, rr, &rec) == 0) {
      CSDRAWREC* copy = DuplicateStructureRecord(rec);
      std::free(copy);
      std::free(rec);
    }
  }
  FreeReadRecord(rr);
  std::free(body);
  return 0;
}
