// Stand-ins for the metafile recorder's hooks, so GDI links before the
// recorder does; the recorder's own definitions replace these.
#include "metadc.h"

namespace platform::gdi {

__attribute__((weak)) MetaDC* FindMetaDC(HDC) { return nullptr; }

__attribute__((weak)) void MetaObjectDeleted(HGDIOBJ) {}

}  // namespace platform::gdi
