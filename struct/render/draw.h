// The one drawing routine: a structure record fitted into a rectangle of any
// device context, bonds, aromatic circles and labels in the record's own
// colours and font.
#pragma once

#include <cmdproc.h>

#include "database/drawrec.h"

// Normalises rec (pending quarter turns applied, centred on the origin), then
// draws it into target (logical units of hdc) measured against hdcRef (the
// device whose colours and resolution count; hdc itself for a screen).
// forceColour 1 uses the record's colours whatever hdcRef has; otherwise a
// two-colour reference draws black on white. The context's state is restored
// and every pen and font made is deleted. Always 0; a bond that cannot be
// drawn reports 541 through pcp and the rest is still drawn. A null rec draws
// nothing.
short DrawStructure(CCommandProcessor* pcp, CSDRAWREC* rec, HDC hdc, HDC hdcRef, const RECT* target,
                    short forceColour);
