// Adding structures to a user library: each record is encoded in the simplest
// form and appended to the data file, its ID merged into the sorted index
// (through a temporary file holding the index's tail), the library created
// when it does not exist yet. Standard libraries are refused.
#pragma once

#include "database/drawrec.h"
#include "server/common.h"
#include "tools/progress.h"

short AddStructureToLibrary(const CString& path, CSDRAWREC** structures, int count,
                            PROGRESSPROC progress, CCpClient* client, BOOL askId);

// The record's length word and body in the user-library form, in a movable
// local block the caller frees. A structure the form cannot hold (counts
// above 127, a bond type above 3, a record over 65535 bytes) is refused with
// its own message.
short EncodeStructureRecord(CCommandProcessor* pcp, const CSDRAWREC* rec, HLOCAL* out);

// The ID prompt run for a structure without a usable ID: the user library
// dialog in its prompt mode. It writes the typed ID into the record.
short RunLibraryDialog(CCpClient* client, CSDRAWREC* rec, LPCSTR library, LONG mode);
