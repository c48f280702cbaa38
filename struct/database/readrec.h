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

// Zero-filled working record; null when memory is short (silent).
CSREADREC* NewReadRecord();
// Frees rr and its arrays, whatever state a failed read left them in.
void FreeReadRecord(CSREADREC* rr);

// Reads record id of dataPath into rr; the statuses and reports of
// LoadStructureFromFile. On failure rr holds whatever was read (its name is
// already set) and is freed as usual. The read cache moves once the record's
// bytes are in, even when they then prove corrupt; it is left as it was when
// the record cannot be found or read.
short ReadStructureRecord(STRUCT_DLL_INFO* info, LPCSTR dataPath, CCommandProcessor* pcp,
                          CSREADREC* rr, LONG id);
// Decodes one record body into rr: 521 reported (naming dataPath) for a body
// that is corrupt or shorter than its fields claim, 514 when an array cannot
// grow. On failure rr holds the part decoded so far.
short ExpandRecordBody(CCommandProcessor* pcp, LPCSTR dataPath, const BYTE* body, UINT cbBody,
                       CSREADREC* rr);
// Bounds of the points and labels, then every point shifted so the drawing
// is centred on the origin. Cannot fail.
void ComputeBoundsAndCentre(CSREADREC* rr);
// The flat record made from rr with the client's drawing options (malloc'd,
// the caller frees it); 514 reported, *out null, when it would pass 65535
// bytes or memory is short.
short FlattenReadRecord(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, const CSREADREC* rr,
                        CSDRAWREC** out);
