#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>

namespace horavia {

// A numbered string table read from a UTF-8 file of "id<TAB>text" lines. Lines starting with '#' and
// blank lines are skipped; in the text, \t, \n and \\ stand for a tab, a line break and a backslash.
class StringTable final {
public:
    // Parses data; malformed lines and repeated ids are skipped and described in *problems.
    static StringTable FromTsv(const QByteArray& data, QStringList* problems = nullptr);
    // The table of a language shipped with the program, ":/strings/<language>.tsv"; empty if none.
    static StringTable FromResource(const QString& language);

    // The text of id, or an empty string when the table has none.
    QString Text(int id) const { return texts_.value(id); }
    bool Contains(int id) const { return texts_.contains(id); }
    qsizetype Size() const { return texts_.size(); }

private:
    QHash<int, QString> texts_;
};

} // namespace horavia
