#include "app/system_page.h"

#include "app/plan_drawing.h"
#include "core/calc/design.h"
#include "core/plan/plan_settings.h"
#include "core/project/project_settings.h"
#include "core/system/listener_level.h"
#include "core/ui/main_window.h"

#include <QAbstractTextDocumentLayout>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QTextDocument>
#include <QVBoxLayout>

namespace kvx::app {

namespace {

QString toneColour(FigureTone tone) {
    switch (tone) {
    case FigureTone::Good:
        return QStringLiteral("#1b7f2a");
    case FigureTone::Warning:
        return QStringLiteral("#b36b00");
    case FigureTone::Bad:
        return QStringLiteral("#c62828");
    case FigureTone::Plain:
        break;
    }
    return {};
}

QString settingsHtml(const FrmKvx& window) {
    const SystemSettings& s = window.systemSettings();
    const QStringList fields = systemSettingsFields(s);
    const Kvx1& kvx = window.kvx;
    const QStringList labels = systemSettingLabels(kvx.localTexts());
    const char* units[] = {"dB(A)", "dB", "W", "m", "", "", "dB"};
    const bool feet = window.units() == Units::Imperial;
    QStringList rows;
    for (int i = 0; i < 7; ++i) {
        QString value = fields[i];
        if (i == 4) {
            value = crossSectionSettingText(value, kvx.locale);
        } else if (i == 5) {
            value = kvx.localText(s.load == CableLoad::Spread ? SystemText::Spread
                                                              : SystemText::FarEnd);
        } else if (!value.isEmpty() && i == 3 && feet) {
            value = shownLengthText(metresFileText(value.toDouble()), Units::Imperial, kvx.locale) +
                    QStringLiteral(" ft");
        } else if (!value.isEmpty()) {
            value = kvx.locale.toString(value.toDouble(), 'g', QLocale::FloatingPointShortest) +
                    u' ' + QString::fromLatin1(units[i]);
        } else {
            value = QStringLiteral("\u2013");
        }
        rows << QStringLiteral("<tr><td>%1</td><td>&nbsp;&nbsp;%2</td></tr>")
                    .arg(labels[i].toHtmlEscaped(), value.toHtmlEscaped());
    }
    // The listener area the level check looks at.
    rows << QStringLiteral("<tr><td>%1</td><td>&nbsp;&nbsp;%2 m</td></tr>")
                .arg(kvx.localText(PlanSettingsText::Margin).remove(u'&').toHtmlEscaped(),
                     kvx.locale.toString(window.planSettings().margin, 'g',
                                         QLocale::FloatingPointShortest));
    return QStringLiteral("<h3>%1</h3><table>%2</table>")
        .arg(kvx.localText(SystemText::Settings).toHtmlEscaped(), rows.join(QString()));
}

} // namespace

QString systemFiguresHtml(const std::vector<FigureGroup>& groups, const QStringList& notes) {
    QString html;
    for (const FigureGroup& group : groups) {
        html += QStringLiteral("<h3>%1</h3><table>").arg(group.title.toHtmlEscaped());
        for (const FigureRow& row : group.rows) {
            QString value = row.value.toHtmlEscaped();
            if (row.tone != FigureTone::Plain)
                value = QStringLiteral("<b><span style=\"color:%1\">%2</span></b>")
                            .arg(toneColour(row.tone), value);
            html += QStringLiteral("<tr><td>%1</td><td>&nbsp;&nbsp;%2</td></tr>")
                        .arg(row.label.toHtmlEscaped(), value);
        }
        html += QStringLiteral("</table>");
    }
    for (const QString& note : notes)
        html += QStringLiteral("<p><i>%1</i></p>").arg(note.toHtmlEscaped());
    return html;
}

SystemPage::SystemPage(FrmKvx& window, Dispatcher& dispatcher, QWidget* parent,
                       SystemPanel::QuietestLevel quietest)
    : QWidget(parent)
    , m_window(window)
    , m_binder(dispatcher, this)
    , m_panel(std::make_unique<SystemPanel>(window, std::move(quietest))) {
    createControls();
    m_panel->onRefresh = [this] { showFigures(); };
    showFigures();
}

SystemPage::~SystemPage() {
    m_panel->onRefresh = nullptr;
}

void SystemPage::createControls() {
    auto* settings = new QGroupBox(m_window.kvx.localText(SystemText::Settings), this);
    auto* form = new QFormLayout(settings);
    const QStringList labels = m_panel->settingLabels();
    const auto lineEdit = [this](Control& control) {
        auto* edit = new QLineEdit(this);
        edit->setObjectName(control.name());
        edit->setAlignment(Qt::AlignRight);
        m_binder.bind(control, edit);
        return edit;
    };
    const auto combo = [this](Control& control, bool editable) {
        auto* box = new QComboBox(this);
        box->setObjectName(control.name());
        box->setEditable(editable);
        m_binder.bind(control, box);
        return box;
    };
    const auto row = [&](int index, QWidget* field, const char* unit) {
        auto* line = new QHBoxLayout;
        line->addWidget(field, 1);
        auto* unitLabel = new QLabel(QString::fromUtf8(unit), this);
        unitLabel->setMinimumWidth(48);
        line->addWidget(unitLabel);
        if (index == 3 || index == 7)
            m_lengthUnits.append(unitLabel);
        auto* label = new QLabel(labels.value(index), this);
        label->setBuddy(field);
        form->addRow(label, line);
    };
    row(0, lineEdit(m_panel->txtAmbient), "dB(A)");
    row(1, lineEdit(m_panel->txtAbove), "dB");
    row(2, lineEdit(m_panel->txtAmplifier), "W");
    row(3, lineEdit(m_panel->txtCableLength), "m");
    row(4, combo(m_panel->lstCrossSection, true), "");
    row(5, combo(m_panel->lstLoad, false), "");
    row(6, lineEdit(m_panel->txtDropLimit), "dB");
    row(7, lineEdit(m_panel->txtMargin), "m");

    auto* take = new QPushButton(this);
    take->setObjectName(m_panel->cmdTakeAdvice.name());
    m_binder.bind(m_panel->cmdTakeAdvice, take);

    m_figures = new QLabel(this);
    m_figures->setObjectName(QStringLiteral("systemFigures"));
    m_figures->setTextFormat(Qt::RichText);
    m_figures->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_figures->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    m_figures->setWordWrap(true);
    auto* scroll = new QScrollArea(this);
    scroll->setWidget(m_figures);
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);

