#include "app/plan_window.h"

#include "app/dispatcher.h"
#include "app/pictures.h"
#include "app/plan_pages.h"
#include "app/print_module.h"
#include "app/speech_page.h"
#include "app/system_page.h"
#include "core/calc/design.h"
#include "core/plan/layout_texts.h"
#include "core/plan/plan_settings.h"
#include "core/project/project_settings.h"
#include "core/system/system_texts.h"
#include "core/ui/main_window.h"
#include "core/ui/main_window/report_commands.h"
#include "core/ui/offered_name.h"
#include "core/ui/replace_guard.h"

#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShowEvent>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

namespace kvx::app {

// The System page as a tab: it follows the design and the settings by
// itself, so the scene means nothing to it.
class SystemTab : public PlanWindowPage {
public:
    SystemTab(FrmKvx& model, Dispatcher& dispatcher, SystemPanel::QuietestLevel quietest)
        : m_model(model)
        , m_page(new SystemPage(model, dispatcher, this, std::move(quietest))) {
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(m_page);
    }
    QString title() const override {
        return QStringLiteral("&") + m_model.kvx.localText(SystemText::Title);
    }
    void showScene(const PlanScene*) override {}
    SystemPage* page() const { return m_page; }

private:
    FrmKvx& m_model;
    SystemPage* m_page;
};

PlanWindow::PlanWindow(FrmKvx& model, Dispatcher& dispatcher, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_model(model)
    , m_dispatcher(dispatcher)
    , m_texts(model.kvx) {
    setObjectName(QStringLiteral("planWindow"));
    setWindowTitle(m_texts.plain(PlanViewText::Title));
    setWindowIcon(programIcon());

    m_calculateFirst = new QLabel(m_texts.text(kvx::PlanText::CalculateFirst));
    m_calculateFirst->setObjectName(QStringLiteral("calculateFirst"));
    m_calculateFirst->setAlignment(Qt::AlignCenter);
    m_tabs = new QTabWidget;
    m_tabs->setObjectName(QStringLiteral("planPages"));
    createPages();

    m_export = new QPushButton(m_texts.text(PlanViewText::Export));
    m_export->setObjectName(QStringLiteral("export"));
    m_export->setAutoDefault(false);
    auto* menu = new QMenu(m_export);
    menu->setObjectName(QStringLiteral("exportMenu"));
    const std::pair<int, PlanFormat> formats[] = {
        {PlanViewText::ExportPng, PlanFormat::Png}, {PlanViewText::ExportSvg, PlanFormat::Svg},
        {PlanViewText::ExportPdf, PlanFormat::Pdf}, {PlanViewText::ExportDxf, PlanFormat::Dxf},
        {PlanViewText::ExportCsv, PlanFormat::Csv},
    };
    for (const auto& [id, format] : formats) {
        QAction* action = menu->addAction(m_texts.text(id));
        connect(action, &QAction::triggered, this, [this, f = format] { exportAs(f); });
    }
    m_export->setMenu(menu);

    auto* shown = new QWidget;
    auto* column = new QVBoxLayout(shown);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(m_tabs, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_export);
    column->addLayout(buttons);

    m_stack = new QStackedWidget;
    m_stack->setObjectName(QStringLiteral("planStack"));
    m_stack->addWidget(m_calculateFirst);
    m_stack->addWidget(shown);
    // On a small screen (or a large scale factor) the pages scroll, so that
    // the window fits the screen and the Export button stays within reach.
    auto* scroll = new QScrollArea;
    scroll->setObjectName(QStringLiteral("planScroll"));
    scroll->setWidgetResizable(true);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidget(m_stack);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(scroll);
    resize(960, 680);

    m_observer = m_model.observeDesign([this] { designChanged(); });
    // Another unit redraws every page: the dimensions, figures and margin.
    m_unitsObserver = m_model.observeUnits([this] {
        m_coverage->showUnits();
        rebuild();
        m_system->page()->panel().refresh();
        m_speech->panel().refresh();
    });
    m_settingsObserver = m_model.observeSettings([this] { settingsChanged(); });
    m_coverage->showMargin(m_model.planSettings().margin);
    rebuild();
    m_system->page()->panel().refresh();
    m_speech->panel().refresh();
}

PlanWindow::~PlanWindow() {
    m_model.unobserveDesign(m_observer);
    m_model.unobserveUnits(m_unitsObserver);
    m_model.unobserveSettings(m_settingsObserver);
}

void PlanWindow::settingsChanged() {
    m_coverage->showMargin(m_model.planSettings().margin);
    // The System and Speech panels follow the settings themselves, on the
    // map this makes.
    if (isVisible())
        currentScene();
}

void PlanWindow::createPages() {
    auto* layout = new LayoutPage(m_texts);
    addPage(layout);
    // Taking the offer is the user's pick of the fit in the main window.
    connect(layout, &LayoutPage::keepSpacingWanted, this, [this] {
        Control& fit = m_model.lstFit;
        const int index = int(fit.items().indexOf(fitName(Fit::Spacing, m_texts.localTexts())));
        m_dispatcher.run([&fit, index] {
            fit.userFocus();
            fit.userPick(index);
        });
    });
    m_coverage = new CoveragePage(m_texts);
    addPage(m_coverage);
    // The quietest listener is looked for in the listener area the Coverage
    // page shows, on its map: a setting typed on the System page makes none.
    m_system = new SystemTab(m_model, m_dispatcher, [this](const Design&) {
        const PlanScene* shown = currentScene();
        return shown ? quietestOf(*shown) : std::nullopt;
    });
    addPage(m_system);
    // The STI is estimated on the same map.
    m_speech = new SpeechPage(m_model, m_dispatcher, m_texts, [this](const Design&) {
        const PlanScene* shown = currentScene();
        if (!shown)
            return SpeechMap{};
        return SpeechMap{&shown->layout, shown->coverage ? &*shown->coverage : nullptr,
                         shown->coverageProblem};
    });
    addPage(m_speech);
    // The margin is the project's: a change marks it modified, and the pages
    // follow the settings as they do after Open or New.
    connect(m_coverage, &CoveragePage::marginChanged, this, [this](double margin) {
        m_dispatcher.run([this, margin] {
            PlanSettings plan = m_model.planSettings();
            plan.margin = margin;
            m_model.setPlanSettings(plan);
        });
    });
}

SystemPage* PlanWindow::systemPage() const {
    return m_system->page();
}

SpeechPage* PlanWindow::speechPage() const {
    return m_speech;
}

void PlanWindow::addPage(PlanWindowPage* page) {
    m_pages.append(page);
    m_tabs->addTab(page, page->title());
}

void PlanWindow::designChanged() {
    if (isVisible())
        currentScene();
}

void PlanWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && !std::exchange(m_fitted, true))
        fitScreen();
    currentScene();
}

