// GDI: device contexts with their state, pens, brushes, fonts, drawing and
// text, mapping modes, device metrics, printers and information contexts, and
// Windows metafiles (recorded, copied, played, enumerated record by record).
// Three kinds of device stand behind a context: a metafile being recorded, a
// raster surface (windows, off-screen pictures), and printers (PDF pages, or
// a metafile recorded for the document).
#pragma once

// Included from windows.h, after its base types.

// ---------------------------------------------------------------- objects
#define WHITE_BRUSH 0
#define LTGRAY_BRUSH 1
#define GRAY_BRUSH 2
#define DKGRAY_BRUSH 3
#define BLACK_BRUSH 4
#define NULL_BRUSH 5
#define HOLLOW_BRUSH NULL_BRUSH
#define WHITE_PEN 6
#define BLACK_PEN 7
#define NULL_PEN 8
#define OEM_FIXED_FONT 10
#define ANSI_FIXED_FONT 11
#define ANSI_VAR_FONT 12
#define SYSTEM_FONT 13
#define DEVICE_DEFAULT_FONT 14
#define SYSTEM_FIXED_FONT 16
#define DEFAULT_GUI_FONT 17

#define PS_SOLID 0
#define PS_DASH 1
#define PS_DOT 2
#define PS_DASHDOT 3
#define PS_DASHDOTDOT 4
#define PS_NULL 5
#define PS_INSIDEFRAME 6

#define BS_SOLID 0
#define BS_NULL 1
#define BS_HOLLOW BS_NULL
#define BS_HATCHED 2

// Hatch styles (lbHatch of a BS_HATCHED brush).
#define HS_HORIZONTAL 0
#define HS_VERTICAL 1
#define HS_FDIAGONAL 2
#define HS_BDIAGONAL 3
#define HS_CROSS 4
#define HS_DIAGCROSS 5

// Pitch and family of a LOGFONT (lfPitchAndFamily); they choose the
// fallback when the face is not installed.
#define DEFAULT_PITCH 0
#define FIXED_PITCH 1
#define VARIABLE_PITCH 2
#define FF_DONTCARE 0x00
#define FF_ROMAN 0x10
#define FF_SCRIPT 0x40
#define FF_DECORATIVE 0x50
#define ANSI_CHARSET 0

#define CLR_INVALID 0xFFFFFFFFu

#define OBJ_PEN 1
#define OBJ_BRUSH 2
#define OBJ_DC 3
#define OBJ_FONT 6
#define OBJ_METADC 4
#define OBJ_METAFILE 9

struct LOGPEN {
  UINT lopnStyle;
  POINT lopnWidth;  // x is the width; y is not used
  COLORREF lopnColor;
};
struct LOGBRUSH {
  UINT lbStyle;
  COLORREF lbColor;
  uintptr_t lbHatch;
};

HGDIOBJ GetStockObject(int i);
HPEN CreatePen(int iStyle, int cWidth, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* plpen);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateBrushIndirect(const LOGBRUSH* plbrush);
HFONT CreateFontIndirect(const LOGFONT* lplf);
// Selecting an object into a context that holds it already is allowed; a
// deleted object still selected somewhere is deleted when it is deselected.
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
// The pen, brush or font (type OBJ_PEN, OBJ_BRUSH, OBJ_FONT) selected now.
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
BOOL DeleteObject(HGDIOBJ ho);
int GetObject(HGDIOBJ h, int c, LPVOID pv);
DWORD GetObjectType(HGDIOBJ h);

// ---------------------------------------------------------------- contexts
// Windows: a context on the window's client area (its raster surface).
HDC GetDC(HWND hWnd);
int ReleaseDC(HWND hWnd, HDC hDC);
struct PAINTSTRUCT {
  HDC hdc;
  BOOL fErase;
  RECT rcPaint;
  BOOL fRestore;
  BOOL fIncUpdate;
  BYTE rgbReserved[32];
};
HDC BeginPaint(HWND hWnd, PAINTSTRUCT* lpPaint);
BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* lpPaint);

