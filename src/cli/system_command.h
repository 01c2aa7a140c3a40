#pragma once

// kvx-cli system: calc, then the system figures of the calculated design with
// the settings of the project and of the command line. The settings are made
// as on the System page (so --save keeps them in the project); the figures
// come from the same functions as the page's.

#include "cli/command_line.h"
#include "core/system/system.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

namespace kvx {
class FrmKvx;
}

namespace kvx::cli {

class CliPlatform;

// Parses the arguments after "system": calc's, and the settings. Throws UsageError.
Invocation parseSystem(const QStringList& rest);

// Puts the given settings into the project's, as the System page does.
void applySystemOptions(const SystemOptions& options, FrmKvx& window);

// The figures of the window's design; their problems with the settings as
// messages ("title: text" lines on standard error, in "messages" of JSON).
QStringList systemProblems(const FrmKvx& window);
QString systemLines(const FrmKvx& window);
QJsonObject systemJson(const FrmKvx& window, const CliPlatform& platform);

// The states as JSON gives them: fine, tight, overloaded; green, amber, red.
QString amplifierStateName(AmplifierState state);
QString dropStateName(DropState state);

} // namespace kvx::cli
