#pragma once

#include <string>

namespace horavia {

// The two texts the LCD shows: the large one (main time) and the small one (hundredths or date).
struct LcdTexts {
    std::string Large;
    std::string Small;
    friend bool operator==(const LcdTexts&, const LcdTexts&) = default;
};

} // namespace horavia
