#pragma once
// The rows of a command-line test's data table, kept as a tab-separated file
// under tests/data/cli: the row's name, then one text per column, a line
// break written as \n. Lines starting with '#' are comments.
#include "support/files.h"

#include <QTest>

namespace kvx::test {

// The column names must outlive the table: Qt Test keeps the pointers.
inline void addRowsFrom(const QString& file, const QList<const char*>& columns) {
    for (const char* column : columns)
        QTest::addColumn<QString>(column);
    const QString text = QString::fromUtf8(testData(QStringLiteral("cli/") + file));
    QVERIFY2(!text.isEmpty(), qPrintable(file));
    for (const QString& line : text.split(u'\n', Qt::SkipEmptyParts)) {
        QStringList cells = line.split(u'\t');
        if (line.startsWith(u'#'))
            continue;
        QVERIFY2(cells.size() == columns.size() + 1, qPrintable(line));
        QTestData& row = QTest::newRow(cells.takeFirst().toUtf8().constData());
        for (const QString& cell : std::as_const(cells))
            row << QString(cell).replace(QStringLiteral("\\n"), QStringLiteral("\n"));
    }
}

} // namespace kvx::test
