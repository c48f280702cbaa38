// Placeholder until the maintenance commands land.
#include "tools/entries.h"
STRUCT_COMMAND(PackCmd) { (void)args; (void)client; return 0; }
STRUCT_COMMAND(IndexPackCmd) { (void)args; (void)client; return 0; }
