#include "cli/project_session.h"

#include "cli/cli_platform.h"
#include "cli/console.h"
#include "cli/output_guard.h"
#include "cli/plan_command.h"
#include "cli/print_support.h"
#include "cli/speech_command.h"
#include "cli/system_command.h"
#include "core/base/ini_file.h"
#include "core/base/kvx_error.h"
#include "core/plan/layout_texts.h"
#include "core/plan/plan_settings.h"
#include "core/project/project_settings.h"
#include "core/shell/program.h"
#include "core/system/system_texts.h"
#include "core/ui/main_window.h"
#include "core/ui/main_window/catalogue_selection.h"
#include "core/ui/main_window/report_commands.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryDir>

#include <exception>
#include <tuple>
#include <utility>

namespace kvx::cli {

namespace {

QString withoutPadding(QString text) {
    while (text.endsWith(u' '))
        text.chop(1);
    return text;
}

// The list entry that a command-line value names, or -1. An entry matches by
// its whole text or by any of the short forms that names() gives for it.
int pickIndex(const QStringList& items, const QString& value,
              const std::function<QStringList(const QString&)>& names) {
    for (qsizetype i = 0; i < items.size(); ++i) {
        if (items[i] == value || names(items[i]).contains(value.trimmed()))
            return int(i);
    }
    return -1;
}

// "1/2 P" is named "1/2" or "1/2 P".
QStringList tapNames(const QString& item) {
    const QString text = item.trimmed();
    QStringList names{text};
    if (text.endsWith(QLatin1String(" P")))
        names << text.chopped(2).trimmed();
    return names;
}

// " 70 V" is named "70", "70 V" or " 70 V".
QStringList lineNames(const QString& item) {
    const QString text = item.trimmed();
    QStringList names{text};
    if (text.endsWith(QLatin1String(" V")))
        names << text.chopped(2).trimmed();
    return names;
}

QString listOf(const QStringList& items) {
    QStringList quoted;
    for (const QString& item : items)
        quoted << u'"' + withoutPadding(item) + u'"';
    return quoted.join(QStringLiteral(", "));
}

} // namespace

ProjectSession::ProjectSession(const Invocation& invocation, CliPlatform& platform,
                               ProgramFolders folders)
    : m_invocation(invocation)
    , m_platform(platform)
    , m_folders(std::move(folders)) {}

QString ProjectSession::checkFiles() const {
    const QString cannotRead = said(CliText::CannotRead);
    if (!QFileInfo(m_folders.programFolder).isDir())
        return filled(cannotRead, {QDir::toNativeSeparators(m_folders.programFolder),
                                   said(CliText::NoSuchFile)});
    const QString& project = m_invocation.file;
    if (!project.isEmpty()) {
        QFile file(project);
        if (QFileInfo(project).isDir() || !file.open(QIODevice::ReadOnly))
            return filled(cannotRead, {project, whyUnreadable(project, file.errorString())});
    }
    return {};
}

QString ProjectSession::configurationFile(std::unique_ptr<QTemporaryDir>& scratch,
                                          QString& problem) const {
    const QString& section = Configuration::DataFileSection;
    const QString& key = Configuration::DataFileKey;
    const QString user =
        QDir(m_folders.installed ? m_folders.installed->configFolder : m_folders.programFolder)
            .filePath(Configuration::FileName);
    // As it is, the file is read and nothing more: the window writes it only on
    // a first start (no file), when another data file is picked, or when a
    // file dialog remembers its folder (--save, --report), and none of these
    // may touch the user's file.
    const bool writesFiles = m_invocation.savePath || m_invocation.reportPath;
    if (!m_invocation.language && !writesFiles && QFileInfo(user).isFile() &&
        ReadIniValue(section, key, user))
        return user;

    scratch = std::make_unique<QTemporaryDir>();
    if (!scratch->isValid()) {
        problem = filled(said(CliText::CannotWrite),
                         {QDir::toNativeSeparators(QDir::tempPath()), scratch->errorString()});
        return {};
    }
    QByteArray content;
    QFile userFile(user);
    if (userFile.exists()) {
        if (!userFile.open(QIODevice::ReadOnly)) {
            problem = filled(said(CliText::CannotRead),
                             {QDir::toNativeSeparators(user), userFile.errorString()});
            return {};
        }
        content = userFile.readAll();
    }
    const QString path = scratch->filePath(Configuration::FileName);
    QFile copy(path);
    bool written =
        copy.open(QIODevice::WriteOnly) && copy.write(content) == content.size() && copy.flush();
    copy.close();
    // What the first start of the window would have written, had it run here.
    if (written && !ReadIniValue(section, key, path))
        written = WriteIniValue(section, key, Configuration::DefaultDataFile, path);
    if (written && m_invocation.language)
        written = WriteIniValue(Configuration::LanguageSection, Configuration::LanguageKey,
                                *m_invocation.language, path);
    if (!written) {
        problem = filled(said(CliText::CannotWrite),
                         {QDir::toNativeSeparators(path), copy.errorString()});
        return {};
    }
    return path;
}

bool ProjectSession::act(const std::function<void()>& action) {
    if (m_platform.programEnded())
        return false;
    try {
        action();
    } catch (const ProgramEnded&) {
    } catch (const KvxError& e) {
        m_platform.messageBox(e.message(), MsgStyle::Critical, {});
    } catch (const std::exception& e) {
        m_platform.messageBox(QString::fromLocal8Bit(e.what()), MsgStyle::Critical, {});
    }
    return !m_platform.programEnded();
}

bool ProjectSession::applyInputs(FrmKvx& window) {
    const ProjectInputs& in = m_invocation.inputs;
    const QString userType = userTypeText(window.kvx);
    const int userIndex = int(window.lstLsp.items().lastIndexOf(userType));
    if (userIndex < 0 && (in.type || in.touchesLoudspeaker())) {
        complain(QStringLiteral("--type: ") +
                 filled(said(CliText::NotOneOf),
                        {QStringLiteral("user"), listOf(window.lstLsp.items())}));
        return false;
    }

    if (in.description) {
        act([&] {
            window.txtDescription.userFocus();
            window.txtDescription.userClick();
            window.txtDescription.userSetText(*in.description);
        });
    }
    if (in.type) {
        int index = -1;
        if (in.type->compare(QLatin1String("user"), Qt::CaseInsensitive) == 0 ||
            *in.type == userType) {
            index = userIndex;
        } else {
            const QStringList types = window.lstLsp.items().mid(0, userIndex);
            index = pickIndex(types, *in.type, [](const QString& item) {
                return QStringList{withoutPadding(item)};
            });
            if (index < 0) {
                complain(QStringLiteral("--type: ") +
                         filled(said(CliText::NotOneOf),
                                {*in.type, listOf(types) + QStringLiteral(", \"user\"")}));
                return false;
            }
        }
        act([&] { window.lstLsp.userPick(index); });
    }
    // The loudspeaker fields take typing only while the user type is chosen.
    if (in.touchesLoudspeaker() && window.lstLsp.text() != userType)
        act([&] { window.lstLsp.userPick(userIndex); });

    const std::pair<Control*, const std::optional<QString>*> fields[] = {
        {&window.txtAngle1, &in.angle1},           {&window.txtAngle4, &in.angle4},
        {&window.txtSensitivity, &in.sensitivity}, {&window.txtMaxPower, &in.ratedPower},
        {&window.txtRoomLength, &in.length},       {&window.txtRoomWidth, &in.width},
        {&window.txtRoomHeight, &in.height},       {&window.txtEarHeight, &in.ear},
    };
    for (const auto& entry : fields) {
        Control* field = entry.first;
        const std::optional<QString>& value = *entry.second;
        if (!value)
            continue;
        act([&] {
            field->userFocus();
            field->userSetText(*value);
        });
    }

    const std::tuple<Control*, const std::optional<QString>*, QStringList (*)(const QString&),
                     const char*>
        lists[] = {{&window.lstLspTap, &in.tap, tapNames, "--tap"},
                   {&window.lstAmpTap, &in.line, lineNames, "--line"}};
    for (const auto& [list, value, names, option] : lists) {
        if (!*value)
            continue;
        const int index = pickIndex(list->items(), **value, names);
        if (index < 0) {
            complain(QLatin1String(option) + QStringLiteral(": ") +
                     filled(said(CliText::NotOneOf), {**value, listOf(list->items())}));
            return false;
        }
        Control* box = list;
        act([box, index] {
            box->userFocus();
            box->userPick(index);
        });
    }

    if (in.difference)
        act([&] { window.DiffSet.userSetValue(*in.difference); });

    // The pattern and the fit are picked from their lists by name.
    const LocalTexts texts = window.kvx.localTexts();
    const std::pair<Control*, std::optional<QString>> layoutPicks[] = {
        {&window.lstPattern,
         in.pattern ? std::optional(patternName(*in.pattern, texts)) : std::nullopt},
        {&window.lstFit, in.fit ? std::optional(fitName(*in.fit, texts)) : std::nullopt},
    };
    for (const auto& [list, name] : layoutPicks) {
        if (!name)
            continue;
        Control* box = list;
        const int index = int(box->items().indexOf(*name));
        act([box, index] {
            box->userFocus();
            box->userPick(index);
        });
    }
    return true;
}

bool ProjectSession::writeFiles(FrmKvx& window) {
    bool ok = true;
    // A command whose dialog was answered failed when it had something to say.
    const auto run = [&](const QString& path, const std::function<void()>& command) {
        const qsizetype before = m_platform.messages().size();
        m_platform.answerNextSaveDialog(path);
        act(command);
        if (m_platform.messages().size() != before || !QFileInfo(path).isFile()) {
            complain(filled(said(CliText::NotWritten), {path}));
            ok = false;
        }
    };
    if (m_invocation.savePath)
        run(*m_invocation.savePath, [&] { window.mnuSaveAs_Click(); });
    if (m_invocation.reportPath && !m_platform.programEnded()) {
        const QString& path = *m_invocation.reportPath;
        // --overwrite is the user's Yes to the window's question.
        if (m_invocation.overwrite)
            m_platform.answerNextQuestion(MsgResult::Yes);
        if (path.endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive))
            run(path, [&] { window.mnuExportPdf_Click(); });
        else
            run(path, [&] { window.mnuPrintFile_Click(); });
    }
    return ok;
}

