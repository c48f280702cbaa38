// A prototype SVG writer for the benchmarks: a metafile's drawing records
// (pens, brushes, fonts, lines, ellipses, rectangles, polygons, text)
// formatted straight into SVG text with std::to_chars, to set against Cairo's
// SVG surface. Text becomes <text> elements (as the toolkits write it), not
// glyph outlines.
#pragma once

#include <windows.h>

#include <map>
#include <string>

namespace bench {

// The SVG of hmf drawn into width x height pixels: the metafile's window
// origin and extent become the viewBox. Records it does not know are counted
// in *skipped (by function number) when given.
std::string MetafileToSvg(HMETAFILE hmf, int width, int height,
                          std::map<int, int>* skipped = nullptr);

}  // namespace bench
