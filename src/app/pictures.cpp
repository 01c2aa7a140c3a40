#include "app/pictures.h"

#include <QCoreApplication>
#include <QIconEngine>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>

#include <cmath>

namespace kvx::app {

namespace {

const QColor kNavy(22, 46, 92);
const QColor kBlue(46, 92, 160);
const QColor kSky(150, 190, 235);
const QColor kAmber(255, 196, 64);

QPixmap blank(QSize size) {
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    return pixmap;
}

void fillBackground(QPainter& p, const QRectF& r) {
    QLinearGradient sky(r.topLeft(), r.bottomLeft());
    sky.setColorAt(0, kNavy);
    sky.setColorAt(1, kBlue);
    QPainterPath rounded;
    rounded.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), 4, 4);
    p.fillPath(rounded, sky);
}

// A ceiling loudspeaker in side view hanging from y = top, centred on x.
void drawCeilingSpeaker(QPainter& p, double x, double top, double width) {
    QPainterPath body;
    body.moveTo(x - width / 2, top);
    body.lineTo(x + width / 2, top);
    body.lineTo(x + width / 3, top + width / 3);
    body.lineTo(x - width / 3, top + width / 3);
    body.closeSubpath();
    p.fillPath(body, Qt::white);
}

} // namespace

QPixmap picture1() {
    QPixmap pixmap = blank(kPicture1Size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(kPicture1Size));
    fillBackground(p, r);

    // A loudspeaker and three wave fronts on the left.
    drawCeilingSpeaker(p, 16, 6, 14);
    p.setPen(QPen(kAmber, 1.6, Qt::SolidLine, Qt::RoundCap));
    for (int i = 0; i < 3; ++i) {
        const double radius = 6 + 5 * i;
        p.drawArc(QRectF(16 - radius, 10 - radius, 2 * radius, 2 * radius), -60 * 16, -60 * 16);
    }

    QFont font(QStringLiteral("Liberation Sans"));
    font.setPixelSize(22);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 2);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRectF(40, 0, r.width() - 44, r.height()), Qt::AlignVCenter | Qt::AlignLeft,
               QStringLiteral("KVX"));
    return pixmap;
}

QPixmap picture2() {
    QPixmap pixmap = blank(kPicture2Size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(kPicture2Size));
    fillBackground(p, r);

    const double ceiling = 4;
    const double floor = r.height() - 4;
    p.setPen(QPen(kSky, 1));
    p.drawLine(QPointF(4, ceiling), QPointF(r.width() - 4, ceiling));
    p.drawLine(QPointF(4, floor), QPointF(r.width() - 4, floor));

    constexpr int speakers = 4;
    const double step = (r.width() - 8) / speakers;
    // Sound fades towards the floor.
    QLinearGradient cone(QPointF(0, ceiling), QPointF(0, floor));
    QColor strong = kAmber;
    strong.setAlpha(170);
    QColor faint = kAmber;
    faint.setAlpha(40);
    cone.setColorAt(0, strong);
    cone.setColorAt(1, faint);
    for (int i = 0; i < speakers; ++i) {
        const double x = 4 + step * (i + 0.5);
        QPainterPath path;
        path.moveTo(x, ceiling + 4);
        path.lineTo(x + step * 0.62, floor);
        path.lineTo(x - step * 0.62, floor);
        path.closeSubpath();
        p.fillPath(path, cone);
        drawCeilingSpeaker(p, x, ceiling, 10);
    }
    return pixmap;
}

