// "CSMFCreate" and the handler of "META" values. On screen a picture plays
// into a viewport at its placement; on a printer the host's viewport stays
// and the picture's own window extent and origin are recomputed so that its
// placement lands where a structure's would.
#include "objects/metaobj.h"

#include <algorithm>
#include <cstdint>
#include <new>

#include "core/alloc.h"
#include "objects/entries.h"
#include "objects/makeobj.h"
#include "objects/placement.h"
#include "resources/resource.h"

namespace {

// What the enumeration of a picture carries: first its measurements, then
// the values computed for printing.
struct MFENUMSTATE {
  int32_t bMeasure;
  int32_t nMapModes;
  int32_t nWindowExts;
  int32_t xExt, yExt;
  int32_t nWindowOrgs;
  int32_t xOrg, yOrg;
};

int16_t Clamp16(long long v) {
  return static_cast<int16_t>(std::clamp<long long>(v, INT16_MIN, INT16_MAX));
}

// Measures the window records, then plays every record with the window
// extent and origin replaced by the computed ones.
int CALLBACK PlayPlacedRecord(HDC hdc, HANDLETABLE* table, METARECORD* rec, int nObj,
                              LPARAM param) {
  auto* st = reinterpret_cast<MFENUMSTATE*>(param);
  const bool window = rec->rdFunction == META_SETWINDOWEXT || rec->rdFunction == META_SETWINDOWORG;
  const bool twoParams = rec->rdSize >= 5;
  if (st->bMeasure) {
    if (rec->rdFunction == META_SETMAPMODE) ++st->nMapModes;
    if (window && twoParams) {
      const bool ext = rec->rdFunction == META_SETWINDOWEXT;
      ++(ext ? st->nWindowExts : st->nWindowOrgs);
      (ext ? st->xExt : st->xOrg) = static_cast<int16_t>(rec->rdParm[1]);
      (ext ? st->yExt : st->yOrg) = static_cast<int16_t>(rec->rdParm[0]);
    }
    return 1;
  }
  if (window && twoParams) {
    const bool ext = rec->rdFunction == META_SETWINDOWEXT;
    struct {
      DWORD rdSize;
      WORD rdFunction;
      WORD rdParm[2];
    } copy{5, rec->rdFunction, {}};
    copy.rdParm[0] = static_cast<WORD>(Clamp16(ext ? st->yExt : st->yOrg));
    copy.rdParm[1] = static_cast<WORD>(Clamp16(ext ? st->xExt : st->xOrg));
    PlayMetaFileRecord(hdc, table, reinterpret_cast<METARECORD*>(&copy), static_cast<UINT>(nObj));
    return 1;
  }
  PlayMetaFileRecord(hdc, table, rec, static_cast<UINT>(nObj));
  return 1;
}

// The device rectangle of the placement: y measured down from the target's
// top, as the context's y axis grows.
struct PLACED {
  LONG left, top, right, bottom;
};

short DrawPicture(CCpClient* client, METAFILEDATA* data, const PLOTDRAWREQ& req) {
  CCommandProcessor* pcp = client->pcp;
  HDC hdc = req.hdc;
  const RECT& t = req.rcTarget;
  // Only the low 32 bits of the range count here.
  const LONG x0 = static_cast<LONG>(req.llXFrom), y0 = static_cast<LONG>(req.llYFrom);
  float sx, sy;
  if (!AxisScale(t.right - t.left, x0, static_cast<LONG>(req.llXTo), &sx) ||
      !AxisScale(t.bottom - t.top, y0, static_cast<LONG>(req.llYTo), &sy))
    return ReportError(pcp, IDS_ERR_MFZERODIVISOR);
  const float h = static_cast<float>(t.bottom - t.top);
  auto down = [&](LONG y) {
    const float d = static_cast<float>(static_cast<long long>(y) - y0);
    return AddSaturated(SaturateToLong(static_cast<double>(h - d * sy)), t.top);
  };
  const PLACEMENT place = PlacementOf(data->rcPlace);
  const PLACED px{AddSaturated(ScaledOffset(place.xLeft, x0, sx), t.left), down(place.yTop),
                  AddSaturated(ScaledOffset(place.xRight, x0, sx), t.left), down(place.yBottom)};
  const long long w = static_cast<long long>(px.right) - px.left;
  const long long hp = static_cast<long long>(px.bottom) - px.top;

  MFENUMSTATE st{};
  st.bMeasure = 1;
  EnumMetaFile(nullptr, data->mfp.hMF, PlayPlacedRecord, reinterpret_cast<LPARAM>(&st));
  // A placement without area, or a picture without a window extent to scale
  // by, has nowhere to go.
  if (w == 0 || hp == 0 || st.xExt == 0 || st.yExt == 0)
    return ReportError(pcp, IDS_ERR_MFZERODIVISOR);

  const int saved = SaveDC(hdc);
  if (!req.bPrint) {
    SetMapMode(hdc, data->mfp.mm);
    SetViewportExtEx(hdc, static_cast<int>(std::clamp<long long>(w, INT32_MIN, INT32_MAX)),
                     static_cast<int>(std::clamp<long long>(hp, INT32_MIN, INT32_MAX)), nullptr);
    SetViewportOrgEx(hdc, px.left, px.top, nullptr);
    PlayMetaFile(hdc, data->mfp.hMF);
  } else {
    const LONG unitY = req.lPrintUnitY > 0 ? req.lPrintUnitY : 1;
    const LONG m = (PLOT_PRINT_UNITS / unitY) * unitY;
    const float fw = static_cast<float>(w), fh = static_cast<float>(hp);
    const float xExt = static_cast<float>(st.xExt), yExt = static_cast<float>(st.yExt);
    st.xOrg = AddSaturated(st.xOrg, -SaturateToLong(static_cast<float>(px.left) * xExt / fw));
    st.yOrg = AddSaturated(st.yOrg, -SaturateToLong(static_cast<float>(px.top) * yExt / fh));
    st.xExt = SaturateToLong(xExt * static_cast<float>(req.lPrintExtX) / fw);
    st.yExt = SaturateToLong(yExt * static_cast<float>(m) / fh);
    st.bMeasure = 0;
    if (st.nWindowExts == 0) SetWindowExtEx(hdc, Clamp16(st.xExt), Clamp16(st.yExt), nullptr);
    if (st.nWindowOrgs == 0) SetWindowOrgEx(hdc, Clamp16(st.xOrg), Clamp16(st.yOrg), nullptr);
    EnumMetaFile(hdc, data->mfp.hMF, PlayPlacedRecord, reinterpret_cast<LPARAM>(&st));
  }
  RestoreDC(hdc, saved);
  return 0;
}

short Describe(CCpClient* client, METAFILEDATA* data, intptr_t where) {
  // The payload's address names the picture; its low 32 bits keep the text
  // and its format as they always were.
  CString text;
  text.Format(LoadText(IDS_DESC_METAFILE),
              static_cast<unsigned>(reinterpret_cast<uintptr_t>(data) & 0xFFFFFFFFu));
  BSTR s = SysAllocString(text);
  if (!s) return ReportErrorNum(client->pcp, IDS_ERR_ALLOCATION, 1301);
  *reinterpret_cast<BSTR*>(where) = s;
  return 0;
}

}  // namespace

