// The SVG writer: numbers through std::to_chars in hundredths, path data
// from cairo's path with H and V for level and plumb lines, and the elements
// appended to one string that is written out whole when the document closes.
#include "svg_doc.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cerrno>

#include <fcntl.h>
#include <unistd.h>

#include "fonts.h"
#include "paint.h"

namespace platform::gdi {

namespace {

// Device units in hundredths; cairo keeps coordinates well inside an int's
// range of them.
int Hundredths(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int>(std::lround(std::clamp(v, -2e7, 2e7) * 100));
}

// Characters XML does not allow (the C0 controls other than tab, line feed
// and carriage return) become U+FFFD, as unknown characters draw.
void AppendEscaped(std::string& out, std::string_view s) {
  for (char c : s) {
    switch (c) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\t':
      case '\n':
      case '\r':
        out += c;
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20)
          out += "\xEF\xBF\xBD";
        else
          out += c;
    }
  }
}

// A number given in units of 1/scale (100 or 1000), without trailing zeros.
void Fixed(std::string& out, int v, int scale = 100) {
  char b[24];
  char* p = b;
  if (v < 0) {
    *p++ = '-';
    v = -v;
  }
  p = std::to_chars(p, b + sizeof b, v / scale).ptr;
  if (int f = v % scale) {
    *p++ = '.';
    for (int digit = scale / 10; f; digit /= 10) {
      *p++ = static_cast<char>('0' + f / digit);
      f %= digit;
    }
  }
  out.append(b, p);
}

bool Empty(const RECT* r) { return r && (r->right <= r->left || r->bottom <= r->top); }

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

}  // namespace

SvgDocument::SvgDocument(double width, double height) : width_(width), height_(height) {
  body_.reserve(4096);
  path_.reserve(256);
}

void SvgDocument::Num(double v) { Fixed(body_, Hundredths(v)); }

void SvgDocument::Int(int v) {
  char b[24];
  body_.append(b, std::to_chars(b, b + sizeof b, v).ptr);
}

void SvgDocument::Color(COLORREF c) {
  static constexpr char kHex[] = "0123456789abcdef";
  char b[7] = {'#'};
  const BYTE parts[3] = {GetRValue(c), GetGValue(c), GetBValue(c)};
  for (int i = 0; i < 3; ++i) {
    b[1 + 2 * i] = kHex[parts[i] >> 4];
    b[2 + 2 * i] = kHex[parts[i] & 15];
  }
  body_.append(b, 7);
}

void SvgDocument::TakePath(cairo_t* cr) {
  path_.clear();
  pathDraws_ = false;
  firstMove_ = 0;
  cairo_path_t* path = cairo_copy_path(cr);
  int cx = 0, cy = 0, sx = 0, sy = 0;
  bool closed = false;
  auto pair = [&](const cairo_path_data_t& d) {
    cx = Hundredths(d.point.x);
    cy = Hundredths(d.point.y);
    Fixed(path_, cx);
    path_ += ' ';
    Fixed(path_, cy);
  };
  for (int i = 0; path->status == CAIRO_STATUS_SUCCESS && i < path->num_data;
       i += path->data[i].header.length) {
    const cairo_path_data_t* d = &path->data[i];
    switch (d->header.type) {
      case CAIRO_PATH_MOVE_TO:
        // cairo starts a new subpath at the old start after each close,
        // where SVG's current point is already.
        if (closed && Hundredths(d[1].point.x) == sx && Hundredths(d[1].point.y) == sy) break;
        path_ += 'M';
        pair(d[1]);
        if (i == 0) {
          firstMove_ = path_.size();
          startX_ = cx;
          startY_ = cy;
        }
        sx = cx;
        sy = cy;
        break;
      case CAIRO_PATH_LINE_TO: {
        int x = Hundredths(d[1].point.x), y = Hundredths(d[1].point.y);
        if (y == cy && x != cx) {
          path_ += 'H';
          Fixed(path_, x);
          cx = x;
        } else if (x == cx && y != cy) {
          path_ += 'V';
          Fixed(path_, y);
          cy = y;
        } else {
          path_ += 'L';
          pair(d[1]);
        }
        pathDraws_ = true;
        break;
      }
      case CAIRO_PATH_CURVE_TO:
        path_ += 'C';
        pair(d[1]);
        path_ += ' ';
        pair(d[2]);
        path_ += ' ';
        pair(d[3]);
        pathDraws_ = true;
        break;
      case CAIRO_PATH_CLOSE_PATH:
        path_ += 'Z';
        cx = sx;
        cy = sy;
        break;
    }
    closed = d->header.type == CAIRO_PATH_CLOSE_PATH;
  }
  cairo_path_destroy(path);
  endX_ = cx;
  endY_ = cy;
}

