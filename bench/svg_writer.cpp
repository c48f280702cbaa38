#include "svg_writer.h"

#include <charconv>
#include <cstring>
#include <vector>

namespace bench {
namespace {

// ExtTextOut's options that put a rectangle in the record.
constexpr int kEtoOpaque = 2, kEtoClipped = 4;

struct Obj {
  enum Kind { Free, Pen, Brush, Font, Other } kind = Free;
  COLORREF colour = 0;
  int width = 1;   // pens
  int style = 0;   // pen or brush style
  int height = 0;  // fonts
  int weight = 400;
  bool italic = false;
  std::string face;
};

struct State {
  int pen = -1, brush = -1, font = -1;  // selected slots; -1 the stock default
  COLORREF textColour = 0, bkColour = RGB(255, 255, 255);
  int bkMode = 2, align = 0;
};

class Writer {
 public:
  Writer(int width, int height) : width_(width), height_(height) {}

  void Record(const METARECORD* r, std::map<int, int>* skipped);
  std::string Finish();

 private:
  void Num(long v) {
    char b[24];
    out_.append(b, std::to_chars(b, b + sizeof b, v).ptr);
  }
  void Num(double v) {
    char b[32];
    out_.append(b, std::to_chars(b, b + sizeof b, v, std::chars_format::general, 6).ptr);
  }
  void Colour(COLORREF c) {
    static const char kHex[] = "0123456789abcdef";
    const BYTE parts[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
    out_ += '#';
    for (BYTE p : parts) {
      out_ += kHex[p >> 4];
      out_ += kHex[p & 15];
    }
  }
  void Stroke() {
    const Obj* p = state_.pen >= 0 ? &objs_[state_.pen] : nullptr;
    if (p && p->style == PS_NULL) {
      out_ += " stroke=\"none\"";
      return;
    }
    out_ += " stroke=\"";
    Colour(p ? p->colour : 0);
    out_ += "\" stroke-width=\"";
    Num(static_cast<long>(p && p->width > 1 ? p->width : 1));
    out_ += '"';
  }
  void Fill() {
    const Obj* b = state_.brush >= 0 ? &objs_[state_.brush] : nullptr;
    if (b && b->style == BS_NULL) {
      out_ += " fill=\"none\"";
      return;
    }
    out_ += " fill=\"";
    Colour(b ? b->colour : RGB(255, 255, 255));
    out_ += '"';
  }
  void Begin() {
    if (begun_) return;
    begun_ = true;
    out_ += "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"";
    Num(static_cast<long>(width_));
    out_ += "\" height=\"";
    Num(static_cast<long>(height_));
    out_ += "\"><g transform=\"scale(";
    Num(extX_ ? static_cast<double>(width_) / extX_ : 1.0);
    out_ += ',';
    Num(extY_ ? static_cast<double>(height_) / extY_ : 1.0);
    out_ += ") translate(";
    Num(static_cast<long>(-orgX_));
    out_ += ',';
    Num(static_cast<long>(-orgY_));
    out_ += ")\">\n";
  }
  // Lines drawn with one pen go into one path, written when the pen changes
  // or something else is drawn.
  void FlushPath() {
    if (path_.empty()) return;
    Begin();
    out_ += "<path d=\"";
    out_ += path_;
    out_ += '"';
    Stroke();
    out_ += " fill=\"none\"/>\n";
    path_.clear();
  }
  void PathPoint(char op, int x, int y) {
    char b[32];
    path_ += op;
    path_.append(b, std::to_chars(b, b + sizeof b, x).ptr);
    path_ += ' ';
    path_.append(b, std::to_chars(b, b + sizeof b, y).ptr);
  }
  void Text(int x, int y, const char* s, int n);
  int NewSlot() {
    for (size_t i = 0; i < objs_.size(); ++i)
      if (objs_[i].kind == Obj::Free) return static_cast<int>(i);
    objs_.emplace_back();
    return static_cast<int>(objs_.size() - 1);
  }

  int width_, height_;
  int orgX_ = 0, orgY_ = 0, extX_ = 0, extY_ = 0;
  bool begun_ = false;
  int curX_ = 0, curY_ = 0;
  bool pathAtCur_ = false;
  std::vector<Obj> objs_;
  State state_;
  std::vector<State> saved_;
  std::string path_, out_;
};

int16_t S(const METARECORD* r, int i) { return static_cast<int16_t>(r->rdParm[i]); }
COLORREF C(const METARECORD* r, int i) { return r->rdParm[i] | (static_cast<DWORD>(r->rdParm[i + 1]) << 16); }

void Writer::Text(int x, int y, const char* s, int n) {
  FlushPath();
  Begin();
  const Obj* f = state_.font >= 0 ? &objs_[state_.font] : nullptr;
  const int h = f && f->height ? (f->height < 0 ? -f->height : f->height) : 16;
  out_ += "<text x=\"";
  Num(static_cast<long>(x));
  out_ += "\" y=\"";
  Num(static_cast<long>(y));
  out_ += "\" font-size=\"";
  Num(static_cast<long>(h));
  if (f && !f->face.empty()) {
    out_ += "\" font-family=\"";
    out_ += f->face;
  }
  if (f && f->weight >= 600) out_ += "\" font-weight=\"bold";
  if (f && f->italic) out_ += "\" font-style=\"italic";
  const int horz = state_.align & (TA_CENTER | TA_RIGHT);
  if (horz == TA_CENTER) out_ += "\" text-anchor=\"middle";
  if (horz == TA_RIGHT) out_ += "\" text-anchor=\"end";
  const int vert = state_.align & (TA_BASELINE | TA_BOTTOM);
  if (vert == 0) out_ += "\" dominant-baseline=\"text-before-edge";
  if (vert == TA_BOTTOM) out_ += "\" dominant-baseline=\"text-after-edge";
  out_ += "\" fill=\"";
  Colour(state_.textColour);
  out_ += "\">";
  for (int i = 0; i < n && s[i]; ++i) {
    switch (s[i]) {
      case '&': out_ += "&amp;"; break;
      case '<': out_ += "&lt;"; break;
      case '>': out_ += "&gt;"; break;
      default: out_ += s[i];
    }
  }
  out_ += "</text>\n";
}

void Writer::Record(const METARECORD* r, std::map<int, int>* skipped) {
  const WORD* p = r->rdParm;
  switch (r->rdFunction) {
    case META_SETWINDOWORG: orgY_ = S(r, 0); orgX_ = S(r, 1); break;
    case META_SETWINDOWEXT: extY_ = S(r, 0); extX_ = S(r, 1); break;
    case META_SETTEXTCOLOR: state_.textColour = C(r, 0); break;
    case META_SETBKCOLOR: state_.bkColour = C(r, 0); break;
    case META_SETBKMODE: state_.bkMode = p[0]; break;
    case META_SETTEXTALIGN: state_.align = p[0]; break;
    case META_SAVEDC: saved_.push_back(state_); break;
    case META_RESTOREDC:
      FlushPath();
      if (!saved_.empty()) {
        state_ = saved_.back();
        saved_.pop_back();
      }
      break;
    case META_CREATEPENINDIRECT: {
      Obj& o = objs_[NewSlot()];
      o = Obj{};
      o.kind = Obj::Pen;
      o.colour = C(r, 3);
      o.width = S(r, 1);
      o.style = p[0];
      break;
    }
    case META_CREATEBRUSHINDIRECT: {
      Obj& o = objs_[NewSlot()];
      o = Obj{};
      o.kind = Obj::Brush;
      o.colour = C(r, 1);
      o.style = p[0];
      break;
    }
    case META_CREATEFONTINDIRECT: {
      Obj& o = objs_[NewSlot()];
      o = Obj{};
      o.kind = Obj::Font;
      o.height = S(r, 0);
      o.weight = S(r, 4);
      o.italic = (p[5] & 0xFF) != 0;
      const char* face = reinterpret_cast<const char*>(p + 9);
      const size_t room = (r->rdSize - 3 - 9) * 2;
      o.face.assign(face, strnlen(face, room < 32 ? room : 32));
      break;
    }
    case META_CREATEPALETTE:
    case META_CREATEPATTERNBRUSH:
    case META_DIBCREATEPATTERNBRUSH:
    case META_CREATEREGION: objs_[NewSlot()].kind = Obj::Other; break;
    case META_SELECTOBJECT: {
      const int i = p[0];
      if (i < 0 || static_cast<size_t>(i) >= objs_.size()) break;
      if (objs_[i].kind == Obj::Pen && state_.pen != i) {
        FlushPath();
        state_.pen = i;
      } else if (objs_[i].kind == Obj::Brush) {
        state_.brush = i;
      } else if (objs_[i].kind == Obj::Font) {
        state_.font = i;
      }
      break;
    }
    case META_DELETEOBJECT:
      if (p[0] < objs_.size()) {
        if (state_.pen == p[0]) FlushPath();
        objs_[p[0]].kind = Obj::Free;
      }
      break;
    case META_MOVETO:
      curY_ = S(r, 0);
      curX_ = S(r, 1);
      pathAtCur_ = false;
      break;
    case META_LINETO: {
      const int y = S(r, 0), x = S(r, 1);
      if (!pathAtCur_) PathPoint('M', curX_, curY_);
      PathPoint('L', x, y);
      curX_ = x;
      curY_ = y;
      pathAtCur_ = true;
      break;
    }
    case META_ELLIPSE:
    case META_RECTANGLE: {
      FlushPath();
      Begin();
      const int bottom = S(r, 0), right = S(r, 1), top = S(r, 2), left = S(r, 3);
      if (r->rdFunction == META_ELLIPSE) {
        out_ += "<ellipse cx=\"";
        Num((left + right) / 2.0);
        out_ += "\" cy=\"";
        Num((top + bottom) / 2.0);
        out_ += "\" rx=\"";
        Num((right - left) / 2.0);
        out_ += "\" ry=\"";
        Num((bottom - top) / 2.0);
      } else {
        out_ += "<rect x=\"";
        Num(static_cast<long>(left));
        out_ += "\" y=\"";
        Num(static_cast<long>(top));
        out_ += "\" width=\"";
        Num(static_cast<long>(right - left));
        out_ += "\" height=\"";
        Num(static_cast<long>(bottom - top));
      }
      out_ += '"';
      Stroke();
      Fill();
      out_ += "/>\n";
      break;
    }
    case META_POLYGON:
    case META_POLYLINE: {
      FlushPath();
      Begin();
      out_ += "<path d=\"";
      const int n = p[0];
      for (int i = 0; i < n; ++i) {
        out_ += i ? " L" : "M";
        Num(static_cast<long>(S(r, 1 + 2 * i)));
        out_ += ' ';
        Num(static_cast<long>(S(r, 2 + 2 * i)));
      }
      if (r->rdFunction == META_POLYGON) out_ += " Z";
      out_ += '"';
      Stroke();
      if (r->rdFunction == META_POLYGON)
        Fill();
      else
        out_ += " fill=\"none\"";
      out_ += "/>\n";
      break;
    }
    case META_TEXTOUT: {
      const int n = p[0];
      const int words = (n + 1) / 2;
      Text(S(r, 2 + words), S(r, 1 + words), reinterpret_cast<const char*>(p + 1), n);
      break;
    }
    case META_EXTTEXTOUT: {
      const int y = S(r, 0), x = S(r, 1), n = p[2], options = p[3];
      const int at = 4 + ((options & (kEtoOpaque | kEtoClipped)) ? 4 : 0);
      Text(x, y, reinterpret_cast<const char*>(p + at), n);
      break;
    }
    case META_SETMAPMODE:
    case META_SETROP2:
    case META_SETVIEWPORTORG:
    case META_SETVIEWPORTEXT:
    case META_INTERSECTCLIPRECT:
    case META_ESCAPE:
    case META_EOF: break;
    default:
      if (skipped) ++(*skipped)[r->rdFunction];
  }
}

std::string Writer::Finish() {
  FlushPath();
  Begin();
  out_ += "</g></svg>\n";
  return std::move(out_);
}

}  // namespace

std::string MetafileToSvg(HMETAFILE hmf, int width, int height, std::map<int, int>* skipped) {
  Writer w(width, height);
  struct Ctx {
    Writer* w;
    std::map<int, int>* skipped;
  } ctx{&w, skipped};
  EnumMetaFile(
      nullptr, hmf,
      [](HDC, HANDLETABLE*, METARECORD* r, int, LPARAM lp) -> int {
        auto* c = reinterpret_cast<Ctx*>(lp);
        c->w->Record(r, c->skipped);
        return 1;
      },
      reinterpret_cast<LPARAM>(&ctx));
  return w.Finish();
}

}  // namespace bench
