// How the library's entry points and object-type handlers are declared: C
// linkage and default visibility (everything else in the module is hidden),
// with the three signatures the host calls them by. Each folder that defines
// entries declares them in its own entries.h with these macros.
#pragma once

#include <cmdproc.h>

#include <cstdint>

#define STRUCT_EXPORT extern "C" __attribute__((visibility("default")))

#define STRUCT_FUNCTION(name) \
  STRUCT_EXPORT short name(CCpClient* client, OBJ_BASECLASS** args, OBJ_BASECLASS** result)
#define STRUCT_COMMAND(name) STRUCT_EXPORT short name(CCpClient* client, OBJ_BASECLASS** args)
#define STRUCT_HANDLER(name)                                                                      \
  STRUCT_EXPORT short name(OBJ_BASECLASS* value, unsigned short opcode, intptr_t p1, intptr_t p2, \
                           CCpClient* client)
