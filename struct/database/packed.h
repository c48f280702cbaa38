// The variable-length signed values of database records: runs of 0x7F (+127)
// or 0x81 (-127) followed by one final byte, summed as signed bytes. All
// silent: a reader learns of a bad value from the result.
#pragma once

#include <windows.h>

// Writes count values into out (which holds at least 5 bytes per value plus
// the continuation runs: see PackedSize); returns the bytes written.
int WritePackedValues(const LONG* values, int count, BYTE* out);
// Bytes WritePackedValues needs for one value.
int PackedSize(LONG value);

// Reads one value from p, never past end, and moves p past it; false when
// the value runs past end or its sum leaves 32 bits (*value then untouched,
// p somewhere inside the run).
bool ReadPackedValue(const BYTE*& p, const BYTE* end, LONG* value);
