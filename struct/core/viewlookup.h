// Finding the host's drawing view (the parent of structure windows and the
// owner of every clipboard copy) and windows by class name or title. It reads
// only the host's windows, so every folder that copies or shows may use it.
#pragma once

#include <cmdproc.h>

struct STRUCT_DLL_INFO;

// The command processor's view when it names one, else the "ViewDrawClass"
// window below its main window; null (silent) when there is neither.
HWND FindViewWindow(CCpClient* client);
// Depth first below parent (0: the top-level windows), children before their
// parent. By class: the exact class name; by title: a captioned window whose
// upper-cased title and the key agree on every character both have.
HWND FindDescendantWindow(STRUCT_DLL_INFO* info, HWND parent, LPCSTR key, BOOL byClass);
