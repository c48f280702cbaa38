// The host's own object values: "RANGE" (from and to) and the plots "MS" and
// "CHRO", which carry child objects that are drawn with them.
#pragma once

#include <cmdproc.h>

#include <memory>
#include <vector>

namespace host {

class HostType;
class Runtime;

// Payload of a plot value, in pWord1. Children are owned by the plot (see the
// rules in cmdproc.h).
struct Plot {
  double xFrom = 0, xTo = 0, yFrom = 0, yTo = 0;
  std::vector<OBJ_BASECLASS*> children;
};

inline Plot* PlotOf(const OBJ_BASECLASS* v) { return static_cast<Plot*>(v->pWord1); }

OBJ_BASECLASS* NewRange(BYTE type, double from, double to);
OBJ_BASECLASS* NewPlot(BYTE type, double xFrom, double xTo, double yFrom, double yTo);

std::unique_ptr<HostType> MakeRangeType();
std::unique_ptr<HostType> MakePlotType(Runtime& rt, const char* name);

}  // namespace host
