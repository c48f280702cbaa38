// "ClipCvt": the clipboard's text rewritten as pairs of numbers, two
// tab-separated columns, one pair a line.
#pragma once

#include <windows.h>

#include <cstddef>

// The pairs of text[0, cb) (read up to the first NUL or cb, whichever comes
// first) as a movable global block holding the NUL-terminated output, sized to
// it. Null, silently, when the text holds no pair or memory was short; no
// block is left behind then.
HGLOBAL ConvertNumberPairs(const char* text, size_t cb);
