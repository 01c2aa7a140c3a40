#include "core/catalogue/catalogue_csv.h"

#include "core/base/numbers.h"

#include <QFile>
#include <QJsonObject>
#include <QLocale>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cfloat>
#include <cmath>

namespace kvx {

namespace {

constexpr int kColumnCount = 5;
const char* const kColumns[kColumnCount] = {"name", "angle1", "angle4", "sensitivity",
                                            "rated_power"};

// The header's own words stay as they are in every language: they are what
// the file holds.
QString columnName(qsizetype index, const LocalTexts& texts) {
    return index < kColumnCount ? QString::fromLatin1(kColumns[index])
                                : texts.text(CatalogueText::Field).arg(index + 1);
}

QString quoted(QString text) {
    return u'"' + text.replace(u'"', QLatin1String("\"\"")) + u'"';
}

QString general(float value) {
    return formatGeneralSingle(value, QLocale::c());
}

QJsonValue jsonNumber(float value) {
    if (!std::isfinite(value))
        return QJsonValue();
    // The shown form, so that 89.3 is written as 89.3 and not as the float's
    // exact binary value.
    bool ok = false;
    const double shown = QLocale::c().toDouble(general(value), &ok);
    return ok ? QJsonValue(shown) : QJsonValue(double(value));
}

bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}

struct SplitLine {
    QStringList fields;
    QString error;
};

// One line's fields. A field that starts (after blanks) with a double quote
// runs to the matching quote, "" standing for one quote; any other field runs
// to the next comma as it stands.
SplitLine splitCsvLine(QStringView line, const LocalTexts& texts) {
    SplitLine split;
    const qsizetype n = line.size();
    qsizetype i = 0;
    for (;;) {
        qsizetype j = i;
        while (j < n && isBlank(line[j]))
            ++j;
        if (j < n && line[j] == u'"') {
            QString value;
            qsizetype k = j + 1;
            bool closed = false;
            while (k < n) {
                if (line[k] == u'"') {
                    if (k + 1 < n && line[k + 1] == u'"') {
                        value += u'"';
                        k += 2;
                        continue;
                    }
                    closed = true;
                    ++k;
                    break;
                }
                value += line[k++];
            }
            const QString column = columnName(split.fields.size(), texts);
            if (!closed) {
                split.error = texts.text(CatalogueText::QuoteNotClosed).arg(column);
                return split;
            }
            while (k < n && isBlank(line[k]))
                ++k;
            if (k < n && line[k] != u',') {
                split.error = texts.text(CatalogueText::TextAfterQuote).arg(column);
                return split;
            }
            split.fields.append(value);
            if (k >= n)
                return split;
            i = k + 1;
        } else {
            const qsizetype comma = line.indexOf(u',', i);
            if (comma < 0) {
                split.fields.append(line.sliced(i).toString());
                return split;
            }
            split.fields.append(line.sliced(i, comma - i).toString());
            i = comma + 1;
        }
    }
}

QString angleProblem(const QString& column, const QString& field, qint16& angle,
                     const LocalTexts& texts) {
    static const QRegularExpression wholeNumber(QStringLiteral("^[+-]?[0-9]+$"));
    const QString text = field.trimmed();
    if (text.isEmpty())
        return texts.text(CatalogueText::Empty).arg(column);
    if (!wholeNumber.match(text).hasMatch())
        return texts.text(CatalogueText::NotWhole).arg(column, text);
    bool ok = false;
    const qlonglong value = text.toLongLong(&ok);
    if (!ok || value < -32768 || value > 32767)
        return texts.text(CatalogueText::OutsideShort).arg(column, text);
    angle = qint16(value);
    return {};
}

QString singleProblem(const QString& column, const QString& field, float& number,
                      const LocalTexts& texts) {
    const QString text = field.trimmed();
    if (text.isEmpty())
        return texts.text(CatalogueText::Empty).arg(column);
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok && std::isinf(value))
        return texts.text(CatalogueText::TooBigSingle).arg(column, text);
    if (!ok)
        return texts.text(CatalogueText::NotANumber).arg(column, text);
    if (!std::isfinite(value))
        return texts.text(CatalogueText::NotFinite).arg(column, text);
    if (std::fabs(value) > double(FLT_MAX))
        return texts.text(CatalogueText::TooBigSingle).arg(column, text);
    number = float(value);
    return {};
}

// Spreadsheets may quote the column names too.
bool isHeader(const QString& line, const LocalTexts& texts) {
    SplitLine split = splitCsvLine(line, texts);
    for (QString& name : split.fields)
        name = name.trimmed();
    return split.error.isEmpty() && split.fields.join(u',') == kCatalogueCsvHeader;
}

} // namespace

QString catalogueCsv(const QList<LspRecord>& records) {
    QString csv = kCatalogueCsvHeader + u'\n';
    for (const LspRecord& r : records) {
        csv += quoted(r.TypeName) + u',' + QString::number(r.Angle1) + u',' +
               QString::number(r.Angle4) + u',' + general(r.Sensitivity) + u',' +
               general(r.MaxPower) + u'\n';
    }
    return csv;
}

