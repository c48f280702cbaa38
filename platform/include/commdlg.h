// The common dialogs: open file, colour and font. They take the user's
// actions from the interaction driver.
#pragma once

#include <windows.h>
#include <wingdi.h>

typedef uintptr_t(CALLBACK* LPOFNHOOKPROC_)(HWND, UINT, WPARAM, LPARAM);

#define OFN_READONLY 0x00000001
#define OFN_OVERWRITEPROMPT 0x00000002
#define OFN_HIDEREADONLY 0x00000004
#define OFN_NOCHANGEDIR 0x00000008
#define OFN_ENABLEHOOK 0x00000020
#define OFN_PATHMUSTEXIST 0x00000800
#define OFN_FILEMUSTEXIST 0x00001000
#define OFN_EXPLORER 0x00080000

struct OPENFILENAME {
  DWORD lStructSize;
  HWND hwndOwner;
  HINSTANCE hInstance;
  LPCSTR lpstrFilter;  // pairs of NUL-terminated texts, ended by an empty one
  LPSTR lpstrCustomFilter;
  DWORD nMaxCustFilter;
  DWORD nFilterIndex;
  LPSTR lpstrFile;
  DWORD nMaxFile;
  LPSTR lpstrFileTitle;
  DWORD nMaxFileTitle;
  LPCSTR lpstrInitialDir;
  LPCSTR lpstrTitle;
  DWORD Flags;
  WORD nFileOffset;
  WORD nFileExtension;
  LPCSTR lpstrDefExt;
  LPARAM lCustData;
  LPOFNHOOKPROC_ lpfnHook;
  LPCSTR lpTemplateName;
};

// Takes "file PATH" (chosen), "cancel" (cancelled) or "dump" from the
// interaction driver; with nothing queued the prompt is cancelled. A relative
// PATH is taken in lpstrInitialDir when one is given.
BOOL GetOpenFileName(OPENFILENAME* ofn);
DWORD CommDlgExtendedError();

// ---------------------------------------------------------------- colour
typedef uintptr_t(CALLBACK* LPCCHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

#define CC_RGBINIT 0x00000001
#define CC_FULLOPEN 0x00000002
#define CC_PREVENTFULLOPEN 0x00000004
#define CC_ANYCOLOR 0x00000100

struct CHOOSECOLOR {
  DWORD lStructSize;
  HWND hwndOwner;
  HWND hInstance;
  COLORREF rgbResult;       // in: the starting colour (CC_RGBINIT); out: the chosen one
  COLORREF* lpCustColors;   // 16 custom colours, read and written by the chooser
  DWORD Flags;
  LPARAM lCustData;
  LPCCHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
};

// Takes "color R G B" (chosen: rgbResult; the custom colours stay as they
// were), "cancel" or "dump"; with nothing queued the chooser is cancelled.
// Components outside 0..255 are refused with a message and the chooser goes
// on.
BOOL ChooseColor(CHOOSECOLOR* cc);

// ---------------------------------------------------------------- font
typedef uintptr_t(CALLBACK* LPCFHOOKPROC)(HWND, UINT, WPARAM, LPARAM);

#define CF_SCREENFONTS 0x00000001
#define CF_PRINTERFONTS 0x00000002
#define CF_INITTOLOGFONTSTRUCT 0x00000040
#define CF_EFFECTS 0x00000100
#define CF_ANSIONLY 0x00000400
#define CF_LIMITSIZE 0x00002000
#define CF_SCALABLEONLY 0x00020000
#define BOLD_FONTTYPE 0x0100
#define ITALIC_FONTTYPE 0x0200
#define REGULAR_FONTTYPE 0x0400
#define SCREEN_FONTTYPE 0x2000

struct CHOOSEFONT {
  DWORD lStructSize;
  HWND hwndOwner;
  HDC hDC;
  LOGFONT* lpLogFont;  // in: the starting font (CF_INITTOLOGFONTSTRUCT); out: the chosen one
  INT iPointSize;      // tenths of a point
  DWORD Flags;
  COLORREF rgbColors;  // the text colour (CF_EFFECTS)
  LPARAM lCustData;
  LPCFHOOKPROC lpfnHook;
  LPCSTR lpTemplateName;
  HINSTANCE hInstance;
  LPSTR lpszStyle;
  WORD nFontType;
  INT nSizeMin;  // points, with CF_LIMITSIZE
  INT nSizeMax;
};

// Takes "font FACE POINTS WEIGHT ITALIC" (FACE is everything before the last
// three words; any face is taken, installed or not), "cancel" or "dump"; with
// nothing queued the chooser is cancelled. A size the chooser cannot take
// (not a whole number, not above 0, outside nSizeMin..nSizeMax with
// CF_LIMITSIZE) is refused with a message and the chooser goes on. The font
// returned does not depend on the machine's fonts: lfHeight = -(points x 96 /
// 72, rounded), lfWidth 0, the weight, italic 0 or 1, character set 0 and
// pitch-and-family 0; iPointSize = points x 10; rgbColors stays as given.
BOOL ChooseFont(CHOOSEFONT* cf);