// Printers: driver "pdf" (colour) or "mono" (two colours), or "wmf" (the
// colour printer's metrics, its document recorded as a Windows metafile), any
// device name, the port is the output file. CreateIC makes an information
// context that answers GetDeviceCaps and draws nothing.
struct DEVMODE;
HDC CreateDC(LPCSTR pwszDriver, LPCSTR pwszDevice, LPCSTR pszPort, const DEVMODE* pdm);
HDC CreateIC(LPCSTR pszDriver, LPCSTR pszDevice, LPCSTR pszPort, const DEVMODE* pdm);
// A raster context compatible with hdc (or the screen), drawing on an
// off-screen surface of the given size (the stand-in's substitute for a
// compatible bitmap selected into a memory context). It starts with a 1 x 1
// surface, as a memory context starts with a 1 x 1 bitmap; the owner gives it
// its size with platform::SetRasterSize (platform/gdi_export.h).
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);

#define SP_ERROR (-1)
struct DOCINFO {
  int cbSize;
  LPCSTR lpszDocName;
  LPCSTR lpszOutput;
  LPCSTR lpszDatatype;
  DWORD fwType;
};
int StartDoc(HDC hdc, const DOCINFO* lpdi);
int EndDoc(HDC hdc);
int StartPage(HDC hdc);
int EndPage(HDC hdc);
int AbortDoc(HDC hdc);

#define HORZSIZE 4
#define VERTSIZE 6
#define HORZRES 8
#define VERTRES 10
#define BITSPIXEL 12
#define PLANES 14
#define NUMCOLORS 24
#define TECHNOLOGY 2
#define LOGPIXELSX 88
#define LOGPIXELSY 90
#define PHYSICALWIDTH 110
#define PHYSICALHEIGHT 111
#define DT_PLOTTER 0
#define DT_RASDISPLAY 1
#define DT_RASPRINTER 2
#define DT_METAFILE 5
int GetDeviceCaps(HDC hdc, int index);

int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int nSavedDC);  // a negative value counts back from the latest

#define TRANSPARENT 1
#define OPAQUE 2
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
#define TA_LEFT 0
#define TA_RIGHT 2
#define TA_CENTER 6
#define TA_TOP 0
#define TA_BOTTOM 8
#define TA_BASELINE 24
#define TA_NOUPDATECP 0
#define TA_UPDATECP 1
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);
#define R2_BLACK 1
#define R2_NOT 6
#define R2_COPYPEN 13
#define R2_WHITE 16
int SetROP2(HDC hdc, int rop2);

// ---------------------------------------------------------------- mapping
#define MM_TEXT 1
#define MM_LOMETRIC 2
#define MM_HIMETRIC 3
#define MM_LOENGLISH 4
#define MM_HIENGLISH 5
#define MM_TWIPS 6
#define MM_ISOTROPIC 7
#define MM_ANISOTROPIC 8
int SetMapMode(HDC hdc, int mode);
int GetMapMode(HDC hdc);
BOOL SetWindowExtEx(HDC hdc, int x, int y, SIZE* lpsz);
BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* lppt);
BOOL SetViewportExtEx(HDC hdc, int x, int y, SIZE* lpsz);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* lppt);
BOOL GetWindowExtEx(HDC hdc, SIZE* lpsize);
BOOL GetWindowOrgEx(HDC hdc, POINT* lppoint);
BOOL GetViewportExtEx(HDC hdc, SIZE* lpsize);
BOOL GetViewportOrgEx(HDC hdc, POINT* lppoint);
BOOL LPtoDP(HDC hdc, POINT* lppt, int c);
BOOL DPtoLP(HDC hdc, POINT* lppt, int c);

// IntersectClipRect's results.
#define RGN_ERROR 0
#define NULLREGION 1
#define SIMPLEREGION 2

// ---------------------------------------------------------------- drawing
BOOL MoveToEx(HDC hdc, int x, int y, POINT* lppt);
BOOL GetCurrentPositionEx(HDC hdc, POINT* lppt);
BOOL LineTo(HDC hdc, int x, int y);
BOOL Polyline(HDC hdc, const POINT* apt, int cpt);
BOOL Polygon(HDC hdc, const POINT* apt, int cpt);
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
// The colour of the device pixel under a logical point of a raster context;
// CLR_INVALID outside the surface or on other devices.
COLORREF GetPixel(HDC hdc, int x, int y);

