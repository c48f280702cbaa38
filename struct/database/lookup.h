// Looking structures up: by CAS number through a library's sorted index, by
// record number through its data file, and across the configured libraries;
// expanding a record into a structure drawing record.
//
// Reports go through pcp with the message named at each function and return
// its number as the status; where a function is silent, a miss and a failure
// look the same to the caller.
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

// Data-file offset stored with key in the index of dataPath (any extension);
// 0 when absent. Silent when the index cannot be opened, is empty or its first
// entry cannot be read; 528 reported when a later probe cannot be read (and 0
// returned).
LONG FindIndexEntry(CCommandProcessor* pcp, LPCSTR dataPath, LONG key);
// FindIndexEntry on an index already open (for reading); its position is
// left anywhere. Used where the caller holds the index open itself. status
// (when given) receives 528 when a probe failed, the first one included
// (reported then too), 0 otherwise.
LONG FindIndexEntryIn(CCommandProcessor* pcp, HANDLE hIndex, LONG key, short* status = nullptr);
// FindIndexEntry over the configured libraries in order: the first hit; 0
// (silent) when none is configured.
LONG FindInAnyDatabase(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, LONG key);
// Key of the index entry pointing at offset; 0 when none does or the index
// cannot be read (silent).
LONG FindIdByOffset(LPCSTR dataPath, LONG offset);

// The structure id of the library dataPath (opened as given): id > 0 a CAS
// number, id <= 0 minus a record number. 0 with a new record (malloc'd, the
// caller frees it), or the status of the report:
//   529 the data file cannot be opened;
//   526 the CAS number is not in the index;
//   527 no such record (record 0 included), or in the CAS lookup mode a record
//       without an index entry;
//   521 the index points outside the data file, or the record is corrupt;
//   514 memory, or a record that would expand past 65535 bytes.
// out (when given) always receives the new record or null. A successful read
// by record number moves the sequential-read cache to the next record.
short LoadStructureFromFile(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, LPCSTR dataPath, LONG id,
                            CSDRAWREC** out);
// LoadStructureFromFile over the configured libraries in order until one has
// the structure: 542 reported when none is configured; otherwise only the
// last library's failure is reported (the libraries passed over stay quiet,
// but a damaged one, 521 or 528, is always reported).
// *out (when given) is null on failure.
short LoadStructure(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, LONG id, CSDRAWREC** out);
