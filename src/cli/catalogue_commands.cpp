#include "cli/catalogue_commands.h"

#include "cli/console.h"
#include "core/catalogue/catalogue_csv.h"
#include "core/catalogue/lsp_record.h"

#include <QFileInfo>
#include <QJsonDocument>

namespace kvx::cli {

int listCatalogue(const Invocation& invocation) {
    QString whyNot;
    if (QFileInfo(invocation.file).isDir())
        whyNot = QStringLiteral("it is a folder");
    const std::optional<QList<LspRecord>> records =
        whyNot.isEmpty() ? readLspFile(invocation.file, &whyNot) : std::nullopt;
    if (!records) {
        complain(QStringLiteral("%1: cannot be read: %2").arg(invocation.file, whyNot));
        return Exit::Failure;
    }
    if (invocation.json)
        writeOut(QString::fromUtf8(QJsonDocument(catalogueJson(*records)).toJson()));
    else
        writeOut(catalogueCsv(*records));
    return Exit::Success;
}

int buildCatalogueFile(const Invocation& invocation) {
    const CatalogueBuild build = buildCatalogue(invocation.file, invocation.output);
    for (const QString& message : build.messages)
        writeErr(message + u'\n');
    if (build.outcome != CatalogueBuild::Outcome::Written)
        return Exit::Failure;
    writeOut(QStringLiteral("%1: %2 types written\n").arg(invocation.output).arg(build.records));
    return Exit::Success;
}

} // namespace kvx::cli
