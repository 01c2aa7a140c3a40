// kvx-cli: KVX without a screen, for scripts, batch checks and catalogues.
// The command line is read first, so that only a command that writes a report
// loads the printing module and its QtGui; every other command starts on
// QtCore alone.

#include "cli/building_command.h"
#include "cli/catalogue_commands.h"
#include "cli/cli_platform.h"
#include "cli/command_line.h"
#include "cli/console.h"
#include "cli/plan_command.h"
#include "cli/print_support.h"
#include "cli/project_session.h"

#include <QCoreApplication>

#include <memory>
#include <optional>

using namespace kvx::cli;

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);

    // A command line that cannot be read is worded once the language is
    // known, which needs the application object.
    Invocation invocation;
    std::optional<UsageError> usage;
    try {
        invocation = parseCommandLine(arguments);
    } catch (const UsageError& error) {
        usage = error;
    }

    PrintSupport* print = nullptr;
    QString printProblem;
    const bool drawsPlan = !usage && invocation.command == Invocation::Command::Plan &&
                           isPlanDrawing(invocation.output);
    if (!usage && (invocation.reportPath || drawsPlan))
        print = loadPrintSupport(&printProblem);
    const std::unique_ptr<QCoreApplication> application =
        print ? print->createApplication(argc, argv)
              : std::make_unique<QCoreApplication>(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("kvx-cli"));
    QCoreApplication::setApplicationVersion(QStringLiteral(KVX_VERSION));

    setRunLanguage(languageOfRun(usage ? languageOptionsOf(arguments) : invocation));
    if (usage) {
        complain(usage->message());
        writeErr(usageHint() + u'\n');
        return Exit::Failure;
    }

    switch (invocation.command) {
    case Invocation::Command::Help:
        writeOut(invocation.helpText);
        return Exit::Success;
    case Invocation::Command::Version:
        writeOut(QStringLiteral("kvx-cli %1\n").arg(QStringLiteral(KVX_VERSION)));
        return Exit::Success;
    case Invocation::Command::CatalogueList:
        return listCatalogue(invocation);
    case Invocation::Command::CatalogueBuild:
        return buildCatalogueFile(invocation);
    case Invocation::Command::Building:
        return runBuilding(invocation);
    case Invocation::Command::Calc:
    case Invocation::Command::Plan:
    case Invocation::Command::System:
    case Invocation::Command::Speech:
    case Invocation::Command::Report:
        break;
    }

    if (invocation.reportPath &&
        invocation.reportPath->endsWith(QLatin1String(".pdf"), Qt::CaseInsensitive) && !print) {
        complain(filled(said(CliText::NeedsModule),
                        {*invocation.reportPath, kPrintModuleName, printProblem}));
        return Exit::Failure;
    }
    if (drawsPlan && !print) {
        complain(filled(said(CliText::NeedsModule),
                        {invocation.output, kPrintModuleName, printProblem}));
        return Exit::Failure;
    }
    CliPlatform platform;
    platform.setPrintSupport(print);
    platform.setPageWidth(invocation.pageWidth);
    if (invocation.date)
        platform.setToday(*invocation.date);
    ProjectSession session(invocation, platform, programFolders(invocation));
    return session.run();
}
