#include "cli/command_line.h"

#include "cli/console.h"
#include "cli/plan_command.h"
#include "cli/speech_command.h"
#include "cli/system_command.h"
#include "core/base/ini_file.h"
#include "core/base/string_table.h"
#include "core/report/report_content.h"

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cmath>
#include <utility>

namespace kvx::cli {

namespace {

const QString kProgram = QStringLiteral("kvx-cli");
const QString kCommands = QStringLiteral("calc|plan|system|speech|report|building|catalogue");
// The languages with texts, by the names the configuration file stores.
QStringList languagesWithTexts() {
    QStringList names;
    for (const LanguageName& language : kLanguageNames) {
        if (language.hasTexts)
            names << QLatin1String(language.name);
    }
    return names;
}
constexpr int kMaxSliderPosition = 120;

QString topHelp() {
    return QStringLiteral(
               "kvx-cli %1: KVX from the command line. Every command runs the same handlers as\n"
               "the KVX window, so its results are the window's results.\n"
               "\n"
               "Usage:\n"
               "  kvx-cli calc [PROJECT.kvx] [inputs] [--save PATH] [--report PATH]\n"
               "  kvx-cli plan [PROJECT.kvx] [inputs] [--margin M] [--samples m] [-o OUT]\n"
               "  kvx-cli system [PROJECT.kvx] [inputs] [--ambient dB] [--above dB]\n"
               "      [--amplifier W] [--cable-length m] [--cross-section 1.5|14AWG] [--spread]\n"
               "      [--drop-limit dB] [--margin M] [--save PATH]\n"
               "  kvx-cli speech [PROJECT.kvx] [inputs] --reverberation T [--ambient dB]\n"
               "      [--target STI] [--margin M] [--samples m] [--save PATH]\n"
               "  kvx-cli report PROJECT.kvx -o OUT [--date YYYY-MM-DD] [--page-width W]\n"
               "  kvx-cli building FILE.kvxb|ROOMS.csv [-o OUT.kvxb|.csv] [--bom OUT.csv]\n"
               "  kvx-cli catalogue list FILE.lsp [--json]\n"
               "  kvx-cli catalogue build IN.csv -o OUT.lsp\n"
               "  kvx-cli COMMAND --help     the options of a command\n"
               "  kvx-cli --version\n"
               "\n"
               "Common options of every command, before or after it:\n"
               "  --data-dir DIR    the folder that plays the program's folder (Kvx.ini and the\n"
               "                    *.lsp files); default: as the window finds them, its own\n"
               "                    folder when portable, else ~/.config/kvx for Kvx.ini and\n"
               "                    ~/.local/share/kvx, then the installed data folders, for\n"
               "                    the catalogues. Kvx.ini is read, never written\n"
               "  --language NAME   the language of every message and result text: English,\n"
               "                    Dutch, French, Italian or German; default: the Language\n"
               "                    of Kvx.ini, else English. The help is English in every\n"
               "                    language\n"
               "  --locale NAME     number locale of shown numbers (C, en_US, nl_NL, ...);\n"
               "                    default: the system locale\n"
               "  --json            machine-readable output (lengths always in metres)\n"
               "  --units metric|imperial\n"
               "                    lengths read and shown in metres or feet; default: the\n"
               "                    Units of Kvx.ini, else metric\n"
               "  --overwrite       let -o, --report and --bom replace a file that holds a\n"
               "                    KVX project or building (default: refuse, exit 2)\n"
               "\n"
               "Exit status: 0 done; 1 a message box was shown (an input refused, a calculation\n"
               "that failed); 2 a wrong command line, or a file that cannot be read or written.\n")
        .arg(QStringLiteral(KVX_VERSION));
}

} // namespace

CommonOptions::CommonOptions(const QString& jsonMeaning)
    : help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Shows this help."))
    , dataDir(QStringLiteral("data-dir"),
              QStringLiteral("The folder that plays the program's folder: Kvx.ini and the *.lsp "
                             "files (default: the user's configuration and data folders of an "
                             "installed kvx-cli, else its own folder). Kvx.ini is read, never "
                             "written."),
              QStringLiteral("DIR"))
    , language(QStringLiteral("language"),
               QStringLiteral("The language of every message: English, Dutch, French, Italian "
                              "or German (default: the Language of Kvx.ini, else English). The "
                              "help is English in every language."),
               QStringLiteral("NAME"))
    , locale(QStringLiteral("locale"),
             QStringLiteral("Number locale of shown numbers, e.g. C, en_US, nl_NL (default: the "
                            "system locale)."),
             QStringLiteral("NAME"))
    , json(QStringLiteral("json"), jsonMeaning)
    , units(QStringLiteral("units"),
            QStringLiteral("Lengths read and shown in metric (metres) or imperial (feet) units; "
                           "--json stays in metres (default: the Units of Kvx.ini, else metric)."),
            QStringLiteral("metric|imperial"))
    , overwrite(QStringLiteral("overwrite"),
                QStringLiteral("Lets -o, --report and --bom replace a file that holds a KVX "
                               "project or building, or the file read (default: refuse).")) {}

void CommonOptions::addTo(QCommandLineParser& parser) const {
    parser.addOptions({help, dataDir, language, locale, json, units, overwrite});
}

void CommonOptions::read(const QCommandLineParser& parser, Invocation& invocation) const {
    if (parser.isSet(dataDir)) {
        // An empty name would make the current folder the program's folder.
        if (parser.value(dataDir).isEmpty())
            throw UsageError{QStringLiteral("--data-dir"), CliText::NoValue, {}};
        invocation.dataDir = parser.value(dataDir);
    }
    if (parser.isSet(language)) {
        const QString name = parser.value(language);
        const QStringList languages = languagesWithTexts();
        auto known = std::find_if(languages.begin(), languages.end(), [&](const QString& l) {
            return l.compare(name, Qt::CaseInsensitive) == 0;
        });
        if (known == languages.end())
            throw UsageError{QStringLiteral("--language"),
                             CliText::NotOneOf,
                             {name, languages.join(QStringLiteral(", "))}};
        invocation.language = *known;
    }
    if (parser.isSet(locale)) {
        const QString name = parser.value(locale);
        const QLocale chosen(name);
        const bool isC = name == QLatin1String("C") || name == QLatin1String("POSIX");
        if (chosen.language() == QLocale::C && !isC)
            throw UsageError{{}, CliText::NotAValueFor, {name, QStringLiteral("--locale")}};
        invocation.locale = chosen;
    }
    invocation.json = parser.isSet(json);
    invocation.overwrite = parser.isSet(overwrite);
    if (parser.isSet(units)) {
        const QString name = parser.value(units);
        invocation.units = readUnits(name);
        if (!invocation.units)
            throw UsageError{QStringLiteral("--units"),
                             CliText::NotOneOf,
                             {name, QStringLiteral("metric, imperial")}};
    }
}

std::optional<double> readLengthOption(const QString& text, const Invocation& invocation) {
    if (const std::optional<double> number = readNumber(text))
        return number;
    if (invocation.units != Units::Imperial || text.trimmed().isEmpty())
        return std::nullopt;
    const LengthReading length = readLength(text, Units::Imperial);
    if (!length.ok())
        return std::nullopt;
    return metresToFeet(length.metres);
}

QJsonObject withUnits(QJsonObject json, const Invocation& invocation, Units shown) {
    if (invocation.units || shown != Units::Metric)
        json.insert(QStringLiteral("units"), unitsOptionText(shown));
    return json;
}

QString UsageError::message() const {
    const QString text = filled(said(textId), values);
    return subject.isEmpty() ? text : subject + QStringLiteral(": ") + text;
}

ProgramFolders programFolders(const Invocation& invocation) {
    if (invocation.dataDir)
        return {*invocation.dataDir, std::nullopt};
    return locateProgramFolders(QCoreApplication::applicationDirPath());
}

namespace {

// The report's options, shared by report and calc --report.
struct ReportOptions {
    QCommandLineOption date{QStringLiteral("date"),
                            QStringLiteral("The date printed in the report's header "
                                           "(default: today)."),
                            QStringLiteral("YYYY-MM-DD")};
    QCommandLineOption pageWidth{QStringLiteral("page-width"),
                                 QStringLiteral("The page width in character units of 1/12 inch "
                                                "(default: the default printer's, else an A4 "
                                                "page)."),
                                 QStringLiteral("W")};

