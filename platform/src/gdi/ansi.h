// The plug-in's text is ANSI (Windows code page 1252); cairo takes UTF-8.
#pragma once

#include <string>

namespace platform::gdi {

std::string AnsiToUtf8(const char* text, int count);

}  // namespace platform::gdi
