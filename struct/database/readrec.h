// The working record a database record is expanded into before it is
// flattened: growable arrays of bond types, points and label strings.
#pragma once

#include <windows.h>

#include "database/lookup.h"

struct CSREADREC {
  LONG lId;
  RECT rcBounds;
  char szName[50];
  WORD nCircles;
  WORD nLabels;
  LONG lReserved;
  WORD nBonds;
  HLOCAL hBondTypes;
  BYTE* pBondTypes;
  HLOCAL hLabels;
  char* pLabels;
  WORD cbLabels;
  WORD iFirstCircle;
  WORD iFirstLabel;
  WORD nPoints;
  HLOCAL hPoints;
  POINT* pPoints;
};

// Zero-filled working record; null when memory is short.
CSREADREC* NewReadRecord();
void FreeReadRecord(CSREADREC* rr);

// Reads record id of dataPath into rr (reports its own errors).
short ReadStructureRecord(STRUCT_DLL_INFO* info, LPCSTR dataPath, CCommandProcessor* pcp,
                          CSREADREC* rr, LONG id);
// Decodes one record body into rr; a status of 521 for a body that is corrupt
// or shorter than its fields claim.
short ExpandRecordBody(CCommandProcessor* pcp, LPCSTR dataPath, const BYTE* body, UINT cbBody,
                       CSREADREC* rr);
// Bounds of the points and labels, then every point shifted so the drawing
// is centred on the origin.
void ComputeBoundsAndCentre(CSREADREC* rr);
// The flat record made from rr (null on failure, reported).
short FlattenReadRecord(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, const CSREADREC* rr,
                        CSDRAWREC** out);
