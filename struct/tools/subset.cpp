// Placeholder until the subset lands.
#include "tools/entries.h"
STRUCT_COMMAND(SubsetCmd) { (void)args; (void)client; return 0; }
