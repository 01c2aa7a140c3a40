#include "core/report/text_report.h"

#include "core/base/save_file.h"

#include <QStringEncoder>

namespace kvx {

namespace {

constexpr int kZoneWidth = 14;

} // namespace

QString layOutStatement(const ReportStatement& statement) {
    QString line;
    int column = 1;
    for (const ReportItem& item : statement) {
        switch (item.kind) {
        case ReportItem::Kind::Zone: {
            const int next = ((column - 1) / kZoneWidth + 1) * kZoneWidth + 1;
            line += QString(next - column, QLatin1Char(' '));
            column = next;
            break;
        }
        case ReportItem::Kind::Tab: {
            const int target = std::max(item.column, 1);
            if (column > target) {
                line += QLatin1String("\r\n");
                column = 1;
            }
            line += QString(target - column, QLatin1Char(' '));
            column = target;
            break;
        }
        case ReportItem::Kind::Text:
            line += item.text;
            column += int(item.text.size());
            break;
        }
    }
    return line;
}

QByteArray toWindows1252(const QString& text) {
    QStringEncoder encoder(kCodePage);
    if (!encoder.isValid()) // a Qt without ICU: Latin-1 differs only in 0x80 to 0x9F
        encoder = QStringEncoder(QStringConverter::Latin1);
    QByteArray bytes = encoder.encode(text);
    if (!encoder.hasError())
        return bytes;
    // Some character has no byte: encode one code point at a time to find which.
    bytes.clear();
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype n =
            text[i].isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate() ? 2
                                                                                             : 1;
        QStringEncoder one(encoder.name());
        const QByteArray b = one.encode(QStringView(text).mid(i, n));
        bytes += one.hasError() || b.isEmpty() ? QByteArray("?") : b;
        i += n;
    }
    return bytes;
}

TextReport::TextReport(const QString& path, double pageWidth)
    : m_file(path)
    , m_width(pageWidth) {}

bool TextReport::open() {
    return m_file.open(QIODevice::WriteOnly);
}

void TextReport::print(const ReportStatement& statement) {
    m_file.write(toWindows1252(layOutStatement(statement) + QLatin1String("\r\n")));
}

bool TextReport::endDocument() {
    return commitSaveFile(m_file);
}

} // namespace kvx
