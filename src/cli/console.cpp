#include "cli/console.h"

#include <QFileInfo>

#include <cstdio>

namespace kvx::cli {

namespace {

void write(std::FILE* stream, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
    std::fflush(stream);
}

int g_languageOffset = LanguageOffsets::English;

} // namespace

void writeOut(const QString& text) {
    write(stdout, text);
}

void writeErr(const QString& text) {
    write(stderr, text);
}

void complain(const QString& message) {
    write(stderr, QStringLiteral("kvx-cli: ") + message + u'\n');
}

void setRunLanguage(int languageOffset) {
    g_languageOffset = languageOffset;
}

int runLanguage() {
    return g_languageOffset;
}

QString said(int englishId) {
    return runTexts(QLocale::c()).text(englishId);
}

QString whyUnreadable(const QString& path, const QString& systemReason) {
    const QFileInfo file(path);
    if (!file.exists())
        return said(CliText::NoSuchFile);
    if (file.isDir())
        return said(CliText::IsFolder);
    return systemReason;
}

QString filled(const QString& text, const QStringList& values) {
    QString result;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const int n = i + 1 < text.size() ? text[i + 1].digitValue() : -1;
        if (text[i] == u'%' && n >= 1 && n <= values.size()) {
            result += values[n - 1];
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

LocalTexts runTexts(const QLocale& locale) {
    return {StringTable::builtIn(), g_languageOffset, locale};
}

} // namespace kvx::cli
