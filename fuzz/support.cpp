#include "support.h"

#include "core/catalogue/lsp_record.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace kvx::fuzz {

MsgResult SilentPlatform::messageBox(const QString&, int style, const QString&) {
    ++messages;
    switch (style & 7) {
    case 0:
        return MsgResult::Ok;
    case 1:
        return MsgResult::Cancel;
    default:
        return MsgResult::No;
    }
}

std::unique_ptr<ReportPrinter> SilentPlatform::openPrinter() {
    return nullptr;
}

std::unique_ptr<ReportPrinter> SilentPlatform::openPdf(const QString&) {
    return nullptr;
}

namespace {

void writeFile(const QString& path, QByteArrayView bytes) {
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(bytes.data(), bytes.size()) != bytes.size())
        propertyFailed("cannot write a file", path);
}

LspRecord record(const char* name, qint16 angle1, qint16 angle4, float sensitivity,
                 float maxPower) {
    LspRecord r;
    r.TypeName = QString::fromLatin1(name).leftJustified(kLspNameLength, u' ');
    r.Angle1 = angle1;
    r.Angle4 = angle4;
    r.Sensitivity = sensitivity;
    r.MaxPower = maxPower;
    return r;
}

QString makeProgramFolder() {
    // Lives until the run ends; libFuzzer leaves through exit().
    static QTemporaryDir dir;
    if (!dir.isValid())
        propertyFailed("no temporary folder", dir.errorString());
    writeFile(dir.filePath(QStringLiteral("Kvx.ini")),
              "[Current lsp file]\r\nFilename=Basic.lsp\r\n"
              "[Configuration]\r\nLanguage=English\r\n");
    QString whyNot;
    if (!writeLspFile(dir.filePath(QStringLiteral("Basic.lsp")),
                      {record("KV-C6 Std", 140, 80, 88, 6), record("KV-C8 Dual", 110, 65, 90, 15),
                       record("KV-C12 Horn", 75, 50, 94, 30)},
                      &whyNot))
        propertyFailed("cannot write the catalogue", whyNot);
    return dir.path();
}

} // namespace

const QString& programFolder() {
    static const QString folder = makeProgramFolder();
    return folder;
}

QString writeProgramFile(const QString& name, QByteArrayView bytes) {
    const QString path = programFolder() + u'/' + name;
    writeFile(path, bytes);
    return path;
}

QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void propertyFailed(const char* what, const QString& detail) {
    std::fprintf(stderr, "property failed: %s: %s\n", what, qPrintable(detail));
    std::abort();
}

} // namespace kvx::fuzz
