// Expanding a database record body into the working record, bounds and
// centring, and flattening into a structure drawing record. Every read of the
// body is checked against its length.
#include "database/readrec.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "core/alloc.h"
#include "database/labels.h"
#include "database/packed.h"
#include "resources/resource.h"
#include "core/common.h"

namespace {

// Grows a locked local array to exactly cbNew bytes, zero-filled.
bool GrowArray(HLOCAL& h, void*& p, UINT cbNew) {
  if (cbNew > 0xFFFF) return false;
  if (!h) {
    h = LocalAlloc(LHND, cbNew);
    if (!h) return false;
  } else {
    LocalUnlock(h);
    HLOCAL grown = LocalReAlloc(h, cbNew, LHND);
    if (!grown) {
      p = LocalLock(h);
      return false;
    }
    h = grown;
  }
  p = LocalLock(h);
  return p != nullptr;
}

class BodyReader {
 public:
  BodyReader(const BYTE* body, UINT cb) : p_(body), end_(body + cb) {}
  bool Byte(BYTE* b) {
    if (p_ >= end_) return false;
    *b = *p_++;
    return true;
  }
  bool Packed(LONG* v) { return ReadPackedValue(p_, end_, v); }
  bool Peek(BYTE* b) const {
    if (p_ >= end_) return false;
    *b = *p_;
    return true;
  }
  // A NUL-terminated text that must end inside the body.
  bool Text(const char** text, size_t* len) {
    const BYTE* nul = static_cast<const BYTE*>(std::memchr(p_, 0, static_cast<size_t>(end_ - p_)));
    if (!nul) return false;
    *text = reinterpret_cast<const char*>(p_);
    *len = static_cast<size_t>(nul - p_);
    p_ = nul + 1;
    return true;
  }
  const BYTE* pos() const { return p_; }
  const BYTE* end() const { return end_; }

 private:
  const BYTE* p_;
  const BYTE* end_;
};

bool AppendPoint(CSREADREC* rr, LONG x, LONG y) {
  UINT need = (rr->nPoints + 1u) * sizeof(POINT);
  if (!rr->hPoints || LocalSize(rr->hPoints) < need) {
    void* p = rr->pPoints;
    if (!GrowArray(rr->hPoints, p, need)) return false;
    rr->pPoints = static_cast<POINT*>(p);
  }
  rr->pPoints[rr->nPoints++] = POINT{x, y};
  return true;
}

bool AppendLabel(CSREADREC* rr, const char* text, size_t len) {
  // Each text keeps its NUL and the area always ends in one more.
  UINT need = rr->cbLabels + static_cast<UINT>(len) + 2;
  if (need > 0xFFFF) return false;
  if (!rr->hLabels || LocalSize(rr->hLabels) < need) {
    void* p = rr->pLabels;
    if (!GrowArray(rr->hLabels, p, need)) return false;
    rr->pLabels = static_cast<char*>(p);
  }
  std::memcpy(rr->pLabels + rr->cbLabels, text, len);
  rr->pLabels[rr->cbLabels + len] = 0;
  rr->pLabels[rr->cbLabels + len + 1] = 0;
  rr->cbLabels = static_cast<WORD>(rr->cbLabels + len + 1);
  return true;
}

}  // namespace

CSREADREC* NewReadRecord() { return StructAllocOf<CSREADREC>(sizeof(CSREADREC), true); }

void FreeReadRecord(CSREADREC* rr) {
  if (!rr) return;
  for (HLOCAL h : {rr->hBondTypes, rr->hLabels, rr->hPoints}) {
    if (!h) continue;
    LocalUnlock(h);
    LocalFree(h);
  }
  std::free(rr);
}

