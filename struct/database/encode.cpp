// The user-library form of a record: every bond a full bond, every label at
// an explicit position with its text inline, the circles, then the name.
#include <cstring>
#include <string>

#include "database/packed.h"
#include "database/userlib.h"
#include "resources/resource.h"

namespace {

// Why rec cannot be stored, or empty.
std::string NotStorable(const CSDRAWREC* rec) {
  if (rec->nBonds > 127) return "more than 127 bonds (" + std::to_string(rec->nBonds) + ")";
  if (rec->nLabels > 127) return "more than 127 atom labels (" + std::to_string(rec->nLabels) + ")";
  if (rec->nCircles > 127)
    return "more than 127 aromatic circles (" + std::to_string(rec->nCircles) + ")";
  const BYTE* types = RecBondTypes(rec);
  for (int i = 0; i < rec->nBonds; ++i)
    if (types[i] > BOND_AROMATIC)
      return "bond " + std::to_string(i + 1) + " has type " + std::to_string(types[i]) +
             "; a library keeps single, double, triple and aromatic bonds only";
  return "";
}

void Put(BYTE*& p, LONG v) { p += WritePackedValues(&v, 1, p); }

}  // namespace

short EncodeStructureRecord(CCommandProcessor* pcp, const CSDRAWREC* rec, HLOCAL* out) {
  *out = nullptr;
  const std::string why = NotStorable(rec);
  if (!why.empty()) return ReportErrorStr(pcp, IDS_ERR_NOTSTORABLE, why.c_str());

  // Size first, so the block is made once.
  size_t cb = 5 + (rec->nBonds + 3u) / 4;
  for (int i = 0; i < 2 * rec->nBonds; ++i) {
    POINT pt = RecPoint(rec, i);
    cb += PackedSize(pt.x) + PackedSize(pt.y);
  }
  const char* label = RecLabels(rec);
  for (int k = 0; k < rec->nLabels; ++k) {
    POINT pt = RecPoint(rec, rec->iFirstLabel + k);
    cb += 3 + PackedSize(pt.x) + PackedSize(pt.y) + std::strlen(label) + 1;
    label += std::strlen(label) + 1;
  }
  for (int k = 0; k < rec->nCircles; ++k) {
    POINT pt = RecPoint(rec, rec->iFirstCircle + k);
    cb += PackedSize(pt.x) + PackedSize(pt.y);
  }
  cb += strnlen(rec->szName, sizeof rec->szName) + 1;
  if (cb + 2 > 0xFFFF)
    return ReportErrorStr(pcp, IDS_ERR_NOTSTORABLE, "the record would pass 65535 bytes");

  HLOCAL h = LocalAlloc(LHND, static_cast<UINT>(cb + 2));
  if (!h) return ReportError(pcp, IDS_ERR_NOMEMORY);
  BYTE* base = static_cast<BYTE*>(LocalLock(h));
  if (!base) {
    LocalFree(h);
    return ReportError(pcp, IDS_ERR_LOCKFAILED);
  }
  const WORD length = static_cast<WORD>(cb);
  std::memcpy(base, &length, 2);
  BYTE* p = base + 2;
  *p++ = static_cast<BYTE>(rec->nBonds);
  *p++ = 0;
  *p++ = 0;
  *p++ = static_cast<BYTE>(rec->nLabels);
  *p++ = static_cast<BYTE>(rec->nCircles);
  const BYTE* types = RecBondTypes(rec);
  for (int i = 0; i < rec->nBonds; ++i) p[i / 4] |= static_cast<BYTE>(types[i] << (2 * (i % 4)));
  p += (rec->nBonds + 3) / 4;
  for (int i = 0; i < 2 * rec->nBonds; ++i) {
    POINT pt = RecPoint(rec, i);
    Put(p, pt.x);
    Put(p, pt.y);
  }
  label = RecLabels(rec);
  for (int k = 0; k < rec->nLabels; ++k) {
    POINT pt = RecPoint(rec, rec->iFirstLabel + k);
    *p++ = 0x7F;
    *p++ = 0x7F;
    *p++ = 0x01;
    Put(p, pt.x);
    Put(p, pt.y);
    const size_t n = std::strlen(label) + 1;
    std::memcpy(p, label, n);
    p += n;
    label += n;
  }
  for (int k = 0; k < rec->nCircles; ++k) {
    POINT pt = RecPoint(rec, rec->iFirstCircle + k);
    Put(p, pt.x);
    Put(p, pt.y);
  }
  const size_t nameLen = strnlen(rec->szName, sizeof rec->szName);
  std::memcpy(p, rec->szName, nameLen);
  p[nameLen] = 0;
  LocalUnlock(h);
  *out = h;
  return 0;
}
