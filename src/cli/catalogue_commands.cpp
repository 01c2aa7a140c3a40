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
    const std::optional<QList<LspRecord>> records =
        QFileInfo(file).isDir() ? std::nullopt : readLspFile(file, &whyNot);
    if (!records) {
        complain(filled(said(CliText::CannotRead), {file, whyUnreadable(file, whyNot)}));
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
    // A file that is not there or a folder is said in the run's words, as for
    // every file kvx-cli reads; other reasons are the system's.
    const QString& csv = invocation.file;
    if (const QFileInfo in(csv); !in.exists() || in.isDir()) {
        writeErr(filled(said(CatalogueText::CannotRead), {csv, whyUnreadable(csv, {})}) + u'\n');
        return Exit::Failure;
    }
    const CatalogueBuild build = buildCatalogue(csv, invocation.output, runTexts(QLocale::c()));
    for (const QString& message : build.messages)
        writeErr(message + u'\n');
    if (build.outcome != CatalogueBuild::Outcome::Written)
        return Exit::Failure;
    writeOut(
        filled(said(CliText::TypesWritten), {invocation.output, QString::number(build.records)}) +
        u'\n');
    return Exit::Success;
}

} // namespace kvx::cli
