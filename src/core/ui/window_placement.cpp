#include "core/ui/window_placement.h"

#include "core/base/platform.h"

namespace kvx {

namespace {

// Restores the default pointer however the placement ends.
class BusyPointer {
public:
    explicit BusyPointer(Platform& platform)
        : m_platform(platform) {
        m_platform.setBusyPointer(true);
    }
    ~BusyPointer() { m_platform.setBusyPointer(false); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    Platform& m_platform;
};

} // namespace

void CentreWindow(Platform& platform, Control& window) {
    const BusyPointer busy(platform);
    const QSizeF screen = platform.screenSizeTwips();
    // Single precision, as the window positions have always been computed.
    const float top = (float(screen.height()) - float(window.height())) / 2.0f;
    window.setTop(top);
    const float left = (float(screen.width()) - float(window.width())) / 2.0f;
    window.setLeft(left);
}

} // namespace kvx
