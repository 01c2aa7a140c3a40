#include "app/lang_select_view.h"

#include "app/binding.h"
#include "app/dispatcher.h"
#include "app/focus_mark.h"
#include "app/pictures.h"
#include "app/twips.h"
#include "core/shell/lang_select.h"

#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>

#include <algorithm>

namespace kvx::app {

namespace {

// Design sizes in twips for a model that gives none.
constexpr double kOptionWidth = 1215;
constexpr double kOptionHeight = 255;

QRect placed(const Control& control, double defaultWidth, double defaultHeight) {
    return {twipsToPixelsX(control.left()), twipsToPixelsY(control.top()),
            twipsToPixelsX(control.width() > 0 ? control.width() : defaultWidth),
            twipsToPixelsY(control.height() > 0 ? control.height() : defaultHeight)};
}

} // namespace

LangSelectView::LangSelectView(LangSelect& model, Dispatcher& dispatcher, QWidget* parent)
    : QDialog(parent)
    , m_model(model)
    , m_binder(new Binder(dispatcher, this)) {
    setObjectName(model.form.name());
    setWindowIcon(programIcon());
    m_binder->bindWindow(model.form, this);

    auto* frame = new QGroupBox(this);
    frame->setObjectName(model.Frame1.name());
    m_binder->bind(model.Frame1, frame);

    // The options stand at their positions inside the frame; a frame without
    // a size of its own encloses them.
    QRect options;
    for (int i = 0; i < model.LanSel.size(); ++i) {
        Control& control = *model.LanSel.at(i);
        auto* option = new QRadioButton(frame);
        option->setObjectName(QStringLiteral("LanSel(%1)").arg(i));
        m_binder->bind(control, option);
        // Wide enough for its caption in this font; the columns leave room.
        QRect place = placed(control, kOptionWidth, kOptionHeight);
        place.setWidth(std::max(place.width(), option->sizeHint().width()));
        place.setHeight(std::max(place.height(), option->sizeHint().height()));
        option->setGeometry(place);
        options |= option->geometry();
        connect(option, &QRadioButton::clicked, this,
                [this, &dispatcher, i] { dispatcher.run([&] { m_model.select(i); }); });
        option->installEventFilter(this);
        m_options.append(option);
    }
    QRect frameRect = pixelRect(model.Frame1);
    if (frameRect.width() <= 0 || frameRect.height() <= 0) {
        const int margin = twipsToPixelsX(240);
        frameRect =
            QRect(QPoint(margin, margin / 2), options.bottomRight() + QPoint(margin, margin / 2));
    }
    frame->setGeometry(frameRect);

    auto* ok = new FocusMarked<QPushButton>(this);
    ok->setObjectName(model.OK_Key.name());
    ok->setGeometry(placed(model.OK_Key, 1215, 375));
    ok->setDefault(true);
    m_binder->bind(model.OK_Key, ok);
    connect(ok, &QPushButton::clicked, this, [this] {
        m_chosen = true;
        Q_EMIT okPressed();
    });

    // Tab order: the options (the focus starts on the first), then OK.
    QWidget* previous = nullptr;
    for (QRadioButton* option : std::as_const(m_options)) {
        if (previous)
            QWidget::setTabOrder(previous, option);
        previous = option;
    }
    if (previous)
        QWidget::setTabOrder(previous, ok);
    // The focus starts on the language in use, or on the first.
    const int selected = model.selectedIndex();
    if (!m_options.isEmpty())
        m_options.value(selected, m_options.first())->setFocus();

    QSize size(twipsToPixelsX(model.form.width()), twipsToPixelsY(model.form.height()));
    const QRect content = frameRect | ok->geometry();
    const int margin = twipsToPixelsX(240);
    size = size.expandedTo(QSize(content.right() + margin, content.bottom() + margin));
    setFixedSize(size);
    if (const QScreen* screen = placementScreen())
        move(screen->geometry().center() - QPoint(size.width() / 2, size.height() / 2));
}

bool LangSelectView::eventFilter(QObject* watched, QEvent* event) {
    auto* option = qobject_cast<QRadioButton*>(watched);
    if (event->type() != QEvent::KeyPress || !option || !m_options.contains(option))
        return QDialog::eventFilter(watched, event);
    int step = 0;
    switch (static_cast<QKeyEvent*>(event)->key()) {
    case Qt::Key_Up:
    case Qt::Key_Left:
        step = -1;
        break;
    case Qt::Key_Down:
    case Qt::Key_Right:
        step = 1;
        break;
    default:
        return QDialog::eventFilter(watched, event);
    }
    // The arrows go to the next option in the Tab order and select it, as
    // option buttons do elsewhere (Qt's own move selects only from a selected
    // option, and goes by position).
    const auto count = m_options.size();
    const auto at = m_options.indexOf(option);
    for (qsizetype k = 1; k < count; ++k) {
        QRadioButton* next = m_options.at(((at + step * k) % count + count) % count);
        if (!next->isEnabled())
            continue;
        next->setFocus(Qt::OtherFocusReason);
        if (!next->isChecked())
            next->click();
        break;
    }
    return true;
}

void LangSelectView::done(int result) {
    QDialog::done(result);
    if (!m_chosen)
        Q_EMIT closedWithoutChoice();
}

} // namespace kvx::app
