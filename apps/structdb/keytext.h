// The key of a structure given as text (an SD data item, the CAS token of an
// ASCII structure file): a CAS number with its hyphens, whose check digit must
// agree, or a plain integer taken as it is. Keys are 1 to 2147483647.
#pragma once

#include <string>

#include "core/common.h"

enum class KeyText {
  kOk,
  kMissing,     // empty or blanks only
  kMalformed,   // neither form
  kCheckDigit,  // a CAS number whose check digit disagrees
  kOutOfRange,  // 0 or less, or above 2147483647
};

// Reads text (blanks around it ignored) into *key, which is 0 unless kOk.
// The text passes through the client's scratch buffer.
KeyText ParseKeyText(STRUCT_DLL_INFO* info, const std::string& text, LONG* key);

// What was wrong, for a message: "no key", "malformed key" and so on.
const char* KeyTextProblem(KeyText k);

// A text from the input for a message: quoted, printable characters only,
// cut after 40.
std::string QuotedForMessage(const std::string& text);