int ProjectSession::run() {
    if (const QString problem = checkFiles(); !problem.isEmpty()) {
        complain(problem);
        return Exit::Failure;
    }
    // Refused before anything runs, so that a refusal prints no results.
    for (const std::optional<QString>& output :
         {m_invocation.reportPath, std::optional(m_invocation.output)}) {
        if (output && !output->isEmpty() && !mayWriteOutput(*output, m_invocation))
            return Exit::Failure;
    }
    std::unique_ptr<QTemporaryDir> scratch;
    QString problem;
    const QString configuration = configurationFile(scratch, problem);
    if (configuration.isEmpty()) {
        complain(problem);
        return Exit::Failure;
    }

    Program program(m_platform, m_folders, m_invocation.locale.value_or(QLocale::system()),
                    m_invocation.file);
    program.kvx.iniFileOverride = configuration;
    program.kvx.unitsOverride = m_invocation.units;
    bool started = false;
    act([&] { started = !program.start() && program.hasMainWindow(); });
    const bool loaded = started && !program.programEnded() && !m_platform.programEnded() &&
                        !program.mainWindow->loadFailed;
    if (!loaded && !m_invocation.file.isEmpty())
        complain(filled(said(CliText::NotOpened), {m_invocation.file}));

    bool failed = !loaded;
    if (loaded) {
        FrmKvx& window = *program.mainWindow;
        const int runsBefore = window.calculationRuns();
        const bool system = m_invocation.command == Invocation::Command::System;
        const bool speech = m_invocation.command == Invocation::Command::Speech;
        const bool makesInputs = m_invocation.command == Invocation::Command::Calc ||
                                 m_invocation.command == Invocation::Command::Plan || system ||
                                 speech;
        if (makesInputs && !applyInputs(window))
            return Exit::Failure;
        if (system)
            act([&] { applySystemOptions(m_invocation.system, window); });
        // The margin given is the project's from now on, as the window's
        // pages set it: the figures take it, and --save keeps it.
        if (makesInputs && m_invocation.margin) {
            act([&] {
                PlanSettings plan = window.planSettings();
                plan.margin = marginMetres(m_invocation, window.units());
                window.setPlanSettings(plan);
            });
        }
        if (speech)
            act([&] { applySpeechOptions(m_invocation, window); });
        // Calculate is pressed when it has something to do: a pick or the
        // slider that already recalculated after the last edit would only
        // show the same message again.
        if (window.calculationRuns() == runsBefore || window.cmdCalc.isEnabled())
            act([&] { window.cmdCalc_Click(); });
        failed = !writeFiles(window) || m_platform.programEnded();
    }

    // The map's margin is the project's (read from its file, or given).
    Invocation asRun = m_invocation;
    if (program.hasMainWindow())
        asRun.margin = program.mainWindow->planSettings().margin;
    if (m_invocation.command == Invocation::Command::Plan) {
        const bool window = loaded && program.hasMainWindow();
        const int status = failed                            ? Exit::Failure
                           : m_platform.messages().isEmpty() ? Exit::Success
                                                             : Exit::MessageShown;
        const Design* design = window ? program.mainWindow->design() : nullptr;
        // Drawings come from the printing module (loaded for them), in the
        // window's language; the PDF opens with the window's report.
        const PlanDrawer draw = [&](const QString& path) {
            const FrmKvx& shown = *program.mainWindow;
            return m_platform.printSupport()->writePlan(
                path, *design, {asRun.samples, *asRun.margin}, shown,
                [&shown](ReportPrinter& printer) { printReport(shown, printer); });
        };
        return runPlan(asRun, design,
                       window ? toJson(*program.mainWindow, m_platform)
                                    .value(QStringLiteral("messages"))
                                    .toArray()
                              : QJsonArray(),
                       status, draw,
                       window ? program.mainWindow->units()
                              : m_invocation.units.value_or(Units::Metric));
    }
    // The results stand even when a file could not be written afterwards.
    if (program.hasMainWindow() && m_invocation.command == Invocation::Command::Speech) {
        const int status = failed                            ? Exit::Failure
                           : m_platform.messages().isEmpty() ? Exit::Success
                                                             : Exit::MessageShown;
        return printSpeech(asRun, *program.mainWindow, m_platform, status);
    }
    if (program.hasMainWindow() && m_invocation.command == Invocation::Command::System) {
        const FrmKvx& window = *program.mainWindow;
        const QStringList problems = systemProblems(window);
        if (m_invocation.json) {
            writeOut(QString::fromUtf8(QJsonDocument(withUnits(systemJson(window, m_platform),
                                                               m_invocation, window.units()))
                                           .toJson()));
        } else {
            for (const QString& problem : problems)
                writeErr(window.kvx.localText(SystemText::SettingsTitle) + QStringLiteral(": ") +
                         problem + u'\n');
            if (loaded)
                writeOut(systemLines(window));
        }
        if (!problems.isEmpty() && !failed)
            return Exit::MessageShown;
    } else if (program.hasMainWindow()) {
        const FrmKvx& window = *program.mainWindow;
        if (m_invocation.json)
            writeOut(QString::fromUtf8(
                QJsonDocument(withUnits(toJson(window, m_platform), m_invocation, window.units()))
                    .toJson()));
        else if (m_invocation.command == Invocation::Command::Calc && loaded)
            writeOut(resultLines(window));
    }
    if (failed)
        return Exit::Failure;
    return m_platform.messages().isEmpty() ? Exit::Success : Exit::MessageShown;
}