QJsonArray catalogueJson(const QList<LspRecord>& records) {
    QJsonArray array;
    for (const LspRecord& r : records) {
        array.append(QJsonObject{
            {QStringLiteral("name"), r.TypeName},
            {QStringLiteral("angle1"), int(r.Angle1)},
            {QStringLiteral("angle4"), int(r.Angle4)},
            {QStringLiteral("sensitivity"), jsonNumber(r.Sensitivity)},
            {QStringLiteral("rated_power"), jsonNumber(r.MaxPower)},
        });
    }
    return array;
}

QStringList CatalogueCsv::messages(const QString& fileName) const {
    QStringList lines;
    for (const CsvRowError& e : errors)
        lines.append(QStringLiteral("%1:%2: %3").arg(fileName, QString::number(e.line), e.what));
    return lines;
}

CatalogueCsv parseCatalogueCsv(QByteArrayView utf8, const LocalTexts& texts) {
    CatalogueCsv result;
    const auto fail = [&result](int line, const QString& what) {
        result.errors.append(CsvRowError{line, what});
    };
    if (utf8.startsWith("\xEF\xBB\xBF"))
        utf8 = utf8.sliced(3);

    QStringDecoder decoder(QStringDecoder::Utf8);
    bool tooMany = false;
    qsizetype start = 0;
    for (int lineNumber = 1;; ++lineNumber) {
        qsizetype end = utf8.indexOf('\n', start);
        const bool last = end < 0;
        if (last)
            end = utf8.size();
        QByteArrayView raw = utf8.sliced(start, end - start);
        start = end + 1;
        if (raw.endsWith('\r'))
            raw.chop(1);

        decoder.resetState();
        const QString line = decoder.decode(raw);
        if (decoder.hasError()) {
            fail(lineNumber, texts.text(CatalogueText::NotUtf8));
        } else if (lineNumber == 1) {
            if (!isHeader(line, texts))
                fail(lineNumber, texts.text(CatalogueText::NotHeader).arg(kCatalogueCsvHeader));
        } else if (!line.trimmed().isEmpty()) {
            const SplitLine split = splitCsvLine(line, texts);
            if (!split.error.isEmpty()) {
                fail(lineNumber, split.error);
            } else if (split.fields.size() != kColumnCount) {
                fail(lineNumber, texts.text(CatalogueText::FieldCount)
                                     .arg(QString::number(split.fields.size()),
                                          QString::number(kColumnCount), kCatalogueCsvHeader));
            } else {
                LspRecord record;
                QStringList problems;
                problems << lspNameProblem(split.fields.at(0), texts)
                         << angleProblem(columnName(1, texts), split.fields.at(1), record.Angle1,
                                         texts)
                         << angleProblem(columnName(2, texts), split.fields.at(2), record.Angle4,
                                         texts)
                         << singleProblem(columnName(3, texts), split.fields.at(3),
                                          record.Sensitivity, texts)
                         << singleProblem(columnName(4, texts), split.fields.at(4), record.MaxPower,
                                          texts);
                problems.removeAll(QString());
                for (const QString& problem : std::as_const(problems))
                    fail(lineNumber, problem);
                if (problems.isEmpty() && result.records.size() == kMaxLspRecords && !tooMany) {
                    tooMany = true;
                    fail(lineNumber, texts.text(CatalogueText::TooManyRecords).arg(kMaxLspRecords));
                }
                if (problems.isEmpty() && !tooMany) {
                    record.TypeName = split.fields.at(0).leftJustified(kLspNameLength, u' ');
                    result.records.append(record);
                }
            }
        }
        if (last)
            break;
    }
    return result;
}

CatalogueBuild buildCatalogue(const QString& csvPath, const QString& lspPath,
                              const LocalTexts& texts) {
    CatalogueBuild build;
    QFile in(csvPath);
    if (!in.open(QIODevice::ReadOnly)) {
        build.outcome = CatalogueBuild::Outcome::CannotRead;
        build.messages << texts.text(CatalogueText::CannotRead).arg(csvPath, in.errorString());
        return build;
    }
    const QByteArray bytes = in.readAll();
    const CatalogueCsv csv = parseCatalogueCsv(bytes, texts);
    if (!csv.errors.isEmpty()) {
        build.outcome = CatalogueBuild::Outcome::BadRows;
        build.messages = csv.messages(csvPath);
        return build;
    }
    QString whyNot;
    if (!writeLspFile(lspPath, csv.records, &whyNot)) {
        build.outcome = CatalogueBuild::Outcome::CannotWrite;
        build.messages << texts.text(CatalogueText::CannotWrite).arg(lspPath, whyNot);
        return build;
    }
    build.records = csv.records.size();
    return build;
}

} // namespace kvx
