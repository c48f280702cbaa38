// The common dialogs: open file (colour and font come with the option dialogs).
// They take the user's actions from the interaction driver.
#pragma once

#include <windows.h>

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
// interaction driver; with nothing queued the prompt is cancelled.
BOOL GetOpenFileName(OPENFILENAME* ofn);
DWORD CommDlgExtendedError();
