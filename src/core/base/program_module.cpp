#include "core/base/program_module.h"

#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace kvx {

QFunctionPointer loadProgramModule(const QString& programFolder, const QString& fileName,
                                   const char* entry, QString* whyNot) {
    const QDir folder(programFolder);
    QString path = folder.filePath(fileName);
    if (!QFileInfo::exists(path))
        path = QDir::cleanPath(
            folder.filePath(QStringLiteral(KVX_PRINT_MODULE_RELATIVE "/") + fileName));
    QLibrary module(path);
    const QFunctionPointer found = module.load() ? module.resolve(entry) : nullptr;
    if (!found && whyNot)
        *whyNot = module.errorString();
    return found;
}

} // namespace kvx
