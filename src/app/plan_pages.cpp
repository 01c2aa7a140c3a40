#include "app/plan_pages.h"

#include "app/plan_texts.h"
#include "core/calc/sound.h"
#include "core/plan/layout_texts.h"

#include <QClipboard>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSplitter>
#include <QStyle>
#include <QTableView>
#include <QVBoxLayout>

namespace kvx::app {

namespace {

QLabel* wrappedLabel(const QString& name) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setWordWrap(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

// --- PlanCanvas

PlanCanvas::PlanCanvas(const PlanTexts& texts, QWidget* parent)
    : QWidget(parent)
    , m_texts(texts) {
    setMinimumSize(320, 200);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PlanCanvas::showScene(const PlanScene* scene) {
    m_scene = scene;
    update();
}

void PlanCanvas::showPlan() {
    m_band.reset();
    update();
}

void PlanCanvas::showCoverage(Band band) {
    m_band = band;
    update();
}

QRectF PlanCanvas::drawingArea() const {
    return QRectF(rect()).adjusted(6, 6, -6, -6);
}

void PlanCanvas::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!m_scene)
        return;
    if (m_band)
        drawCoverage(painter, drawingArea(), *m_scene, *m_band, m_texts);
    else
        drawPlan(painter, drawingArea(), m_scene->geometry, m_texts);
}

void PlanCanvas::mouseMoveEvent(QMouseEvent* event) {
    QWidget::mouseMoveEvent(event);
    if (!m_scene || !m_band)
        return;
    const RoomFrame frame = coverageFrame(drawingArea(), *m_scene, logicalDpiY() / 72.0);
    const QPointF point = frame.toRoom(event->position());
    if (!frame.isValid() || !m_scene->geometry.room.contains(point)) {
        Q_EMIT pointerLeft();
        return;
    }
    std::optional<double> level;
    if (m_scene->coverage) {
        level = m_scene->coverage->levelNear(*m_band, point);
        if (level)
            *level += shownOffset(*m_scene->coverage, *m_band);
    }
    Q_EMIT pointerAt(point, level);
}

void PlanCanvas::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    Q_EMIT pointerLeft();
}

// --- PositionsModel

PositionsModel::PositionsModel(const PlanTexts& texts, QObject* parent)
    : QAbstractTableModel(parent)
    , m_texts(texts) {}

void PositionsModel::setLayout(const Layout* layout) {
    beginResetModel();
    m_layout = layout && layout->hasPositions() ? *layout : Layout{};
    endResetModel();
}

int PositionsModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !m_layout.hasPositions() ? 0 : int(m_layout.count());
}

int PositionsModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : 3;
}

QVariant PositionsModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid())
        return {};
    if (role == Qt::TextAlignmentRole)
        return QVariant(Qt::AlignRight | Qt::AlignVCenter);
    if (role != Qt::DisplayRole)
        return {};
    const qint64 number = index.row() + 1;
    if (index.column() == 0)
        return QString::number(number);
    const std::optional<QPointF> at = m_layout.position(number);
    if (!at)
        return {};
    return m_texts.metres(index.column() == 1 ? at->x() : at->y());
}

QVariant PositionsModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    const int ids[] = {PlanViewText::Number, PlanViewText::ColumnX, PlanViewText::ColumnY};
    return section >= 0 && section < 3 ? m_texts.text(ids[section]) : QVariant();
}

// --- LayoutPage

