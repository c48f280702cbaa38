// "MFDump" and "MDLSKDump": the clipboard's picture listed record by record
// into a text file, and the clipboard's MDLSK block written out as it is.
// Every failure is silent; what depends on it is skipped.
#pragma once

#include <windows.h>

#include <cstddef>

#include "core/common.h"

// One listing in progress; the file is info->hDumpFile.
struct MFDUMPSTATE {
  STRUCT_DLL_INFO* info;
  BOOL bWriteFailed;  // set by the first write that fails; nothing is written after it
};

// The lines of data[0, count), 24 bytes a line, in hex and as characters.
// FALSE (and st->bWriteFailed set) when a write failed.
BOOL WriteHexLines(HANDLE hFile, MFDUMPSTATE* st, const BYTE* data, size_t count);
// The enumeration callback of the listing: one line for the record (every
// field read is bounded by the record's size), hex lines after an escape.
// param is the MFDUMPSTATE; returns 0 to stop when a write failed.
int CALLBACK DumpMetaRecord(HDC hdc, HANDLETABLE* table, METARECORD* rec, int nObj, LPARAM param);
// The listing of pict (header line, then its records) into hFile, which is
// info->hDumpFile meanwhile. FALSE when a write failed.
BOOL WriteMetaFileListing(STRUCT_DLL_INFO* info, HANDLE hFile, const METAFILEPICT& pict);
// The listing of the clipboard's picture into path (created or replaced).
// 0 when written; 1 when the clipboard could not be opened or holds no
// picture, the file could not be created, or a write failed (the half-written
// file is removed then).
int DumpClipboardMetafile(STRUCT_DLL_INFO* info, HWND hwndOwner, LPCSTR path);
