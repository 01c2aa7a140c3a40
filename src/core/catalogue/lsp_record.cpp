#include "core/catalogue/lsp_record.h"

#include "core/base/save_file.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cmath>

namespace kvx {

namespace {

constexpr int kAngle1At = 11;
constexpr int kAngle4At = 13;
constexpr int kSensitivityAt = 15;
constexpr int kMaxPowerAt = 19;

template <typename T>
T readLittleEndian(QByteArrayView bytes, int at) {
    return qFromLittleEndian<T>(bytes.data() + at);
}

float readFloat(QByteArrayView bytes, int at) {
    return std::bit_cast<float>(readLittleEndian<quint32>(bytes, at));
}

template <typename T>
void writeLittleEndian(QByteArray& bytes, int at, T value) {
    qToLittleEndian(value, bytes.data() + at);
}

void writeFloat(QByteArray& bytes, int at, float value) {
    writeLittleEndian(bytes, at, std::bit_cast<quint32>(value));
}

QString codePoint(char32_t c) {
    return QStringLiteral("U+%1").arg(uint(c), 4, 16, QLatin1Char('0')).toUpper();
}

} // namespace

std::optional<LspRecord> decodeLspRecord(QByteArrayView bytes) {
    if (bytes.size() < kLspRecordSize)
        return std::nullopt;
    QStringDecoder decoder(kCodePage);
    LspRecord record;
    record.TypeName = decoder.decode(bytes.first(kLspNameLength));
    record.Angle1 = readLittleEndian<qint16>(bytes, kAngle1At);
    record.Angle4 = readLittleEndian<qint16>(bytes, kAngle4At);
    record.Sensitivity = readFloat(bytes, kSensitivityAt);
    record.MaxPower = readFloat(bytes, kMaxPowerAt);
    return record;
}

QByteArray encodeLspRecord(const LspRecord& record) {
    QStringEncoder encoder(kCodePage);
    QByteArray bytes = encoder.encode(record.TypeName.leftJustified(kLspNameLength, u' ', true));
    // A name that breaks the rules must still not shift the numbers.
    bytes = bytes.leftJustified(kLspNameLength, ' ', true);
    bytes.resize(kLspRecordSize);
    writeLittleEndian(bytes, kAngle1At, record.Angle1);
    writeLittleEndian(bytes, kAngle4At, record.Angle4);
    writeFloat(bytes, kSensitivityAt, record.Sensitivity);
    writeFloat(bytes, kMaxPowerAt, record.MaxPower);
    return bytes;
}

QString lspNameProblem(const QString& name, const LocalTexts& texts) {
    if (name.size() > kLspNameLength) {
        return texts.text(CatalogueText::NameTooLong)
            .arg(name, QString::number(name.size()), QString::number(kLspNameLength));
    }
    if (name.trimmed().isEmpty())
        return texts.text(CatalogueText::NameBlank);
    QStringEncoder wholeName(kCodePage);
    const QByteArray encodedName = wholeName.encode(name);
    const bool encodable = !wholeName.hasError() && encodedName.size() == name.size();
    for (const char32_t c : name.toUcs4()) {
        const QString one = QString::fromUcs4(&c, 1);
        // Line breaks and tabs would break the project file and the report.
        if (QChar::category(c) == QChar::Other_Control)
            return texts.text(CatalogueText::NameControl).arg(name, codePoint(c));
        if (encodable)
            continue;
        QStringEncoder encoder(kCodePage);
        const QByteArray encoded = encoder.encode(one);
        if (encoder.hasError() || encoded.size() != 1)
            return texts.text(CatalogueText::NameCodePage).arg(name, one, codePoint(c));
    }
    return {};
}

QString lspRecordProblem(const LspRecord& record) {
    const LocalTexts english{StringTable::builtIn(), LanguageOffsets::English, QLocale::c()};
    if (QString problem = lspNameProblem(record.TypeName, english); !problem.isEmpty())
        return problem;
    if (!std::isfinite(record.Sensitivity))
        return QStringLiteral("the sensitivity is not a finite number");
    if (!std::isfinite(record.MaxPower))
        return QStringLiteral("the rated power is not a finite number");
    return {};
}

LspRecord readLspRecord(QIODevice& file, qint64 recordNumber) {
    if (recordNumber < 1 || !file.isOpen() || !file.seek((recordNumber - 1) * kLspRecordSize))
        return {};
    return decodeLspRecord(file.read(kLspRecordSize)).value_or(LspRecord{});
}

QStringList readLspTypeNames(QIODevice& file, int limit) {
    QStringList names;
    if (limit <= 0 || !file.isOpen() || !file.seek(0))
        return names;
    // No bigger buffer than the file needs: read(n) allocates all n bytes first.
    const QByteArray bytes = file.read(std::min(qint64(limit) * kLspRecordSize, file.size()));
    const qsizetype count = bytes.size() / kLspRecordSize;
    names.reserve(count);
    QStringDecoder decoder(kCodePage);
    const QByteArrayView all(bytes);
    for (qsizetype i = 0; i < count; ++i)
        names.append(decoder.decode(all.sliced(i * kLspRecordSize, kLspNameLength)));
    return names;
}

std::optional<QList<LspRecord>> readLspFile(const QString& path, QString* whyNot) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (whyNot)
            *whyNot = file.errorString();
        return std::nullopt;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (whyNot)
            *whyNot = file.errorString();
        return std::nullopt;
    }
    QList<LspRecord> records;
    const qsizetype count = bytes.size() / kLspRecordSize;
    records.reserve(count);
    const QByteArrayView all(bytes);
    for (qsizetype i = 0; i < count; ++i)
        records.append(*decodeLspRecord(all.sliced(i * kLspRecordSize, kLspRecordSize)));
    return records;
}

bool writeLspFile(const QString& path, const QList<LspRecord>& records, QString* whyNot) {
    const auto refuse = [whyNot](const QString& reason) {
        if (whyNot)
            *whyNot = reason;
        return false;
    };
    if (records.size() > kMaxLspRecords) {
        return refuse(QStringLiteral("%1 records: a catalogue holds at most %2")
                          .arg(QString::number(records.size()), QString::number(kMaxLspRecords)));
    }
    QByteArray bytes;
    bytes.reserve(records.size() * kLspRecordSize);
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (const QString problem = lspRecordProblem(records.at(i)); !problem.isEmpty())
            return refuse(QStringLiteral("record %1: %2").arg(QString::number(i + 1), problem));
        bytes += encodeLspRecord(records.at(i));
    }
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return refuse(file.errorString());
    if (QString reason; !writeSaveFile(file, bytes, &reason))
        return refuse(reason);
    return true;
}

} // namespace kvx
