// The resource loader the plug-in calls at load time.
#include "nlsutils.h"

// This host ships no language modules: every plug-in speaks from its own string
// table, so the handle stays as the caller set it.
short NLSLoadResourceFileModule(HINSTANCE /*hModule*/, HINSTANCE* /*phResource*/) { return 0; }
