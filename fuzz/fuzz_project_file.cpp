// Project files from elsewhere: whatever the bytes, opening one ends with the
// project in the window or a message, a refused file leaves the window as it
// was, and a project that could be saved opens again with the same fields and
// the same settings of its optional sections.

#include "support.h"

#include "core/base/kvx_error.h"
#include "core/project/project_settings.h"
#include "core/report/text_report.h"
#include "core/ui/kvx1.h"
#include "core/ui/main_window.h"
#include "core/ui/main_window/report_commands.h"

#include <QFile>

using namespace kvx;
using namespace kvx::fuzz;

namespace {

// Lays out every line as the text-file report does, without writing it.
class LayoutPrinter : public ReportPrinter {
public:
    double pageWidth() const override { return kA4PageWidth; }
    void setFontSize(double) override {}
    void setFontName(const QString&) override {}
    void setBold(bool) override {}
    void setItalic(bool) override {}
    void print(const ReportStatement& statement) override {
        bytes += toWindows1252(layOutStatement(statement));
    }
    bool endDocument() override { return true; }
    QByteArray bytes;
};

struct Window {
    Window() {
        w.Form_Load();
        if (platform.ended)
            propertyFailed("the start-up ended the program");
    }
    // The texts a project file holds, in the file's order; as saved, the
    // description's prompt is no description.
    QStringList projectFields(bool asSaved = false) const {
        QStringList texts;
        const bool prompt = w.txtDescription.text() == kvx.texts.DescriptionPrompt;
        texts << (asSaved && prompt ? QString() : w.txtDescription.text());
        for (const Control* c :
             {&w.lstLsp, &w.txtAngle1, &w.txtAngle4, &w.txtSensitivity, &w.txtMaxPower,
              &w.txtRoomLength, &w.txtRoomWidth, &w.txtRoomHeight, &w.txtEarHeight, &w.lstLspTap,
              &w.lstAmpTap, &w.lblPower, &w.lblDistance, &w.lblNrofSpeakers, &w.lblLevelDif1,
              &w.txtLevelDif4, &w.lblLevel})
            texts << c->text();
        return texts;
    }

    SilentPlatform platform;
    Kvx1 kvx{platform, programFolder(), QLocale::c()};
    FrmKvx w{kvx};
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QString path =
        writeProgramFile(QStringLiteral("hostile.kvx"), QByteArrayView(data, qsizetype(size)));
    Window first;
    const QStringList before = first.projectFields();
    try {
        first.w.ReadProjectFile(path);
    } catch (const KvxError& e) {
        // Only a handler's failure half-way may leave the window changed, and
        // then the project counts as modified.
        if (!first.kvx.Modified && first.projectFields() != before)
            propertyFailed("a refused file changed the window", e.message());
        return 0;
    }
    first.w.cmdCalc_Click();

    LayoutPrinter printer;
    try {
        playReport(buildReport(first.w, printer.pageWidth(), first.platform.today()), printer);
    } catch (const KvxError&) {
    }

    const QString savedPath = programFolder() + QStringLiteral("/saved.kvx");
    QFile::remove(savedPath);
    try {
        first.w.WriteProjectFile(savedPath);
    } catch (const KvxError&) {
        if (QFile::exists(savedPath))
            propertyFailed("a refused save left a file");
        return 0;
    }
    Window second;
    try {
        second.w.ReadProjectFile(savedPath);
    } catch (const KvxError& e) {
        propertyFailed("a saved project cannot be opened", e.message());
    }
    if (second.projectFields(true) != first.projectFields(true)) {
        propertyFailed("a saved project opens with other fields",
                       first.projectFields(true).join(u'|') + QStringLiteral(" became ") +
                           second.projectFields(true).join(u'|'));
    }
    if (!(second.w.settings() == first.w.settings()))
        propertyFailed("a saved project opens with other settings");
    return 0;
}