    void addTo(QCommandLineParser& parser) const { parser.addOptions({date, pageWidth}); }

    void read(const QCommandLineParser& parser, Invocation& invocation) const {
        if (parser.isSet(date)) {
            const QString text = parser.value(date);
            const QDate day = QDate::fromString(text, Qt::ISODate);
            if (text.size() != 10 || !day.isValid())
                throw UsageError{
                    {}, CliText::NotAValueFor, {text, QStringLiteral("--date YYYY-MM-DD")}};
            invocation.date = day;
        }
        if (parser.isSet(pageWidth)) {
            const QString text = parser.value(pageWidth);
            const std::optional<double> width = readNumber(text);
            if (!width)
                throw UsageError{QStringLiteral("--page-width"), CliText::NotANumber, {text}};
            if (*width <= 0 || *width > kMaxPageWidth)
                throw UsageError{QStringLiteral("--page-width"),
                                 CliText::OutOfRangeAbove,
                                 {text, QStringLiteral("0"), QString::number(kMaxPageWidth)}};
            invocation.pageWidth = width;
        }
    }
};

const QCommandLineOption& versionOption() {
    static const QCommandLineOption option(QStringLiteral("version"),
                                           QStringLiteral("Shows the version."));
    return option;
}

QString commandHelp(const QCommandLineParser& parser, const QString& command) {
    QString text = parser.helpText();
    text.replace(QStringLiteral("<executable_name>"), kProgram + u' ' + command);
    return text;
}

// The parser's own complaint in the run's words: an unknown option, a value
// missing after an option or given to a flag.
UsageError parserError(const QCommandLineParser& parser, const QString& command) {
    const QStringList unknown = parser.unknownOptionNames();
    if (!unknown.isEmpty()) {
        const QString name = unknown.constFirst();
        return {{},
                CliText::NotAnOption,
                {(name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name,
                 kProgram + u' ' + command}};
    }
    // Qt words the rest itself: "Missing value after '--x'." or "Unexpected
    // value after '--x=1'."; the option is between the quotes.
    const QString text = parser.errorText();
    const qsizetype from = text.indexOf(u'\'');
    const qsizetype to = text.lastIndexOf(u'\'');
    QString option = from >= 0 && to > from ? text.mid(from + 1, to - from - 1) : text;
    if (text.startsWith(QLatin1String("Unexpected value")))
        return {command, CliText::TakesNoValue, {option.section(u'=', 0, 0)}};
    return {command, CliText::NeedsValue, {option}};
}

// Parses the arguments after the command word(s). False when help or the
// version was asked for instead.
bool parse(QCommandLineParser& parser, const QStringList& rest, const QString& command,
           const QCommandLineOption& help, Invocation& invocation) {
    parser.addOption(versionOption());
    if (!parser.parse(QStringList{kProgram} + rest))
        throw parserError(parser, command);
    if (parser.isSet(help)) {
        invocation.command = Invocation::Command::Help;
        invocation.helpText = commandHelp(parser, command);
        return false;
    }
    if (parser.isSet(versionOption())) {
        invocation.command = Invocation::Command::Version;
        return false;
    }
    return true;
}

// The file arguments. An empty one (a script's unset variable) names no file:
// read as none, calc would start a new project and report would write its
// report, both as if all went well.
QStringList fileArguments(const QCommandLineParser& parser, const QString& command,
                          const QString& usage) {
    const QStringList files = parser.positionalArguments();
    if (files.contains(QString()))
        throw UsageError{command, CliText::Expected, {usage}};
    return files;
}

} // namespace

OptionRow inputOption(const char* name, const char* description, const char* valueName,
                      std::optional<QString> ProjectInputs::*input) {
    return {{QString::fromLatin1(name)},
            QString::fromUtf8(description),
            QString::fromLatin1(valueName),
            [input](const QString& value, Invocation& invocation) {
                invocation.inputs.*input = value;
            }};
}

namespace {

// A path for a file calc writes: never empty.
OptionRow pathOption(const char* name, const char* description,
                     std::optional<QString> Invocation::*path) {
    return {
        {QString::fromLatin1(name)},
        QString::fromUtf8(description),
        QStringLiteral("PATH"),
        [name, path](const QString& value, Invocation& invocation) {
            if (value.isEmpty())
                throw UsageError{QStringLiteral("--") + QLatin1String(name), CliText::NoValue, {}};
            invocation.*path = value;
        }};
}

// calc's own options, in the order a user would make the inputs.
OptionTable calcOptions() {
    using P = ProjectInputs;
    return {
        inputOption("description", "Types the project description.", "TEXT", &P::description),
        inputOption("type",
                    "Picks the loudspeaker type NAME of the catalogue; \"user\" picks the user "
                    "type.",
                    "NAME", &P::type),
        inputOption("angle1", "Types the opening angle at 1 kHz (picks the user type first).", "X",
                    &P::angle1),
        inputOption("angle4", "Types the opening angle at 4 kHz (picks the user type first).", "X",
                    &P::angle4),
        inputOption("sensitivity", "Types the sensitivity (picks the user type first).", "X",
                    &P::sensitivity),
        inputOption("rated-power", "Types the rated power (picks the user type first).", "X",
                    &P::ratedPower),
        inputOption("length", "Types the room length.", "X", &P::length),
        inputOption("width", "Types the room width.", "X", &P::width),
        inputOption("height", "Types the mounting height.", "X", &P::height),
        inputOption("ear", "Types the ear height.", "X", &P::ear),
        inputOption("tap", "Picks the speaker tap: 1/1, 1/2, 1/4 or the item's text.", "T",
                    &P::tap),
        inputOption("line", "Picks the amplifier tap: 100, 70, 50 or the item's text.", "V",
                    &P::line),
        {{QStringLiteral("difference")},
         QStringLiteral("Moves the slider to X dB, 0 to 12 in steps of 0.1."),
         QStringLiteral("X"),
         [](const QString& typed, Invocation& invocation) {
             const std::optional<double> level = readNumber(typed);
             const double position = level ? std::round(*level * 10) : -1;
             if (!level)
                 throw UsageError{QStringLiteral("--difference"), CliText::NotANumber, {typed}};
             if (position < 0 || position > kMaxSliderPosition)
                 throw UsageError{QStringLiteral("--difference"),
                                  CliText::OutOfRange,
                                  {typed, QStringLiteral("0"), QStringLiteral("12")}};
             invocation.inputs.difference = int(position);
         }},
        {{QStringLiteral("pattern")},
         QStringLiteral("Picks how the loudspeakers hang: square (a square grid, the default) or "
                        "offset (every other row shifted by half a spacing)."),
         QStringLiteral("square|offset"),
         [](const QString& typed, Invocation& invocation) {
             invocation.inputs.pattern = patternFromToken(typed);
             if (!invocation.inputs.pattern)
                 throw UsageError{QStringLiteral("--pattern"),
                                  CliText::NotOneOf,
                                  {typed, QStringLiteral("square, offset")}};
         }},
        {{QStringLiteral("fit")},
         QStringLiteral("Picks how the rows are fitted into the room: nearest (the nearest whole "
                        "count, the default) or spacing (rounded up, never wider than the "
                        "calculated spacing)."),
         QStringLiteral("nearest|spacing"),
         [](const QString& typed, Invocation& invocation) {
             invocation.inputs.fit = fitFromToken(typed);
             if (!invocation.inputs.fit)
                 throw UsageError{QStringLiteral("--fit"),
                                  CliText::NotOneOf,
                                  {typed, QStringLiteral("nearest, spacing")}};
         }},
        pathOption("save", "Saves the project to PATH, as Save As does.", &Invocation::savePath),
        pathOption("report", "Writes the report to PATH: a PDF when it ends in .pdf, else text.",
                   &Invocation::reportPath),
    };
}

QCommandLineOption commandLineOption(const OptionRow& row) {
    return row.valueName.isEmpty() ? QCommandLineOption(row.names, row.description)
                                   : QCommandLineOption(row.names, row.description, row.valueName);
}

// Adds the rows' options to the parser; the options in the rows' order.
QList<QCommandLineOption> addRows(QCommandLineParser& parser, const OptionTable& rows) {
    QList<QCommandLineOption> options;
    for (const OptionRow& row : rows)
        options << commandLineOption(row);
    parser.addOptions(options);
    return options;
}

void readRows(const QCommandLineParser& parser, const OptionTable& rows,
              const QList<QCommandLineOption>& options, Invocation& invocation) {
    for (qsizetype i = 0; i < options.size(); ++i) {
        if (parser.isSet(options[i]))
            rows[size_t(i)].read(parser.value(options[i]), invocation);
    }
}

} // namespace

Invocation parseCalcLike(const QStringList& rest, const CalcLikeCommand& command) {
    Invocation invocation;
    invocation.command = command.command;
    QCommandLineParser parser;
    parser.setApplicationDescription(command.description);
    parser.addPositionalArgument(QStringLiteral("project"),
                                 QStringLiteral("A project file to open first."),
                                 QStringLiteral("[PROJECT.kvx]"));
    const CommonOptions common;
    common.addTo(parser);
    const OptionTable calc = calcOptions();
    const QList<QCommandLineOption> calcParsed = addRows(parser, calc);
    const ReportOptions reportOptions;
    reportOptions.addTo(parser);
    const QList<QCommandLineOption> commandParsed = addRows(parser, command.options);

    if (!parse(parser, rest, command.name, common.help, invocation))
        return invocation;
    common.read(parser, invocation);
    reportOptions.read(parser, invocation);
    readRows(parser, command.options, commandParsed, invocation);

    const QString usage = QStringLiteral("[PROJECT.kvx]");
    const QStringList files = fileArguments(parser, command.name, usage);
    if (files.size() > 1)
        throw UsageError{command.name, CliText::Expected, {usage}};
    invocation.file = files.value(0);
    readRows(parser, calc, calcParsed, invocation);
    return invocation;
}

namespace {

Invocation parseCalc(const QStringList& rest) {
    CalcLikeCommand calc;
    calc.name = QStringLiteral("calc");
    calc.description =
        QStringLiteral("Starts a new project (or opens PROJECT), applies the inputs in the order "
                       "listed, each as a user would in the window, presses Calculate once and "
                       "prints the results; then saves and writes the report if asked.");
    return parseCalcLike(rest, calc);
}

Invocation parseReport(const QStringList& rest) {
    Invocation invocation;
    invocation.command = Invocation::Command::Report;
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Opens PROJECT as the window does, which recalculates, and writes its "
                       "report: a PDF when OUT ends in .pdf, else the text-file report."));
    parser.addPositionalArgument(QStringLiteral("project"), QStringLiteral("The project file."),
                                 QStringLiteral("PROJECT.kvx"));
    const CommonOptions common;
    common.addTo(parser);
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The report file to write."),
                                    QStringLiteral("OUT"));
    parser.addOption(output);
    const ReportOptions reportOptions;
    reportOptions.addTo(parser);

