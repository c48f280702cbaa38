// Placeholder until the clipboard conversion lands.
#include "convert/entries.h"
STRUCT_COMMAND(ClipboardConvertCmd) { (void)args; (void)client; return 0; }