LayoutPage::LayoutPage(const PlanTexts& texts, QWidget* parent)
    : PlanWindowPage(parent)
    , m_texts(texts) {
    setObjectName(QStringLiteral("planPage"));
    m_summary = wrappedLabel(QStringLiteral("planSummary"));
    m_canvas = new PlanCanvas(texts);
    m_canvas->setObjectName(QStringLiteral("planCanvas"));
    m_positions = new PositionsModel(texts, this);
    m_table = new QTableView;
    m_table->setObjectName(QStringLiteral("positions"));
    m_table->setModel(m_positions);
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->verticalHeader()->setDefaultSectionSize(m_table->fontMetrics().height() + 6);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    // A million rows stay quick when every row has the same height.
    m_table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_copy = new QPushButton(texts.text(PlanViewText::CopyPositions));
    m_copy->setObjectName(QStringLiteral("copyPositions"));
    m_copy->setAutoDefault(false);
    m_copied = new QLabel;
    m_copied->setObjectName(QStringLiteral("copied"));
    connect(m_copy, &QPushButton::clicked, this, &LayoutPage::copyPositions);

    auto* tableLabel = new QLabel(texts.text(PlanViewText::Positions));
    tableLabel->setBuddy(m_table);
    auto* side = new QWidget;
    auto* sideColumn = new QVBoxLayout(side);
    sideColumn->setContentsMargins(0, 0, 0, 0);
    sideColumn->addWidget(tableLabel);
    sideColumn->addWidget(m_table, 1);
    sideColumn->addWidget(m_copy);
    sideColumn->addWidget(m_copied);

    // Wide enough for a large hall's numbers and positions.
    side->setMinimumWidth(
        m_table->fontMetrics().horizontalAdvance(QStringLiteral("0000000 00000.00 00000.00")) +
        m_table->style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 40);

    auto* splitter = new QSplitter;
    splitter->addWidget(m_canvas);
    splitter->addWidget(side);
    splitter->setStretchFactor(0, 3);
    splitter->setStretchFactor(1, 1);
    splitter->setChildrenCollapsible(false);

    m_stretchedText = wrappedLabel(QStringLiteral("spacingStretched"));
    m_keepSpacing = new QPushButton(texts.text(LayoutText::KeepSpacingOffer));
    m_keepSpacing->setObjectName(QStringLiteral("keepSpacing"));
    m_keepSpacing->setAutoDefault(false);
    connect(m_keepSpacing, &QPushButton::clicked, this, &LayoutPage::keepSpacingWanted);
    m_stretched = new QWidget;
    auto* stretchedRow = new QHBoxLayout(m_stretched);
    stretchedRow->setContentsMargins(0, 0, 0, 0);
    stretchedRow->addWidget(m_stretchedText, 1);
    stretchedRow->addWidget(m_keepSpacing, 0, Qt::AlignTop);
    m_stretched->hide();

    auto* column = new QVBoxLayout(this);
    column->addWidget(m_summary);
    column->addWidget(m_stretched);
    column->addWidget(splitter, 1);
}

QString LayoutPage::title() const {
    return m_texts.text(PlanViewText::PlanTab);
}

void LayoutPage::showScene(const PlanScene* scene) {
    m_scene = scene;
    m_copied->clear();
    if (!scene) {
        m_summary->clear();
        m_stretched->hide();
        m_positions->setLayout(nullptr);
        m_copy->setEnabled(false);
        m_canvas->showScene(nullptr);
        return;
    }
    QStringList lines = m_texts.planLines(scene->layout, scene->design.distance);
    if (scene->geometry.tooManyToDraw)
        lines << m_texts.text(kvx::PlanText::TooManyToDraw);
    m_summary->setText(lines.join(u'\n'));
    const QString stretched =
        stretchedSpacingText(scene->design, scene->layout, m_texts.localTexts());
    m_stretchedText->setText(stretched);
    m_stretched->setVisible(!stretched.isEmpty());
    m_positions->setLayout(&scene->layout);
    m_copy->setEnabled(scene->layout.hasPositions());
    m_canvas->showScene(scene);
}

void LayoutPage::copyPositions() {
    if (!m_scene || !m_scene->layout.hasPositions())
        return;
    QGuiApplication::clipboard()->setText(positionsCsv(m_scene->layout));
    m_copied->setText(m_texts.text(PlanViewText::Copied));
}

// --- CoveragePage

