#pragma once

#include <array>
#include <cstdint>

namespace horavia {

// Reminder intervals in seconds, indexed by the item index of both dialogs' interval lists.
inline constexpr std::array<std::int32_t, 10> RemindIntervalTable{60,   180,  300,  600,   900,
                                                                  1200, 1800, 3600, 10800, 18000};

// The list index of a period: the first entry equal to it, 0 when none is.
constexpr int RemindIndexOf(std::int32_t period) {
    for (std::size_t i = 0; i < RemindIntervalTable.size(); ++i) {
        if (RemindIntervalTable[i] == period) {
            return static_cast<int>(i);
        }
    }
    return 0;
}

// The period at a list index; an index outside the list (a list with no selection) gives the first.
constexpr std::int32_t RemindPeriodAt(int index) {
    if (index < 0 || index >= static_cast<int>(RemindIntervalTable.size())) {
        return RemindIntervalTable[0];
    }
    return RemindIntervalTable[static_cast<std::size_t>(index)];
}

} // namespace horavia