METAFILEDATA* NewMetafilePayload(const METAFILEPICT& pict, LPCSTR source) {
  HMETAFILE copy = CopyMetaFile(pict.hMF, nullptr);
  if (!copy) return nullptr;
  auto* data = StructNew<METAFILEDATA>(WORD{1}, RECT{}, CString(source), pict);
  if (!data) {
    DeleteMetaFile(copy);
    return nullptr;
  }
  data->mfp.hMF = copy;
  return data;
}

void ReleaseMetafilePayload(METAFILEDATA* data) {
  if (!data || --data->nRefs > 0) return;
  if (data->mfp.hMF) DeleteMetaFile(data->mfp.hMF);
  delete data;
}

STRUCT_HANDLER(MetaFileObjOpCall) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  METAFILEDATA* data = PayloadOf(value);
  switch (opcode) {
    case OBJOP_DESTROY:
      ReleaseMetafilePayload(data);
      delete value;
      return 0;
    case OBJOP_DESCRIBE:
      return p1 ? Describe(client, data, p1) : 0;
    case OBJOP_DUPLICATE: {
      if (!data || !p1) return ReportError(pcp, IDS_ERR_DUPLICATEOBJECT);
      ++data->nRefs;
      const short status = MakeMetafileObject(data, reinterpret_cast<OBJ_BASECLASS**>(p1), client);
      if (status) --data->nRefs;
      return status;
    }
    case OBJOP_DRAW:
      return data && p1 ? DrawPicture(client, data, *reinterpret_cast<const PLOTDRAWREQ*>(p1)) : 0;
    case OBJOP_TYPENAME:
      return CopyTypeName(GetDllInfo(client)->szMetaType, p1, p2);
    case OBJOP_ACTIVATE:
      return 0;
    default:
      return ReportErrorNum(pcp, IDS_ERR_BADOPCODE, opcode);
  }
}

STRUCT_FUNCTION(ChemStrucMFCreate) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  (void)args;
  CCommandProcessor* pcp = client->pcp;
  SetBusyCursor(pcp, nullptr);
  short status = 0;
  if (!OpenClipboard(pcp->hwndMain)) {
    status = ReportError(pcp, IDS_ERR_OPENCLIPBOARD);
  } else {
    HANDLE h = GetClipboardData(CF_METAFILEPICT);
    const auto* pict = h ? static_cast<const METAFILEPICT*>(GlobalLock(h)) : nullptr;
    // A block too small for the record is no picture either.
    if (!pict || GlobalSize(h) < sizeof(METAFILEPICT)) {
      status = ReportError(pcp, IDS_ERR_NOPICTURE);
    } else if (pict->mm != MM_ANISOTROPIC) {
      status = ReportError(pcp, IDS_ERR_NOTANISOTROPIC);
    } else if (METAFILEDATA* data = NewMetafilePayload(*pict, "Clipboard"); !data) {
      status = ReportError(pcp, IDS_ERR_NOMEMORY);
    } else {
      status = MakeMetafileObject(data, result, client);
      if (status) ReleaseMetafilePayload(data);
    }
    if (pict) GlobalUnlock(h);
    CloseClipboard();
  }
  SetBusyCursor(pcp, nullptr);
  return status;
}