short ExpandRecordBody(CCommandProcessor* pcp, LPCSTR dataPath, const BYTE* body, UINT cbBody,
                       CSREADREC* rr) {
  auto corrupt = [&] { return ReportErrorStr(pcp, IDS_ERR_BADSTRUCTURE, dataPath); };
  auto noMemory = [&] { return ReportError(pcp, IDS_ERR_NOMEMORY); };
  BodyReader in(body, cbBody);

  BYTE counts[5];
  for (BYTE& c : counts)
    if (!in.Byte(&c)) return corrupt();
  const int nFull = static_cast<signed char>(counts[0]);
  const int nHalf = static_cast<signed char>(counts[1]);
  const int nLinked = static_cast<signed char>(counts[2]);
  const int nLabels = static_cast<signed char>(counts[3]);
  const int nCircles = static_cast<signed char>(counts[4]);
  if (nFull < 0 || nHalf < 0 || nLinked < 0 || nLabels < 0 || nCircles < 0) return corrupt();
  rr->nBonds = static_cast<WORD>(nFull + nHalf + nLinked);
  rr->nLabels = static_cast<WORD>(nLabels);
  rr->nCircles = static_cast<WORD>(nCircles);

  // Every point is known from the counts, so the list is sized once.
  const UINT nAllPoints = 2u * rr->nBonds + static_cast<UINT>(nLabels + nCircles);
  if (nAllPoints > 0) {
    void* p = nullptr;
    if (!GrowArray(rr->hPoints, p, nAllPoints * sizeof(POINT))) return noMemory();
    rr->pPoints = static_cast<POINT*>(p);
  }
  if (rr->nBonds > 0) {
    void* p = nullptr;
    if (!GrowArray(rr->hBondTypes, p, rr->nBonds)) return noMemory();
    rr->pBondTypes = static_cast<BYTE*>(p);
  }
  BYTE packedTypes = 0;
  for (int i = 0; i < rr->nBonds; ++i) {
    if (i % 4 == 0 && !in.Byte(&packedTypes)) return corrupt();
    rr->pBondTypes[i] = (packedTypes >> (2 * (i % 4))) & 3;
  }

  LONG v[4];
  for (int i = 0; i < nFull; ++i) {
    for (LONG& c : v)
      if (!in.Packed(&c)) return corrupt();
    if (!AppendPoint(rr, v[0], v[1]) || !AppendPoint(rr, v[2], v[3])) return noMemory();
  }
  auto copyRef = [&]() -> short {
    BYTE ref;
    if (!in.Byte(&ref) || ref >= rr->nPoints) return corrupt();
    POINT pt = rr->pPoints[ref];
    return AppendPoint(rr, pt.x, pt.y) ? 0 : noMemory();
  };
  for (int i = 0; i < nHalf; ++i) {
    if (!in.Packed(&v[0]) || !in.Packed(&v[1])) return corrupt();
    if (!AppendPoint(rr, v[0], v[1])) return noMemory();
    if (short status = copyRef()) return status;
  }
  for (int i = 0; i < nLinked; ++i)
    for (int end = 0; end < 2; ++end)
      if (short status = copyRef()) return status;

  rr->iFirstLabel = rr->nPoints;
  const int nEndpoints = rr->nPoints;
  for (int i = 0; i < nLabels; ++i) {
    LONG pos;
    if (!in.Packed(&pos)) return corrupt();
    if (pos == 255 || pos == -1) {
      if (!in.Packed(&v[0]) || !in.Packed(&v[1])) return corrupt();
    } else {
      if (pos < 0 || pos >= nEndpoints) return corrupt();
      v[0] = rr->pPoints[pos].x;
      v[1] = rr->pPoints[pos].y;
    }
    if (!AppendPoint(rr, v[0], v[1])) return noMemory();
    BYTE first;
    const char* text;
    size_t len;
    if (!in.Peek(&first)) return corrupt();
    if (first < NUM_LABEL_CODES) {
      in.Byte(&first);
      text = g_LabelCodes[first];
      len = std::strlen(text);
    } else if (!in.Text(&text, &len)) {
      return corrupt();
    }
    if (!AppendLabel(rr, text, len)) return noMemory();
  }

  rr->iFirstCircle = rr->nPoints;
  for (int i = 0; i < nCircles; ++i) {
    if (!in.Packed(&v[0]) || !in.Packed(&v[1])) return corrupt();
    if (!AppendPoint(rr, v[0], v[1])) return noMemory();
  }

  BYTE next;
  if (in.Peek(&next) && next != 0) {
    // The name may run to the end of the body: the buffer's extra zero ends it.
    const char* name = reinterpret_cast<const char*>(in.pos());
    size_t len = strnlen(name, static_cast<size_t>(in.end() - in.pos()));
    len = std::min<size_t>(len, CS_NAME_MAX);
    std::memcpy(rr->szName, name, len);
    rr->szName[len] = 0;
  }
  return 0;
}

