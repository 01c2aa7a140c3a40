#include "cli/print_support.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace kvx::cli {

namespace {

// The program's folder before QCoreApplication can tell it.
QString programFolder() {
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return executable.isEmpty() ? QDir::currentPath() : QFileInfo(executable).absolutePath();
}

} // namespace

PrintSupport* loadPrintSupport(QString* whyNot) {
    // Beside kvx-cli in the build folder; installed, in the library folder.
    const QDir folder(programFolder());
    QString path = folder.filePath(kPrintModuleName);
    if (!QFileInfo::exists(path))
        path = QDir::cleanPath(
            folder.filePath(QStringLiteral(KVX_PRINT_MODULE_RELATIVE "/") + kPrintModuleName));
    QLibrary module(path);
    // Never unloaded: the application object it creates lives until the end.
    if (!module.load()) {
        if (whyNot)
            *whyNot = module.errorString();
        return nullptr;
    }
    const auto entry = reinterpret_cast<PrintSupportEntry>(module.resolve(kPrintSupportEntry));
    if (!entry) {
        if (whyNot)
            *whyNot = module.errorString();
        return nullptr;
    }
    return entry();
}

} // namespace kvx::cli
