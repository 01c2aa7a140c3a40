#pragma once

// calc and report: one run of the main window on the CliPlatform. The window
// is started as the program starts it (Program, with the project as its
// command-line file), the inputs are made as a user makes them (focus, type,
// pick, slide), Calculate is pressed once, and Save As and the report commands
// run with their dialogs answered by the paths of the command line. Nothing
// here calculates: results are read from the window's fields and from
// lastCalculation.
//
// The data folder's Kvx.ini is read through a private copy (with --language
// and the default data file put in), so that no step can ever write it.

#include "cli/command_line.h"

#include <QJsonObject>
#include <QString>

#include <functional>

namespace kvx {
class FrmKvx;
}

namespace kvx::cli {

class CliPlatform;

class ProjectSession {
public:
    // defaultDataDir: the folder of kvx-cli, used without --data-dir.
    ProjectSession(const Invocation& invocation, CliPlatform& platform, QString defaultDataDir);

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
    // Writes the private configuration file; empty on success, else why not.
    QString prepareConfiguration(const QString& path) const;
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
    QString m_dataDir;
};

} // namespace kvx::cli