void ComputeBoundsAndCentre(CSREADREC* rr) {
  LONG left = 310, top = -175, right = -310, bottom = 175;
  rr->lReserved = 10;
  for (int i = 0; i < 2 * rr->nBonds && i < rr->nPoints; ++i) {
    const POINT& pt = rr->pPoints[i];
    left = std::min(left, pt.x);
    right = std::max(right, pt.x);
    top = std::max(top, pt.y);
    bottom = std::min(bottom, pt.y);
  }
  const char* label = rr->pLabels;
  for (int k = 0; k < rr->nLabels && label; ++k) {
    const POINT& pt = rr->pPoints[rr->iFirstLabel + k];
    const LONG n = static_cast<LONG>(std::strlen(label));
    left = std::min(left, pt.x - 6 * n - 6);
    right = std::max(right, pt.x + 6 * n + 6);
    top = std::max(top, pt.y - 6);
    bottom = std::min(bottom, pt.y + 6);
    label += n + 1;
  }
  left -= 2;
  bottom -= 2;
  right += 2;
  top += 2;
  const LONG cx = (left + right) / 2;
  const LONG cy = (top + bottom) / 2;
  if (cx != 0 || cy != 0) {
    for (int i = 0; i < rr->nPoints; ++i) {
      rr->pPoints[i].x -= cx;
      rr->pPoints[i].y -= cy;
    }
    left -= cx;
    right -= cx;
    top -= cy;
    bottom -= cy;
  }
  rr->rcBounds = RECT{left, top, right, bottom};
}

short FlattenReadRecord(CCommandProcessor* pcp, STRUCT_DLL_INFO* info, const CSREADREC* rr,
                        CSDRAWREC** out) {
  *out = nullptr;
  const size_t cbLabelArea = rr->nLabels ? rr->cbLabels + 1u : 0u;
  const size_t cb = CSDRAWREC_HEADER + rr->nBonds + 8u * rr->nPoints + cbLabelArea;
  // Codes and references expand, so a record that fits its file may not fit
  // the 16-bit block.
  if (cb > CSDRAWREC_MAX) return ReportError(pcp, IDS_ERR_NOMEMORY);
  auto* rec = StructAllocOf<CSDRAWREC>(cb);
  if (!rec) return ReportError(pcp, IDS_ERR_NOMEMORY);
  std::memset(rec, 0, cb);
  rec->cbTotal = static_cast<DWORD>(cb);
  rec->drawOpts = info->drawOpts;
  // Only the name itself: the bytes after its NUL stay clear, so equal
  // structures give equal blocks.
  CopyText(rec->szName, rr->szName, CS_NAME_MAX + 1);
  rec->lId = rr->lId;
  rec->nBonds = rr->nBonds;
  rec->nLabels = rr->nLabels;
  rec->nCircles = rr->nCircles;
  rec->iFirstLabel = rr->iFirstLabel;
  rec->iFirstCircle = rr->iFirstCircle;
  rec->lReserved = rr->lReserved;
  rec->rcBounds = rr->rcBounds;
  rec->offBondTypes = CSDRAWREC_HEADER;
  rec->offPoints = static_cast<WORD>(CSDRAWREC_HEADER + rr->nBonds);
  rec->offLabels = static_cast<WORD>(rec->offPoints + 8u * rr->nPoints);
  BYTE* base = reinterpret_cast<BYTE*>(rec);
  if (rr->nBonds) std::memcpy(base + rec->offBondTypes, rr->pBondTypes, rr->nBonds);
  if (rr->nPoints) std::memcpy(base + rec->offPoints, rr->pPoints, 8u * rr->nPoints);
  if (cbLabelArea) std::memcpy(base + rec->offLabels, rr->pLabels, cbLabelArea);
  *out = rec;
  return 0;
}
