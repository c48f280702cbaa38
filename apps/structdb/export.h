// Writing a structure library out for other programs: every record an index
// entry points at, in key order, as a V2000 molblock of the record as stored
// (coordinates in MOL units that the MOL import turns back into the same
// structure units), either as one SD file or as one MOL file per record.
// What a molblock cannot carry (circles, labels away from every atom) goes
// into the SD data items STRUCT_CIRCLES and STRUCT_LABELS; the README
// describes their text.
#pragma once

#include <string>

// Exports lib (lib, lib.sdb or lib.ind) to the SD file out, or with molDir to
// the directory out (made when missing) as one MOL file per record, named by
// the hyphenated CAS number when the key is a valid one, else by the key.
// Every file is written under a temporary name and renamed into place.
// Returns 0 when every record was written, 1 when some were skipped (each
// named on stderr), 2 when the library cannot be read or an output cannot be
// written (the reason on stderr; an SD file then stays as it was, MOL files
// already written stay).
int ExportLibrary(const std::string& lib, const std::string& out, bool molDir);
