// Copies of structure records: the block holds nothing outside itself, so a
// byte copy is a complete copy.
#include "database/drawrec.h"

#include <cstdlib>

CSDRAWREC* DuplicateStructureRecord(const CSDRAWREC* src) {
  if (!src) return nullptr;
  auto* copy = static_cast<CSDRAWREC*>(std::malloc(src->cbTotal));
  if (copy) std::memcpy(copy, src, src->cbTotal);
  return copy;
}
