#pragma once

// calc and report: one run of the main window on the CliPlatform. The window
// is started as the program starts it (Program, with the project as its
// command-line file), the inputs are made as a user makes them (focus, type,
// pick, slide), Calculate is pressed once, and Save As and the report commands
// run with their dialogs answered by the paths of the command line. Nothing
// here calculates: the results are the window's last Design, and whether the
// window loaded is its own outcome (FrmKvx::loadFailed), not read from labels or
// message titles.
//
// The data folder's Kvx.ini is only ever read. When the run needs it to say
// something else (--language, or no file or data file named at all), the window
// reads a private copy instead.

#include "cli/command_line.h"
#include "core/base/program_folders.h"

#include <QJsonObject>
#include <QString>

#include <functional>
#include <memory>

class QTemporaryDir;

namespace kvx {
class FrmKvx;
}

namespace kvx::cli {

class CliPlatform;

class ProjectSession {
public:
    // folders: --data-dir as a portable program's folder, else where kvx-cli
    // finds them as the window does.
    ProjectSession(const Invocation& invocation, CliPlatform& platform, ProgramFolders folders);

    // Runs calc or report; returns the exit status.
    int run();

    // The JSON output of a window: its fields, the last calculation's numbers
    // (null when none ran) and the message boxes shown.
    static QJsonObject toJson(const FrmKvx& window, const CliPlatform& platform);
    // The plain output: one "name: text" line per result.
    static QString resultLines(const FrmKvx& window);

private:
    // Why the run cannot start (a missing folder or file), or empty.
    QString checkFiles() const;
    // The configuration file the window is to read: the data folder's Kvx.ini
    // when it serves as it is, else a private copy in scratch with --language
    // and the default data file put in. Empty, with the reason in problem,
    // when neither can be had.
    QString configurationFile(std::unique_ptr<QTemporaryDir>& scratch, QString& problem) const;
    // Runs one user action as the window's dispatcher does: an error that
    // escapes a handler is shown in a message box. False when the program
    // has ended (or had ended before).
    bool act(const std::function<void()>& action);
    // Makes the inputs; false after a usage error (already reported).
    bool applyInputs(FrmKvx& window);
    // Saves and writes the report as asked; false when a file was not written.
    bool writeFiles(FrmKvx& window);

    const Invocation& m_invocation;
    CliPlatform& m_platform;
    ProgramFolders m_folders;
};

} // namespace kvx::cli
