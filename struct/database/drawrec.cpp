// Copies of structure records: the block holds nothing outside itself, so a
// byte copy is a complete copy.
#include "database/drawrec.h"

#include <cstdlib>

#include "core/alloc.h"

CSDRAWREC* DuplicateStructureRecord(const CSDRAWREC* src) {
  // No record is smaller than its header or larger than 16 bits can say; a
  // size outside that is a damaged record, not one to copy.
  if (!src || src->cbTotal < CSDRAWREC_HEADER || src->cbTotal > CSDRAWREC_MAX) return nullptr;
  auto* copy = StructAllocOf<CSDRAWREC>(src->cbTotal);
  if (copy) std::memcpy(copy, src, src->cbTotal);
  return copy;
}
