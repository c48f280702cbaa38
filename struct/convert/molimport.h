// MOL file import: the header, counts, atom and bond blocks of a 2-D MOL file
// become a structure drawing record (atoms other than carbon labelled, lone O
// and N given their implicit hydrogens).
#pragma once

#include <windows.h>

#include "core/common.h"
#include "database/drawrec.h"

// The working tables of one import, one zero-filled local block.
struct MOLATOM {
  LONG x;
  LONG y;
};
struct MOLBOND {
  LONG iAtom1;
  LONG iAtom2;
  LONG nType;  // MOL bond type - 1
};
#pragma pack(push, 1)
struct MOLLABEL {
  int16_t iAtom;
  char szText[9];
};
#pragma pack(pop)
struct MOLPARSE {
  char szName[50];
  LONG lCas;
  WORD nAtoms;
  WORD nBonds;
  WORD offBonds;
  WORD nLabels;
  WORD offLabels;
  WORD cbLabels;
};

// One line of at most capacity - 1 characters; CR LF, LF CR, LF and CR each
// end a line. Returns its length, or -1 at the end of the file.
int ReadTextLine(HANDLE hFile, char* buf, int capacity);
// True for an empty text or one of printable ASCII characters only.
BOOL IsPrintableLine(const char* text);
// A coordinate token as atof reads it (the usual decimal form without a call
// to atof).
double ReadMolCoordinate(const char* text);

// Where a molblock's lines come from: a MOL file of its own, or one molblock
// of a larger file (an SD file). ReadLine keeps to ReadTextLine's rules: the
// length kept (at most capacity - 1 characters and a NUL, the rest of a
// longer line dropped), -1 at the end of the lines.
class CMolLines {
 public:
  virtual int ReadLine(char* buf, int capacity) = 0;

 protected:
  ~CMolLines() = default;
};

// The lines of a text in memory, by the same rules as ReadTextLine.
class CTextMolLines : public CMolLines {
 public:
  CTextMolLines(const char* text, size_t size) : text_(text), size_(size) {}
  int ReadLine(char* buf, int capacity) override;

 private:
  const char* text_;
  size_t size_;
  size_t pos_ = 0;
};

// The working tables (a locked local block, see FreeMolParse) or null with
// *status set (0 when memory was short). 529 reported when the file cannot
// be opened, 544 for a malformed molblock, 543 for a 3-D one (each naming
// fileName).
MOLPARSE* ReadMolFile(short* status, STRUCT_DLL_INFO* info, CCommandProcessor* pcp,
                      LPCSTR fileName);
// The same from lines, which are read up to the last bond line; fileName
// names the source in the reports.
MOLPARSE* ReadMolBlock(short* status, STRUCT_DLL_INFO* info, CCommandProcessor* pcp,
                       LPCSTR fileName, CMolLines& lines);
void FreeMolParse(MOLPARSE* mp);
// The structure record of a MOL file (malloc'd, the caller frees it): the
// statuses of ReadMolFile, *out null on failure (also when memory is short,
// status 0). A molblock without a name takes fileName as its name.
short MolToStructure(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, LPCSTR fileName,
                     CSDRAWREC** out);
// The same from lines; a file and a molblock of the same lines give the same
// record.
short MolBlockToStructure(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, LPCSTR fileName,
                          CMolLines& lines, CSDRAWREC** out);
