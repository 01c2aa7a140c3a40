// kvx-cli-print.so: the printing side of kvx-cli (see cli/print_support.h),
// built on the desktop program's printer and PDF code.

#include "app/plan_export.h"
#include "app/plan_texts.h"
#include "app/printing.h"
#include "app/speech_page.h"
#include "app/system_page.h"
#include "cli/print_support.h"
#include "core/ui/main_window.h"

#include <QGuiApplication>
#include <QPainter>

namespace {

QtMessageHandler previousHandler = nullptr;

// Standard error carries the window's messages; the offscreen platform's
// remarks about a desktop session that a command line does not have are not
// among them.
void quietHandler(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type == QtWarningMsg && message.startsWith(QLatin1String("QStandardPaths:")))
        return;
    if (previousHandler)
        previousHandler(type, context, message);
}

class Module : public kvx::cli::PrintSupport {
public:
    std::unique_ptr<QCoreApplication> createApplication(int& argc, char** argv) override {
        // A command-line tool never opens a window, with or without a display.
        qputenv("QT_QPA_PLATFORM", "offscreen");
        previousHandler = qInstallMessageHandler(quietHandler);
        return std::make_unique<QGuiApplication>(argc, argv);
    }
    std::optional<double> printerPageWidth() override { return kvx::app::printerPageWidth(); }
    std::unique_ptr<kvx::ReportPrinter> openPdf(const QString& path) override {
        return kvx::app::openPdf(path);
    }
    QString writePlan(const QString& path, const kvx::Design& design,
                      const kvx::CoverageOptions& options, const kvx::FrmKvx& window,
                      const std::function<void(kvx::ReportPrinter&)>& report) override {
        using namespace kvx::app;
        const PlanTexts texts(window.kvx);
        const PlanScene scene = makePlanScene(design, options, texts);
        PlanExport what;
        what.scene = &scene;
        what.texts = &texts;
        what.report = report;
        what.system = [&window, &scene](QPainter& painter, const QRectF& area) {
            paintSystemPage(painter, area, window, scene);
        };
        what.speech = speechPageFor(window, scene, texts);
        const std::optional<PlanFormat> format = planFormatFor(path);
        if (!format)
            return texts.text(PlanViewText::CannotWrite)
                .arg(path, QStringLiteral("unknown format"));
        return writePlanFile(path, *format, what);
    }
};

} // namespace

extern "C" Q_DECL_EXPORT kvx::cli::PrintSupport* kvxCliPrintSupport() {
    static Module module;
    return &module;
}
