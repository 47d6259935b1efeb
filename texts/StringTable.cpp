#include "texts/StringTable.h"

#include "base/Log.h"

#include <QFile>

// Resources of a static library are not registered on their own; this must sit outside any namespace.
static void InitStringResources() {
    Q_INIT_RESOURCE(strings);
}

namespace horavia {

namespace {

QString Unescape(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\\') || i + 1 == text.size()) {
            out.append(c);
            continue;
        }
        const QChar next = text.at(++i);
        if (next == QLatin1Char('t')) {
            out.append(QLatin1Char('\t'));
        } else if (next == QLatin1Char('n')) {
            out.append(QLatin1Char('\n'));
        } else if (next == QLatin1Char('\\')) {
            out.append(QLatin1Char('\\'));
        } else {
            out.append(c).append(next);
        }
    }
    return out;
}

} // namespace

StringTable StringTable::FromTsv(const QByteArray& data, QStringList* problems) {
    StringTable table;
    const QList<QByteArray> lines = data.split('\n');
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QByteArray line = lines.at(n);
        if (line.endsWith('\r')) {
            line.chop(1);
        }
        if (line.trimmed().isEmpty() || line.startsWith('#')) {
            continue;
        }
        const qsizetype tab = line.indexOf('\t');
        bool ok = false;
        const int id = tab > 0 ? line.left(tab).trimmed().toInt(&ok) : 0;
        QString problem;
        if (!ok) {
            problem = QStringLiteral("line %1: no numeric id and tab").arg(n + 1);
        } else if (table.texts_.contains(id)) {
            problem = QStringLiteral("line %1: id %2 given twice, first kept").arg(n + 1).arg(id);
        } else {
            table.texts_.insert(id, Unescape(QString::fromUtf8(line.mid(tab + 1))));
            continue;
        }
        if (problems != nullptr) {
            problems->append(problem);
        }
    }
    return table;
}

StringTable StringTable::FromResource(const QString& language) {
    InitStringResources();
    QFile file(QStringLiteral(":/strings/%1.tsv").arg(language));
    if (!file.open(QIODevice::ReadOnly)) {
        qCWarning(lcTexts) << "No string table for language" << language;
        return {};
    }
    QStringList problems;
    StringTable table = FromTsv(file.readAll(), &problems);
    for (const QString& problem : problems) {
        qCWarning(lcTexts).noquote() << "String table" << language << problem;
    }
    return table;
}

} // namespace horavia
