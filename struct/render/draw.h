// The one drawing routine: a structure record fitted into a rectangle of any
// device context, bonds, aromatic circles and labels in the record's own
// colours and font, and its inner steps.
#pragma once

#include <cmdproc.h>

#include "database/drawrec.h"

// Always 0; a bond that cannot be drawn reports 541 and the rest is drawn.
// forceColour 1 uses the record's colours whatever the reference device.
short DrawStructure(CCommandProcessor* pcp, CSDRAWREC* rec, HDC hdc, HDC hdcRef,
                    const RECT* target, short forceColour);

// The pens, fonts and colours of one drawing.
struct DRAWCONTEXT {
  CCommandProcessor* pcp;
  CSDRAWREC* rec;
  HDC hdc;
  HDC hdcRef;
  const RECT* target;
  bool bColour;           // the colour rule's verdict
  HPEN hpenItem[4];       // bond pens by bond type
  HFONT hfontMain;
};

COLORREF ItemColour(const DRAWCONTEXT& dc, int item);
void DrawBonds(DRAWCONTEXT& dc);
void DrawBond(DRAWCONTEXT& dc, int type, POINT p1, POINT p2);
void DrawAromaticCircles(DRAWCONTEXT& dc);
HFONT CreateLabelFont(const DRAWCONTEXT& dc, int percent);
SIZE EstimateRunExtent(const DRAWCONTEXT& dc, int percent, int nChars);
void DrawLabels(DRAWCONTEXT& dc);
void DrawLabelText(DRAWCONTEXT& dc, const char* text, int n, int x, int y, HFONT hfontSmall);
