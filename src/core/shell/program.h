#pragma once

// The program's start-up. The language window comes first: when the
// configuration file exists it closes unseen and the main window is loaded at
// once (start() returns false); on a first start the view shows the language
// window (start() returns true) and calls languageChosen() when its OK button
// is pressed. The view then shows the main window and calls its Form_Activate
// once, when it is first shown. Closing the language window by its frame ends
// the program with nothing more written.
//
// A load that ends the program (no loudspeaker data file) leaves
// programEnded() set: the view then shows nothing more.

#include "core/base/program_folders.h"
#include "core/shell/lang_select.h"
#include "core/ui/kvx1.h"
#include "core/ui/main_window.h"

#include <QLocale>
#include <QString>

#include <memory>

namespace kvx {

class Program {
public:
    // commandLine is the whole argument text, taken as one path; empty for none.
    // A program folder alone runs portable.
    Program(Platform& platform, QString programFolder, QLocale numberLocale,
            QString commandLine = {});
    Program(Platform& platform, ProgramFolders folders, QLocale numberLocale,
            QString commandLine = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    Kvx1 kvx;
    LangSelect langSelect;
    // Null until the main window has been loaded.
    std::unique_ptr<FrmKvx> mainWindow;

    // Runs the language window's load. True: the language window must be shown.
    // False: the main window has been loaded (see hasMainWindow, programEnded).
    bool start();
    // The OK button of the language window: stores the language and loads the
    // main window.
    void languageChosen();

    bool hasMainWindow() const { return mainWindow != nullptr; }
    // True when the main window's load ended the program.
    bool programEnded() const { return m_ended; }

private:
    void loadMainWindow();

    QString m_commandLine;
    bool m_ended = false;
};

} // namespace kvx
