// The section pictures. They are drawn from their descriptions (symbols in
// the hot-spot rectangles of the picture's list, wires, ground and terminal
// marks); this one function is where the program's pictures come from.
#pragma once

#include "platform/core/Types.h"
#include "platform/ui/Image.h"

// False (and a null image) when the program has no picture of the id.
bool LoadSectionPicture(UINT pictureId, fw::Image& out);
