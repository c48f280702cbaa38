#include "clipformats.h"

#include <cctype>
#include <cstdlib>
#include <strings.h>

namespace host {
namespace {

struct Standard {
  UINT format;
  const char* name;
};
const Standard kStandard[] = {
    {CF_TEXT, "CF_TEXT"},
    {CF_BITMAP, "CF_BITMAP"},
    {CF_METAFILEPICT, "CF_METAFILEPICT"},
    {CF_OEMTEXT, "CF_OEMTEXT"},
    {CF_DIB, "CF_DIB"},
    {CF_UNICODETEXT, "CF_UNICODETEXT"},
    {CF_ENHMETAFILE, "CF_ENHMETAFILE"},
    {CF_OWNERDISPLAY, "CF_OWNERDISPLAY"},
    {CF_DSPTEXT, "CF_DSPTEXT"},
    {CF_DSPBITMAP, "CF_DSPBITMAP"},
    {CF_DSPMETAFILEPICT, "CF_DSPMETAFILEPICT"},
};

bool AllDigits(const std::string& s) {
  if (s.empty()) return false;
  for (char c : s)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

}  // namespace

UINT ClipboardFormatFromName(const std::string& name) {
  if (name.empty()) return 0;
  if (AllDigits(name)) return static_cast<UINT>(std::strtoul(name.c_str(), nullptr, 10));
  for (const Standard& s : kStandard)
    if (strcasecmp(s.name, name.c_str()) == 0) return s.format;
  return RegisterClipboardFormat(name.c_str());
}

std::string ClipboardFormatName(UINT format) {
  for (const Standard& s : kStandard)
    if (s.format == format) return s.name;
  char name[256];
  int n = GetClipboardFormatName(format, name, sizeof name);
  return n > 0 ? std::string(name, static_cast<size_t>(n)) : std::to_string(format);
}

}  // namespace host
