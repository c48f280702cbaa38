// Metafile pictures for the host's clipboard built-ins: rendering one to
// PNG, SVG or PDF at its suggested size, or saving its plain metafile. Also
// the bits every built-in that writes a picture shares: the file's kind by
// its extension and the background colour argument.
#pragma once

#include <windows.h>

#include <string>

namespace host {

// Writes the picture to path by its extension (.png, .svg, .pdf, .wmf);
// PNG and SVG are painted on background. Throws HostError on failure.
void SavePicture(const METAFILEPICT& pict, const std::string& path, COLORREF background);

// Pixel size of the picture at 96 dpi from its extents in 0.01 mm; where the
// x extent is 0 or less the width follows the metafile's window extent.
SIZE PicturePixels(const METAFILEPICT& pict);

// The extension of the file name in path, lower case, without the dot; empty
// when the name has none.
std::string FileExtension(const std::string& path);

// A colour given as "R G B", each a whole number 0 to 255; throws HostError
// for anything else.
COLORREF ParseColour(const std::string& text);

}  // namespace host
