#pragma once

#include "display/PngImage.h"
#include "display/Rect.h"

#include <vector>

class QWindow;

namespace horavia {

// The window's outline from its shape picture: for every row, each maximal run of pixels whose
// colour differs from the outside colour (the picture's bottom-left pixel) gives one rectangle,
// one row high. The picture is used at its own size, so the outline covers only its rows.
std::vector<TRect> ShapeRuns(const TPngImage& shape);

// Gives the window the outline of these runs, in the window's device pixels, where the window system
// takes an outline in its own pixels (X11): Qt's own mask is in logical pixels, which at ratio 2 turns
// each corner pixel into a 2 x 2 block. Returns false, changing nothing, elsewhere.
bool ApplyDeviceOutline(QWindow& window, const std::vector<TRect>& runs);

} // namespace horavia