CoveragePage::CoveragePage(const PlanTexts& texts, QWidget* parent)
    : PlanWindowPage(parent)
    , m_texts(texts) {
    setObjectName(QStringLiteral("coveragePage"));
    m_band = new QComboBox;
    m_band->setObjectName(QStringLiteral("band"));
    m_band->addItem(texts.bandName(Band::K1));
    m_band->addItem(texts.bandName(Band::K4));
    m_margin = new QDoubleSpinBox;
    m_margin->setObjectName(QStringLiteral("margin"));
    m_margin->setLocale(texts.locale());
    m_margin->setDecimals(2);
    m_margin->setSingleStep(0.25);
    // Below zero the listener area would reach beyond the walls: the box
    // refuses it. A margin too wide for the room is the core's to refuse.
    m_margin->setRange(0, 1e6);
    m_margin->setKeyboardTracking(false);
    m_marginMetres = m_margin->value();
    showUnits();
    m_figures = wrappedLabel(QStringLiteral("figures"));
    m_note = wrappedLabel(QStringLiteral("note"));
    m_note->setText(texts.text(kvx::PlanText::DirectLevelDiffers));
    QFont small = m_note->font();
    small.setPointSizeF(small.pointSizeF() * 0.9);
    m_note->setFont(small);
    m_widestBeam = wrappedLabel(QStringLiteral("widestBeam"));
    m_widestBeam->setText(
        texts.text(PlanViewText::WidestBeam).arg(texts.fixed(kWidestBeamAngle, 0)));
    m_widestBeam->setFont(small);
    m_widestBeam->hide();
    m_canvas = new PlanCanvas(texts);
    m_canvas->setObjectName(QStringLiteral("coverageCanvas"));
    m_pointer = new QLabel(texts.text(PlanViewText::PointerHint));
    m_pointer->setObjectName(QStringLiteral("pointer"));

    auto* bandLabel = new QLabel(texts.text(PlanViewText::BandLabel));
    bandLabel->setBuddy(m_band);
    auto* marginLabel = new QLabel(texts.text(PlanViewText::MarginLabel));
    marginLabel->setBuddy(m_margin);
    auto* settings = new QHBoxLayout;
    settings->addWidget(bandLabel);
    settings->addWidget(m_band);
    settings->addSpacing(16);
    settings->addWidget(marginLabel);
    settings->addWidget(m_margin);
    settings->addStretch(1);

    auto* column = new QVBoxLayout(this);
    column->addLayout(settings);
    column->addWidget(m_figures);
    column->addWidget(m_note);
    column->addWidget(m_widestBeam);
    column->addWidget(m_canvas, 1);
    column->addWidget(m_pointer);

    connect(m_band, &QComboBox::currentIndexChanged, this, [this] { showBand(); });
    connect(m_margin, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        m_marginMetres = m_texts.units() == Units::Imperial ? feetToMetres(value) : value;
        Q_EMIT marginChanged(m_marginMetres);
    });
    connect(m_canvas, &PlanCanvas::pointerAt, this, &CoveragePage::showPointer);
    connect(m_canvas, &PlanCanvas::pointerLeft, this,
            [this] { m_pointer->setText(m_texts.text(PlanViewText::PointerHint)); });
    m_canvas->showCoverage(band());
}

QString CoveragePage::title() const {
    return m_texts.text(PlanViewText::CoverageTab);
}

Band CoveragePage::band() const {
    return m_band->currentIndex() == 1 ? Band::K4 : Band::K1;
}

double CoveragePage::margin() const {
    return m_marginMetres;
}

void CoveragePage::showUnits() {
    const QSignalBlocker block(m_margin);
    m_margin->setSuffix(QLatin1Char(' ') + m_texts.text(PlanViewText::Metres));
    m_margin->setValue(m_texts.units() == Units::Imperial ? metresToFeet(m_marginMetres)
                                                          : m_marginMetres);
}

void CoveragePage::showMargin(double margin) {
    if (m_marginMetres == margin)
        return;
    m_marginMetres = margin;
    showUnits();
}

std::optional<Sheet> CoveragePage::picture() const {
    return band() == Band::K1 ? Sheet::Coverage1k : Sheet::Coverage4k;
}

void CoveragePage::showScene(const PlanScene* scene) {
    m_scene = scene;
    m_canvas->showScene(scene);
    m_pointer->setText(m_texts.text(PlanViewText::PointerHint));
    showBand();
}

void CoveragePage::showBand() {
    m_canvas->showCoverage(band());
    m_widestBeam->setVisible(
        m_scene &&
        beamAtItsWidest(band() == Band::K1 ? m_scene->design.angle1 : m_scene->design.angle4));
    if (!m_scene) {
        m_figures->clear();
        return;
    }
    if (!m_scene->coverage) {
        m_figures->setText(m_scene->coverageProblem);
        return;
    }
    m_figures->setText(
        m_texts.figureLines(*m_scene->coverage, band(), m_scene->design.difference4).join(u'\n'));
}

void CoveragePage::showPointer(QPointF point, std::optional<double> level) {
    if (!level) {
        m_pointer->setText(m_texts.text(PlanViewText::PointerHint));
        return;
    }
    m_pointer->setText(
        m_texts.text(PlanViewText::PointerValue)
            .arg(m_texts.decibels(*level), m_texts.metres(point.x()), m_texts.metres(point.y())));
}

} // namespace kvx::app
