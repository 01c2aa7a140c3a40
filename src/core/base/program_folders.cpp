#include "core/base/program_folders.h"

#include "core/base/ini_file.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QStandardPaths>

namespace kvx {

namespace {

const QString kSubfolder = QStringLiteral("kvx");

QString joined(const QString& folder, const QString& name) {
    QString path = folder;
    if (!path.endsWith(u'/') && !path.endsWith(QDir::separator()))
        path += u'/';
    return path + name;
}

} // namespace

bool isPortableFolder(const QString& folder) {
    const QDir dir(folder);
    if (QFileInfo(dir.filePath(Configuration::FileName)).isFile())
        return true;
    return !dir.entryList({QStringLiteral("*.lsp")}, QDir::Files).isEmpty();
}

ProgramFolders locateProgramFolders(const QString& programFolder,
                                    const QString& shippedDataFolder) {
    ProgramFolders folders{programFolder, std::nullopt};
    if (isPortableFolder(programFolder))
        return folders;

    // The generic locations with our own subfolder: the same for the window
    // and kvx-cli, whatever name each gives its application object.
    InstalledFolders installed;
    installed.configFolder =
        QDir(QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation))
            .filePath(kSubfolder);
    QStringList data{QDir(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation))
                         .filePath(kSubfolder)};
    // A prefix that is not among the system's data folders (~/.local, /opt/kvx)
    // still finds the catalogues it was installed with.
    if (!shippedDataFolder.isEmpty())
        data << QDir::cleanPath(QDir(programFolder).filePath(shippedDataFolder));
    for (const QString& folder :
         QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation))
        data << QDir(folder).filePath(kSubfolder);
    for (const QString& folder : std::as_const(data)) {
        const QString clean = QDir::cleanPath(folder);
        if (!installed.catalogueFolders.contains(clean))
            installed.catalogueFolders << clean;
    }
    installed.documentsFolder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (installed.documentsFolder.isEmpty())
        installed.documentsFolder = QDir::homePath();
    folders.installed = std::move(installed);
    return folders;
}

ProgramFolders locateProgramFolders(const QString& programFolder) {
    return locateProgramFolders(programFolder, QStringLiteral(KVX_SHIPPED_DATA_RELATIVE));
}

QStringList catalogueNames(const QStringList& folders, int limit) {
    QStringList names;
    for (const QString& folder : folders) {
        // Directory order, as the listing yields the names; not sorted.
        QDirIterator listing(folder, {QStringLiteral("*.lsp")}, QDir::Files);
        while (names.size() < limit && listing.hasNext()) {
            listing.next();
            if (!names.contains(listing.fileName()))
                names << listing.fileName();
        }
    }
    return names;
}

QString cataloguePath(const QStringList& folders, const QString& name) {
    if (folders.isEmpty())
        return name;
    for (const QString& folder : folders) {
        const QFileInfo candidate(joined(folder, name));
        // A folder of that name is not listed, so it shadows nothing.
        if (!name.isEmpty() && candidate.exists() && !candidate.isDir())
            return candidate.filePath();
    }
    return joined(folders.constFirst(), name);
}

} // namespace kvx
