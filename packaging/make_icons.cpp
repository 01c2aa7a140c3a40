// Build tool: draws the program's window icon as the PNG files of an icon
// theme, OUTDIR/SIZExSIZE/apps/NAME.png for every size the window icon has.

#include "app/pictures.h"

#include <QDir>
#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv) {
    // Drawn without a screen, in any build environment.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication application(argc, argv);
    const QStringList arguments = QGuiApplication::arguments();
    if (arguments.size() != 3) {
        std::fputs("usage: make_icons OUTDIR NAME\n", stderr);
        return 2;
    }
    for (int size : kvx::app::kIconSizes) {
        const QString folder = QStringLiteral("%1/%2x%2/apps").arg(arguments[1]).arg(size);
        const QString file = QDir(folder).filePath(arguments[2] + QStringLiteral(".png"));
        if (!QDir().mkpath(folder) || !kvx::app::speakerPicture(size).save(file)) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
