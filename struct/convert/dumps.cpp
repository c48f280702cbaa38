// Placeholder until the dumps land.
#include "convert/entries.h"
STRUCT_COMMAND(DumpMetaFileCmd) { (void)args; (void)client; return 0; }
STRUCT_COMMAND(DumpMDLSKCmd) { (void)args; (void)client; return 0; }
