// Clipboard built-ins that reach files: ClipFormats$() lists what is on the
// clipboard, ClipSave writes a format's raw block (or renders the metafile
// picture), ClipLoad puts a file's bytes on the clipboard. The raw form of
// CF_METAFILEPICT is the mapping mode and both extents as little-endian
// 32-bit integers followed by the metafile's bytes.
#include <platform/env.h>

#include <strings.h>

#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <vector>

#include "builtins.h"
#include "clipformats.h"
#include "failure.h"
#include "picture.h"
#include "values.h"

namespace host {
namespace {

class ClipboardOpen {
 public:
  explicit ClipboardOpen(HWND owner) {
    if (!OpenClipboard(owner)) throw HostError{"cannot open the clipboard"};
  }
  ~ClipboardOpen() { CloseClipboard(); }
  ClipboardOpen(const ClipboardOpen&) = delete;
  ClipboardOpen& operator=(const ClipboardOpen&) = delete;
};

// A format argument: a number, or a text (digits, a standard or registered
// name, or "picture").
std::string FormatText(const BuiltinCall& c, size_t i) {
  if (i < c.args.size() && c.args[i] && c.args[i]->idType == ARG_NUMBER) {
    double v = c.args[i]->dValue;
    if (v < 1 || v > 0xFFFF || v != static_cast<UINT>(v))
      throw HostError{"no such clipboard format"};
    return std::to_string(static_cast<UINT>(v));
  }
  return c.String(i);
}

bool IsPicture(const std::string& f) {
  return f.size() == 7 && strncasecmp(f.c_str(), "picture", 7) == 0;
}

UINT FormatOf(const std::string& text) {
  UINT format = IsPicture(text) ? CF_METAFILEPICT : ClipboardFormatFromName(text);
  if (!format) throw HostError{"no such clipboard format: " + text};
  return format;
}

std::string ReadFileOrFail(const std::string& path) {
  std::ifstream in(platform::ToHostPath(path), std::ios::binary);
  if (!in) throw HostError{"cannot read " + path};
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteFileOrFail(const std::string& path, const std::string& bytes) {
  const std::string host = platform::ToHostPath(path);
  std::ofstream out(host, std::ios::binary | std::ios::trunc);
  if (host.empty() || !out) throw HostError{"cannot write " + path};
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!out.flush()) throw HostError{"cannot write " + path};
}

void PutLE32(std::string& out, int32_t v) {
  char b[4];
  std::memcpy(b, &v, 4);
  out.append(b, 4);
}

// Copies of the clipboard's picture while it is open: the metafile and its
// mapping, released when the copy goes.
struct PictureCopy {
  METAFILEPICT pict{};
  ~PictureCopy() {
    if (pict.hMF) DeleteMetaFile(pict.hMF);
  }
};

void ClipFormats(BuiltinCall& c) {
  c.Arity(0, 0);
  std::string list;
  {
    ClipboardOpen open(c.rt.hwndMain);
    for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f)) {
      if (!list.empty()) list += ",";
      list += ClipboardFormatName(f);
    }
  }
  c.result = NewString(list);
}

