#include "app/speech_page.h"

#include "app/plan_texts.h"
#include "app/system_page.h"
#include "core/ui/main_window.h"

#include <QAbstractTextDocumentLayout>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollArea>
#include <QTextDocument>
#include <QVBoxLayout>

namespace kvx::app {

namespace {

// The units of the settings, in the order of the fields.
const char* const kSettingUnits[] = {"s", "dB(A)", ""};

// The settings as the printed page lists them.
QString settingsHtml(const FrmKvx& window) {
    const Kvx1& kvx = window.kvx;
    const SpeechSettings& s = window.speechSettings();
    const std::optional<double> values[] = {s.reverberation, window.systemSettings().ambient,
                                            s.target};
    const QStringList labels = speechSettingLabels(kvx.localTexts());
    QString rows;
    for (int i = 0; i < 3; ++i) {
        QString value = QStringLiteral("\u2013");
        if (values[i]) {
            value = kvx.locale.toString(*values[i], 'g', QLocale::FloatingPointShortest);
            if (*kSettingUnits[i])
                value += u' ' + QString::fromLatin1(kSettingUnits[i]);
        }
        rows += QStringLiteral("<tr><td>%1</td><td>&nbsp;&nbsp;%2</td></tr>")
                    .arg(labels.value(i).toHtmlEscaped(), value.toHtmlEscaped());
    }
    return QStringLiteral("<h3>%1</h3><table>%2</table>")
        .arg(kvx.localText(SpeechText::SettingsTitle).toHtmlEscaped(), rows);
}

void paintSpeechPage(QPainter& painter, const QRectF& area, const FrmKvx& window,
                     const PlanScene& scene, const PlanTexts& texts) {
    const Kvx1& kvx = window.kvx;
    const SpeechMap map{&scene.layout, scene.coverage ? &*scene.coverage : nullptr,
                        scene.coverageProblem};
    const SpeechView view =
        speechView(&scene.design, map, window.speechSettings(), window.systemSettings().ambient,
                   kvx.localTexts(), window.units());
    QTextDocument document;
    // Laid out in the page's own units, so that points are points on paper.
    document.documentLayout()->setPaintDevice(painter.device());
    document.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    document.setHtml(QStringLiteral("<h2>%1</h2>").arg(kvx.localText(SpeechText::PageTitle)) +
                     settingsHtml(window) + systemFiguresHtml(view.groups, view.notes));
    document.setTextWidth(area.width());
    // The figures take what they need, the map at least half the page.
    const QSizeF size = document.size();
    const double textHeight = std::min(size.height(), area.height() / 2);
    const double scale = textHeight / size.height();
    painter.save();
    painter.translate(area.topLeft());
    painter.scale(scale, scale);
    document.drawContents(&painter, QRectF(QPointF(0, 0), size));
    painter.restore();

    const QRectF below(area.left(), area.top() + textHeight, area.width(),
                       area.height() - textHeight);
    const StiMap* sti = view.speech && !view.speech->map.empty() ? &view.speech->map : nullptr;
    drawSti(painter, below, scene, sti,
            view.speech ? view.speech->figures.model.target : std::nullopt, view.mapProblem, texts);
}

} // namespace

// --- StiCanvas

StiCanvas::StiCanvas(const SpeechPanel& panel, const PlanTexts& texts, QWidget* parent)
    : QWidget(parent)
    , m_panel(panel)
    , m_texts(texts) {
    setMinimumSize(320, 200);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void StiCanvas::showScene(const PlanScene* scene) {
    m_scene = scene;
    update();
}

QRectF StiCanvas::drawingArea() const {
    return QRectF(rect()).adjusted(6, 6, -6, -6);
}

void StiCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (m_scene)
        drawSti(painter, drawingArea(), *m_scene, m_panel.map(), m_panel.target(),
                m_panel.view().mapProblem, m_texts);
}

void StiCanvas::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    if (!m_scene)
        return;
    const RoomFrame frame = stiFrame(drawingArea(), *m_scene, logicalDpiY() / 72.0);
    const QPointF point = frame.toRoom(event->position());
    if (frame.isValid() && m_scene->geometry.room.contains(point))
        Q_EMIT pointerAt(point);
    else
        Q_EMIT pointerAt(std::nullopt);
}

