#include "app/print_module.h"

#include "core/base/program_module.h"

#include <QCoreApplication>

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
    const auto entry = reinterpret_cast<PrintingEntry>(loadProgramModule(
        QCoreApplication::applicationDirPath(), kPrintingModuleName, kPrintingEntry, whyNot));
    if (!entry)
        return nullptr;
    loaded = entry();
    return loaded;
}

} // namespace kvx::app
