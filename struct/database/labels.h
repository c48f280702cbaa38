// The label table of standard libraries: a byte below 22 in a record's label
// text stands for one of these texts.
#pragma once

#define NUM_LABEL_CODES 22

extern const char* const g_LabelCodes[NUM_LABEL_CODES];

// The code of text in the table, or -1 when it has none (silent).
int FindLabelCode(const char* text);