QPixmap picture3() {
    QPixmap pixmap = blank(kPicture3Size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(QPointF(0, 0), QSizeF(kPicture3Size));
    fillBackground(p, r);

    // Level along the floor: a maximum below each of three loudspeakers.
    const double left = 6;
    const double right = r.width() - 22;
    const double high = 7;
    const double low = 22;
    QPainterPath level;
    for (double x = left; x <= right; x += 1) {
        const double phase = (x - left) / (right - left) * 3 * 2 * M_PI;
        const double y = high + (low - high) * (1 - std::cos(phase)) / 2;
        if (x == left)
            level.moveTo(x, y);
        else
            level.lineTo(x, y);
    }
    p.setPen(QPen(kAmber, 2));
    p.drawPath(level);

    // The difference level between a peak and a dip.
    p.setPen(QPen(Qt::white, 1, Qt::DashLine));
    p.drawLine(QPointF(left, high), QPointF(r.width() - 6, high));
    p.drawLine(QPointF(left, low), QPointF(r.width() - 6, low));
    p.setPen(QPen(Qt::white, 1.4));
    const double arrowX = r.width() - 11;
    p.drawLine(QPointF(arrowX, high + 1), QPointF(arrowX, low - 1));
    p.drawLine(QPointF(arrowX - 3, high + 4), QPointF(arrowX, high + 1));
    p.drawLine(QPointF(arrowX + 3, high + 4), QPointF(arrowX, high + 1));
    p.drawLine(QPointF(arrowX - 3, low - 4), QPointF(arrowX, low - 1));
    p.drawLine(QPointF(arrowX + 3, low - 4), QPointF(arrowX, low - 1));
    return pixmap;
}

QPixmap speakerPicture(int size) {
    QPixmap pixmap = blank(QSize(size, size));
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF r(0, 0, size, size);
    QPainterPath tile;
    tile.addRoundedRect(r.adjusted(0.5, 0.5, -0.5, -0.5), size * 0.18, size * 0.18);
    QLinearGradient back(r.topLeft(), r.bottomLeft());
    back.setColorAt(0, kBlue);
    back.setColorAt(1, kNavy);
    p.fillPath(tile, back);

    // The round grille with its cone, seen from below.
    const QPointF centre = r.center();
    const double grille = size * 0.36;
    QRadialGradient cone(centre, grille);
    cone.setColorAt(0, Qt::white);
    cone.setColorAt(0.25, kSky);
    cone.setColorAt(1, kBlue.lighter(130));
    p.setPen(QPen(Qt::white, std::max(1.0, size / 24.0)));
    p.setBrush(cone);
    p.drawEllipse(centre, grille, grille);
    p.setBrush(kAmber);
    p.setPen(Qt::NoPen);
    p.drawEllipse(centre, grille * 0.22, grille * 0.22);
    return pixmap;
}

namespace {

// The window icon's pictures are drawn when a size is first asked for, once
// for the whole program: at start-up nothing may need them (the offscreen
// platform never does), and every window shares them.
class ProgramIconEngine : public QIconEngine {
public:
    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
        painter->drawPixmap(rect, pixmap(rect.size() * ratio, mode, state));
    }
    // The drawn icon's own choice and scaling of a size, at a ratio of 1 as
    // an icon engine answers.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return drawn().pixmap(size, 1.0, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return pixmap(size, mode, state).size();
    }
    // The sizes are known without drawing: every picture is a normal, off one.
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        QList<QSize> sizes;
        if (mode == QIcon::Normal && state == QIcon::Off) {
            for (int size : kIconSizes)
                sizes << QSize(size, size);
        }
        return sizes;
    }
    QString key() const override { return QStringLiteral("kvx_program_icon"); }
    QIconEngine* clone() const override { return new ProgramIconEngine; }
    bool isNull() override { return false; }

private:
    static const QIcon& drawn() {
        // Dropped with the application object, whose pictures they are.
        static QIcon* icon = nullptr;
        if (!icon) {
            icon = new QIcon;
            for (int size : kIconSizes)
                icon->addPixmap(speakerPicture(size));
            qAddPostRoutine([] {
                delete icon;
                icon = nullptr;
            });
        }
        return *icon;
    }
};

} // namespace

QIcon programIcon() {
    static const QIcon icon(new ProgramIconEngine);
    return icon;
}

} // namespace kvx::app
