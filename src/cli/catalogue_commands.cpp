#include "cli/catalogue_commands.h"

#include "cli/console.h"
#include "cli/output_guard.h"
#include "core/base/program_folders.h"
#include "core/catalogue/catalogue_csv.h"
#include "core/catalogue/lsp_record.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonDocument>

namespace kvx::cli {

namespace {

// FILE as given, or, when there is no such file and FILE is a bare name, the
// catalogue of that name that the window would open.
QString catalogueFile(const Invocation& invocation) {
    const QString& file = invocation.file;
    if (QFileInfo::exists(file) || file.contains(u'/') || file.contains(QDir::separator()))
        return file;
    const ProgramFolders folders = programFolders(invocation);
    return cataloguePath(folders.installed ? folders.installed->catalogueFolders
                                           : QStringList{folders.programFolder},
                         file);
}

} // namespace

int listCatalogue(const Invocation& invocation) {
    const QString file = catalogueFile(invocation);
    QString whyNot;
    if (QFileInfo(file).isDir())
        whyNot = QStringLiteral("it is a folder");
    const std::optional<QList<LspRecord>> records =
        whyNot.isEmpty() ? readLspFile(file, &whyNot) : std::nullopt;
    if (!records) {
        complain(QStringLiteral("%1: cannot be read: %2").arg(file, whyNot));
        return Exit::Failure;
    }
    if (invocation.json)
        writeOut(QString::fromUtf8(QJsonDocument(catalogueJson(*records)).toJson()));
    else
        writeOut(catalogueCsv(*records));
    return Exit::Success;
}

int buildCatalogueFile(const Invocation& invocation) {
    if (!mayWriteOutput(invocation.output, invocation))
        return Exit::Failure;
    const CatalogueBuild build = buildCatalogue(invocation.file, invocation.output);
    for (const QString& message : build.messages)
        writeErr(message + u'\n');
    if (build.outcome != CatalogueBuild::Outcome::Written)
        return Exit::Failure;
    writeOut(QStringLiteral("%1: %2 types written\n").arg(invocation.output).arg(build.records));
    return Exit::Success;
}

} // namespace kvx::cli