void ClipSave(BuiltinCall& c) {
  c.Arity(2, 3);
  const std::string formatText = FormatText(c, 0);
  const std::string path = c.String(1);
  const UINT format = FormatOf(formatText);
  COLORREF background = RGB(255, 255, 255);
  if (c.args.size() > 2 && c.args[2]) background = ParseColour(c.String(2));

  std::string bytes;
  PictureCopy picture;
  {
    ClipboardOpen open(c.rt.hwndMain);
    HANDLE block = GetClipboardData(format);
    if (!block) throw HostError{"the clipboard holds no " + formatText};
    const void* p = GlobalLock(block);
    if (!p) throw HostError{"cannot read the clipboard's " + formatText};
    if (format == CF_METAFILEPICT) {
      METAFILEPICT pict;
      std::memcpy(&pict, p, sizeof pict);
      picture.pict = pict;
      picture.pict.hMF = CopyMetaFile(pict.hMF, nullptr);
    } else {
      bytes.assign(static_cast<const char*>(p), GlobalSize(block));
    }
    GlobalUnlock(block);
  }
  if (format != CF_METAFILEPICT) return WriteFileOrFail(path, bytes);
  if (!picture.pict.hMF) throw HostError{"the clipboard's picture has no metafile"};
  if (IsPicture(formatText)) return SavePicture(picture.pict, path, background);
  UINT size = GetMetaFileBitsEx(picture.pict.hMF, 0, nullptr);
  std::string raw;
  PutLE32(raw, picture.pict.mm);
  PutLE32(raw, picture.pict.xExt);
  PutLE32(raw, picture.pict.yExt);
  raw.resize(12 + size);
  if (GetMetaFileBitsEx(picture.pict.hMF, size, raw.data() + 12) != size)
    throw HostError{"cannot read the clipboard's picture"};
  WriteFileOrFail(path, raw);
}

void ClipLoad(BuiltinCall& c) {
  c.Arity(2, 5);
  const std::string formatText = FormatText(c, 0);
  const std::string path = c.String(1);
  const UINT format = FormatOf(formatText);
  const std::string bytes = ReadFileOrFail(path);

  HGLOBAL block = nullptr;
  if (format == CF_METAFILEPICT) {
    METAFILEPICT pict{};
    std::string metafile;
    if (IsPicture(formatText)) {
      // A plain .wmf file; the mapping and extents come from the arguments.
      pict.mm = c.args.size() > 2 && c.args[2] ? static_cast<LONG>(c.Number(2)) : MM_ANISOTROPIC;
      pict.xExt = c.args.size() > 3 && c.args[3] ? static_cast<LONG>(c.Number(3)) : 0;
      pict.yExt = c.args.size() > 4 && c.args[4] ? static_cast<LONG>(c.Number(4)) : 0;
      metafile = bytes;
    } else {
      if (bytes.size() < 12) throw HostError{path + " is too short for a metafile picture"};
      std::memcpy(&pict.mm, bytes.data(), 4);
      std::memcpy(&pict.xExt, bytes.data() + 4, 4);
      std::memcpy(&pict.yExt, bytes.data() + 8, 4);
      metafile = bytes.substr(12);
    }
    pict.hMF = SetMetaFileBitsEx(static_cast<UINT>(metafile.size()),
                                 reinterpret_cast<const BYTE*>(metafile.data()));
    if (!pict.hMF) throw HostError{path + " holds no Windows metafile"};
    block = GlobalAlloc(GMEM_MOVEABLE, sizeof pict);
    if (!block) {
      DeleteMetaFile(pict.hMF);
      throw HostError{"out of memory for the clipboard"};
    }
    std::memcpy(GlobalLock(block), &pict, sizeof pict);
    GlobalUnlock(block);
  } else {
    block = GlobalAlloc(GMEM_MOVEABLE, bytes.size());
    if (!block) throw HostError{"out of memory for the clipboard"};
    if (!bytes.empty()) std::memcpy(GlobalLock(block), bytes.data(), bytes.size());
    GlobalUnlock(block);
  }
  ClipboardOpen open(c.rt.hwndMain);
  EmptyClipboard();
  if (!SetClipboardData(format, block)) {
    if (format == CF_METAFILEPICT) {
      auto* pict = static_cast<METAFILEPICT*>(GlobalLock(block));
      DeleteMetaFile(pict->hMF);
      GlobalUnlock(block);
    }
    GlobalFree(block);
    throw HostError{"cannot put " + formatText + " on the clipboard"};
  }
}

}  // namespace

void AddClipboardFileBuiltins(BuiltinTable& t) {
  t.Add(BuiltinKind::Function, "ClipFormats$", ClipFormats);
  t.Add(BuiltinKind::Command, "ClipSave", ClipSave);
  t.Add(BuiltinKind::Command, "ClipLoad", ClipLoad);
}

}  // namespace host