void SvgDocument::CloseOpen() {
  if (!open_) return;
  open_ = false;
  SvgPaint p;
  p.stroke = openStroke_;
  body_ += '"';
  Attributes(p, openClip_, -1);
  body_ += "/>\n";
}

int SvgDocument::FindClip(const RECT* clip) const {
  if (clip)
    for (size_t i = 0; i < clips_.size(); ++i)
      if (Same(clips_[i], *clip)) return static_cast<int>(i);
  return -1;
}

int SvgDocument::ClipId(const RECT* clip) {
  if (!clip) return -1;
  if (int found = FindClip(clip); found >= 0) return found;
  clips_.push_back(*clip);
  int id = static_cast<int>(clips_.size() - 1);
  body_ += "<clipPath id=\"c";
  Int(id);
  body_ += "\"><rect x=\"";
  Int(clip->left);
  body_ += "\" y=\"";
  Int(clip->top);
  body_ += "\" width=\"";
  Int(clip->right - clip->left);
  body_ += "\" height=\"";
  Int(clip->bottom - clip->top);
  body_ += "\"/></clipPath>\n";
  return id;
}

int SvgDocument::HatchId(int hatch, COLORREF color) {
  for (size_t i = 0; i < hatches_.size(); ++i)
    if (hatches_[i].hatch == hatch && hatches_[i].color == color) return static_cast<int>(i);
  hatches_.push_back({hatch, color});
  int id = static_cast<int>(hatches_.size() - 1);
  // The tile's inked pixels as squares, runs of a row together.
  body_ += "<defs><pattern id=\"h";
  Int(id);
  body_ += "\" width=\"8\" height=\"8\" patternUnits=\"userSpaceOnUse\"><path d=\"";
  for (int y = 0; y < 8; ++y) {
    for (int x = 0; x < 8;) {
      if (!HatchPixel(hatch, x, y)) {
        ++x;
        continue;
      }
      int run = 1;
      while (x + run < 8 && HatchPixel(hatch, x + run, y)) ++run;
      body_ += 'M';
      Int(x);
      body_ += ' ';
      Int(y);
      body_ += 'h';
      Int(run);
      body_ += "v1h-";
      Int(run);
      body_ += 'z';
      x += run;
    }
  }
  body_ += '"';
  if (color != 0) {
    body_ += " fill=\"";
    Color(color);
    body_ += '"';
  }
  body_ += "/></pattern></defs>\n";
  return id;
}

void SvgDocument::Attributes(const SvgPaint& p, int clip, int hatch) {
  if (!p.fill.on) {
    body_ += " fill=\"none\"";
  } else if (hatch >= 0) {
    body_ += " fill=\"url(#h";
    Int(hatch);
    body_ += ")\"";
  } else if (p.invert || p.fill.color != 0) {  // black is SVG's own fill
    body_ += " fill=\"";
    Color(p.invert ? RGB(255, 255, 255) : p.fill.color);
    body_ += '"';
  }
  if (p.fill.on && p.fill.evenOdd) body_ += " fill-rule=\"evenodd\"";
  if (p.stroke.on) {
    body_ += " stroke=\"";
    Color(p.invert ? RGB(255, 255, 255) : p.stroke.color);
    body_ += '"';
    if (p.stroke.width != 1) {
      body_ += " stroke-width=\"";
      Int(p.stroke.width);
      body_ += '"';
    }
    if (p.stroke.round) body_ += " stroke-linecap=\"round\" stroke-linejoin=\"round\"";
    std::vector<double> dashes = PenDashes(p.stroke.style);
    if (!dashes.empty()) {
      body_ += " stroke-dasharray=\"";
      for (size_t i = 0; i < dashes.size(); ++i) {
        if (i) body_ += ' ';
        Num(dashes[i]);
      }
      body_ += '"';
    }
  }
  if (p.invert) body_ += " style=\"mix-blend-mode:difference\"";
  if (clip >= 0) {
    body_ += " clip-path=\"url(#c";
    Int(clip);
    body_ += ")\"";
  }
}

