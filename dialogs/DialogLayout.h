#pragma once

#include "texts/RemindIntervalItems.h"

#include <QComboBox>
#include <QWidget>

namespace horavia {

// The frame the program's dialogs share: fixed, with only the system menu. Their face is the display's
// Tahoma (Surface::TahomaFont); their controls are placed at fixed pixel positions by their forms.
inline constexpr Qt::WindowFlags FixedDialogFlags = Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint |
                                                    Qt::WindowSystemMenuHint | Qt::WindowTitleHint |
                                                    Qt::WindowCloseButtonHint;

// Gives a reminder interval list its items in the interface's language now, making them when it has none; the
// chosen item stays chosen.
inline void SetRemindIntervalItems(QComboBox& list) {
    const QStringList items = RemindIntervalItems();
    if (list.count() == 0) {
        list.addItems(items);
        return;
    }
    for (int i = 0; i < items.size() && i < list.count(); ++i) {
        list.setItemText(i, items.at(i));
    }
}

} // namespace horavia