    if (!parse(parser, rest, QStringLiteral("report"), common.help, invocation))
        return invocation;
    common.read(parser, invocation);
    reportOptions.read(parser, invocation);

    const QString command = QStringLiteral("report");
    const QString usage = QStringLiteral("PROJECT.kvx -o OUT");
    const QStringList files = fileArguments(parser, command, usage);
    if (files.size() != 1)
        throw UsageError{command, CliText::Expected, {usage}};
    invocation.file = files.constFirst();
    invocation.output = parser.value(output);
    if (invocation.output.isEmpty())
        throw UsageError{command, CliText::Expected, {usage}};
    invocation.reportPath = invocation.output;
    return invocation;
}

Invocation parseBuilding(const QStringList& rest) {
    Invocation invocation;
    invocation.command = Invocation::Command::Building;
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Reads a building (FILE.kvxb) or a room list (ROOMS.csv, its types from the catalogue "
        "of Kvx.ini) and works out every room as a project with its inputs would be, each zone's "
        "amplifier and home run, and the bill of materials. Prints a line per room, one "
        "per zone, then the bill; --json gives every figure unrounded. Exit status 1 when a "
        "room cannot be calculated (it shows why and counts in no total)."));
    parser.addPositionalArgument(QStringLiteral("file"),
                                 QStringLiteral("The building, or a room list (.csv)."),
                                 QStringLiteral("FILE.kvxb|ROOMS.csv"));
    const CommonOptions common;
    common.addTo(parser);
    const QCommandLineOption output(
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("Writes the building (.kvxb, complete or not at all) or the rooms with "
                       "their figures (.csv, the room list's columns and then the figures). A "
                       "schedule PDF comes from the building window."),
        QStringLiteral("OUT"));
    const QCommandLineOption bom(QStringLiteral("bom"),
                                 QStringLiteral("Writes the bill of materials as CSV."),
                                 QStringLiteral("OUT.csv"));
    parser.addOptions({output, bom});

    const QString command = QStringLiteral("building");
    if (!parse(parser, rest, command, common.help, invocation))
        return invocation;
    common.read(parser, invocation);
    const QString usage = QStringLiteral("FILE.kvxb|ROOMS.csv");
    const QStringList files = fileArguments(parser, command, usage);
    if (files.size() != 1)
        throw UsageError{command, CliText::Expected, {usage}};
    invocation.file = files.constFirst();
    if (parser.isSet(output)) {
        invocation.output = parser.value(output);
        const QString suffix = QFileInfo(invocation.output).suffix().toLower();
        // A schedule PDF comes from the building window only.
        if (suffix != QLatin1String("kvxb") && suffix != QLatin1String("csv"))
            throw UsageError{
                QStringLiteral("-o"), CliText::Expected, {QStringLiteral("OUT.kvxb|OUT.csv")}};
    }
    if (parser.isSet(bom)) {
        invocation.bomPath = parser.value(bom);
        if (invocation.bomPath->isEmpty())
            throw UsageError{QStringLiteral("--bom"), CliText::NoValue, {}};
        if (!invocation.output.isEmpty() && QFileInfo(*invocation.bomPath).absoluteFilePath() ==
                                                QFileInfo(invocation.output).absoluteFilePath())
            throw UsageError{
                {}, CliText::SameFile, {QStringLiteral("--bom"), QStringLiteral("-o")}};
    }
    return invocation;
}

