#pragma once

// What kvx-cli was asked to do: the command, its file arguments and options,
// read with QCommandLineParser and checked before anything runs. The common
// options may come before the command word; the command's own come after it:
//   kvx-cli calc [PROJECT.kvx] [inputs] [--save PATH] [--report PATH]
//   kvx-cli plan [PROJECT.kvx] [inputs] [--margin M] [--samples m] [-o OUT]
//   kvx-cli system [PROJECT.kvx] [inputs] [system settings] [--margin M] [--save PATH]
//   kvx-cli speech [PROJECT.kvx] [inputs] --reverberation T [speech settings] [--save PATH]
//   kvx-cli report PROJECT.kvx -o OUT [--date YYYY-MM-DD] [--page-width W]
//   kvx-cli building FILE.kvxb|ROOMS.csv [-o OUT.kvxb|.csv] [--bom OUT.csv]
//   kvx-cli catalogue list FILE.lsp [--json]
//   kvx-cli catalogue build IN.csv -o OUT.lsp

#include "core/base/numbers.h"
#include "core/base/program_folders.h"
#include "core/base/units.h"
#include "core/calc/pattern.h"

#include <QCommandLineOption>
#include <QDate>
#include <QJsonObject>
#include <QLocale>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

class QCommandLineParser;

namespace kvx::cli {

// Exit statuses.
namespace Exit {
constexpr int Success = 0;
// A message box was shown: an input refused, the solver gave up, a calculation error.
constexpr int MessageShown = 1;
// A wrong command line, or a file that cannot be read or written.
constexpr int Failure = 2;
} // namespace Exit

// A command line that cannot be run: a text of the string table (English id)
// with the values of its %1, %2..., about an option or a command (subject,
// may be empty). Worded only when shown, in the run's language, which the
// command line being read may itself choose.
struct UsageError {
    QString subject;
    int textId = 0;
    QStringList values;

    // "subject: text" in the run's language (console.h).
    QString message() const;
};

// The project inputs, applied in this order as a user would make them.
struct ProjectInputs {
    std::optional<QString> description;
    std::optional<QString> type;
    std::optional<QString> angle1;
    std::optional<QString> angle4;
    std::optional<QString> sensitivity;
    std::optional<QString> ratedPower;
    std::optional<QString> length;
    std::optional<QString> width;
    std::optional<QString> height;
    std::optional<QString> ear;
    std::optional<QString> tap;
    std::optional<QString> line;
    std::optional<int> difference; // slider position, tenths of a dB
    std::optional<Pattern> pattern;
    std::optional<Fit> fit;

    bool touchesLoudspeaker() const { return angle1 || angle4 || sensitivity || ratedPower; }
};

// The system settings of kvx-cli system, as given; checked by the figures.
struct SystemOptions {
    std::optional<double> ambient;
    std::optional<double> above;
    std::optional<double> amplifier;
    std::optional<double> cableLength;
    std::optional<QString> crossSection;
    bool spread = false;
    std::optional<double> dropLimit;
};

// The speech settings of kvx-cli speech, as given (the ambient noise is the
// system settings'); checked by the estimate.
struct SpeechOptions {
    std::optional<double> reverberation;
    std::optional<double> target;
};

struct Invocation {
    enum class Command {
        Help,
        Version,
        Calc,
        Report,
        CatalogueList,
        CatalogueBuild,
        Plan,
        System,
        Speech,
        Building
    };
    Command command = Command::Help;
    QString helpText; // Help

    // Common options.
    std::optional<QString> dataDir;
    std::optional<QString> language; // one of the five names, as Kvx.ini spells them
    std::optional<QLocale> locale;
    // --units: how lengths are read and shown; nothing for Kvx.ini's Units.
    std::optional<Units> units;
    bool json = false;
    // -o, --report and --bom may replace a project, a building or the file read.
    bool overwrite = false;

    QString file;   // the project (optional for calc), the data file, the CSV, or the building
    QString output; // -o of report, plan, building and catalogue build

    ProjectInputs inputs;
    std::optional<QString> savePath;
    std::optional<QString> reportPath; // calc --report; report -o
    std::optional<QDate> date;
    std::optional<double> pageWidth;

    // plan, system and speech: the listener area's margin, when given; it
    // becomes the project's, as the window's Coverage or System page sets it
    std::optional<double> margin;
    int samples = 0; // 0: the default

    // system, and the ambient noise of speech
    SystemOptions system;
    // speech
    SpeechOptions speech;

    // building
    std::optional<QString> bomPath;
};

// One option of a command, as a row of its table: its names (the long name
// first), its help line, the name of its value (empty for a flag), and what
// it does to the invocation when it is given (throws UsageError for a value
// that means nothing). A new option is one more row.
struct OptionRow {
    QStringList names;
    QString description;
    QString valueName;
    std::function<void(const QString& value, Invocation& invocation)> read;
};
using OptionTable = std::vector<OptionRow>;

// A row for an option whose value is typed or picked in the window as given.
OptionRow inputOption(const char* name, const char* description, const char* valueName,
                      std::optional<QString> ProjectInputs::*input);

// A command that runs calc's window session and then does more (plan): its
// name, its help's description and the options it adds to calc's, read after
// the common ones and before calc's own.
struct CalcLikeCommand {
    Invocation::Command command = Invocation::Command::Calc;
    QString name;
    QString description;
    OptionTable options;
};

// Parses the arguments after the command word as calc does, plus the command's own options.
Invocation parseCalcLike(const QStringList& rest, const CalcLikeCommand& command);

// The options that every command accepts: -h/--help, --data-dir, --language,
// --locale, --json, --units and --overwrite. A command's parser adds them with addTo and reads them
// back with read (which throws UsageError for a value that means nothing), so
// that a new command gets all of them by two calls.
struct CommonOptions {
    // jsonMeaning: what --json gives for this command.
    explicit CommonOptions(const QString& jsonMeaning = QStringLiteral("Machine-readable output."));

    QCommandLineOption help;
    QCommandLineOption dataDir;
    QCommandLineOption language;
    QCommandLineOption locale;
    QCommandLineOption json;
    QCommandLineOption units;
    QCommandLineOption overwrite;

    void addTo(QCommandLineParser& parser) const;
    void read(const QCommandLineParser& parser, Invocation& invocation) const;
};

// The folders a command reads Kvx.ini and the catalogues from: --data-dir as
// the folder of a portable program, else those of the installed or portable
// kvx-cli, found as the window finds its own. Needs the application object.
ProgramFolders programFolders(const Invocation& invocation);

// A length option's value in the units it is typed in: a number, or with
// --units imperial on the command line any form of a length in feet (9'6",
// 114"), given back in feet. Nothing for anything else.
std::optional<double> readLengthOption(const QString& text, const Invocation& invocation);

// A JSON output with its "units" key: the units the lengths were read and
// shown in, when imperial or named by --units (the numbers stay metres).
// Without --units a metric run's output is as it always was.
QJsonObject withUnits(QJsonObject json, const Invocation& invocation, Units shown);

// Reads the whole argument list (program name first). Throws UsageError.
Invocation parseCommandLine(const QStringList& arguments);

// The line that points at the help after a usage error.
QString usageHint();

// Kvx.ini in the folders a command reads.
QString configurationFile(const ProgramFolders& folders);
// The language of a run (a string-table offset): --language, else the
// Language of Kvx.ini, else English. Needs the application object.
int languageOfRun(const Invocation& invocation);
// The common options that choose the language, as far as a command line
// that cannot be read names them: --language (a known name only) and --data-dir.
Invocation languageOptionsOf(const QStringList& arguments);

} // namespace kvx::cli
