// Catalogue CSV from spreadsheets and other people: any bytes give records and
// line-numbered errors, never more records than a catalogue addresses, and the
// listing of what was accepted reads back without an error to the same listing.

#include "support.h"

#include "core/catalogue/catalogue_csv.h"

using namespace kvx;
using namespace kvx::fuzz;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const LocalTexts english{StringTable::builtIn(), LanguageOffsets::English, QLocale::c()};
    const CatalogueCsv csv = parseCatalogueCsv(
        QByteArrayView(reinterpret_cast<const char*>(data), qsizetype(size)), english);
    if (csv.records.size() > kMaxLspRecords)
        propertyFailed("more records than a catalogue addresses");
    int line = 0;
    for (const CsvRowError& e : csv.errors) {
        if (e.line < line || e.line < 1 || e.what.isEmpty())
            propertyFailed("errors out of line order or without a reason", e.what);
        line = e.line;
    }
    for (const LspRecord& r : csv.records) {
        if (const QString problem = lspRecordProblem(r); !problem.isEmpty())
            propertyFailed("an accepted record cannot be stored", problem);
    }
    const QString listing = catalogueCsv(csv.records);
    const CatalogueCsv again = parseCatalogueCsv(listing.toUtf8(), english);
    if (!again.errors.isEmpty())
        propertyFailed("the listing of accepted records is refused",
                       again.messages(QStringLiteral("listing")).join(u'\n'));
    if (catalogueCsv(again.records) != listing)
        propertyFailed("the listing reads back as another listing");
    return 0;
}
