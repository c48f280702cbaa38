// Entry points of the server folder: the server entry and the entries whose
// subsystems are not part of this build yet (they answer with a clear report).
#pragma once

#include "core/export.h"

STRUCT_EXPORT short OOCPSRV(CCpClient* client, unsigned short msg, uintptr_t* block);

// Commands still to come.
STRUCT_COMMAND(ClipboardConvertCmd);
STRUCT_COMMAND(SubsetCmd);
STRUCT_COMMAND(PackCmd);
STRUCT_COMMAND(IndexPackCmd);
STRUCT_COMMAND(DumpMetaFileCmd);
STRUCT_COMMAND(DumpMDLSKCmd);
