// Font faces through fontconfig and cairo-ft, cached by face name, fallback
// kind, weight and slant; and fonts sized by LOGFONT height.
#include "fonts.h"

#include <cairo-ft.h>
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <map>
#include <memory>

namespace platform::gdi {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool Contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

// Well-known faces and the generic family of their own pitch: a LOGFONT's
// family bits often say nothing of the pitch ("Lucida Console" comes with
// FF_SWISS and default pitch), so a missing face known here falls back to
// its own kind whatever the bits say.
struct KnownFace {
  const char* face;
  const char* kind;
};
constexpr KnownFace kKnownFaces[] = {
    {"lucida console", "monospace"},  {"courier new", "monospace"},
    {"courier", "monospace"},         {"consolas", "monospace"},
    {"lucida sans typewriter", "monospace"}, {"fixedsys", "monospace"},
    {"terminal", "monospace"},        {"arial", "sans-serif"},
    {"helvetica", "sans-serif"},      {"ms sans serif", "sans-serif"},
    {"tahoma", "sans-serif"},         {"verdana", "sans-serif"},
    {"lucida sans unicode", "sans-serif"}, {"system", "sans-serif"},
    {"times new roman", "serif"},     {"times", "serif"},
    {"ms serif", "serif"},            {"georgia", "serif"},
};

// The generic family that stands in when the face is missing: the face's own
// when it is well known, then what the pitch and family bits say, then what
// the name suggests.
const char* FallbackKind(const LOGFONT& lf, const std::string& face) {
  for (const KnownFace& k : kKnownFaces)
    if (face == k.face) return k.kind;
  int pitch = lf.lfPitchAndFamily & 0x03;
  int family = lf.lfPitchAndFamily & 0xF0;
  if (pitch == FIXED_PITCH || family == FF_MODERN) return "monospace";
  if (family == FF_ROMAN) return "serif";
  if (family == FF_SWISS) return "sans-serif";
  for (const char* mono : {"mono", "courier", "console", "fixed", "terminal", "typewriter"})
    if (Contains(face, mono)) return "monospace";
  if (!Contains(face, "sans"))
    for (const char* serif : {"serif", "times", "roman", "georgia", "garamond", "book"})
      if (Contains(face, serif)) return "serif";
  return "sans-serif";
}

// Sizes per unit of height, measured once per face without hinting.
void Measure(FontFace& f) {
  constexpr double kSize = 1000;
  cairo_matrix_t size, identity;
  cairo_matrix_init_scale(&size, kSize, kSize);
  cairo_matrix_init_identity(&identity);
  cairo_font_options_t* options = cairo_font_options_create();
  cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
  cairo_font_options_set_hint_style(options, CAIRO_HINT_STYLE_NONE);
  cairo_scaled_font_t* sf = cairo_scaled_font_create(f.face, &size, &identity, options);
  cairo_font_extents_t fe;
  cairo_scaled_font_extents(sf, &fe);
  cairo_text_extents_t te;
  cairo_scaled_font_text_extents(sf, "x", &te);
  bool sane = fe.ascent > 0 && fe.descent >= 0;
  f.ascentPerEm = sane ? fe.ascent / kSize : 0.8;
  f.cellPerEm = sane ? (fe.ascent + fe.descent) / kSize : 1.0;
  f.avgWidthPerEm = te.x_advance > 0 ? te.x_advance / kSize : 0.5;
  cairo_scaled_font_destroy(sf);
  cairo_font_options_destroy(options);
}

std::unique_ptr<FontFace> Resolve(const std::string& face, const char* kind, bool bold,
                                  bool italic) {
  auto f = std::make_unique<FontFace>();
  f->generic = kind;
  FcPattern* pattern = FcPatternCreate();
  if (!face.empty())
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(face.c_str()));
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(kind));
  FcPatternAddInteger(pattern, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
  FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FcResult result;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match) {
    f->face = cairo_ft_font_face_create_for_pattern(match);
    FcChar8* family = nullptr;
    if (FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch && family)
      f->family = reinterpret_cast<const char*>(family);
    int spacing = FC_PROPORTIONAL;
    FcPatternGetInteger(match, FC_SPACING, 0, &spacing);
    f->fixedPitch = spacing == FC_MONO;
    FcPatternDestroy(match);
  } else {  // no fonts at all: cairo's own choice
    f->face =
        cairo_toy_font_face_create(kind, italic ? CAIRO_FONT_SLANT_ITALIC : CAIRO_FONT_SLANT_NORMAL,
                                   bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    f->family = kind;
    f->fixedPitch = std::string(kind) == "monospace";
  }
  Measure(*f);
  return f;
}

std::map<std::string, std::unique_ptr<FontFace>>& Cache() {
  static auto* c = new std::map<std::string, std::unique_ptr<FontFace>>;
  return *c;
}

}  // namespace

const FontFace& FaceFor(const LOGFONT& lf) {
  char name[LF_FACESIZE + 1] = {};
  std::copy_n(lf.lfFaceName, LF_FACESIZE, name);
  std::string face = name;
  const char* kind = FallbackKind(lf, Lower(face));
  bool bold = lf.lfWeight >= 600;
  bool italic = lf.lfItalic != 0;
  std::string key = Lower(face) + '\n' + kind + (bold ? "\nb" : "\n") + (italic ? "i" : "");
  auto& cache = Cache();
  auto it = cache.find(key);
  if (it == cache.end()) it = cache.emplace(key, Resolve(face, kind, bold, italic)).first;
  return *it->second;
}

RealizedFont UseFont(cairo_t* cr, const LOGFONT& lf, const Mapping& map, int logPixelsY) {
  const FontFace& f = FaceFor(lf);
  double sy = std::fabs(ScaleY(map));
  double em, cell;
  if (lf.lfHeight < 0) {
    // Windows makes fonts at whole pixel sizes.
    em = std::max(1.0, std::round(-static_cast<double>(lf.lfHeight) * sy));
    cell = std::round(em * f.cellPerEm);
  } else {
    cell = lf.lfHeight > 0 ? std::round(lf.lfHeight * sy) : std::round(16.0 * logPixelsY / 96.0);
    cell = std::max(1.0, cell);
    em = cell / f.cellPerEm;
  }
  double emX = em;
  if (lf.lfWidth != 0)
    emX =
        std::max(1.0, std::round(std::abs(lf.lfWidth) * std::fabs(ScaleX(map)) / f.avgWidthPerEm));
  cairo_set_font_face(cr, f.face);
  cairo_matrix_t m;
  cairo_matrix_init_scale(&m, emX, em);
  cairo_set_font_matrix(cr, &m);
  int ascent = static_cast<int>(std::lround(em * f.ascentPerEm));
  return {&f, em, emX, ascent, static_cast<int>(cell) - ascent};
}

}  // namespace platform::gdi
