// The host's resource loader: may replace a module's resource handle with a
// language module's.
#pragma once

#include <windows.h>

__attribute__((visibility("default"))) short NLSLoadResourceFileModule(HINSTANCE hModule,
                                                                       HINSTANCE* phResource);
