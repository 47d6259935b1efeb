#pragma once

namespace horavia {

// The position in the Digits collection of the glyph for a character of a display text, in the
// large set (large == true) or the small one; -1 when that set has no glyph for it:
//   '0'..'9'  large 0..9, small 10..19
//   ':'       large 20 (colon)
//   '/'       small 21 (date slash)
//   'A', 'P'  large 22, 23 (AM and PM markers)
int GlyphIndex(char c, bool large);

} // namespace horavia