Invocation parseCatalogue(const QStringList& rest) {
    const QString action = rest.value(0);
    // Help is there on every command, this one's two included.
    if (action == QLatin1String("-h") || action == QLatin1String("--help")) {
        Invocation invocation;
        invocation.command = Invocation::Command::Help;
        invocation.helpText = QStringLiteral(
            "Usage:\n"
            "  kvx-cli catalogue list FILE.lsp [--json]\n"
            "      prints every whole record of a loudspeaker data file as CSV\n"
            "  kvx-cli catalogue build IN.csv -o OUT.lsp\n"
            "      writes a loudspeaker data file from CSV, only when every row is good\n"
            "  kvx-cli catalogue list --help, kvx-cli catalogue build --help\n"
            "      the options of each\n");
        return invocation;
    }
    const bool list = action == QLatin1String("list");
    if (!list && action != QLatin1String("build"))
        throw action.isEmpty() || action.startsWith(u'-')
            ? UsageError{QStringLiteral("catalogue"),
                         CliText::Expected,
                         {QStringLiteral("list|build")}}
            : UsageError{QStringLiteral("catalogue"),
                         CliText::NotOneOf,
                         {action, QStringLiteral("list, build")}};
    const QString command = QStringLiteral("catalogue ") + action;

    Invocation invocation;
    invocation.command =
        list ? Invocation::Command::CatalogueList : Invocation::Command::CatalogueBuild;
    QCommandLineParser parser;
    // Accepted by both, as by every command; --language and --locale change
    // nothing here, and build writes no more than its summary.
    const CommonOptions common(list ? QStringLiteral("An array of objects instead of CSV.")
                                    : QStringLiteral("Accepted; build has no other output."));
    common.addTo(parser);
    const QCommandLineOption output({QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The loudspeaker data file to write."),
                                    QStringLiteral("OUT.lsp"));
    if (list) {
        parser.setApplicationDescription(
            QStringLiteral("Prints every whole record of a loudspeaker data file as CSV with the "
                           "header name,angle1,angle4,sensitivity,rated_power."));
        parser.addPositionalArgument(QStringLiteral("file"),
                                     QStringLiteral("The loudspeaker data file; a bare "
                                                    "name not found here is looked for in "
                                                    "the catalogue folders."),
                                     QStringLiteral("FILE.lsp"));
    } else {
        parser.setApplicationDescription(
            QStringLiteral("Writes a loudspeaker data file from CSV with the header "
                           "name,angle1,angle4,sensitivity,rated_power (UTF-8). Every row is "
                           "checked; with any bad row nothing is written."));
        parser.addPositionalArgument(QStringLiteral("csv"), QStringLiteral("The CSV file."),
                                     QStringLiteral("IN.csv"));
        parser.addOption(output);
    }

    if (!parse(parser, rest.mid(1), command, common.help, invocation))
        return invocation;
    common.read(parser, invocation);
    const QString usage = list ? QStringLiteral("FILE.lsp") : QStringLiteral("IN.csv -o OUT.lsp");
    const QStringList files = fileArguments(parser, command, usage);
    if (files.size() != 1)
        throw UsageError{command, CliText::Expected, {usage}};
    invocation.file = files.constFirst();
    if (!list) {
        invocation.output = parser.value(output);
        if (invocation.output.isEmpty())
            throw UsageError{command, CliText::Expected, {usage}};
    }
    return invocation;
}

} // namespace

