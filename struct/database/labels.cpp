#include "database/labels.h"

#include <cstring>

const char* const g_LabelCodes[NUM_LABEL_CODES] = {
    " ",  "O", "OH", "HO", "N",  "NH",   "HN", "NH2", "H2N", "H",   "Cl",
    "Br", "F", "Si", "S",  "SH", "SiH3", "P",  "?",   "^Cl", "^Br", "",
};

int FindLabelCode(const char* text) {
  for (int i = 0; i < NUM_LABEL_CODES; ++i)
    if (std::strcmp(g_LabelCodes[i], text) == 0) return i;
  return -1;
}
