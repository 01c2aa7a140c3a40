#include "cli/print_support.h"

#include "core/base/program_module.h"

#include <QDir>
#include <QFileInfo>

namespace kvx::cli {

namespace {

// The program's folder before QCoreApplication can tell it.
QString programFolder() {
    const QString executable = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath();
    return executable.isEmpty() ? QDir::currentPath() : QFileInfo(executable).absolutePath();
}

} // namespace

PrintSupport* loadPrintSupport(QString* whyNot) {
    // The application object it creates lives until the end.
    const auto entry = reinterpret_cast<PrintSupportEntry>(
        loadProgramModule(programFolder(), kPrintModuleName, kPrintSupportEntry, whyNot));
    return entry ? entry() : nullptr;
}

} // namespace kvx::cli