namespace {

// The common options given before the command word go after the command's
// own arguments, where every command's parser reads them: common options
// are taken before or after the command.
QStringList commonOptionsAfterCommand(const QStringList& arguments) {
    static const QStringList withValue = {QStringLiteral("--data-dir"),
                                          QStringLiteral("--language"), QStringLiteral("--locale"),
                                          QStringLiteral("--units")};
    static const QStringList flags = {QStringLiteral("--json"), QStringLiteral("--overwrite")};
    QStringList leading;
    qsizetype i = 0;
    for (; i < arguments.size(); ++i) {
        const QString& word = arguments[i];
        const QString name = word.section(u'=', 0, 0);
        if (flags.contains(word)) {
            leading << word;
        } else if (withValue.contains(name)) {
            leading << word;
            if (!word.contains(u'=') && i + 1 < arguments.size())
                leading << arguments[++i];
        } else {
            break;
        }
    }
    // Nothing but common options (or a help or version word first): as given.
    if (leading.isEmpty() || i >= arguments.size())
        return arguments;
    // Right after the command word (and the catalogue's action), not at the
    // end: a last option that lacks its value must not take them as its value.
    qsizetype words = 1;
    if (arguments[i] == QLatin1String("catalogue") && i + 1 < arguments.size() &&
        !arguments[i + 1].startsWith(u'-'))
        words = 2;
    return arguments.mid(i, words) + leading + arguments.mid(i + words);
}

} // namespace

