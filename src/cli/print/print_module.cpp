// kvx-cli-print.so: the printing side of kvx-cli (see cli/print_support.h),
// built on the desktop program's printer and PDF code.

#include "app/printing.h"
#include "cli/print_support.h"

#include <QGuiApplication>

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
};

} // namespace

extern "C" Q_DECL_EXPORT kvx::cli::PrintSupport* kvxCliPrintSupport() {
    static Module module;
    return &module;
}
