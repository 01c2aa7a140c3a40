#include "app/info_views.h"

#include "app/binding.h"
#include "app/dispatcher.h"
#include "app/pictures.h"
#include "app/twips.h"
#include "core/shell/info_windows.h"

#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace kvx::app {

namespace {

QLabel* textLabel(const Control& control, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(control.name());
    label->setWordWrap(true);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

QLabel* pictureLabel(const Control& control, const QPixmap& pixmap, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setObjectName(control.name());
    label->setPixmap(pixmap);
    label->setFixedSize(pixmap.size());
    return label;
}

QFrame* line(const QString& name, QWidget* parent) {
    auto* rule = new QFrame(parent);
    rule->setObjectName(name);
    rule->setFrameShape(QFrame::HLine);
    rule->setFrameShadow(QFrame::Sunken);
    return rule;
}

QPushButton* closeButton(const Control& control, QDialog* dialog) {
    auto* button = new QPushButton(dialog);
    button->setObjectName(control.name());
    button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, dialog, &QDialog::accept);
    return button;
}

// The fonts the windows ask for, by their metric-compatible free faces.
QFont faceFont(const QString& family, const QString& substitute, double pointSize, bool bold) {
    QFont font(family);
    font.setFamilies({family, substitute});
    font.setPointSizeF(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace

AboutView::AboutView(FrmAbout& model, Dispatcher& dispatcher, QWidget* parent)
    : QDialog(parent)
    , m_binder(new Binder(dispatcher, this)) {
    setObjectName(model.form.name());
    setWindowIcon(programIcon());

    auto* image1 = pictureLabel(model.Image1, speakerPicture(64), this);
    auto* image2 = pictureLabel(model.Image2, picture1(), this);
    auto* version = textLabel(model.lblVersion, this);
    version->setFont(
        faceFont(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), 12, true));
    auto* fileDate = textLabel(model.lblFileDate, this);
    auto* about = textLabel(model.lblAbout, this);
    auto* info = textLabel(model.lblInfo, this);
    auto* copyright = textLabel(model.lblCopyright, this);
    auto* close = closeButton(model.Close_Key, this);

    m_binder->bindWindow(model.form, this);
    m_binder->bind(model.lblVersion, version, LabelText::AsIs);
    m_binder->bind(model.lblFileDate, fileDate, LabelText::AsIs);
    m_binder->bind(model.lblAbout, about, LabelText::AsIs);
    m_binder->bind(model.lblInfo, info, LabelText::AsIs);
    m_binder->bind(model.lblCopyright, copyright, LabelText::AsIs);
    m_binder->bind(model.Close_Key, close);

    auto* pictures = new QVBoxLayout;
    pictures->addWidget(image1, 0, Qt::AlignHCenter);
    pictures->addStretch(1);

    auto* texts = new QVBoxLayout;
    texts->setSpacing(8);
    texts->addWidget(version);
    texts->addWidget(fileDate);
    texts->addWidget(line(QStringLiteral("Line1"), this));
    texts->addWidget(about);
    texts->addWidget(info);
    texts->addWidget(copyright);
    texts->addStretch(1);

    auto* body = new QHBoxLayout;
    body->setSpacing(12);
    body->addLayout(pictures);
    body->addLayout(texts, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(image2);
    buttons->addStretch(1);
    buttons->addWidget(close);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);

    placeLikeModel(*this, model.form);
}

WorkingView::WorkingView(FrmWorking& model, Dispatcher& dispatcher, QWidget* parent)
    : QDialog(parent)
    , m_binder(new Binder(dispatcher, this)) {
    setObjectName(model.form.name());
    setWindowIcon(programIcon());

    auto* image1 = pictureLabel(model.Image1, speakerPicture(48), this);
    auto* version = textLabel(model.lblVersion, this);
    version->setFont(
        faceFont(QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"), 20, true));
    version->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    auto* text = textLabel(model.lbl1, this);
    auto* closing = textLabel(model.lbl3, this);
    const QFont arial = faceFont(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"),
                                 font().pointSizeF(), false);
    text->setFont(arial);
    closing->setFont(arial);
    auto* close = closeButton(model.cmdClose, this);

    m_binder->bindWindow(model.form, this);
    m_binder->bind(model.lblVersion, version, LabelText::AsIs);
    m_binder->bind(model.lbl1, text, LabelText::AsIs);
    m_binder->bind(model.lbl3, closing, LabelText::AsIs);
    m_binder->bind(model.cmdClose, close);

    auto* head = new QHBoxLayout;
    head->setSpacing(12);
    head->addWidget(image1);
    head->addWidget(version, 1);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);

    // A double rule under the title, single rules around the closing remark.
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(head);
    auto* rules = new QVBoxLayout;
    rules->setSpacing(2);
    rules->addWidget(line(QStringLiteral("Line1"), this));
    rules->addWidget(line(QStringLiteral("Line2"), this));
    layout->addLayout(rules);
    layout->addWidget(text);
    layout->addWidget(line(QStringLiteral("Line3"), this));
    layout->addWidget(closing);
    layout->addWidget(line(QStringLiteral("Line4"), this));
    layout->addStretch(1);
    layout->addLayout(buttons);

    placeLikeModel(*this, model.form);
}

void placeLikeModel(QDialog& dialog, const Control& form) {
    QSize wanted(twipsToPixelsX(form.width()), twipsToPixelsY(form.height()));
    QSize size = dialog.sizeHint();
    if (wanted.width() > 0) {
        // Word-wrapped texts need more height the narrower the window is.
        const int width = std::max(wanted.width(), dialog.minimumSizeHint().width());
        size = QSize(width, std::max(wanted.height(), dialog.heightForWidth(width)));
    }
    dialog.resize(size);

    // The model's position centres its own size; a larger window keeps the
    // same centre.
    const QScreen* screen = placementScreen();
    const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
    QPoint topLeft = origin + QPoint(twipsToPixelsX(form.left()), twipsToPixelsY(form.top()));
    if (wanted.width() > 0)
        topLeft -=
            QPoint((size.width() - wanted.width()) / 2, (size.height() - wanted.height()) / 2);
    else if (screen)
        topLeft = screen->geometry().center() - QPoint(size.width() / 2, size.height() / 2);
    dialog.move(topLeft);
}

void showAboutWindow(Kvx1& kvx, Dispatcher& dispatcher, QWidget* parent) {
    FrmAbout model(kvx);
    model.Form_Load();
    AboutView view(model, dispatcher, parent);
    view.exec();
}

void showWorkingWindow(Kvx1& kvx, Dispatcher& dispatcher, QWidget* parent) {
    FrmWorking model(kvx);
    model.Form_Load();
    WorkingView view(model, dispatcher, parent);
    view.exec();
}

} // namespace kvx::app
