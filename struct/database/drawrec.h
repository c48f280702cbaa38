// The structure drawing record: one flat, self-relative block (a 216-byte
// header, then bond types, points and label strings at stored offsets). The
// same bytes are the private clipboard format, so the layout is fixed.
#pragma once

#include <windows.h>

#include <bit>
#include <cstddef>
#include <cstring>

#include "core/drawopts.h"

static_assert(std::endian::native == std::endian::little, "records are little-endian");

// Bond type codes.
enum { BOND_SINGLE = 0, BOND_DOUBLE = 1, BOND_TRIPLE = 2, BOND_AROMATIC = 3 };

#define CSDRAWREC_HEADER 216
#define CSDRAWREC_MAX 65535
#define CS_NAME_MAX 49

struct CSDRAWREC {
  DWORD cbTotal;
  DWORD dwReserved;
  RECT rcBounds;  // left = min x, top = max y, right = max x, bottom = min y
  RECT rcPlace;   // in a plot's data units: left x, bottom y, right x, top y
  char szName[50];
  BYTE bPad[2];
  CSDRAWOPTS drawOpts;
  LONG lId;
  WORD nBonds;
  WORD offBondTypes;
  WORD offPoints;
  WORD nCircles;
  WORD iFirstCircle;
  WORD nLabels;
  WORD offLabels;
  WORD iFirstLabel;
  LONG lReserved;
};
static_assert(sizeof(CSDRAWREC) == CSDRAWREC_HEADER);
static_assert(offsetof(CSDRAWREC, cbTotal) == 0);
static_assert(offsetof(CSDRAWREC, dwReserved) == 4);
static_assert(offsetof(CSDRAWREC, rcBounds) == 8);
static_assert(offsetof(CSDRAWREC, rcPlace) == 24);
static_assert(offsetof(CSDRAWREC, szName) == 40);
static_assert(offsetof(CSDRAWREC, bPad) == 90);
static_assert(offsetof(CSDRAWREC, drawOpts) == 92);
static_assert(offsetof(CSDRAWREC, lId) == 192);
static_assert(offsetof(CSDRAWREC, nBonds) == 196);
static_assert(offsetof(CSDRAWREC, offBondTypes) == 198);
static_assert(offsetof(CSDRAWREC, offPoints) == 200);
static_assert(offsetof(CSDRAWREC, nCircles) == 202);
static_assert(offsetof(CSDRAWREC, iFirstCircle) == 204);
static_assert(offsetof(CSDRAWREC, nLabels) == 206);
static_assert(offsetof(CSDRAWREC, offLabels) == 208);
static_assert(offsetof(CSDRAWREC, iFirstLabel) == 210);
static_assert(offsetof(CSDRAWREC, lReserved) == 212);

// The arrays are reached only through the stored offsets; points need not be
// aligned, so they are copied in and out.
inline BYTE* RecBondTypes(CSDRAWREC* rec) {
  return reinterpret_cast<BYTE*>(rec) + rec->offBondTypes;
}
inline const BYTE* RecBondTypes(const CSDRAWREC* rec) {
  return reinterpret_cast<const BYTE*>(rec) + rec->offBondTypes;
}
inline const char* RecLabels(const CSDRAWREC* rec) {
  return reinterpret_cast<const char*>(rec) + rec->offLabels;
}
inline POINT RecPoint(const CSDRAWREC* rec, int i) {
  POINT pt;
  std::memcpy(&pt, reinterpret_cast<const BYTE*>(rec) + rec->offPoints + 8 * i, sizeof pt);
  return pt;
}
inline void SetRecPoint(CSDRAWREC* rec, int i, POINT pt) {
  std::memcpy(reinterpret_cast<BYTE*>(rec) + rec->offPoints + 8 * i, &pt, sizeof pt);
}
inline int RecPointCount(const CSDRAWREC* rec) {
  return 2 * rec->nBonds + rec->nLabels + rec->nCircles;
}

// A byte copy of cbTotal bytes (malloc'd, the caller frees it); null for a
// null source, a cbTotal no record can have (below the header, above 65535)
// or a failed allocation, reported to no one.
CSDRAWREC* DuplicateStructureRecord(const CSDRAWREC* src);
