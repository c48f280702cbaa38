// Numbers and strings as host values.
#include "values.h"

#include <cstdio>

namespace host {

OBJ_BASECLASS* NewNumber(double value) {
  auto* v = new OBJ_BASECLASS{};
  v->idType = ARG_NUMBER;
  v->dValue = value;
  return v;
}

OBJ_BASECLASS* NewString(const std::string& text) {
  auto* v = new OBJ_BASECLASS{};
  v->idType = ARG_STRING;
  v->pWord1 = new CString(text);
  return v;
}

std::string StringOf(const OBJ_BASECLASS* v) {
  if (!IsString(v) || !v->pWord1) return {};
  return static_cast<const CString*>(v->pWord1)->str();
}

void FreePlain(OBJ_BASECLASS* v) {
  if (!v) return;
  if (v->idType == ARG_STRING) delete static_cast<CString*>(v->pWord1);
  delete v;
}

std::string FormatNumber(double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.15g", value);
  return buf;
}

}  // namespace host
