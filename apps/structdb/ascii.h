// Reading an ASCII structure file for "structdb build --ascii". Five lines a
// record: "c" at the very start and the CAS number (the first token after
// it); the name (the whole line); the bonds (a count, then x1 y1 x2 y2 type
// each, types 1 single to 4 aromatic); the labels (a count, then a position,
// an x y anchor when the position is 0, and the text each; position k > 0 is
// bond end point k: 2i - 1 and 2i are the first and second end of bond i,
// counting bonds from 1 in the order of the line); the circles (a count,
// then x y each). Tokens are separated by any run of ": ,;()"; a count
// larger than the items on its line ends at the last whole item. The input
// ends at the first record line that does not begin with "c"; a record
// whose CAS number is 0 is passed over with its four lines. Coordinates are
// structure units as they stand.
#pragma once

#include <string>

#include "buildrun.h"

// Hands every record of the file at path to run, numbered from 1 (records
// passed over counted too).
void ReadAsciiFile(CBuildRun& run, const std::string& path);
