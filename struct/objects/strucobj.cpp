// The handler of "STRUC" values: destroy, describe, duplicate, draw into a
// plot's placement (screen and printer), type name, and activation (the
// drawing options dialog for this structure alone).
#include <cstdlib>

#include "core/common.h"
#include "database/drawrec.h"
#include "dialogs/drawopts.h"
#include "objects/entries.h"
#include "objects/makeobj.h"
#include "objects/placement.h"
#include "render/draw.h"
#include "resources/resource.h"

namespace {

CSDRAWREC* RecordOf(OBJ_BASECLASS* value) { return static_cast<CSDRAWREC*>(value->pWord3); }

// The record drawn into its placement of the plot. A plot whose range is
// empty along an axis has no place to give: nothing is drawn.
void DrawPlaced(CCpClient* client, CSDRAWREC* rec, const PLOTDRAWREQ& req) {
  HDC hdc = req.hdc;
  const RECT& t = req.rcTarget;
  float sx, sy;
  if (!AxisScale(t.right - t.left, req.llXFrom, req.llXTo, &sx) ||
      !AxisScale(t.bottom - t.top, req.llYFrom, req.llYTo, &sy))
    return;
  const int saved = SaveDC(hdc);
  const LONG x0 = static_cast<LONG>(req.llXFrom), y0 = static_cast<LONG>(req.llYFrom);
  const PLACEMENT place = PlacementOf(rec->rcPlace);
  RECT device;
  device.left = AddSaturated(ScaledOffset(place.xLeft, x0, sx), t.left);
  device.right = AddSaturated(ScaledOffset(place.xRight, x0, sx), t.left);
  HDC hdcRef = req.hdcRef;
  HDC hdcPrinter = nullptr;
  if (req.bPrint) {
    hdcPrinter = OpenPrinterContext(GetDllInfo(client), nullptr, TRUE);
    if (hdcPrinter) {
      SetMapMode(hdcPrinter, MM_ANISOTROPIC);
      SetWindowExtEx(hdcPrinter, PLOT_PRINT_UNITS, -PLOT_PRINT_UNITS, nullptr);
      SetWindowOrgEx(hdcPrinter, 0, PLOT_PRINT_UNITS, nullptr);
    }
    // Without a printer entry the printer itself is the reference: its
    // mapping and colours are the ones that count.
    hdcRef = hdcPrinter ? hdcPrinter : hdc;
    device.top = AddSaturated(ScaledOffset(place.yBottom, y0, sy), t.top);
    device.bottom = AddSaturated(ScaledOffset(place.yTop, y0, sy), t.top);
  } else {
    const float h = static_cast<float>(t.bottom - t.top);
    auto down = [&](LONG y) {
      const float d = static_cast<float>(static_cast<long long>(y) - y0);
      return AddSaturated(SaturateToLong(static_cast<double>(h - d * sy)), t.top);
    };
    device.bottom = down(place.yBottom);
    device.top = down(place.yTop);
  }
  DrawStructure(client->pcp, rec, hdc, hdcRef, &device, req.bPrint ? 1 : 0);
  if (hdcPrinter) DeleteDC(hdcPrinter);
  RestoreDC(hdc, saved);
}

}  // namespace

STRUCT_HANDLER(ChemStrucObjOpCall) {
  AFX_MANAGE_STATE(AfxGetStaticModuleState());
  CCommandProcessor* pcp = client->pcp;
  switch (opcode) {
    case OBJOP_DESTROY:
      delete static_cast<CHostObject*>(value->pWord1);
      std::free(RecordOf(value));
      delete value;
      return 0;
    case OBJOP_DESCRIBE: {
      CSDRAWREC* rec = RecordOf(value);
      if (!rec) return ReportError(pcp, IDS_ERR_LOCKFAILED);
      BSTR text = SysAllocString(rec->szName);
      if (!text) return ReportErrorNum(pcp, IDS_ERR_ALLOCATION, 1310);
      *reinterpret_cast<BSTR*>(p1) = text;
      return 0;
    }
    case OBJOP_DUPLICATE: {
      CSDRAWREC* copy = DuplicateStructureRecord(RecordOf(value));
      if (!copy) return ReportError(pcp, IDS_ERR_DUPLICATEOBJECT);
      short status = MakeStructureObject(copy, reinterpret_cast<OBJ_BASECLASS**>(p1), client);
      if (status) std::free(copy);
      return status;
    }
    case OBJOP_DRAW:
      if (CSDRAWREC* rec = RecordOf(value); rec && p1)
        DrawPlaced(client, rec, *reinterpret_cast<const PLOTDRAWREQ*>(p1));
      return 0;
    case OBJOP_ACTIVATE:
      // The options confirmed there belong to this structure, not to all.
      if (CSDRAWREC* rec = RecordOf(value)) RunDrawOptions(client, rec);
      return 0;
    case OBJOP_TYPENAME:
      return CopyTypeName(GetDllInfo(client)->szStrucType, p1, p2);
    default:
      return ReportErrorNum(pcp, IDS_ERR_BADOPCODE, opcode);
  }
}
