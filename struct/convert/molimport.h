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
// The working tables (a locked local block, see FreeMolParse) or null with
// *status set (0 when memory was short).
MOLPARSE* ReadMolFile(short* status, STRUCT_DLL_INFO* info, CCommandProcessor* pcp,
                      LPCSTR fileName);
void FreeMolParse(MOLPARSE* mp);
short MolToStructure(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, LPCSTR fileName,
                     CSDRAWREC** out);
