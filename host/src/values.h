// Host values: making numbers and strings, reading them, and the type codes
// that arguments are matched by. Values are always heap records allocated as
// the SDK header describes; who ends them is the Runtime's business.
#pragma once

#include <cmdproc.h>

#include <string>

namespace host {

OBJ_BASECLASS* NewNumber(double value);
OBJ_BASECLASS* NewString(const std::string& text);

inline bool IsNumber(const OBJ_BASECLASS* v) { return v && v->idType == ARG_NUMBER; }
inline bool IsString(const OBJ_BASECLASS* v) { return v && v->idType == ARG_STRING; }
inline bool IsObject(const OBJ_BASECLASS* v) { return v && v->idType > ARG_STRING; }

// The text of a string value ("" for a string without one).
std::string StringOf(const OBJ_BASECLASS* v);

// Frees a number or string; objects need their handler first (Runtime).
void FreePlain(OBJ_BASECLASS* v);

// Numbers as Print shows them.
std::string FormatNumber(double value);

}  // namespace host
