#include "display/TDxButton.h"

// Drawing and image lookup arrive with the image collections.
namespace horavia {
void TDxButton::ResolveImages() {}
void TDxButton::Draw() {}
} // namespace horavia
