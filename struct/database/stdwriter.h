// Writing standard (read-only) structure libraries: records in the full
// standard form (full, half and linked bonds sharing endpoints through
// references, label codes, circles, names) and a sorted index. Used to build
// the sample library, test data and benchmark libraries. Nothing here reports
// through a command processor: a failure is a false result with its reason.
#pragma once

#include <windows.h>

#include <string>
#include <unordered_set>
#include <vector>

#include "database/drawrec.h"
#include "database/fileio.h"
#include "database/lookup.h"

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

// Writes the pair for path (extensions replaced) record by record: each
// record goes to a temporary data file as it is added, and only the index
// entries (and their keys) stay in memory, so a library of any size is built
// in memory for its index. Commit writes the sorted index of the non-zero
// keys and puts both files in place together (CWholeFiles); a writer that
// goes without a successful Commit leaves the old pair (or none) as it was.
class CStdLibraryWriter {
 public:
  explicit CStdLibraryWriter(const std::string& path);
  ~CStdLibraryWriter();
  CStdLibraryWriter(const CStdLibraryWriter&) = delete;
  CStdLibraryWriter& operator=(const CStdLibraryWriter&) = delete;

  // Creates the temporary data file; false with a reason when it cannot.
  bool Open(std::string& why);

  enum Result {
    kAdded,
    kNotStorable,  // the record cannot hold s, or the data file would pass 2 GB
    kRepeatedKey,  // the key is already in the library (the first stays)
    kFailed,       // a write failed or the writer is not open: nothing more is added
  };
  // Appends s; on anything but kAdded why holds the reason and the library
  // is as it was before the call.
  Result Add(const StdStructure& s, std::string& why);
  bool HasKey(LONG key) const { return keys_.count(key) != 0; }
  // Records added so far.
  long long Count() const { return count_; }

  // Writes the index and puts the pair in place; false with a reason (the
  // old files are kept). The writer takes nothing more afterwards.
  bool Commit(std::string& why);

 private:
  static constexpr size_t kFlushSize = 1 << 16;
  bool Flush(std::string& why);

  std::string path_;
  CWholeFiles files_;
  HANDLE hData_ = INVALID_HANDLE_VALUE;
  bool failed_ = false;
  std::vector<BYTE> pending_;  // data not yet written
  std::vector<BYTE> body_;
  long long size_ = 0;  // of the data file, written and pending
  long long count_ = 0;
  std::vector<INDEXREC> index_;
  std::unordered_set<LONG> keys_;
};

// Writes the pair for path (extensions replaced) from scratch through a
// CStdLibraryWriter: every record in order and the index of the non-zero
// keys, sorted. False with a reason on failure (a structure that cannot be
// stored, duplicate keys, a data file over 2 GB, a file that cannot be
// created or written or put in place); the old files then stay as they are.
bool WriteStandardLibrary(const std::string& path, const std::vector<StdStructure>& structures,
                          std::string& why);

// The structure of a record (bonds, labels, circles, name), as the writer
// takes it. Cannot fail.
StdStructure StructureFromRecord(const CSDRAWREC* rec);

// Six-membered rings of alternating single and double bonds become aromatic
// bonds with a circle at the ring's centre.
void MarkAromaticRings(StdStructure& s);