void SvgDocument::Paint(const SvgPaint& p) {
  if (!pathDraws_ || (!p.fill.on && !p.stroke.on) || Empty(p.clip)) return;
  const bool mergeable = !p.fill.on && p.stroke.style == PS_SOLID && !p.invert;
  if (open_ && mergeable) {
    const SvgStroke& o = openStroke_;
    if (o.color == p.stroke.color && o.width == p.stroke.width && o.round == p.stroke.round &&
        FindClip(p.clip) == openClip_ && (p.clip != nullptr) == (openClip_ >= 0)) {
      // A line that goes on from where the last ended continues its subpath
      // when caps and joins are round, which cover the same either way.
      size_t from =
          o.round && firstMove_ && startX_ == openX_ && startY_ == openY_ ? firstMove_ : 0;
      body_.append(path_, from);
      openX_ = endX_;
      openY_ = endY_;
      return;
    }
  }
  CloseOpen();
  const int clip = ClipId(p.clip);
  const int hatch = p.fill.on && p.fill.hatch >= 0 ? HatchId(p.fill.hatch, p.fill.color) : -1;
  body_ += "<path d=\"";
  body_ += path_;
  if (mergeable) {
    open_ = true;
    openStroke_ = p.stroke;
    openClip_ = clip;
    openX_ = endX_;
    openY_ = endY_;
    return;
  }
  body_ += '"';
  Attributes(p, clip, hatch);
  body_ += "/>\n";
}

void SvgDocument::Text(const SvgText& t) {
  if (Empty(t.clip)) return;
  CloseOpen();
  const int clip = ClipId(t.clip);
  if (clip >= 0) {
    body_ += "<g clip-path=\"url(#c";
    Int(clip);
    body_ += ")\">";
  }
  double ox = t.x, oy = t.y;
  if (t.angle != 0) {
    body_ += "<g transform=\"translate(";
    Num(t.x);
    body_ += ' ';
    Num(t.y);
    body_ += ") rotate(";
    Num(t.angle);
    body_ += ")\">";
    ox = oy = 0;
  }
  auto rect = [&](double x, double y, double w, double h, COLORREF c) {
    if (!(w > 0 && h > 0)) return;
    body_ += "<rect x=\"";
    Num(ox + x);
    body_ += "\" y=\"";
    Num(oy + y);
    body_ += "\" width=\"";
    Num(w);
    body_ += "\" height=\"";
    Num(h);
    body_ += '"';
    if (c != 0) {
      body_ += " fill=\"";
      Color(c);
      body_ += '"';
    }
    body_ += "/>";
  };
  if (t.opaque) rect(t.left, t.top, t.boxWidth, t.cell, t.background);
  if (!t.utf8.empty()) {
    body_ += "<text";
    if (Hundredths(t.emX) != Hundredths(t.em)) {
      // A font made narrower or wider: cairo's font matrix, scaled across.
      body_ += " transform=\"translate(";
      Num(ox + t.left);
      body_ += ' ';
      Num(oy + t.baseline);
      body_ += ") scale(";
      Fixed(body_, static_cast<int>(std::lround(t.emX / t.em * 1000)), 1000);
      body_ += " 1)";
    } else {
      body_ += " x=\"";
      Num(ox + t.left);
      body_ += "\" y=\"";
      Num(oy + t.baseline);
    }
    body_ += "\" font-family=\"'";
    // The face fontconfig chose for the LOGFONT, then its generic family.
    for (char c : t.face->family) {
      if (c == '\'' || c == '\\') body_ += '\\';
      AppendEscaped(body_, std::string_view(&c, 1));
    }
    body_ += "',";
    body_ += t.face->generic;
    body_ += "\" font-size=\"";
    Num(t.em);
    body_ += '"';
    if (t.bold) body_ += " font-weight=\"bold\"";
    if (t.italic) body_ += " font-style=\"italic\"";
    if (t.color != 0) {
      body_ += " fill=\"";
      Color(t.color);
      body_ += '"';
    }
    body_ += '>';
    AppendEscaped(body_, t.utf8);
    body_ += "</text>";
  }
  for (int i = 0; i < t.nbars; ++i)
    rect(t.bars[i].x, t.bars[i].y, t.bars[i].w, t.bars[i].h, t.color);
  if (t.angle != 0) body_ += "</g>";
  if (clip >= 0) body_ += "</g>";
  body_ += '\n';
}

bool SvgDocument::WriteTo(const std::string& path) {
  CloseOpen();
  // The head is formatted where the numbers go, then put before the body.
  std::string body;
  body.swap(body_);
  body_ =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
      "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"";
  Num(width_);
  body_ += "px\" height=\"";
  Num(height_);
  body_ += "px\" viewBox=\"0 0 ";
  Num(width_);
  body_ += ' ';
  Num(height_);
  // GDI's miter limit; spaces in text kept as TextOut draws them.
  body_ += "\" stroke-miterlimit=\"10\" xml:space=\"preserve\">\n";
  body_ += body;
  body_ += "</svg>\n";
  // One open and one write: the file costs no more system calls than that.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  bool ok = true;
  for (size_t done = 0; ok && done < body_.size();) {
    ssize_t n = ::write(fd, body_.data() + done, body_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    ok = n > 0;
    if (ok) done += static_cast<size_t>(n);
  }
  return ::close(fd) == 0 && ok;
}

}  // namespace platform::gdi
