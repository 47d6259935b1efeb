#pragma once

#include "display/PngImage.h"

#include <array>
#include <span>
#include <string_view>

namespace horavia {

// One picture of the built-in image collections: the name the program looks it up by, the file stem
// it is stored under (names such as "small_/" cannot be file names), its size and its stored kind.
struct TImageAssetEntry {
    std::string_view Name;
    std::string_view File;
    int Width;
    int Height;
    TPngKind Kind;
};

// The pictures of each collection, in their fixed order: glyphs and frame pieces are fetched by
// position, so this order is part of the program. The picture generator under tools/ and the loader
// both read these tables, so the files and the collections cannot drift apart.
// clang-format off: one picture a line
inline constexpr std::array<TImageAssetEntry, 26> KButtonsAssets{{
    {"timer_norm_48", "timer_norm_48", 48, 48, TPngKind::RGBA},
    {"chrono_norm_48", "chrono_norm_48", 48, 48, TPngKind::RGBA},
    {"clock_norm_48", "clock_norm_48", 48, 48, TPngKind::RGBA},
    {"settings_norm_48", "settings_norm_48", 48, 48, TPngKind::RGBA},
    {"min_norm", "min_norm", 15, 15, TPngKind::RGBA},
    {"min_hover", "min_hover", 15, 15, TPngKind::RGBA},
    {"close_norm", "close_norm", 15, 15, TPngKind::RGBA},
    {"close_hover", "close_hover", 15, 15, TPngKind::RGBA},
    {"timer_hover_48", "timer_hover_48", 48, 48, TPngKind::RGBA},
    {"chrono_hover_48", "chrono_hover_48", 48, 48, TPngKind::RGBA},
    {"clock_hover_48", "clock_hover_48", 48, 48, TPngKind::RGBA},
    {"settings_hover_48", "settings_hover_48", 48, 48, TPngKind::RGBA},
    {"splitter_norm", "splitter_norm", 100, 6, TPngKind::RGBA},
    {"splitter_hover", "splitter_hover", 100, 6, TPngKind::RGBA},
    {"splitter_dn", "splitter_dn", 100, 6, TPngKind::RGBA},
    {"splitter_dn_hover", "splitter_dn_hover", 100, 6, TPngKind::RGBA},
    {"lcd_cancel", "lcd_cancel", 55, 12, TPngKind::RGBA},
    {"lcd_cancel_hover", "lcd_cancel_hover", 55, 12, TPngKind::RGBA},
    {"lcd_start", "lcd_start", 55, 12, TPngKind::RGBA},
    {"lcd_start_hover", "lcd_start_hover", 55, 12, TPngKind::RGBA},
    {"lcd_pause", "lcd_pause", 55, 12, TPngKind::RGBA},
    {"lcd_pause_hover", "lcd_pause_hover", 55, 12, TPngKind::RGBA},
    {"lcd_reset", "lcd_reset", 55, 12, TPngKind::RGBA},
    {"lcd_reset_hover", "lcd_reset_hover", 55, 12, TPngKind::RGBA},
    {"lcd_stop", "lcd_stop", 55, 12, TPngKind::RGBA},
    {"lcd_stop_hover", "lcd_stop_hover", 55, 12, TPngKind::RGBA},
}};

inline constexpr std::array<TImageAssetEntry, 24> KDigitsAssets{{
    {"large_0", "large_0", 36, 48, TPngKind::RGBA},     {"large_1", "large_1", 36, 48, TPngKind::RGBA},
    {"large_2", "large_2", 36, 48, TPngKind::RGBA},     {"large_3", "large_3", 36, 48, TPngKind::RGBA},
    {"large_4", "large_4", 36, 48, TPngKind::RGBA},     {"large_5", "large_5", 36, 48, TPngKind::RGBA},
    {"large_6", "large_6", 36, 48, TPngKind::RGBA},     {"large_7", "large_7", 36, 48, TPngKind::RGBA},
    {"large_8", "large_8", 36, 48, TPngKind::RGBA},     {"large_9", "large_9", 36, 48, TPngKind::RGBA},
    {"small_0", "small_0", 18, 24, TPngKind::RGBA},     {"small_1", "small_1", 18, 24, TPngKind::RGBA},
    {"small_2", "small_2", 18, 24, TPngKind::RGBA},     {"small_3", "small_3", 18, 24, TPngKind::RGBA},
    {"small_4", "small_4", 18, 24, TPngKind::RGBA},     {"small_5", "small_5", 18, 24, TPngKind::RGBA},
    {"small_6", "small_6", 18, 24, TPngKind::RGBA},     {"small_7", "small_7", 18, 24, TPngKind::RGBA},
    {"small_8", "small_8", 18, 24, TPngKind::RGBA},     {"small_9", "small_9", 18, 24, TPngKind::RGBA},
    {"large_:", "large_colon", 36, 48, TPngKind::RGBA}, {"small_/", "small_slash", 18, 24, TPngKind::RGBA},
    {"large_am", "large_am", 36, 48, TPngKind::RGBA},   {"large_pm", "large_pm", 36, 48, TPngKind::RGBA},
}};

// The window frame: its bottom corners are one pixel smaller than the top ones.
inline constexpr std::array<TImageAssetEntry, 8> KMainBoxAssets{{
    {"left_top", "left_top", 6, 6, TPngKind::RGBA},
    {"right_top", "right_top", 6, 6, TPngKind::RGBA},
    {"right_bottom", "right_bottom", 5, 5, TPngKind::RGBA},
    {"left_bottom", "left_bottom", 5, 5, TPngKind::RGBA},
    {"left", "left", 2, 1, TPngKind::RGB},
    {"top", "top", 1, 2, TPngKind::RGB},
    {"right", "right", 2, 1, TPngKind::RGB},
    {"bottom", "bottom", 1, 2, TPngKind::RGB},
}};

inline constexpr std::array<TImageAssetEntry, 8> KLcdBoxAssets{{
    {"left_top", "left_top", 6, 6, TPngKind::RGBA},
    {"right_top", "right_top", 6, 6, TPngKind::RGBA},
    {"right_bottom", "right_bottom", 6, 6, TPngKind::RGBA},
    {"left_bottom", "left_bottom", 6, 6, TPngKind::RGBA},
    {"left", "left", 2, 1, TPngKind::RGB},
    {"top", "top", 1, 2, TPngKind::RGB},
    {"right", "right", 2, 1, TPngKind::RGB},
    {"bottom", "bottom", 1, 2, TPngKind::RGB},
}};
// clang-format on

struct TImageCollectionTable {
    std::string_view Name; // also the folder of its files
    std::span<const TImageAssetEntry> Entries;
};

inline constexpr std::array<TImageCollectionTable, 4> KImageCollectionTables{{
    {"Buttons", KButtonsAssets},
    {"Digits", KDigitsAssets},
    {"MainBox", KMainBoxAssets},
    {"LCDBox", KLcdBoxAssets},
}};

// Where the built-in files live, as Qt resource paths: images under
// ":/horavia/images/<collection>/<file>.png", the window outline and the program icon beside them.
inline constexpr std::string_view KImageResourceRoot = ":/horavia/images/";
inline constexpr std::string_view KShapeResourcePath = ":/horavia/shape.png";
inline constexpr std::string_view KIconResourcePrefix = ":/horavia/icons/horavia-"; // + size + ".png"
inline constexpr std::array<int, 9> KProgramIconSizes{16, 22, 24, 32, 44, 48, 64, 128, 256};

// The corners stored interlaced (Adam7); the decoder must read both layouts.
constexpr bool IsInterlacedAsset(std::string_view collection, std::string_view name) {
    return (collection == "MainBox" || collection == "LCDBox") && (name == "left_top" || name == "right_bottom");
}

} // namespace horavia
