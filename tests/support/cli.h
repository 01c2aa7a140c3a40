#pragma once
// kvx-cli run as a process in a working folder, as a user runs it, and the
// data folder it is given.
#include "core/catalogue/lsp_record.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

namespace kvx::test {

struct CliResult {
    int status = -1; // -1: it crashed or did not finish
    QString out;
    QString err;
    QJsonObject json() const { return QJsonDocument::fromJson(out.toUtf8()).object(); }
    QJsonObject json(const char* key) const { return json().value(QLatin1String(key)).toObject(); }
};

inline CliResult runCli(const QString& workingFolder, const QStringList& arguments) {
    QProcess process;
    process.setWorkingDirectory(workingFolder);
    process.start(QStringLiteral(KVX_BIN_DIR "/kvx-cli"), arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit)
        return {};
    return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

// The test's catalogue as Test.lsp, and a Kvx.ini naming it.
inline bool writeDataFolder(const QString& folder, const QString& language) {
    const QList<LspRecord> types = {{QStringLiteral("Ceiling 6  "), 90, 60, 90.0f, 6.0f},
                                    {QStringLiteral("Wide, 8    "), 120, 80, 88.5f, 10.0f},
                                    {QStringLiteral("Horn 12    "), 60, 40, 95.0f, 30.0f}};
    QFile ini(QDir(folder).filePath(QStringLiteral("Kvx.ini")));
    return writeLspFile(QDir(folder).filePath(QStringLiteral("Test.lsp")), types) &&
           ini.open(QIODevice::WriteOnly) &&
           ini.write("[Current lsp file]\r\nFileName=Test.lsp\r\n[Configuration]\r\nLanguage=" +
                     language.toLatin1()) > 0;
}

} // namespace kvx::test