    auto* left = new QVBoxLayout;
    left->addWidget(settings);
    left->addWidget(take);
    left->addStretch(1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left);
    layout->addWidget(scroll, 1);
}

void SystemPage::showFigures() {
    for (QLabel* unit : m_lengthUnits)
        unit->setText(m_window.kvx.localText(lengthSymbolId(m_window.units())));
    m_figures->setText(systemFiguresHtml(m_panel->groups(), m_panel->notes()));
}

QString SystemPage::figuresText() const {
    return m_figures->text();
}

namespace {

void paintSystemPage(QPainter& painter, const QRectF& area, const FrmKvx& window,
                     const std::function<std::optional<double>(const Design&)>& quietest) {
    const Kvx1& kvx = window.kvx;
    std::vector<FigureGroup> groups;
    QStringList notes;
    if (const Design* design = window.design()) {
        const SystemFigures figures =
            systemFiguresFor(*design, window.systemSettings(), quietest(*design));
        groups = systemFigureGroups(figures, kvx.localTexts(), window.units());
        notes = systemNotes(figures, window.systemSettings(), window.planSettings().margin,
                            kvx.localTexts(), window.units());
    } else {
        notes << kvx.localText(SystemText::CalculateFirst);
    }
    QTextDocument document;
    // Laid out in the page's own units, so that points are points on paper.
    document.documentLayout()->setPaintDevice(painter.device());
    document.setDefaultFont(QFont(QStringLiteral("Arial"), 10));
    document.setHtml(QStringLiteral("<h2>%1</h2>").arg(kvx.localText(SystemText::SizingTitle)) +
                     settingsHtml(window) + systemFiguresHtml(groups, notes));
    document.setTextWidth(area.width());
    // A page holds it at its natural size; a small one gets it scaled down.
    const QSizeF size = document.size();
    const double scale = size.height() > area.height() ? area.height() / size.height() : 1.0;
    painter.save();
    painter.translate(area.topLeft());
    painter.scale(scale, scale);
    document.drawContents(&painter, QRectF(QPointF(0, 0), size));
    painter.restore();
}

} // namespace

void paintSystemPage(QPainter& painter, const QRectF& area, const FrmKvx& window,
                     const PlanScene& scene) {
    paintSystemPage(painter, area, window, [&scene](const Design&) { return quietestOf(scene); });
}

void paintSystemPage(QPainter& painter, const QRectF& area, const FrmKvx& window) {
    const double margin = window.planSettings().margin;
    paintSystemPage(painter, area, window,
                    [margin](const Design& design) { return quietestRelative1k(design, margin); });
}

} // namespace kvx::app
