// The table of metafile handles and the calls that make, copy, load, export
// and delete metafiles as a whole. A metafile picture on the clipboard owns
// its metafile: the clipboard deletes it when it lets the picture go.
#include "gdi/metafile_handles.h"

#include <cstring>
#include <map>
#include <mutex>

#include "gdi/metafile_format.h"
#include "internal.h"

namespace platform::gdi {
namespace {

struct HandleTable {
  std::mutex mutex;
  std::map<uintptr_t, MetaBytes> metafiles;
};

HandleTable& Table() {
  static auto* t = new HandleTable;
  return *t;
}

// In memory every metafile says it is one, whatever file it came from.
std::vector<BYTE> InMemory(const BYTE* bytes, size_t length) {
  std::vector<BYTE> copy(bytes, bytes + length);
  wmf::PutWord(copy.data() + offsetof(wmf::HeaderLayout, mtType), wmf::kMemoryMetafile);
  return copy;
}

void ReleaseClipboardPicture(HANDLE h) {
  if (GlobalSize(h) < sizeof(METAFILEPICT)) return;
  METAFILEPICT mfp;
  const void* p = GlobalLock(h);
  if (!p) return;
  std::memcpy(&mfp, p, sizeof mfp);
  GlobalUnlock(h);
  if (mfp.hMF) DeleteMetaFile(mfp.hMF);
}

[[maybe_unused]] const bool kClipboardReleaserInstalled = [] {
  detail::SetClipboardReleaser(CF_METAFILEPICT, ReleaseClipboardPicture);
  return true;
}();

}  // namespace

HMETAFILE NewMetaFileHandle(std::vector<BYTE> bytes) {
  const uintptr_t h = detail::NewHandleValue();
  HandleTable& t = Table();
  std::lock_guard lock(t.mutex);
  t.metafiles[h] = std::make_shared<const std::vector<BYTE>>(std::move(bytes));
  return reinterpret_cast<HMETAFILE>(h);
}

MetaBytes MetaFileBytes(HMETAFILE h) {
  HandleTable& t = Table();
  std::lock_guard lock(t.mutex);
  auto it = t.metafiles.find(reinterpret_cast<uintptr_t>(h));
  if (it == t.metafiles.end()) return nullptr;
  return it->second;
}

bool WriteDiskMetaFile(HANDLE file, const std::vector<BYTE>& bytes) {
  std::vector<BYTE> disk = bytes;
  wmf::PutWord(disk.data() + offsetof(wmf::HeaderLayout, mtType), wmf::kDiskMetafile);
  DWORD written = 0;
  return WriteFile(file, disk.data(), static_cast<DWORD>(disk.size()), &written, nullptr) &&
         written == disk.size();
}

bool SaveDiskMetaFile(LPCSTR path, const std::vector<BYTE>& bytes) {
  HANDLE file = CreateFile(path, GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  const bool written = WriteDiskMetaFile(file, bytes);
  const bool closed = CloseHandle(file);
  if (written && closed) return true;
  const DWORD err = GetLastError();
  DeleteFile(path);
  SetLastError(err);
  return false;
}

}  // namespace platform::gdi

using platform::gdi::MetaFileBytes;
using platform::gdi::NewMetaFileHandle;

HMETAFILE CopyMetaFile(HMETAFILE hmf, LPCSTR pszFile) {
  const platform::gdi::MetaBytes bytes = MetaFileBytes(hmf);
  if (!bytes) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  if (pszFile && !platform::gdi::SaveDiskMetaFile(pszFile, *bytes)) return nullptr;
  return NewMetaFileHandle(*bytes);
}

BOOL DeleteMetaFile(HMETAFILE hmf) {
  auto& t = platform::gdi::Table();
  std::lock_guard lock(t.mutex);
  if (t.metafiles.erase(reinterpret_cast<uintptr_t>(hmf)) == 0) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return TRUE;
}

HMETAFILE GetMetaFile(LPCSTR pszFile) {
  HANDLE file = CreateFile(pszFile, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  const DWORD size = GetFileSize(file, nullptr);
  std::vector<BYTE> data(size == INVALID_FILE_SIZE ? 0 : size);
  DWORD got = 0;
  const bool read = size != INVALID_FILE_SIZE &&
                    (data.empty() || ReadFile(file, data.data(), size, &got, nullptr)) &&
                    got == size;
  CloseHandle(file);
  if (!read) return nullptr;
  const size_t skip = platform::gdi::wmf::PlaceableSkip(data.data(), data.size());
  size_t length = 0;
  if (!platform::gdi::wmf::Validate(data.data() + skip, data.size() - skip, length)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return NewMetaFileHandle(platform::gdi::InMemory(data.data() + skip, length));
}

UINT GetMetaFileBitsEx(HMETAFILE hMF, UINT cbBuffer, LPVOID lpData) {
  const platform::gdi::MetaBytes bytes = MetaFileBytes(hMF);
  if (!bytes) {
    SetLastError(ERROR_INVALID_HANDLE);
    return 0;
  }
  if (!lpData) return static_cast<UINT>(bytes->size());
  if (cbBuffer < bytes->size()) {
    SetLastError(ERROR_INSUFFICIENT_BUFFER);
    return 0;
  }
  std::memcpy(lpData, bytes->data(), bytes->size());
  return static_cast<UINT>(bytes->size());
}

HMETAFILE SetMetaFileBitsEx(UINT cbBuffer, const BYTE* lpData) {
  size_t length = 0;
  if (!platform::gdi::wmf::Validate(lpData, cbBuffer, length)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return NewMetaFileHandle(platform::gdi::InMemory(lpData, length));
}

namespace platform {
int LiveMetaFiles() {
  auto& t = gdi::Table();
  std::lock_guard lock(t.mutex);
  return static_cast<int>(t.metafiles.size());
}
}  // namespace platform
