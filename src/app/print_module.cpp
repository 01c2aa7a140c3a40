#include "app/print_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace kvx::app {

namespace {

Printing* linkedPrinting = nullptr;

} // namespace

void useLinkedPrinting(Printing* linked) {
    linkedPrinting = linked;
}

Printing* printing(QString* whyNot) {
    static Printing* loaded = nullptr;
    if (linkedPrinting)
        return linkedPrinting;
    if (loaded)
        return loaded;
    // Beside the program in the build folder; installed, in the library folder.
    const QDir folder(QCoreApplication::applicationDirPath());
    QString path = folder.filePath(kPrintingModuleName);
    if (!QFileInfo::exists(path))
        path = QDir::cleanPath(
            folder.filePath(QStringLiteral(KVX_PRINT_MODULE_RELATIVE "/") + kPrintingModuleName));
    QLibrary module(path);
    // Never unloaded: the printers and documents it makes may outlive any caller.
    const auto entry =
        module.load() ? reinterpret_cast<PrintingEntry>(module.resolve(kPrintingEntry)) : nullptr;
    if (!entry) {
        if (whyNot)
            *whyNot = module.errorString();
        return nullptr;
    }
    loaded = entry();
    return loaded;
}

} // namespace kvx::app