void PlanWindow::fitScreen() {
    const QScreen* shown = screen();
    if (!shown)
        return;
    // As the main window does: within the screen's free area, frame included,
    // whatever the scale factor makes of the size asked for.
    const QRect free = shown->availableGeometry();
    const QSize frame = frameGeometry().size() - geometry().size();
    resize(size().boundedTo(free.size() - frame));
    QRect placed = frameGeometry();
    placed.moveRight(std::min(placed.right(), free.right()));
    placed.moveBottom(std::min(placed.bottom(), free.bottom()));
    placed.moveLeft(std::max(placed.left(), free.left()));
    placed.moveTop(std::max(placed.top(), free.top()));
    move(placed.topLeft());
}

const PlanScene* PlanWindow::currentScene() {
    // The System page asks while the window is still being built.
    if (!m_stack)
        return nullptr;
    const Design* design = m_model.design();
    const bool current = design ? m_scene && m_scene->design == *design &&
                                      m_sceneMargin == m_model.planSettings().margin
                                : !m_scene;
    if (!current)
        rebuild();
    return scene();
}

void PlanWindow::rebuild() {
    // The pages let go of the old scene before it goes.
    for (PlanWindowPage* page : std::as_const(m_pages))
        page->showScene(nullptr);
    m_scene.reset();
    m_sceneMargin = m_model.planSettings().margin;
    if (const Design* design = m_model.design()) {
        m_scene = makePlanScene(*design, {0, m_sceneMargin}, m_texts);
        ++m_scenesMade;
    }
    for (PlanWindowPage* page : std::as_const(m_pages))
        page->showScene(scene());
    m_stack->setCurrentIndex(m_scene ? 1 : 0);
    m_export->setEnabled(m_scene.has_value());
}

bool PlanWindow::exportTo(const QString& path, PlanFormat format) {
    if (!currentScene())
        return false;
    PlanExport what;
    what.scene = &*m_scene;
    what.texts = &m_texts;
    const auto* page = qobject_cast<PlanWindowPage*>(m_tabs->currentWidget());
    what.picture = page && page->picture() ? *page->picture() : Sheet::Plan;
    what.report = [this](ReportPrinter& printer) { printReport(m_model, printer); };
    what.system = [this](QPainter& painter, const QRectF& area) {
        paintSystemPage(painter, area, m_model, *m_scene);
    };
    what.speech = speechPageFor(m_model, *m_scene, m_texts);
    QString problem;
    if (Printing* found = printing(&problem))
        problem = found->writePlanFile(path, format, what);
    else
        problem =
            m_texts.text(PlanViewText::CannotWrite).arg(QDir::toNativeSeparators(path), problem);
    if (problem.isEmpty())
        return true;
    m_model.kvx.platform.messageBox(problem, MsgStyle::Exclamation,
                                    m_texts.plain(PlanViewText::ExportTitle));
    return false;
}

void PlanWindow::exportAs(PlanFormat format) {
    struct Kind {
        int filter;
        const char* extension;
    };
    const Kind kinds[] = {
        {PlanViewText::FilterPng, "png"}, {PlanViewText::FilterSvg, "svg"},
        {PlanViewText::FilterPdf, "pdf"}, {PlanViewText::FilterDxf, "dxf"},
        {PlanViewText::FilterCsv, "csv"},
    };
    const Kind& kind = kinds[int(format)];
    const QString extension = QString::fromLatin1(kind.extension);

    CommonDialog dialog;
    dialog.filter = QStringLiteral("%1 (*.%2)|*.%2").arg(m_texts.text(kind.filter), extension);
    dialog.defaultExt = extension;
    dialog.flags = DialogFlags::OverwritePrompt | DialogFlags::HideReadOnly;
    // Named after the project (a new one after its description), in the
    // folder every dialog of the program starts in: the project's, else the
    // last one used (installed) or the program's own (portable).
    const QString& project = m_model.CmDialog1.fileName;
    dialog.initDir = m_model.kvx.dialogFolder(project);
    dialog.fileName = offeredPath(m_model.kvx, project, m_model.txtDescription.text(), extension);
    const std::optional<QString> chosen = m_model.kvx.platform.showSaveDialog(dialog);
    if (!chosen || chosen->isEmpty())
        return;
    m_model.kvx.rememberFolder(*chosen);
    // The dialog's own question says nothing of what the file holds.
    if (!mayReplace(m_model.kvx, *chosen, m_texts.plain(PlanViewText::ExportTitle),
                    Replacement::Export))
        return;
    exportTo(*chosen, format);
}

} // namespace kvx::app