QJsonObject ProjectSession::toJson(const FrmKvx& w, const CliPlatform& platform) {
    QJsonObject fields;
    for (const Control* field :
         {&w.txtDescription, &w.FileSel, &w.lstLsp, &w.txtAngle1, &w.txtAngle4, &w.txtSensitivity,
          &w.txtMaxPower, &w.txtRoomLength, &w.txtRoomWidth, &w.txtRoomHeight, &w.txtEarHeight,
          &w.lstLspTap, &w.lstAmpTap, &w.lblPower, &w.txtLevelDif4, &w.lblDistance,
          &w.lblNrofSpeakers, &w.lblLevel, &w.lblLevelDif1})
        fields.insert(field->name(), field->text());
    fields.insert(w.DiffSet.name(), w.DiffSet.value());
    // Lengths in metres whatever the units shown, as the project file keeps them.
    if (w.units() != Units::Metric) {
        for (const Control* field :
             {&w.txtRoomLength, &w.txtRoomWidth, &w.txtRoomHeight, &w.txtEarHeight})
            fields.insert(field->name(), w.storedLength(*field).value_or(field->text()));
        if (w.lastCalculation())
            fields.insert(w.lblDistance.name(),
                          formatResults(*w.lastCalculation(), w.kvx.locale).distance);
    }

    QJsonValue values;
    if (const std::optional<Design>& v = w.lastCalculation()) {
        values = QJsonObject{{QStringLiteral("distance"), v->distance},
                             {QStringLiteral("evaluations"), v->evaluations},
                             {QStringLiteral("intensityBelow"), v->intensityBelow},
                             {QStringLiteral("intensityBetween"), v->intensityBetween},
                             {QStringLiteral("speakers"), v->speakers},
                             {QStringLiteral("directLevel"), v->directLevel},
                             {QStringLiteral("difference1"), v->difference1},
                             {QStringLiteral("speakerPower"), v->speakerPower}};
    }

    QJsonArray messages;
    for (const ShownMessage& m : platform.messages()) {
        messages.append(QJsonObject{{QStringLiteral("title"), m.title},
                                    {QStringLiteral("text"), m.text},
                                    {QStringLiteral("style"), m.style}});
    }
    // The pattern stands beside the values: it is the project's, whether a
    // calculation ran or not.
    return {{QStringLiteral("fields"), fields},
            {QStringLiteral("values"), values},
            {QStringLiteral("pattern"), patternToken(w.layoutSettings().pattern)},
            {QStringLiteral("messages"), messages}};
}

QString ProjectSession::resultLines(const FrmKvx& w) {
    // The results of this run, none after a refused or failed one; the power
    // and the set difference are inputs, as the window shows them.
    ResultTexts texts;
    if (w.lastCalculation()) {
        texts = formatResults(*w.lastCalculation(), w.kvx.locale);
        texts.distance = w.shownDistance(w.lastCalculation()->distance);
    }
    const std::pair<const char*, QString> results[] = {
        {"distance", texts.distance}, {"speakers", texts.speakers},
        {"level", texts.level},       {"difference1", texts.difference1},
        {"power", w.lblPower.text()}, {"difference4", w.txtLevelDif4.text()},
    };
    QString lines;
    for (const auto& [name, text] : results)
        lines += QLatin1String(name) + QStringLiteral(": ") + text + u'\n';
    return lines;
}

} // namespace kvx::cli
