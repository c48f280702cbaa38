// Handlers of the host's object types. A range is two numbers; a plot holds
// its axes and its children, and passes duplicate and destroy on to them so a
// copied plot never shares a child with the original.
#include <algorithm>
#include <cstring>
#include <string>

#include "plot.h"
#include "runtime.h"
#include "values.h"

namespace host {
namespace {

short CopyTypeName(const char* name, intptr_t buffer, intptr_t size) {
  if (!buffer || size <= 0) return kHostError;
  auto* out = reinterpret_cast<char*>(buffer);
  const size_t n = std::min(std::strlen(name), static_cast<size_t>(size) - 1);
  std::memcpy(out, name, n);
  out[n] = '\0';
  return 0;
}

short StoreDescription(const std::string& text, intptr_t where) {
  if (!where) return kHostError;
  *reinterpret_cast<BSTR*>(where) = SysAllocString(text.c_str());
  return 0;
}

class RangeType final : public HostType {
 public:
  short Op(OBJ_BASECLASS* v, unsigned short opcode, intptr_t p1, intptr_t p2) override {
    auto* r = reinterpret_cast<RANGE_OBJ*>(v);
    switch (opcode) {
      case OBJOP_DESTROY:
      case OBJOP_ACTIVATE:
        return 0;
      case OBJOP_DESCRIBE:
        return StoreDescription(
            "RANGE(" + FormatNumber(r->dFrom) + ", " + FormatNumber(r->dTo) + ")", p1);
      case OBJOP_DUPLICATE:
        if (!p1) return kHostError;
        *reinterpret_cast<OBJ_BASECLASS**>(p1) = NewRange(v->idType, r->dFrom, r->dTo);
        return 0;
      case OBJOP_TYPENAME:
        return CopyTypeName("RANGE", p1, p2);
      default:
        return kHostError;
    }
  }
};

class PlotType final : public HostType {
 public:
  PlotType(Runtime& rt, const char* name) : rt_(rt), name_(name) {}

  short Op(OBJ_BASECLASS* v, unsigned short opcode, intptr_t p1, intptr_t p2) override {
    Plot* plot = PlotOf(v);
    if (!plot) return kHostError;
    switch (opcode) {
      case OBJOP_DESTROY:
        for (OBJ_BASECLASS* child : plot->children) rt_.Destroy(child);
        delete plot;
        v->pWord1 = nullptr;
        return 0;
      case OBJOP_DESCRIBE:
        return StoreDescription(Describe(*plot), p1);
      case OBJOP_DUPLICATE:
        return Duplicate(v, *plot, p1);
      case OBJOP_ADDCHILD: {
        auto* child = reinterpret_cast<OBJ_BASECLASS*>(p1);
        if (!child || child == v || Index(*plot, child) >= 0) return kHostError;
        if (rt_.IsCallArgument(child)) {
          // The value stays with its variable or temporary; adopting it too
          // would end it twice.
          rt_.console().Error(std::string(name_) +
                              " adopts the child it is given: add a duplicate, not an argument");
          return kHostError;
        }
        plot->children.push_back(child);
        return 0;
      }
      case OBJOP_REMOVECHILD: {
        int at = Index(*plot, reinterpret_cast<OBJ_BASECLASS*>(p1));
        if (at < 0) return kHostError;
        plot->children.erase(plot->children.begin() + at);
        return 0;
      }
      case OBJOP_GETCHILD: {
        if (!p2) return kHostError;
        auto* out = reinterpret_cast<OBJ_BASECLASS**>(p2);
        const bool inside = p1 >= 0 && static_cast<size_t>(p1) < plot->children.size();
        *out = inside ? plot->children[static_cast<size_t>(p1)] : nullptr;
        return inside ? 0 : kHostError;
      }
      case OBJOP_TYPENAME:
        return CopyTypeName(name_, p1, p2);
      case OBJOP_ACTIVATE:
        return 0;
      default:
        return kHostError;
    }
  }

 private:
  static int Index(const Plot& plot, const OBJ_BASECLASS* child) {
    for (size_t i = 0; i < plot.children.size(); ++i) {
      if (plot.children[i] == child) return static_cast<int>(i);
    }
    return -1;
  }

  std::string Describe(const Plot& plot) {
    std::string text = std::string(name_) + "(" + FormatNumber(plot.xFrom) + ", " +
                       FormatNumber(plot.xTo) + ", " + FormatNumber(plot.yFrom) + ", " +
                       FormatNumber(plot.yTo) + ")";
    if (plot.children.empty()) return text;
    // Children by type name: enough to see what is attached.
    text += " [";
    for (size_t i = 0; i < plot.children.size(); ++i) {
      char type[32] = {};
      if (rt_.ObjectOpCall(plot.children[i], OBJOP_TYPENAME, reinterpret_cast<intptr_t>(type),
                           sizeof type) != 0)
        std::strcpy(type, "?");
      text += (i ? ", " : "") + std::string(type);
    }
    return text + "]";
  }

  short Duplicate(OBJ_BASECLASS* v, const Plot& plot, intptr_t where) {
    if (!where) return kHostError;
    OBJ_BASECLASS* copy = NewPlot(v->idType, plot.xFrom, plot.xTo, plot.yFrom, plot.yTo);
    for (OBJ_BASECLASS* child : plot.children) {
      OBJ_BASECLASS* childCopy = nullptr;
      short status = rt_.Duplicate(child, &childCopy);
      if (status != 0) {
        rt_.Destroy(copy);
        return status;
      }
      PlotOf(copy)->children.push_back(childCopy);
    }
    *reinterpret_cast<OBJ_BASECLASS**>(where) = copy;
    return 0;
  }

  Runtime& rt_;
  const char* name_;
};

}  // namespace

OBJ_BASECLASS* NewRange(BYTE type, double from, double to) {
  auto* v = new OBJ_BASECLASS{};
  v->idType = type;
  auto* r = reinterpret_cast<RANGE_OBJ*>(v);
  r->dFrom = from;
  r->dTo = to;
  return v;
}

OBJ_BASECLASS* NewPlot(BYTE type, double xFrom, double xTo, double yFrom, double yTo) {
  auto* v = new OBJ_BASECLASS{};
  v->idType = type;
  v->pWord1 = new Plot{xFrom, xTo, yFrom, yTo, {}};
  return v;
}

std::unique_ptr<HostType> MakeRangeType() { return std::make_unique<RangeType>(); }

std::unique_ptr<HostType> MakePlotType(Runtime& rt, const char* name) {
  return std::make_unique<PlotType>(rt, name);
}

}  // namespace host
