// Metafile handles: each HMETAFILE names the bytes of one finished metafile
// held in memory (header and records, mtType 1), whatever it was made from.
// The recorder and the player reach the bytes through here; files are read and
// written through the platform's file layer so drive maps and faults apply.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

namespace platform::gdi {

using MetaBytes = std::shared_ptr<const std::vector<BYTE>>;

// A new handle for bytes already known to be a valid metafile.
HMETAFILE NewMetaFileHandle(std::vector<BYTE> bytes);
// The bytes behind h, or null for a handle that is not a live metafile. The
// bytes stay valid while held even if the handle is deleted meanwhile.
MetaBytes MetaFileBytes(HMETAFILE h);

// Writes a metafile's bytes to an open file as a disk metafile (mtType 2).
bool WriteDiskMetaFile(HANDLE file, const std::vector<BYTE>& bytes);
// Writes them to a new file at path the same way; a file that could not be
// written whole is removed again, as other programs would open it as a broken
// picture.
bool SaveDiskMetaFile(LPCSTR path, const std::vector<BYTE>& bytes);

}  // namespace platform::gdi

namespace platform {
// Metafile handles made and not yet deleted, for leak checks in tests.
int LiveMetaFiles();
}  // namespace platform
