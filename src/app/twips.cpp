#include "app/twips.h"

#include "core/ui/control.h"

#include <QGuiApplication>
#include <QScreen>

#include <cmath>

namespace kvx::app {

namespace {

// Without a screen (never in practice) the usual desktop density.
constexpr double kFallbackDpi = 96.0;

} // namespace

QScreen* placementScreen() {
    return QGuiApplication::primaryScreen();
}

double logicalDpiX() {
    const QScreen* screen = placementScreen();
    return screen ? screen->logicalDotsPerInchX() : kFallbackDpi;
}

double logicalDpiY() {
    const QScreen* screen = placementScreen();
    return screen ? screen->logicalDotsPerInchY() : kFallbackDpi;
}

int twipsToPixelsX(double twips) {
    return int(std::lround(twips * logicalDpiX() / kTwipsPerInch));
}

int twipsToPixelsY(double twips) {
    return int(std::lround(twips * logicalDpiY() / kTwipsPerInch));
}

double pixelsToTwipsX(int pixels) {
    return pixels * kTwipsPerInch / logicalDpiX();
}

double pixelsToTwipsY(int pixels) {
    return pixels * kTwipsPerInch / logicalDpiY();
}

QRect pixelRect(const Control& control) {
    return {twipsToPixelsX(control.left()), twipsToPixelsY(control.top()),
            twipsToPixelsX(control.width()), twipsToPixelsY(control.height())};
}

QSizeF screenSizeTwips() {
    const QScreen* screen = placementScreen();
    if (!screen)
        return {};
    const QSize size = screen->geometry().size();
    return {pixelsToTwipsX(size.width()), pixelsToTwipsY(size.height())};
}

} // namespace kvx::app
