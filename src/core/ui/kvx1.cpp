#include "core/ui/kvx1.h"

#include "core/base/ini_file.h"
#include "core/base/save_file.h"

#include <QDir>
#include <QFileInfo>
#include <QStringEncoder>

namespace kvx {

namespace {

const QString kLastFolder = QStringLiteral("LastFolder");

// Sections and keys are found whatever their letter case.
QString settingKey(const QString& section, const QString& key) {
    return section.toLower() + u'\n' + key.toLower();
}

// Kvx.ini holds Windows-1252 text: a path it cannot hold would come back as
// another path.
bool fitsConfiguration(const QString& text) {
    QStringEncoder encoder(kCodePage, QStringEncoder::Flag::Stateless);
    [[maybe_unused]] const QByteArray bytes = encoder.encode(text);
    return !encoder.hasError();
}

} // namespace

Kvx1::Kvx1(Platform& platform_, QString programFolder_, QLocale numberLocale,
           const StringTable& strings_)
    : Kvx1(platform_, ProgramFolders{std::move(programFolder_), std::nullopt},
           std::move(numberLocale), strings_) {}

Kvx1::Kvx1(Platform& platform_, ProgramFolders folders, QLocale numberLocale,
           const StringTable& strings_)
    : platform(platform_)
    , programFolder(std::move(folders.programFolder))
    , installed(std::move(folders.installed))
    , locale(std::move(numberLocale))
    , strings(strings_) {
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
}

LocalTexts Kvx1::localTexts() const {
    return {strings, LanguageOffset, locale};
}

QString Kvx1::localText(int englishId) const {
    return localTexts().text(englishId);
}

QString Kvx1::programFile(const QString& name) const {
    return QDir(programFolder).filePath(name);
}

QString Kvx1::iniPath() const {
    if (!iniFileOverride.isEmpty())
        return iniFileOverride;
    return QDir(configFolder()).filePath(Configuration::FileName);
}

QString Kvx1::configFolder() const {
    return installed ? installed->configFolder : programFolder;
}

QStringList Kvx1::catalogueFolders() const {
    return installed ? installed->catalogueFolders : QStringList{programFolder};
}

QString Kvx1::cataloguePath(const QString& name) const {
    return kvx::cataloguePath(catalogueFolders(), name);
}

std::optional<QString> Kvx1::readSetting(const QString& section, const QString& key) const {
    const auto unkept = m_unkeptSettings.constFind(settingKey(section, key));
    if (unkept != m_unkeptSettings.constEnd())
        return unkept->isEmpty() ? std::nullopt : std::optional<QString>(*unkept);
    return ReadIniValue(section, key, iniPath());
}

bool Kvx1::keepSetting(const QString& section, const QString& key, const QString& value) {
    const QString path = iniPath();
    // The user's configuration folder need not exist before the first setting.
    if (installed && iniFileOverride.isEmpty())
        QDir().mkpath(configFolder());
    const bool written = WriteIniValue(section, key, value, path);
    if (written) {
        m_unkeptSettings.remove(settingKey(section, key));
        return true;
    }
    // A portable program runs from its folder as it always has, read-only
    // media included. Installed, the program must still run, and the user
    // would otherwise be asked the same on every start without knowing why.
    if (!installed)
        return false;
    m_unkeptSettings.insert(settingKey(section, key), value);
    if (!m_toldSettingsNotKept) {
        m_toldSettingsNotKept = true;
        platform.messageBox(localText(1500).arg(QDir::toNativeSeparators(path)),
                            MsgStyle::Exclamation, localText(1501));
    }
    return false;
}

QString Kvx1::dialogFolder(const QString& currentFile) const {
    if (!currentFile.isEmpty()) {
        const QFileInfo file(currentFile);
        if (file.dir().exists())
            return file.absolutePath();
    }
    if (!installed)
        return programFolder;
    if (const std::optional<QString> last =
            readSetting(Configuration::LanguageSection, kLastFolder)) {
        if (QDir::isAbsolutePath(*last) && QFileInfo(*last).isDir())
            return *last;
    }
    return installed->documentsFolder;
}

void Kvx1::rememberFolder(const QString& chosenFile) {
    // A portable program's dialogs start in its own folder, and its Kvx.ini
    // changes only as it always has.
    if (!installed || chosenFile.isEmpty())
        return;
    const QString folder = QFileInfo(chosenFile).absolutePath();
    if (!fitsConfiguration(folder) ||
        readSetting(Configuration::LanguageSection, kLastFolder) == folder)
        return;
    keepSetting(Configuration::LanguageSection, kLastFolder, folder);
}

} // namespace kvx