// ---------------------------------------------------------------- text
struct TEXTMETRIC {
  LONG tmHeight;
  LONG tmAscent;
  LONG tmDescent;
  LONG tmInternalLeading;
  LONG tmExternalLeading;
  LONG tmAveCharWidth;
  LONG tmMaxCharWidth;
  LONG tmWeight;
  LONG tmOverhang;
  LONG tmDigitizedAspectX;
  LONG tmDigitizedAspectY;
  BYTE tmFirstChar;
  BYTE tmLastChar;
  BYTE tmDefaultChar;
  BYTE tmBreakChar;
  BYTE tmItalic;
  BYTE tmUnderlined;
  BYTE tmStruckOut;
  BYTE tmPitchAndFamily;
  BYTE tmCharSet;
};
// Text is placed by the text alignment (default: the top-left corner of its
// cell); with OPAQUE background the cell is filled with the background colour.
BOOL TextOut(HDC hdc, int x, int y, LPCSTR lpString, int c);
BOOL GetTextMetrics(HDC hdc, TEXTMETRIC* lptm);
BOOL GetTextExtentPoint32(HDC hdc, LPCSTR lpString, int c, SIZE* psizl);
int GetTextFace(HDC hdc, int c, LPSTR lpName);

// ---------------------------------------------------------------- metafiles
// Windows-format metafiles (WMF): CreateMetaFile(NULL) records in memory,
// CreateMetaFile(path) on disk (the file is written at CloseMetaFile).
DECLARE_HANDLE(HMETAFILE);
struct METAFILEPICT {
  LONG mm;
  LONG xExt;
  LONG yExt;
  HMETAFILE hMF;
};
struct METARECORD {
  DWORD rdSize;  // in 16-bit words, this header included
  WORD rdFunction;
  WORD rdParm[1];
};
struct HANDLETABLE {
  HGDIOBJ objectHandle[1];
};
typedef int(CALLBACK* MFENUMPROC)(HDC hdc, HANDLETABLE* lpht, METARECORD* lpMR, int nObj,
                                  LPARAM param);

HDC CreateMetaFile(LPCSTR pszFile);
HMETAFILE CloseMetaFile(HDC hdc);
HMETAFILE CopyMetaFile(HMETAFILE hmf, LPCSTR pszFile);  // NULL file: a memory copy
BOOL DeleteMetaFile(HMETAFILE hmf);
HMETAFILE GetMetaFile(LPCSTR pszFile);
// The metafile's bytes (header and records); with a null buffer, the size.
UINT GetMetaFileBitsEx(HMETAFILE hMF, UINT cbBuffer, LPVOID lpData);
HMETAFILE SetMetaFileBitsEx(UINT cbBuffer, const BYTE* lpData);
BOOL PlayMetaFile(HDC hdc, HMETAFILE hmf);
// hdc may be null (nothing is played then unless the callback plays records
// on a context of its own).
BOOL EnumMetaFile(HDC hdc, HMETAFILE hmf, MFENUMPROC proc, LPARAM param);
BOOL PlayMetaFileRecord(HDC hdc, HANDLETABLE* lpHandleTable, METARECORD* lpMR, UINT noObjs);

// Metafile record functions.
#define META_EOF 0x0000
#define META_SAVEDC 0x001E
#define META_SETBKMODE 0x0102
#define META_SETMAPMODE 0x0103
#define META_SETROP2 0x0104
#define META_RESTOREDC 0x0127
#define META_SELECTOBJECT 0x012D
#define META_SETTEXTALIGN 0x012E
#define META_DELETEOBJECT 0x01F0
#define META_SETBKCOLOR 0x0201
#define META_SETTEXTCOLOR 0x0209
#define META_SETWINDOWORG 0x020B
#define META_SETWINDOWEXT 0x020C
#define META_SETVIEWPORTORG 0x020D
#define META_SETVIEWPORTEXT 0x020E
#define META_LINETO 0x0213
#define META_MOVETO 0x0214
#define META_CREATEPENINDIRECT 0x02FA
#define META_CREATEFONTINDIRECT 0x02FB
#define META_CREATEBRUSHINDIRECT 0x02FC
#define META_POLYGON 0x0324
#define META_POLYLINE 0x0325
#define META_INTERSECTCLIPRECT 0x0416
#define META_ELLIPSE 0x0418
#define META_RECTANGLE 0x041B
#define META_TEXTOUT 0x0521
#define META_ESCAPE 0x0626
#define META_DIBSTRETCHBLT 0x0B41
// Played but never recorded: other programs' text, and objects this GDI
// cannot make (played as placeholders so later slot numbers stay right).
#define META_EXTTEXTOUT 0x0A32
#define META_CREATEPALETTE 0x00F7
#define META_DIBCREATEPATTERNBRUSH 0x0142
#define META_CREATEPATTERNBRUSH 0x01F9
#define META_CREATEREGION 0x06FF
