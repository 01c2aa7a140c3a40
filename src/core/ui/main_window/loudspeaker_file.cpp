#include "core/base/kvx_error.h"
#include "core/base/numbers.h"
#include "core/catalogue/lsp_record.h"
#include "core/ui/main_window.h"
#include "core/ui/main_window/catalogue_selection.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>

namespace kvx {

namespace {

// Without its catalogue the window cannot work: tell the user, then end.
[[noreturn]] void abortProgram(Kvx1& kvx, const QString& text, int style, const QString& title) {
    kvx.platform.messageBox(text + QStringLiteral("\nProgram aborted."), style, title);
    kvx.platform.endProgram();
    throw ProgramEnded{};
}

} // namespace

void FrmKvx::OpenLoudspeakerFile() {
    LspFile.reset();
    const QString path = kvx.cataloguePath(kvx.CurrentLspFile);
    const QString prefix =
        QStringLiteral("Loudspeaker Data File: ") + QDir::toNativeSeparators(path);

    const QFileInfo info(path);
    // No name at all finds no file, as a look-up of the bare folder would.
    if (kvx.CurrentLspFile.isEmpty() || !info.exists()) {
        abortProgram(kvx, prefix + QStringLiteral(" not found."), MsgStyle::Critical,
                     QStringLiteral("Loudspeaker File Error"));
    }
    // A folder, a pipe or a device holds no catalogue, and opening a pipe could
    // wait for ever.
    if (!info.isFile()) {
        abortProgram(kvx,
                     prefix + (info.isDir() ? QStringLiteral(" is a folder, not a file.")
                                            : QStringLiteral(" is not a regular file.")),
                     MsgStyle::OkOnly, QStringLiteral("Open File Error"));
    }
    auto file = std::make_unique<QFile>(path);
    if (!file->open(QIODevice::ReadOnly)) {
        abortProgram(kvx,
                     prefix + QStringLiteral(" cannot be opened: %1.").arg(file->errorString()),
                     MsgStyle::OkOnly, QStringLiteral("Open File Error"));
    }
    LspFile = std::move(file);
}

void FrmKvx::FillLoudspeakerList() {
    QStringList entries = LspFile ? readLspTypeNames(*LspFile) : QStringList();
    entries.append(kvx.localText(kUserTypeTextId));
    lstLsp.addItems(entries);
}

void FrmKvx::ShowLoudspeakerData(qint16 recordNumber) {
    const LspRecord record = LspFile ? readLspRecord(*LspFile, recordNumber) : LspRecord{};
    txtAngle1.setText(QString::number(record.Angle1));
    txtAngle4.setText(QString::number(record.Angle4));
    // A damaged catalogue may hold no number at all: show nothing rather than "nan".
    const auto shown = [this](float value) {
        return std::isfinite(value) ? formatGeneralSingle(value, kvx.locale) : QString();
    };
    txtSensitivity.setText(shown(record.Sensitivity));
    txtMaxPower.setText(shown(record.MaxPower));
}

} // namespace kvx
