// Entry point of the server folder: the server entry.
#pragma once

#include "core/export.h"

STRUCT_EXPORT short OOCPSRV(CCpClient* client, unsigned short msg, uintptr_t* block);

