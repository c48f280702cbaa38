// Encoding and decoding of metafile headers, records and the 16-bit object
// forms; the walk that decides whether outside bytes are a usable metafile.
#include "gdi/metafile_format.h"

#include <algorithm>
#include <cstring>

namespace platform::gdi::wmf {

WORD GetWord(const BYTE* p) { return static_cast<WORD>(p[0] | (p[1] << 8)); }

DWORD GetDword(const BYTE* p) {
  return static_cast<DWORD>(GetWord(p)) | (static_cast<DWORD>(GetWord(p + 2)) << 16);
}

void PutWord(BYTE* p, WORD v) {
  const BYTE b[2] = {static_cast<BYTE>(v & 0xFF), static_cast<BYTE>(v >> 8)};
  std::memcpy(p, b, 2);
}

void PutDword(BYTE* p, DWORD v) {
  PutWord(p, static_cast<WORD>(v & 0xFFFF));
  PutWord(p + 2, static_cast<WORD>(v >> 16));
}

int16_t Clamp16(LONG v) { return static_cast<int16_t>(std::clamp<LONG>(v, -32768, 32767)); }

void WriteHeader(BYTE* p, const Header& h) {
  PutWord(p + offsetof(HeaderLayout, mtType), h.type);
  PutWord(p + offsetof(HeaderLayout, mtHeaderSize), kHeaderWords);
  PutWord(p + offsetof(HeaderLayout, mtVersion), kVersion);
  PutDword(p + offsetof(HeaderLayout, mtSize), h.sizeWords);
  PutWord(p + offsetof(HeaderLayout, mtNoObjects), h.noObjects);
  PutDword(p + offsetof(HeaderLayout, mtMaxRecord), h.maxRecordWords);
  PutWord(p + offsetof(HeaderLayout, mtNoParameters), 0);
}

Header ReadHeader(const BYTE* p) {
  Header h;
  h.type = GetWord(p + offsetof(HeaderLayout, mtType));
  h.sizeWords = GetDword(p + offsetof(HeaderLayout, mtSize));
  h.noObjects = GetWord(p + offsetof(HeaderLayout, mtNoObjects));
  h.maxRecordWords = GetDword(p + offsetof(HeaderLayout, mtMaxRecord));
  return h;
}

bool Validate(const BYTE* bytes, size_t n, size_t& length) {
  if (!bytes || n < kHeaderBytes) return false;
  const WORD type = GetWord(bytes + offsetof(HeaderLayout, mtType));
  const WORD headerWords = GetWord(bytes + offsetof(HeaderLayout, mtHeaderSize));
  const WORD version = GetWord(bytes + offsetof(HeaderLayout, mtVersion));
  if (type != kMemoryMetafile && type != kDiskMetafile) return false;
  if (headerWords != kHeaderWords || (version != kVersion && version != kOldVersion)) return false;
  const uint64_t total = 2 * static_cast<uint64_t>(ReadHeader(bytes).sizeWords);
  if (total < kHeaderBytes + 2 * kEofWords || total > n) return false;
  // Records are walked up to the end record; whatever follows it inside
  // mtSize is never read, as other players do.
  for (uint64_t at = kHeaderBytes; at + kRecordHeaderBytes <= total;) {
    const uint64_t words = GetDword(bytes + at);
    if (words < kEofWords || at + 2 * words > total) return false;
    if (GetWord(bytes + at + 4) == META_EOF) {
      length = static_cast<size_t>(total);
      return true;
    }
    at += 2 * words;
  }
  return false;
}

size_t PlaceableSkip(const BYTE* bytes, size_t n) {
  if (n >= kPlaceableBytes && GetDword(bytes) == kPlaceableKey) return kPlaceableBytes;
  return 0;
}

RecordBuilder& RecordBuilder::Word(WORD w) {
  const size_t at = params_.size();
  params_.resize(at + 2);
  PutWord(params_.data() + at, w);
  return *this;
}

RecordBuilder& RecordBuilder::Short(LONG v) { return Word(static_cast<WORD>(Clamp16(v))); }

RecordBuilder& RecordBuilder::Color(COLORREF c) {
  return Word(static_cast<WORD>(c & 0xFFFF)).Word(static_cast<WORD>(c >> 16));
}

RecordBuilder& RecordBuilder::Bytes(const void* p, size_t n) {
  const size_t at = params_.size();
  params_.resize(at + n + (n & 1), 0);
  if (n) std::memcpy(params_.data() + at, p, n);
  return *this;
}

DWORD RecordBuilder::SizeWords() const {
  return static_cast<DWORD>((kRecordHeaderBytes + params_.size()) / 2);
}

void RecordBuilder::AppendTo(std::vector<BYTE>& out) const {
  const size_t at = out.size();
  out.resize(at + kRecordHeaderBytes + params_.size());
  PutDword(out.data() + at, SizeWords());
  PutWord(out.data() + at + 4, function_);
  if (!params_.empty())
    std::memcpy(out.data() + at + kRecordHeaderBytes, params_.data(), params_.size());
}

void AppendLogPen(RecordBuilder& r, const LOGPEN& pen) {
  r.Word(static_cast<WORD>(pen.lopnStyle))
      .Short(pen.lopnWidth.x)
      .Short(pen.lopnWidth.y)
      .Color(pen.lopnColor);
}

void AppendLogBrush(RecordBuilder& r, const LOGBRUSH& brush) {
  r.Word(static_cast<WORD>(brush.lbStyle))
      .Color(brush.lbColor)
      .Word(static_cast<WORD>(brush.lbHatch));
}

// Height, width, escapement, orientation and weight as 16-bit values, the
// eight style bytes as they are, then the face NUL-terminated (at most 32
// bytes with the NUL, the size of the face field in the 16-bit form).
void AppendLogFont(RecordBuilder& r, const LOGFONT& font) {
  r.Short(font.lfHeight)
      .Short(font.lfWidth)
      .Short(font.lfEscapement)
      .Short(font.lfOrientation)
      .Short(font.lfWeight);
  const BYTE styles[8] = {font.lfItalic,  font.lfUnderline,     font.lfStrikeOut,
                          font.lfCharSet, font.lfOutPrecision,  font.lfClipPrecision,
                          font.lfQuality, font.lfPitchAndFamily};
  r.Bytes(styles, sizeof styles);
  char face[LF_FACESIZE] = {};
  const size_t len = strnlen(font.lfFaceName, LF_FACESIZE - 1);
  std::memcpy(face, font.lfFaceName, len);
  r.Bytes(face, len + 1);
}

bool ReadLogPen(const RecordView& r, LOGPEN& pen) {
  if (!r.Has(5)) return false;
  pen.lopnStyle = r.Param(0);
  pen.lopnWidth = {r.Signed(1), r.Signed(2)};
  pen.lopnColor = r.ColorAt(3);
  return true;
}

bool ReadLogBrush(const RecordView& r, LOGBRUSH& brush) {
  if (!r.Has(4)) return false;
  brush.lbStyle = r.Param(0);
  brush.lbColor = r.ColorAt(1);
  brush.lbHatch = r.Param(3);
  return true;
}

bool ReadLogFont(const RecordView& r, LOGFONT& font) {
  constexpr size_t kFixedWords = 9;
  if (!r.Has(kFixedWords)) return false;
  font = LOGFONT{};
  font.lfHeight = r.Signed(0);
  font.lfWidth = r.Signed(1);
  font.lfEscapement = r.Signed(2);
  font.lfOrientation = r.Signed(3);
  font.lfWeight = r.Signed(4);
  const BYTE* styles = r.ParamBytes(5);
  font.lfItalic = styles[0];
  font.lfUnderline = styles[1];
  font.lfStrikeOut = styles[2];
  font.lfCharSet = styles[3];
  font.lfOutPrecision = styles[4];
  font.lfClipPrecision = styles[5];
  font.lfQuality = styles[6];
  font.lfPitchAndFamily = styles[7];
  // Writers that fill the whole 32-byte field leave no NUL; the face is cut
  // to what fits with one.
  const size_t room = std::min<size_t>(2 * (r.ParamCount() - kFixedWords), LF_FACESIZE - 1);
  const char* face = reinterpret_cast<const char*>(r.ParamBytes(kFixedWords));
  std::memcpy(font.lfFaceName, face, strnlen(face, room));
  return true;
}

}  // namespace platform::gdi::wmf
