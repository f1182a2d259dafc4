// Rectangles on the screens of this run, in twips.
#pragma once
#include <vector>

#include "platform/ports.h"

namespace app {

// r unchanged when it overlaps a work area; else fitted into the nearest one (shrunk if larger).
Rect OntoNearestScreen(Rect r, const std::vector<Rect>& workAreas);

}  // namespace app
