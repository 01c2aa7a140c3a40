#pragma once

// kvx-cli system: calc, then the system figures of the calculated design with
// the settings of the project and of the command line. The settings are made
// as on the System page (so --save keeps them in the project); the figures
// come from the same functions as the page's.

#include "cli/command_line.h"

#include <QCommandLineOption>
#include <QJsonObject>
#include <QString>
#include <QStringList>

class QCommandLineParser;

namespace kvx {
class FrmKvx;
}

namespace kvx::cli {

class CliPlatform;

QString systemDescription();

// The options of the system settings.
struct SystemOptionSet {
    SystemOptionSet();
    QCommandLineOption ambient;
    QCommandLineOption above;
    QCommandLineOption amplifier;
    QCommandLineOption cableLength;
    QCommandLineOption crossSection;
    QCommandLineOption spread;
    QCommandLineOption dropLimit;

    void addTo(QCommandLineParser& parser) const;
    // Throws UsageError for a value that is not a number.
    void read(const QCommandLineParser& parser, SystemOptions& options) const;
};

// Puts the given settings into the project's, as the System page does.
void applySystemOptions(const SystemOptions& options, FrmKvx& window);

// The figures of the window's design; their problems with the settings as
// messages ("title: text" lines on standard error, in "messages" of JSON).
QStringList systemProblems(const FrmKvx& window);
QString systemLines(const FrmKvx& window);
QJsonObject systemJson(const FrmKvx& window, const CliPlatform& platform);

} // namespace kvx::cli
