#pragma once

// Where the program keeps its files. A portable program (a Kvx.ini or a *.lsp
// beside it, as in the build folder or an unpacked archive) keeps everything in
// its own folder. An installed one cannot write there and finds no catalogues
// there: Kvx.ini lives in the user's configuration folder, catalogues come from
// the user's data folder first and then from the installed data folders, and
// file dialogs start in the user's documents folder. The folders are worked out
// once at start-up (locateProgramFolders) and handed to the core, so tests use
// temporary ones.

#include <QString>
#include <QStringList>

#include <optional>

namespace kvx {

struct InstalledFolders {
    // Kvx.ini lives here; the folder is made when a setting is first kept.
    QString configFolder;
    // Searched for catalogues in this order: the user's own first, so that a
    // user's file shadows a shipped one of the same name.
    QStringList catalogueFolders;
    // Where file dialogs start when there is no project and no last folder.
    QString documentsFolder;
};

struct ProgramFolders {
    QString programFolder;
    // Nothing for a portable program.
    std::optional<InstalledFolders> installed;
};

// True when folder holds a Kvx.ini or a *.lsp file: the program runs portable.
bool isPortableFolder(const QString& folder);

// The folders of a program started from programFolder: portable when that
// folder says so, else the user's standard folders (XDG), the data folder
// installed with the program (shippedDataFolder, relative to programFolder)
// and the system's data folders, each with a "kvx" subfolder.
ProgramFolders locateProgramFolders(const QString& programFolder, const QString& shippedDataFolder);
// The same with the data folder of this build's install layout.
ProgramFolders locateProgramFolders(const QString& programFolder);

// The catalogue (*.lsp) names in folders, the first folder's first and each
// folder in directory order; a name already listed from an earlier folder is
// not listed again. At most limit names.
QStringList catalogueNames(const QStringList& folders, int limit);

// The path of the catalogue name: in the first folder that holds it, else in
// the first folder (where it will be reported as not found). The name is
// appended as it stands, after one separator.
QString cataloguePath(const QStringList& folders, const QString& name);

} // namespace kvx
