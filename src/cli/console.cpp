#include "cli/console.h"

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

LocalTexts runTexts(const QLocale& locale) {
    return {StringTable::builtIn(), g_languageOffset, locale};
}

} // namespace kvx::cli
