// The byte layout of Windows metafiles (WMF): the 18-byte header, records of
// 16-bit words built and read little-endian without assuming alignment, the
// 16-bit forms of pens, brushes and fonts, the placeable header some files
// start with, and the check that a block of bytes is a metafile we can walk.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform::gdi::wmf {

// The header as it lies in the file. Its DWORDs sit at offsets 6 and 12, so
// the layout is packed to 2 bytes; it is only ever read and written through
// memcpy at the offsets below.
#pragma pack(push, 2)
struct HeaderLayout {
  WORD mtType;
  WORD mtHeaderSize;
  WORD mtVersion;
  DWORD mtSize;
  WORD mtNoObjects;
  DWORD mtMaxRecord;
  WORD mtNoParameters;
};
#pragma pack(pop)
static_assert(sizeof(HeaderLayout) == 18, "the metafile header is 18 bytes");
static_assert(offsetof(HeaderLayout, mtType) == 0 && offsetof(HeaderLayout, mtHeaderSize) == 2);
static_assert(offsetof(HeaderLayout, mtVersion) == 4 && offsetof(HeaderLayout, mtSize) == 6);
static_assert(offsetof(HeaderLayout, mtNoObjects) == 10);
static_assert(offsetof(HeaderLayout, mtMaxRecord) == 12);
static_assert(offsetof(HeaderLayout, mtNoParameters) == 16);

constexpr size_t kHeaderBytes = sizeof(HeaderLayout);
constexpr WORD kMemoryMetafile = 1;
constexpr WORD kDiskMetafile = 2;
constexpr WORD kHeaderWords = 9;
constexpr WORD kVersion = 0x0300;
constexpr WORD kOldVersion = 0x0100;  // written before DIB records existed; read alike
// A record: rdSize (DWORD, in words, these 6 bytes included), rdFunction, parameters.
constexpr size_t kRecordHeaderBytes = 6;
constexpr DWORD kEofWords = 3;

// The 22-byte header that some programs put before the metafile proper.
constexpr DWORD kPlaceableKey = 0x9AC6CDD7;
constexpr size_t kPlaceableBytes = 22;

struct Header {
  WORD type = kMemoryMetafile;
  DWORD sizeWords = 0;
  WORD noObjects = 0;
  DWORD maxRecordWords = 0;
};

// Little-endian access at any byte offset.
WORD GetWord(const BYTE* p);
DWORD GetDword(const BYTE* p);
void PutWord(BYTE* p, WORD v);
void PutDword(BYTE* p, DWORD v);

// Record coordinates and counts are signed 16-bit: values outside are clamped
// to the nearest one that fits, so a drawing far off the page stays off it
// instead of wrapping around to the other side.
int16_t Clamp16(LONG v);

void WriteHeader(BYTE* p, const Header& h);
Header ReadHeader(const BYTE* p);

// Whether bytes[0, n) start with a metafile whose header is sane and whose
// records up to the end record all lie within mtSize words, and mtSize within
// n. On success the metafile's length in bytes (mtSize * 2).
bool Validate(const BYTE* bytes, size_t n, size_t& length);

// The offset of the metafile proper: past a placeable header if there is one.
size_t PlaceableSkip(const BYTE* bytes, size_t n);

// One record being built; parameters are appended in file order.
class RecordBuilder {
 public:
  explicit RecordBuilder(WORD function) : function_(function) {}
  RecordBuilder& Word(WORD w);
  RecordBuilder& Short(LONG v);  // clamped
  RecordBuilder& Color(COLORREF c);
  // Bytes as they are, with a zero byte added when the count is odd.
  RecordBuilder& Bytes(const void* p, size_t n);
  // In words, the record header included.
  DWORD SizeWords() const;
  void AppendTo(std::vector<BYTE>& out) const;

 private:
  WORD function_;
  std::vector<BYTE> params_;
};

// A record inside a block: everything read through it is bounds-checked
// against the record's own size.
class RecordView {
 public:
  RecordView(const BYTE* p, size_t bytes) : p_(p), bytes_(bytes) {}
  DWORD SizeWords() const { return GetDword(p_); }
  WORD Function() const { return GetWord(p_ + 4); }
  size_t ParamCount() const { return (bytes_ - kRecordHeaderBytes) / 2; }
  bool Has(size_t nParams) const { return ParamCount() >= nParams; }
  WORD Param(size_t i) const { return GetWord(p_ + kRecordHeaderBytes + 2 * i); }
  int16_t Signed(size_t i) const { return static_cast<int16_t>(Param(i)); }
  COLORREF ColorAt(size_t i) const { return Param(i) | (static_cast<DWORD>(Param(i + 1)) << 16); }
  // The parameter bytes from word i on.
  const BYTE* ParamBytes(size_t i) const { return p_ + kRecordHeaderBytes + 2 * i; }

 private:
  const BYTE* p_;
  size_t bytes_;
};

// The 16-bit object forms inside the create records.
void AppendLogPen(RecordBuilder& r, const LOGPEN& pen);
void AppendLogBrush(RecordBuilder& r, const LOGBRUSH& brush);
void AppendLogFont(RecordBuilder& r, const LOGFONT& font);
bool ReadLogPen(const RecordView& r, LOGPEN& pen);
bool ReadLogBrush(const RecordView& r, LOGBRUSH& brush);
bool ReadLogFont(const RecordView& r, LOGFONT& font);

}  // namespace platform::gdi::wmf
