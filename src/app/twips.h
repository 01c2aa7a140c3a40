#pragma once

// Window geometry in the models is in twips (1/1440 inch); the widgets work in
// device-independent pixels at the screen's logical DPI.

#include <QRect>
#include <QSizeF>

class QScreen;

namespace kvx {
class Control;
}

namespace kvx::app {

constexpr double kTwipsPerInch = 1440.0;

// The screen that windows are placed on (the primary one); its logical DPI
// turns twips into pixels.
QScreen* placementScreen();
double logicalDpiX();
double logicalDpiY();

int twipsToPixelsX(double twips);
int twipsToPixelsY(double twips);
double pixelsToTwipsX(int pixels);
double pixelsToTwipsY(int pixels);

// The control's geometry (left, top, width, height in twips) in pixels.
QRect pixelRect(const Control& control);

// The placement screen's full size in twips.
QSizeF screenSizeTwips();

} // namespace kvx::app
