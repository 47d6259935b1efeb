#pragma once

#include <QCoreApplication>
#include <QStringList>

namespace horavia {

// The items of both dialogs' reminder interval lists, index for index with RemindIntervalTable, in the
// interface's language now.
inline QStringList RemindIntervalItems() {
    static const char* const Items[] = {
        QT_TRANSLATE_NOOP("RemindInterval", "分钟"),    QT_TRANSLATE_NOOP("RemindInterval", "3 分钟"),
        QT_TRANSLATE_NOOP("RemindInterval", "5 分钟"),  QT_TRANSLATE_NOOP("RemindInterval", "10 分钟"),
        QT_TRANSLATE_NOOP("RemindInterval", "15 分钟"), QT_TRANSLATE_NOOP("RemindInterval", "20 分钟"),
        QT_TRANSLATE_NOOP("RemindInterval", "30 分钟"), QT_TRANSLATE_NOOP("RemindInterval", "小时"),
        QT_TRANSLATE_NOOP("RemindInterval", "3 小时"),  QT_TRANSLATE_NOOP("RemindInterval", "5 小时")};
    QStringList items;
    for (const char* item : Items) {
        items.append(QCoreApplication::translate("RemindInterval", item));
    }
    return items;
}

} // namespace horavia
