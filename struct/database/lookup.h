// Looking structures up: by CAS number through a library's sorted index, by
// record number through its data file, and across the configured libraries;
// expanding a record into a structure drawing record.
#pragma once

#include <afxwin.h>
#include <cmdproc.h>

#include "database/drawrec.h"

struct STRUCT_DLL_INFO;

// An 8-byte index entry.
struct INDEXREC {
  LONG lKey;
  LONG lOffset;
};
static_assert(sizeof(INDEXREC) == 8);

// Data-file offset stored with key in the index of dataPath; 0 when absent,
// when the index cannot be opened or is empty.
LONG FindIndexEntry(CCommandProcessor* pcp, LPCSTR dataPath, LONG key);
// FindIndexEntry over the configured libraries in order: the first hit.
LONG FindInAnyDatabase(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, LONG key);
// Key of the index entry pointing at offset; 0 when none does.
LONG FindIdByOffset(LPCSTR dataPath, LONG offset);

// id > 0: a CAS number; id <= 0: minus a record number. out (when given)
// always receives the new record or null.
short LoadStructureFromFile(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, LPCSTR dataPath,
                            LONG id, CSDRAWREC** out);
short LoadStructure(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, LONG id, CSDRAWREC** out);
