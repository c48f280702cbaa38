// The steps of DrawStructure and the drawing context they share; for the
// renderer's own files (and its tests), not for callers, which draw through
// DrawStructure.
#pragma once

#include <cmdproc.h>

#include "database/drawrec.h"
#include "render/geometry.h"

// The pens, fonts, colours and scale of one drawing.
struct DRAWCONTEXT {
  CCommandProcessor* pcp;
  CSDRAWREC* rec;
  HDC hdc;
  HDC hdcRef;
  const RECT* target;
  DRAWSCALE fit;
  bool bColour;      // the colour rule's verdict
  HPEN hpenItem[4];  // bond pens by bond type
  HFONT hfontMain;
  bool bPrinter = false;  // hdc is a printer: point sizes go through its mapping
};

COLORREF ItemColour(const DRAWCONTEXT& dc, int item);
void DrawBonds(DRAWCONTEXT& dc);
void DrawBond(DRAWCONTEXT& dc, int type, POINT p1, POINT p2);
void DrawAromaticCircles(DRAWCONTEXT& dc);
HFONT CreateLabelFont(const DRAWCONTEXT& dc, int percent);
SIZE EstimateRunExtent(const DRAWCONTEXT& dc, int percent, int nChars);
void DrawLabels(DRAWCONTEXT& dc);
void DrawLabelText(DRAWCONTEXT& dc, const char* text, int n, int x, int y, HFONT hfontSmall);
