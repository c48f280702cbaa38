// "CSAttach", "CSMFATTACH" and "CSTestHit": structures and pictures placed on
// the host's plots, one of each kind a plot, and the test whether a point of
// the plot falls on them.
#include <cstring>

#include "core/common.h"
#include "dialogs/drawopts.h"
#include "objects/entries.h"
#include "objects/metaobj.h"
#include "objects/placement.h"
#include "resources/resource.h"

namespace {

// The first child of container whose type name is type, or null.
OBJ_BASECLASS* FindChildByType(OBJ_BASECLASS* container, CCpClient* client, LPCSTR type) {
  CCommandProcessor* pcp = client->pcp;
  for (intptr_t i = 0;; ++i) {
    OBJ_BASECLASS* child = nullptr;
    if (pcp->ObjectOpCall(container, OBJOP_GETCHILD, i, reinterpret_cast<intptr_t>(&child)) != 0)
      return nullptr;
    if (!child) continue;
    char name[20] = "";
    if (pcp->ObjectOpCall(child, OBJOP_TYPENAME, reinterpret_cast<intptr_t>(name), sizeof name) !=
        0)
      return nullptr;
    if (std::strcmp(name, type) == 0) return child;
  }
}

CSDRAWREC* RecordOf(OBJ_BASECLASS* value) {
  return value ? static_cast<CSDRAWREC*>(value->pWord3) : nullptr;
}

// lId of the value's record; 0 without one, or when the last argument is not 1.
LONG GetStructureId(CCpClient*, OBJ_BASECLASS* value, int which) {
  const CSDRAWREC* rec = RecordOf(value);
  return which == 1 && rec ? rec->lId : 0;
}

// Where a child keeps its placement, or null.
RECT* PlaceOf(OBJ_BASECLASS* child, bool bMeta) {
  if (bMeta) {
    METAFILEDATA* data = PayloadOf(child);
    return data ? &data->rcPlace : nullptr;
  }
  CSDRAWREC* rec = RecordOf(child);
  return rec ? &rec->rcPlace : nullptr;
}

// A duplicated picture shares its payload, placement included; the copy that
// goes on a plot gets a payload of its own, so each plot keeps its place.
bool GiveOwnPayload(OBJ_BASECLASS* copy) {
  METAFILEDATA* shared = PayloadOf(copy);
  if (!shared || shared->nRefs == 1) return shared != nullptr;
  METAFILEDATA* own = NewMetafilePayload(shared->mfp, shared->strSource);
  if (!own) return false;
  own->rcPlace = shared->rcPlace;
  ReleaseMetafilePayload(shared);
  copy->pWord2 = own;
  return true;
}

short Attach(CCpClient* client, OBJ_BASECLASS** args, bool bMeta) {
  CCommandProcessor* pcp = client->pcp;
  PLACEMENT place{0, 0, 10000, 10000};
  if (HasArg(args, 3)) {
    const auto* x = reinterpret_cast<const RANGE_OBJ*>(args[2]);
    place.xLeft = RoundToLong(x->dFrom);
    place.xRight = RoundToLong(x->dTo);
  }
  if (HasArg(args, 4)) {
    const auto* y = reinterpret_cast<const RANGE_OBJ*>(args[3]);
    place.yBottom = RoundToLong(y->dFrom);
    place.yTop = RoundToLong(y->dTo);
  }
  if (!HasArg(args, 1) || !HasArg(args, 2))
    return ReportErrorNum(pcp, IDS_ERR_BADPARAM, HasArg(args, 1) ? 2 : 1);
  OBJ_BASECLASS* object = args[0];
  OBJ_BASECLASS* plot = args[1];
  STRUCT_DLL_INFO* info = GetDllInfo(client);
  const LONG id = bMeta ? 0 : GetStructureId(client, object, 1);
  OBJ_BASECLASS* current =
      FindChildByType(plot, client, bMeta ? info->szMetaType : info->szStrucType);
  if (!bMeta && id != 0 && current && GetStructureId(client, current, 1) == id) {
    RecordOf(current)->rcPlace = PlacementRect(place);
    return 0;
  }
  // The new child is made whole before the old one goes, so a failure leaves
  // the plot as it was.
  OBJ_BASECLASS* copy = nullptr;
  short status = pcp->ObjectOpCall(object, OBJOP_DUPLICATE, reinterpret_cast<intptr_t>(&copy), 0);
  if (status) return status;
  if (!copy) return ReportError(pcp, IDS_ERR_NODATA);
  if (bMeta && PayloadOf(copy) && !GiveOwnPayload(copy)) {
    pcp->ObjectOpCall(copy, OBJOP_DESTROY, 0, 0);
    return ReportError(pcp, IDS_ERR_NOMEMORY);
  }
  RECT* target = PlaceOf(copy, bMeta);
  if (!target) {
    pcp->ObjectOpCall(copy, OBJOP_DESTROY, 0, 0);
    return ReportError(pcp, IDS_ERR_NODATA);
  }
  *target = PlacementRect(place);
  if (current) {
    pcp->ObjectOpCall(plot, OBJOP_REMOVECHILD, reinterpret_cast<intptr_t>(current), 0);
    pcp->ObjectOpCall(current, OBJOP_DESTROY, 0, 0);
  }
  status = pcp->ObjectOpCall(plot, OBJOP_ADDCHILD, reinterpret_cast<intptr_t>(copy), 0);
  if (status) pcp->ObjectOpCall(copy, OBJOP_DESTROY, 0, 0);
  return status;
}

}  // namespace

STRUCT_COMMAND(ChemStrucAttach) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  return Attach(client, args, false);
}

STRUCT_COMMAND(ChemStrucMFAttach) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  return Attach(client, args, true);
}

STRUCT_FUNCTION(ChemStrucHitTest) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  const LONG x = HasArg(args, 2) ? RoundToLong(GetNumberArg(args, 2)) : 0;
  const LONG y = HasArg(args, 3) ? RoundToLong(GetNumberArg(args, 3)) : 0;
  if (HasArg(args, 4)) (void)RoundToLong(GetNumberArg(args, 4));
  STRUCT_DLL_INFO* info = GetDllInfo(client);
  OBJ_BASECLASS* child = nullptr;
  bool bMeta = false;
  if (HasArg(args, 1)) {
    child = FindChildByType(args[0], client, info->szStrucType);
    if (!child) {
      child = FindChildByType(args[0], client, info->szMetaType);
      bMeta = child != nullptr;
    }
  }
  const RECT* kept = child ? PlaceOf(child, bMeta) : nullptr;
  const PLACEMENT p = kept ? PlacementOf(*kept) : PLACEMENT{};
  const bool hit = kept && p.xLeft <= x && x < p.xRight && p.yBottom < y && y <= p.yTop;
  short status = 0;
  if (hit) status = pcp->ObjectOpCall(child, OBJOP_ACTIVATE, 0, 0);
  double value = hit ? 1 : 0;
  pcp->MakeResult(ARG_NUMBER, 12, &value, result);
  return status;
}
