// Writing standard (read-only) structure libraries: records in the full
// standard form (full, half and linked bonds sharing endpoints through
// references, label codes, circles, names) and a sorted index. Used to build
// the sample library, test data and benchmark libraries. Nothing here reports
// through a command processor: a failure is a false result with its reason.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "database/drawrec.h"

struct StdBond {
  POINT p1;
  POINT p2;
  BYTE nType;  // BOND_SINGLE .. BOND_AROMATIC
};
struct StdLabel {
  POINT pt;  // an atom's position uses a reference; any other an explicit anchor
  std::string text;
};
// A structure in structure units; atoms are identified by their coordinates.
struct StdStructure {
  LONG lKey = 0;  // index key; records with key 0 get no index entry
  std::string name;
  std::vector<StdBond> bonds;
  std::vector<StdLabel> labels;
  std::vector<POINT> circles;
};

// The record body for s (without its length word); false with a reason when
// s cannot be stored (a count above 127, a reference beyond reach, a body
// over 65535 bytes).
bool EncodeStandardRecord(const StdStructure& s, std::vector<BYTE>& body, std::string& why);

// Writes the pair for path (extensions replaced) from scratch: the kind byte
// (0: standard), every record in order, and an index of the non-zero keys,
// sorted. False with a reason on failure (a structure that cannot be stored,
// duplicate keys, a data file over 2 GB: nothing written; a file that cannot
// be created or written: the files written so far stay as they are).
bool WriteStandardLibrary(const std::string& path, const std::vector<StdStructure>& structures,
                          std::string& why);

// The structure of a record (bonds, labels, circles, name), as the writer
// takes it. Cannot fail.
StdStructure StructureFromRecord(const CSDRAWREC* rec);

// Six-membered rings of alternating single and double bonds become aromatic
// bonds with a circle at the ring's centre.
void MarkAromaticRings(StdStructure& s);
