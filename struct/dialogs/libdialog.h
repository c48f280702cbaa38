// The user library dialog ("User Library Edit", template 500): the editor of
// "CSEditLib" and, cut off above its "Structure" group, the ID prompt of an
// addition.
#pragma once

#include "core/common.h"
#include "database/drawrec.h"

enum { LIBDLG_PROMPT = 0, LIBDLG_EDIT = 1 };

// Runs the dialog in mode (LIBDLG_PROMPT or LIBDLG_EDIT) for rec (may be null
// in edit mode) with library preselected; returns the dialog's status (0
// unless something inside it reported an error). In the prompt, Add writes
// the typed ID and name into rec; a cancelled prompt leaves them.
// hIndex (prompt mode) is the index the asking addition holds open: an ID
// that exists there gets the overwrite warning.
short RunLibraryDialog(CCpClient* client, CSDRAWREC* rec, LPCSTR library, LONG mode,
                       HANDLE hIndex = INVALID_HANDLE_VALUE);

// The prompt in the shape an addition takes it (IDPROMPTPROC).
short PromptForLibraryId(CCpClient* client, CSDRAWREC* rec, LPCSTR library, HANDLE hIndex);
