#pragma once

#include <QWidget>

namespace horavia {

// The frame the program's dialogs share: fixed, with only the system menu. Their face is the display's
// Tahoma (Surface::TahomaFont); their controls are placed at fixed pixel positions by their forms.
inline constexpr Qt::WindowFlags FixedDialogFlags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                                                    Qt::WindowSystemMenuHint | Qt::WindowTitleHint |
                                                    Qt::WindowCloseButtonHint;

} // namespace horavia
