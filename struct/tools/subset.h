// A smaller library made from a larger one by a list of IDs: each listed
// structure found in the source is copied byte for byte into a new user
// library named after the list file.
#pragma once

#include "core/progress.h"

// The subset of the library sourcePath (any extension) by the IDs of the text
// file listPath, one decimal ID a line, written to listPath with its
// extension replaced by ".sdb" and ".ind". IDs not in the source and repeats
// are passed over. Returns 0 (after an abort too) or the status of the
// report: 534 when a name is missing (position 1, then 2) or the outputs
// would replace the list (1) or the source (2); 514 memory; 529 an input
// cannot be opened; 518 an output cannot be created; 517 the list cannot be
// read; 528 or 521 the source is damaged (with the source's path); 516 an
// output cannot be written; 523 a file cannot be closed. The output index
// always holds, sorted by key, exactly the records the data file holds.
short SubsetDatabase(CCpClient* client, LPCSTR listPath, LPCSTR sourcePath, PROGRESSPROC progress);
