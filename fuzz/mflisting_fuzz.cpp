// Metafile bytes from outside, listed as MFDump lists the clipboard's
// picture: every field is read within its record, so the listing stays
// within a few bytes per byte of metafile and the dump file is let go.
#include <platform/env.h>

#include <climits>

#include "convert/dumps.h"
#include "fuzzenv.h"

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  static STRUCT_DLL_INFO* info = new STRUCT_DLL_INFO;
  static const std::string path = ScratchFile("listing.txt");
  HMETAFILE hmf = SetMetaFileBitsEx(static_cast<UINT>(size), data);
  if (!hmf) return 0;
  HANDLE hFile = CreateFile(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (hFile == INVALID_HANDLE_VALUE) __builtin_trap();
  // Mapping modes from -1 to 9, names and numbers both.
  const METAFILEPICT pict{static_cast<LONG>(size % 11) - 1, INT32_MIN, INT32_MAX, hmf};
  if (!WriteMetaFileListing(info, hFile, pict) || info->hDumpFile) __builtin_trap();
  // The longest line per byte: an escape holding one byte of data.
  if (GetFileSize(hFile, nullptr) > 8 * size + 128) __builtin_trap();
  CloseHandle(hFile);
  DeleteMetaFile(hmf);
  return 0;
}
