#pragma once

// The program-wide state that the window models share, owned by the program
// object and handed to the routines that need it: the project's modified flag,
// the text a field held when it got the focus, the language and its global
// texts, the current loudspeaker data file, and the outside world (Platform).

#include "core/base/ini_file.h"
#include "core/base/platform.h"
#include "core/base/program_folders.h"
#include "core/base/string_table.h"
#include "core/base/units.h"

#include <QHash>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <optional>

namespace kvx {

// Texts loaded once for the chosen language.
struct GlobalTexts {
    QString ProgramTitle;
    QString VersionText;
    QString NewProjectName;
    QString DescriptionPrompt;
    QString UserTypeName;
    QString SectionProjectDescription;
    QString SectionLoudspeakerData;
    QString SectionRoomData;
    QString SectionPowerSettings;
    QString SectionCalculatedData;
};

class Kvx1 {
public:
    // A portable program: everything in programFolder.
    Kvx1(Platform& platform, QString programFolder, QLocale numberLocale,
         const StringTable& strings = StringTable::builtIn());
    Kvx1(Platform& platform, ProgramFolders folders, QLocale numberLocale,
         const StringTable& strings = StringTable::builtIn());

    Platform& platform;
    // The folder that plays the program's folder: Kvx.ini and the *.lsp files
    // of a portable program.
    QString programFolder;
    // The user's and the system's folders of an installed program; nothing
    // when it runs portable.
    std::optional<InstalledFolders> installed;
    // Shown numbers use this locale's decimal separator.
    QLocale locale;
    const StringTable& strings;

    bool Modified = false;
    // Whether Open and Save keep a list of recent projects in Kvx.ini: the
    // desktop program does, the command line (which never writes Kvx.ini) not.
    bool keepRecentProjects = false;
    QString FocusText;
    int LanguageOffset = 0;
    GlobalTexts texts;
    QString CurrentLspFile;
    // The units every window shows lengths in (FrmKvx::setUnits changes them
    // and tells the windows).
    Units units = Units::Metric;

    // True when text differs from FocusText (exact comparison).
    bool IsChanged(const QString& text) const { return text != FocusText; }

    // The text of an English id in the current language; an id that the
    // current block lacks falls back to the English text.
    QString localText(int englishId) const;
    // The current language's texts and number locale, for the routines that
    // only put results into words.
    LocalTexts localTexts() const;

    // Path of a file in the program's folder.
    QString programFile(const QString& name) const;
    // A configuration file read and written instead of the program folder's
    // Kvx.ini; empty for that one. The command line points it at a private copy
    // so that the user's file is never written.
    QString iniFileOverride;
    // The units a run shows lengths in instead of the Units of Kvx.ini
    // (kvx-cli --units); nothing to take Kvx.ini's.
    std::optional<Units> unitsOverride;

    // Path of the configuration file (one file whatever the letter case asked for).
    QString iniPath() const;
    // The folder of Kvx.ini: the program's folder, or the user's configuration folder.
    QString configFolder() const;
    // The folders searched for catalogues, in order.
    QStringList catalogueFolders() const;
    // Where the catalogue of that name is read from.
    QString cataloguePath(const QString& name) const;

    // A setting of the configuration file; one that could not be kept there
    // during this run reads as it was set.
    std::optional<QString> readSetting(const QString& section, const QString& key) const;
    // Writes a setting to the configuration file. When an installed program
    // cannot write it, the user is told once per run and the value still holds
    // until the program ends; a portable one goes on silently without it.
    // False when it was not written.
    bool keepSetting(const QString& section, const QString& key, const QString& value);

    // Where a file dialog starts: the folder of currentFile (the project), else
    // for an installed program the last folder used, else its documents
    // folder; for a portable one its own folder.
    QString dialogFolder(const QString& currentFile) const;
    // An installed program remembers the folder of a file read or written
    // through a dialog as the last folder used.
    void rememberFolder(const QString& chosenFile);

private:
    QHash<QString, QString> m_unkeptSettings;
    bool m_toldSettingsNotKept = false;
};

} // namespace kvx
