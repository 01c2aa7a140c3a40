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
        complain(filled(said(CliText::IsFileRead), {shown}));
        return false;
    }
    if (holdsProjectOrBuilding(path, StringTable::builtIn())) {
        complain(filled(said(CliText::HoldsProject), {shown}));
        return false;
    }
    return true;
}

} // namespace kvx::cli