Invocation parseCommandLine(const QStringList& arguments) {
    const QStringList rest = commonOptionsAfterCommand(arguments.mid(1));
    const QString command = rest.value(0);
    if (command.isEmpty())
        throw UsageError{{}, CliText::Expected, {kCommands}};
    if (command == QLatin1String("-h") || command == QLatin1String("--help") ||
        command == QLatin1String("help")) {
        Invocation invocation;
        invocation.command = Invocation::Command::Help;
        invocation.helpText = topHelp();
        return invocation;
    }
    if (command == QLatin1String("--version")) {
        Invocation invocation;
        invocation.command = Invocation::Command::Version;
        return invocation;
    }
    if (command == QLatin1String("calc"))
        return parseCalc(rest.mid(1));
    if (command == QLatin1String("plan"))
        return parsePlan(rest.mid(1));
    if (command == QLatin1String("system"))
        return parseSystem(rest.mid(1));
    if (command == QLatin1String("speech"))
        return parseSpeech(rest.mid(1));
    if (command == QLatin1String("report"))
        return parseReport(rest.mid(1));
    if (command == QLatin1String("catalogue"))
        return parseCatalogue(rest.mid(1));
    if (command == QLatin1String("building"))
        return parseBuilding(rest.mid(1));
    // Nothing but options: no command given, before or after them.
    if (command.startsWith(u'-'))
        throw UsageError{{}, CliText::Expected, {kCommands}};
    throw UsageError{
        {}, CliText::NotOneOf, {command, QString(kCommands).replace(u'|', QStringLiteral(", "))}};
}

