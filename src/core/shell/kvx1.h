#pragma once

// The program-wide state that the window models share, owned by the program
// object and handed to the routines that need it: the project's modified flag,
// the text a field held when it got the focus, the language and its global
// texts, the current loudspeaker data file, and the outside world (Platform).

#include "core/shell/ini_file.h"
#include "core/shell/string_table.h"
#include "core/ui/platform.h"

#include <QLocale>
#include <QString>

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
    Kvx1(Platform& platform, QString programFolder, QLocale numberLocale,
         const StringTable& strings = StringTable::builtIn());

    Platform& platform;
    // The folder that plays the program's folder: Kvx.ini and the *.lsp files.
    QString programFolder;
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

    // True when text differs from FocusText (exact comparison).
    bool IsChanged(const QString& text) const { return text != FocusText; }

    // The text of an English id in the current language; an id that the
    // current block lacks falls back to the English text.
    QString localText(int englishId) const;

    // Path of a file in the program's folder.
    QString programFile(const QString& name) const;
    // A configuration file read and written instead of the program folder's
    // Kvx.ini; empty for that one. The command line points it at a private copy
    // so that the user's file is never written.
    QString iniFileOverride;

    // Path of the configuration file (one file whatever the letter case asked for).
    QString iniPath() const {
        return iniFileOverride.isEmpty() ? programFile(Configuration::FileName) : iniFileOverride;
    }
};

} // namespace kvx
