#pragma once

// Widgets that show plainly that they have the keyboard: a frame in the
// highlight colour around them. Styles such as Fusion draw their focus frame
// only after the keyboard has been used, and none at all on a slider.

#include <QPaintEvent>
#include <QPainter>

namespace kvx::app {

template <typename Widget>
class FocusMarked : public Widget {
public:
    using Widget::Widget;

protected:
    void paintEvent(QPaintEvent* event) override {
        Widget::paintEvent(event);
        if (!this->hasFocus())
            return;
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        QPen pen(this->palette().color(QPalette::Highlight));
        pen.setWidthF(2);
        painter.setPen(pen);
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(QRectF(this->rect()).adjusted(2, 2, -2, -2), 3, 3);
    }
};

} // namespace kvx::app