QString configurationFile(const ProgramFolders& folders) {
    return QDir(folders.installed ? folders.installed->configFolder : folders.programFolder)
        .filePath(Configuration::FileName);
}

int languageOfRun(const Invocation& invocation) {
    if (invocation.language)
        return languageOffsetOf(*invocation.language);
    const QString ini = configurationFile(programFolders(invocation));
    return languageOffsetOf(
        ReadIniValue(Configuration::LanguageSection, Configuration::LanguageKey, ini)
            .value_or(QString()));
}

Invocation languageOptionsOf(const QStringList& arguments) {
    Invocation invocation;
    const auto valueOf = [&](qsizetype& i, const QString& option) -> std::optional<QString> {
        const QString& word = arguments[i];
        if (word.startsWith(option + u'='))
            return word.mid(option.size() + 1);
        if (word == option && i + 1 < arguments.size())
            return arguments[++i];
        return std::nullopt;
    };
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        if (const std::optional<QString> name = valueOf(i, QStringLiteral("--language"))) {
            for (const QString& known : languagesWithTexts())
                if (known.compare(*name, Qt::CaseInsensitive) == 0)
                    invocation.language = known;
        } else if (const std::optional<QString> folder = valueOf(i, QStringLiteral("--data-dir"));
                   folder && !folder->isEmpty()) {
            invocation.dataDir = folder;
        }
    }
    return invocation;
}

QString usageHint() {
    return said(CliText::TryHelp).arg(QStringLiteral("kvx-cli --help"));
}

} // namespace kvx::cli
