#pragma once

#include <QFont>
#include <QWidget>

namespace horavia {

// What the program's dialogs share: a fixed frame with only the system menu, the Tahoma 8 pt face
// (11 px, or the nearest the system has), and controls placed at fixed pixel positions.
inline constexpr Qt::WindowFlags FixedDialogFlags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                                                    Qt::WindowSystemMenuHint | Qt::WindowTitleHint |
                                                    Qt::WindowCloseButtonHint;

inline QFont DialogFont(bool bold = false) {
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(11);
    font.setBold(bold);
    return font;
}

// Gives widget its place (left, top, width, height) in its parent and returns it.
template <typename W> W* Place(W* widget, int left, int top, int width, int height) {
    widget->setGeometry(left, top, width, height);
    return widget;
}

} // namespace horavia
