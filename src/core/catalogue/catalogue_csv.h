#pragma once

// A catalogue as CSV, for people and spreadsheets: listing a data file and
// building one. The first line is the header
//   name,angle1,angle4,sensitivity,rated_power
// and each further line one record: the name in double quotes with all its
// characters (a double quote inside written twice), the numbers in the general
// form with a dot. Reading is strict: every row is checked, and a catalogue
// with one bad row is not to be written at all.

#include "core/catalogue/lsp_record.h"

#include <QByteArrayView>
#include <QJsonArray>
#include <QList>
#include <QString>
#include <QStringList>

namespace kvx {

inline const QString kCatalogueCsvHeader =
    QStringLiteral("name,angle1,angle4,sensitivity,rated_power");

// The header line, then one line per record, each ended by a line feed.
QString catalogueCsv(const QList<LspRecord>& records);
// The records as a JSON array of objects with the CSV's column names as keys;
// a number that is not finite is null.
QJsonArray catalogueJson(const QList<LspRecord>& records);

// A line of the CSV that cannot become a record.
struct CsvRowError {
    int line = 0; // counted from 1, the header being line 1
    QString what;
};

struct CatalogueCsv {
    QList<LspRecord> records;  // the good rows, in file order
    QList<CsvRowError> errors; // in line order; empty when the records may be written

    // "FILE:LINE: what is wrong", one per error.
    QStringList messages(const QString& fileName) const;
};

// Reads catalogue CSV in UTF-8 (a byte order mark is allowed, line ends LF or
// CR LF, blank lines are skipped). A quoted name keeps every character,
// commas, doubled quotes and padding spaces included; numbers may be
// surrounded by blanks. What is wrong is said in the words of texts.
CatalogueCsv parseCatalogueCsv(QByteArrayView utf8, const LocalTexts& texts);

// Reads csvPath and writes it as the data file lspPath (atomically), or leaves
// lspPath as it was when anything is wrong.
struct CatalogueBuild {
    enum class Outcome {
        Written,
        BadRows,     // messages: "IN.csv:LINE: what is wrong"
        CannotRead,  // the CSV file could not be read
        CannotWrite, // the data file could not be written
    };
    Outcome outcome = Outcome::Written;
    QStringList messages;
    qsizetype records = 0; // records written
};
CatalogueBuild buildCatalogue(const QString& csvPath, const QString& lspPath,
                              const LocalTexts& texts);

} // namespace kvx
