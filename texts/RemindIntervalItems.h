#pragma once

#include <QStringList>

namespace horavia {

// The items of both dialogs' reminder interval lists, index for index with RemindIntervalTable.
inline QStringList RemindIntervalItems() {
    return {QStringLiteral("分钟"),    QStringLiteral("3 分钟"),  QStringLiteral("5 分钟"),  QStringLiteral("10 分钟"),
            QStringLiteral("15 分钟"), QStringLiteral("20 分钟"), QStringLiteral("30 分钟"), QStringLiteral("小时"),
            QStringLiteral("3 小时"),  QStringLiteral("5 小时")};
}

} // namespace horavia
