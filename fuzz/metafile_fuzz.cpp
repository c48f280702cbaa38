// Metafile bytes from outside (the clipboard, files other programs wrote):
// SetMetaFileBitsEx must refuse what is not a metafile, and whatever it takes
// must enumerate and play onto a metafile context without reading outside its
// records, leaving an object behind, or writing a metafile it would refuse.
#include <platform/env.h>
#include <windows.h>

#include <vector>

namespace {

int CALLBACK PlayEach(HDC hdc, HANDLETABLE* table, METARECORD* record, int nObj, LPARAM count) {
  ++*reinterpret_cast<int*>(count);
  PlayMetaFileRecord(hdc, table, record, static_cast<UINT>(nObj));
  return 1;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
  const int objects = platform::LiveGdiObjects();
  HMETAFILE mf = SetMetaFileBitsEx(static_cast<UINT>(size), data);
  if (!mf) return 0;
  int records = 0;
  EnumMetaFile(nullptr, mf, PlayEach, reinterpret_cast<LPARAM>(&records));
  if (records == 0) __builtin_trap();

  HDC dc = CreateMetaFile(nullptr);
  EnumMetaFile(dc, mf, PlayEach, reinterpret_cast<LPARAM>(&records));
  PlayMetaFile(dc, mf);
  HMETAFILE played = CloseMetaFile(dc);
  std::vector<BYTE> bits(GetMetaFileBitsEx(played, 0, nullptr));
  GetMetaFileBitsEx(played, static_cast<UINT>(bits.size()), bits.data());
  HMETAFILE again = SetMetaFileBitsEx(static_cast<UINT>(bits.size()), bits.data());
  if (!again) __builtin_trap();

  DeleteMetaFile(again);
  DeleteMetaFile(played);
  DeleteMetaFile(mf);
  if (platform::LiveGdiObjects() != objects) __builtin_trap();
  return 0;
}
