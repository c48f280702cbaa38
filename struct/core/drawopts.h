// The 100-byte drawing options block: the global options of a client and the
// copy every structure record carries (so it also travels on the clipboard).
// Its layout is fixed byte for byte.
#pragma once

#include <windows.h>

#include <cstddef>

// Colour items, in the order of crItem.
enum {
  ITEM_SINGLEBONDS = 0,
  ITEM_DOUBLEBONDS,
  ITEM_TRIPLEBONDS,
  ITEM_AROMATICRINGS,
  ITEM_TEXTBACKGROUND,
  ITEM_TEXTSTRINGS,
  ITEM_BORDER,
  NUM_COLOR_ITEMS
};

struct CSDRAWOPTS {
  COLORREF crItem[NUM_COLOR_ITEMS];
  LOGFONT lfLabel;
  LONG lFontHeight;
  WORD wBkMode;  // 1 transparent, 2 opaque
  BYTE bCircles;
  BYTE bBorder;
  BYTE bThickBonds;
  BYTE bRotate;  // pending quarter turns
  BYTE bReserved[2];
};
static_assert(sizeof(CSDRAWOPTS) == 100);
static_assert(offsetof(CSDRAWOPTS, crItem) == 0);
static_assert(offsetof(CSDRAWOPTS, lfLabel) == 28);
static_assert(offsetof(CSDRAWOPTS, lFontHeight) == 88);
static_assert(offsetof(CSDRAWOPTS, wBkMode) == 92);
static_assert(offsetof(CSDRAWOPTS, bCircles) == 94);
static_assert(offsetof(CSDRAWOPTS, bBorder) == 95);
static_assert(offsetof(CSDRAWOPTS, bThickBonds) == 96);
static_assert(offsetof(CSDRAWOPTS, bRotate) == 97);
static_assert(offsetof(CSDRAWOPTS, bReserved) == 98);
