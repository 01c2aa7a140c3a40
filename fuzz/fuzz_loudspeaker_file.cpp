// Loudspeaker data files from elsewhere: any bytes list as many types as the
// file holds whole, addressable records, and showing any record, picking any
// type or listing the catalogue never fails.

#include "support.h"

#include "core/base/kvx_error.h"
#include "core/catalogue/catalogue_csv.h"
#include "core/catalogue/lsp_record.h"
#include "core/ui/kvx1.h"
#include "core/ui/main_window.h"

#include <algorithm>

using namespace kvx;
using namespace kvx::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString name = QStringLiteral("Hostile.lsp");
    const QString path = writeProgramFile(name, QByteArrayView(data, qsizetype(size)));

    SilentPlatform platform;
    Kvx1 kvx(platform, programFolder(), QLocale::c());
    FrmKvx w(kvx);
    w.Form_Load();
    if (platform.ended)
        propertyFailed("the start-up ended the program");

    // As a pick of the data file does, without recording it in Kvx.ini.
    kvx.CurrentLspFile = name;
    w.lstLsp.clearItems();
    try {
        w.OpenLoudspeakerFile();
    } catch (const ProgramEnded&) {
        propertyFailed("a regular file could not be opened");
    }
    w.FillLoudspeakerList();

    const qsizetype records = qsizetype(size / kLspRecordSize);
    const qsizetype listed = w.lstLsp.items().size() - 1;
    if (listed != std::min<qsizetype>(records, kMaxLspRecords))
        propertyFailed("the type list does not match the file",
                       QStringLiteral("%1 listed of %2").arg(listed).arg(records));

    for (qsizetype index : {qsizetype(0), listed / 2, listed - 1, listed}) {
        if (index >= 0 && index <= listed)
            w.lstLsp.userPick(int(index));
    }
    for (int number : {-32768, -1, 0, 1, int(listed), int(listed) + 1, 32767})
        w.ShowLoudspeakerData(qint16(number));

    QString whyNot;
    const auto all = readLspFile(path, &whyNot);
    if (!all)
        propertyFailed("a readable file cannot be read", whyNot);
    if (all->size() != records)
        propertyFailed("readLspFile misses records");
    const QString csv = catalogueCsv(*all);
    const QJsonArray json = catalogueJson(*all);
    if (json.size() != records || csv.count(u'\n') < records + 1)
        propertyFailed("the listing misses records");
    return 0;
}
