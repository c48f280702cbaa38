// The drawing options dialog ("Chemical Structure Options"): the options of
// one structure, or the global options, edited on a sample with a live
// preview; the sample can also be added to a user library.
#pragma once

#include "core/common.h"
#include "database/drawrec.h"

// Runs the dialog for rec's own options, or for the global options when rec
// is null (then saved to the settings file on OK). 1 when OK applied the
// options, else 0; nDlgStatus holds the status of the command: 514 reported
// when rec cannot be copied, the lookup's status when no sample can be read
// for the global options (the dialog is then not shown), 550 when the
// settings cannot be saved.
int RunDrawOptions(CCpClient* client, CSDRAWREC* rec);
