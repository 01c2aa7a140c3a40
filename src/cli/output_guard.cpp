#include "cli/output_guard.h"

#include "cli/command_line.h"
#include "cli/console.h"
#include "core/base/string_table.h"
#include "core/building/building_file.h"

#include <QDir>
#include <QFileInfo>

namespace kvx::cli {

bool mayWriteOutput(const QString& path, const Invocation& invocation) {
    const QFileInfo target(path);
    if (invocation.overwrite || !target.exists())
        return true;
    const QString shown = QDir::toNativeSeparators(path);
    if (!invocation.file.isEmpty() &&
        target.canonicalFilePath() == QFileInfo(invocation.file).canonicalFilePath()) {
        complain(QStringLiteral("\"%1\" is the file read; it is not replaced unless --overwrite "
                                "is given")
                     .arg(shown));
        return false;
    }
    if (holdsProjectOrBuilding(path, StringTable::builtIn())) {
        complain(QStringLiteral("\"%1\" holds a KVX project or building; it is not replaced "
                                "unless --overwrite is given")
                     .arg(shown));
        return false;
    }
    return true;
}

} // namespace kvx::cli