void StiCanvas::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    Q_EMIT pointerAt(std::nullopt);
}

// --- SpeechPage

SpeechPage::SpeechPage(FrmKvx& window, Dispatcher& dispatcher, const PlanTexts& texts,
                       SpeechPanel::MapOf mapOf, QWidget* parent)
    : PlanWindowPage(parent)
    , m_window(window)
    , m_texts(texts)
    , m_binder(dispatcher, this)
    , m_panel(std::make_unique<SpeechPanel>(window, std::move(mapOf))) {
    setObjectName(QStringLiteral("speechPage"));
    createControls();
    m_panel->onRefresh = [this] { showFigures(); };
    showFigures();
}

SpeechPage::~SpeechPage() {
    m_panel->onRefresh = nullptr;
}

QString SpeechPage::title() const {
    return m_texts.text(SpeechText::Tab);
}

void SpeechPage::createControls() {
    auto* settings = new QGroupBox(m_texts.text(SpeechText::SettingsTitle), this);
    auto* form = new QFormLayout(settings);
    const QStringList labels = m_panel->settingLabels();
    Control* fields[] = {&m_panel->txtReverberation, &m_panel->txtSpeechAmbient,
                         &m_panel->txtTarget};
    for (int i = 0; i < 3; ++i) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(fields[i]->name());
        edit->setAlignment(Qt::AlignRight);
        m_binder.bind(*fields[i], edit);
        auto* line = new QHBoxLayout;
        line->addWidget(edit, 1);
        auto* unit = new QLabel(QString::fromLatin1(kSettingUnits[i]), this);
        unit->setMinimumWidth(40);
        line->addWidget(unit);
        auto* label = new QLabel(labels.value(i), this);
        label->setBuddy(edit);
        form->addRow(label, line);
    }

    m_figures = new QLabel(this);
    m_figures->setObjectName(QStringLiteral("speechFigures"));
    m_figures->setTextFormat(Qt::RichText);
    m_figures->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_figures->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_figures->setWordWrap(true);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(m_figures);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);

    m_canvas = new StiCanvas(*m_panel, m_texts, this);
    m_canvas->setObjectName(QStringLiteral("stiCanvas"));
    m_pointer = new QLabel(m_panel->pointerText(std::nullopt), this);
    m_pointer->setObjectName(QStringLiteral("stiPointer"));
    connect(m_canvas, &StiCanvas::pointerAt, this, [this](std::optional<QPointF> point) {
        m_pointer->setText(m_panel->pointerText(point));
    });

    auto* left = new QVBoxLayout;
    left->addWidget(settings);
    left->addWidget(scroll, 1);
    auto* right = new QVBoxLayout;
    right->addWidget(m_canvas, 1);
    right->addWidget(m_pointer);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 2);
    layout->addLayout(right, 3);
}

void SpeechPage::showScene(const PlanScene* scene) {
    m_canvas->showScene(scene);
    m_pointer->setText(m_panel->pointerText(std::nullopt));
}

void SpeechPage::showFigures() {
    m_figures->setText(systemFiguresHtml(m_panel->view().groups, m_panel->view().notes));
    m_canvas->update();
}

QString SpeechPage::figuresText() const {
    return m_figures->text();
}

std::function<void(QPainter&, const QRectF&)>
speechPageFor(const FrmKvx& window, const PlanScene& scene, const PlanTexts& texts) {
    if (!window.speechSettings().reverberation)
        return {};
    return [&window, &scene, &texts](QPainter& painter, const QRectF& area) {
        paintSpeechPage(painter, area, window, scene, texts);
    };
}

} // namespace kvx::app
