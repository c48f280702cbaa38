// Finding the host's drawing view (the parent of structure windows and the
// owner of the clipboard copies) and windows by class name or title.
#pragma once

#include <cmdproc.h>

struct STRUCT_DLL_INFO;

HWND FindViewWindow(CCpClient* client);
// Depth first below parent (0: the top-level windows), children before their
// parent. By class: the exact class name; by title: a captioned window whose
// upper-cased title and the key agree on every character both have.
HWND FindDescendantWindow(STRUCT_DLL_INFO* info, HWND parent, LPCSTR key, BOOL byClass);
