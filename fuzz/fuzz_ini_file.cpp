// Hand-edited configuration files: reading any key of any file gives nothing
// or a value of at most 254 characters, a setting that was written reads back
// as written, and writing one setting leaves the others as they were.

#include "support.h"

#include "core/base/ini_file.h"
#include "core/base/save_file.h"

#include <QStringDecoder>

#include <fuzzer/FuzzedDataProvider.h>

using namespace kvx;
using namespace kvx::fuzz;

namespace {

QString windows1252(const std::string& bytes) {
    QStringDecoder decoder(kvx::kCodePage);
    return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

struct Setting {
    QString section;
    QString key;
};

// What reading gives back of a written value: no blanks at its ends, at most
// 254 characters, nothing for an empty value.
std::optional<QString> readBack(const QString& value) {
    const auto blank = [](QChar c) {
        return c == u' ' || c == u'\t' || c == u'\r' || c == u'\v' || c == u'\f';
    };
    qsizetype begin = 0;
    qsizetype end = value.size();
    while (begin < end && blank(value[begin]))
        ++begin;
    while (end > begin && blank(value[end - 1]))
        --end;
    if (begin == end)
        return std::nullopt;
    return value.sliced(begin, end - begin).left(254);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzedDataProvider in(data, size);
    const Setting chosen{windows1252(in.ConsumeRandomLengthString(24)),
                         windows1252(in.ConsumeRandomLengthString(24))};
    const QString value = windows1252(in.ConsumeRandomLengthString(400));
    const std::string rest = in.ConsumeRemainingBytesAsString();
    const QString path = writeProgramFile(QStringLiteral("Kvx.ini.fuzz"),
                                          QByteArrayView(rest.data(), qsizetype(rest.size())));

    const QList<Setting> others = {{QStringLiteral("Current lsp file"), QStringLiteral("FileName")},
                                   {QStringLiteral("Configuration"), QStringLiteral("Language")}};
    QList<std::optional<QString>> before;
    for (const Setting& s : others) {
        const auto v = ReadIniValue(s.section, s.key, path);
        if (v && (v->isEmpty() || v->size() > 254))
            propertyFailed("a value out of bounds was read", *v);
        before << v;
    }
    ReadIniValue(chosen.section, chosen.key, path);

    if (!WriteIniValue(chosen.section, chosen.key, value, path))
        return 0;
    const auto got = ReadIniValue(chosen.section, chosen.key, path);
    if (got != readBack(value)) {
        propertyFailed("a written value reads back otherwise",
                       QStringLiteral("[%1] %2 = \"%3\" read as \"%4\"")
                           .arg(chosen.section, chosen.key, value, got.value_or("<nothing>")));
    }
    for (qsizetype i = 0; i < others.size(); ++i) {
        const Setting& s = others[i];
        if (s.section.compare(chosen.section.trimmed(), Qt::CaseInsensitive) == 0 &&
            s.key.compare(chosen.key.trimmed(), Qt::CaseInsensitive) == 0)
            continue;
        if (ReadIniValue(s.section, s.key, path) != before[i])
            propertyFailed("writing one setting changed another", s.section + u'/' + s.key);
    }
    return 0;
}
