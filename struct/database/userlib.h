// Adding structures to a user library: each record is encoded in the simplest
// form and appended to the data file, its ID merged into the sorted index
// (through a temporary file holding the index's tail), the library created
// when it does not exist yet. Standard libraries are refused.
#pragma once

#include "core/common.h"
#include "core/progress.h"
#include "database/drawrec.h"

// Asks the user for the ID (and name) of a structure about to be stored in
// library, writing them into the record; returns 0, or the status of an
// error it reported. Leaving the ID below 1 means the user gave none. The
// library's own prompt is a dialog, which this folder does not know: the
// caller hands it down.
// hIndex is the library's index as the addition holds it open, so the prompt
// can tell whether an ID is taken.
typedef short (*IDPROMPTPROC)(CCpClient* client, CSDRAWREC* rec, LPCSTR library, HANDLE hIndex);

// Stores count structures (null entries are passed over) in the library at
// path (any extension; both files are named from it) and returns 0, or the
// status of the first error, reported through the command processor:
//   529 the index or data file cannot be opened or created, or the data file
//       exists without its index (neither file is then touched);
//   549 the library is a standard one; 538 a structure the form cannot hold;
//   516/517 a write or read failed; 518 no temporary file; 548 too little
//       disk space for the merge; 528 the index could not be read; 523 a
//       file could not be closed; 514 memory.
// A structure whose ID is below 1, or every structure when askId is set, is
// first given to prompt (none: as if the user gave no ID); a structure still
// without an ID ends the run with 522 reported and status 0. Structures stored
// before a failure stay stored; a failed append is cut off the data file and a
// failed merge leaves the index exactly as it was. progress (may be null)
// hears "CSAddStruct" at most once a second, the first time at once.
short AddStructureToLibrary(const CString& path, CSDRAWREC** structures, int count,
                            PROGRESSPROC progress, CCpClient* client, BOOL askId,
                            IDPROMPTPROC prompt);

// The record's length word and body in the user-library form, in a movable
// local block the caller frees. A structure the form cannot hold (counts
// above 127, a bond type above 3, a record over 65535 bytes) is refused with
// 538 naming the limit; 514 or 531 when memory is short. *out is null on
// every failure.
short EncodeStructureRecord(CCommandProcessor* pcp, const CSDRAWREC* rec, HLOCAL* out);
