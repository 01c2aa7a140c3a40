#include "core/shell/kvx1.h"

#include <QDir>

namespace kvx {

Kvx1::Kvx1(Platform& platform_, QString programFolder_, QLocale numberLocale,
           const StringTable& strings_)
    : platform(platform_)
    , programFolder(std::move(programFolder_))
    , locale(std::move(numberLocale))
    , strings(strings_) {
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
}

QString Kvx1::localText(int englishId) const {
    if (auto found = strings.find(englishId + LanguageOffset))
        return *found;
    return strings.text(englishId);
}

QString Kvx1::programFile(const QString& name) const {
    return QDir(programFolder).filePath(name);
}

} // namespace kvx
