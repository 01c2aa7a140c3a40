#pragma once

// kvx-cli speech: calc, then the STI estimate of the calculated design over
// the listener area of one coverage map (--margin, --samples), with the
// settings of the project and of the command line. The settings are made as
// on the Speech page (so --save keeps them in the project); the figures come
// from the same functions as the page's.

#include "cli/command_line.h"

#include <QStringList>

namespace kvx {
class FrmKvx;
}

namespace kvx::cli {

class CliPlatform;

// Parses the arguments after "speech": calc's, and the settings. Throws UsageError.
Invocation parseSpeech(const QStringList& rest);

// Puts the given settings into the project's, as the Speech page does.
void applySpeechOptions(const Invocation& invocation, FrmKvx& window);

// Prints the estimate of the window's design, plain or as JSON, its problems
// as messages ("title: text" on standard error, in "messages" of JSON), and
// returns the exit status: status (calc's), or 1 when the estimate gave a message.
int printSpeech(const Invocation& invocation, const FrmKvx& window, const CliPlatform& platform,
                int status);

} // namespace kvx::cli
