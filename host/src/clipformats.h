// Clipboard format names as macros give them: a number (or a string of
// digits), a standard name such as "CF_TEXT", or a registered name such as
// "ZQCHEMSTRUC"; and the name a format is listed under.
#pragma once

#include <windows.h>

#include <string>

namespace host {

// 0 when the text names no format (an empty text).
UINT ClipboardFormatFromName(const std::string& name);
std::string ClipboardFormatName(UINT format);

}  // namespace host
