#include "app/main_window_view.h"

#include "app/building_window.h"
#include "app/dispatcher.h"
#include "app/focus_mark.h"
#include "app/pictures.h"
#include "app/plan_texts.h"
#include "app/plan_window.h"
#include "app/twips.h"
#include "core/catalogue/lsp_record.h"
#include "core/ui/building_document.h"
#include "core/ui/main_window.h"

#include <QActionGroup>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QMoveEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QShowEvent>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <utility>
#include <vector>

namespace kvx::app {

namespace {

QLabel* picture(const QPixmap& pixmap, const QString& name) {
    auto* label = new QLabel;
    label->setObjectName(name);
    label->setPixmap(pixmap);
    label->setFixedSize(pixmap.size());
    return label;
}

// The type and the data file are picked from their lists only: a typed name
// means nothing to the program. The taps take a typed tap ("1/8 P").
enum class Typing { Allowed, PickOnly };

QComboBox* comboBox(const QString& name, Typing typing) {
    auto* combo = new QComboBox;
    combo->setObjectName(name);
    combo->setEditable(typing == Typing::Allowed);
    combo->setMaxVisibleItems(16);
    return combo;
}

QGroupBox* frame(const QString& name, QLayout* layout) {
    auto* box = new QGroupBox;
    box->setObjectName(name);
    box->setLayout(layout);
    return box;
}

QGridLayout* grid() {
    auto* layout = new QGridLayout;
    layout->setContentsMargins(6, 4, 6, 6);
    layout->setHorizontalSpacing(6);
    layout->setVerticalSpacing(4);
    return layout;
}

} // namespace

MainWindowView::MainWindowView(FrmKvx& model, Dispatcher& dispatcher, QWidget* parent)
    : QMainWindow(parent)
    , m_model(model)
    , m_dispatcher(dispatcher)
    , m_binder(dispatcher, this) {
    setObjectName(m_model.form.name());
    setWindowIcon(programIcon());
    setAcceptDrops(true);
    createControls();
    createMenus();
    bindControls();
    arrangeTabOrder();
    applyPlacement();
    connect(&m_model.form, &Control::updated, this, [this] { applyPlacement(); });
}

MainWindowView::~MainWindowView() {
    m_dispatcher.onActionDone = nullptr;
}

QLabel* MainWindowView::expText(int index) {
    return m_expText.at(index);
}

QLabel* MainWindowView::resultLabel() {
    auto* label = new QLabel;
    label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(56);
    label->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    return label;
}

QLineEdit* MainWindowView::numberField() {
    auto* edit = new QLineEdit;
    edit->setFixedWidth(56);
    edit->setAlignment(Qt::AlignRight);
    return edit;
}

void MainWindowView::createControls() {
    createFields();
    // The frames, top to bottom and left to right.
    QLayout* general = generalLayout();
    QLayout* room = roomLayout();
    QLayout* speaker = loudspeakerLayout();
    QLayout* power = powerLayout();
    QLayout* difference = differenceLayout();
    QLayout* results = resultsLayout();
    auto* banner = new QHBoxLayout;
    banner->setSpacing(0);
    banner->addWidget(picture(picture1(), m_model.Picture1.name()));
    banner->addStretch(1);
    banner->addWidget(picture(picture2(), m_model.Picture2.name()));
    banner->addStretch(1);
    banner->addWidget(picture(picture3(), m_model.Picture3.name()));

    auto* frame6 = frame(m_model.Frame6.name(), general);
    auto* frame1 = frame(m_model.Frame1.name(), room);
    auto* frame4 = frame(m_model.Frame4.name(), speaker);
    auto* frame2 = frame(m_model.Frame2.name(), power);
    auto* frame5 = frame(m_model.Frame5.name(), difference);
    auto* frame3 = frame(m_model.Frame3.name(), results);
    m_binder.bind(m_model.Frame6, frame6);
    m_binder.bind(m_model.Frame1, frame1);
    m_binder.bind(m_model.Frame4, frame4);
    m_binder.bind(m_model.Frame2, frame2);
    m_binder.bind(m_model.Frame5, frame5);
    m_binder.bind(m_model.Frame3, frame3);

    auto* middle = new QHBoxLayout;
    middle->addWidget(frame1, 0);
    middle->addWidget(frame4, 1);
    auto* lower = new QHBoxLayout;
    lower->addWidget(frame2, 0);
    lower->addWidget(frame5, 1);

    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("content"));
    auto* column = new QVBoxLayout(m_content);
    column->setContentsMargins(6, 6, 6, 6);
    column->setSpacing(4);
    // The fields never squeeze over each other: below this the window scrolls.
    column->setSizeConstraint(QLayout::SetMinimumSize);
    // Height to spare goes between the blocks, evenly.
    column->addLayout(banner);
    column->addStretch(1);
    column->addWidget(frame6);
    column->addStretch(1);
    column->addLayout(middle);
    column->addStretch(1);
    column->addLayout(lower);
    column->addStretch(1);
    column->addWidget(frame3);
    column->addStretch(1);

    // A screen too small for the window (large fonts, a high scale) scrolls
    // the fields instead of squeezing them over each other.
    m_scroll = new QScrollArea;
    m_scroll->setObjectName(QStringLiteral("scroll"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setFocusPolicy(Qt::NoFocus); // not a stop of the Tab key
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(m_content);
    setCentralWidget(m_scroll);

    for (QLineEdit* field :
         {m_txtDescription, m_txtRoomLength, m_txtRoomWidth, m_txtRoomHeight, m_txtEarHeight,
          m_txtAngle1, m_txtAngle4, m_txtSensitivity, m_txtMaxPower}) {
        connect(field, &QLineEdit::returnPressed, this, &MainWindowView::calculateOnReturn);
    }
}

void MainWindowView::createFields() {
    for (int i = 0; i < ExpTextCount; ++i) {
        auto* label = new QLabel;
        label->setObjectName(m_model.ExpText.at(i)->name());
        m_expText.append(label);
    }
    const auto name = [](QWidget* widget, const Control& control) {
        widget->setObjectName(control.name());
        return widget;
    };

    m_txtDescription = new QLineEdit;
    m_FileSel = comboBox(m_model.FileSel.name(), Typing::PickOnly);
    m_txtRoomLength = numberField();
    m_txtRoomWidth = numberField();
    m_txtRoomHeight = numberField();
    m_txtEarHeight = numberField();
    m_lstLsp = comboBox(m_model.lstLsp.name(), Typing::PickOnly);
    m_txtAngle1 = numberField();
    m_txtAngle4 = numberField();
    m_txtSensitivity = numberField();
    m_txtMaxPower = numberField();
    m_lstLspTap = comboBox(m_model.lstLspTap.name(), Typing::Allowed);
    m_lstAmpTap = comboBox(m_model.lstAmpTap.name(), Typing::Allowed);
    m_lblPower = resultLabel();
    m_DiffSet = new FocusMarked<QSlider>(Qt::Horizontal);
    m_txtLevelDif4 = resultLabel();
    m_cmdCalc = new QPushButton;
    m_lstPattern = comboBox(m_model.lstPattern.name(), Typing::PickOnly);
    m_lstFit = comboBox(m_model.lstFit.name(), Typing::PickOnly);
    // The names of the patterns and fits are never cut short: the lists are
    // as wide as their longest name in the language shown.
    for (QComboBox* layout : {m_lstPattern, m_lstFit}) {
        layout->setSizeAdjustPolicy(QComboBox::AdjustToContents);
        layout->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    }
    m_lblDistance = resultLabel();
    m_lblNrofSpeakers = resultLabel();
    m_lblLevel = resultLabel();
    m_lblLevelDif1 = resultLabel();

    name(m_txtDescription, m_model.txtDescription);
    name(m_txtRoomLength, m_model.txtRoomLength);
    name(m_txtRoomWidth, m_model.txtRoomWidth);
    name(m_txtRoomHeight, m_model.txtRoomHeight);
    name(m_txtEarHeight, m_model.txtEarHeight);
    name(m_txtAngle1, m_model.txtAngle1);
    name(m_txtAngle4, m_model.txtAngle4);
    name(m_txtSensitivity, m_model.txtSensitivity);
    name(m_txtMaxPower, m_model.txtMaxPower);
    name(m_lblPower, m_model.lblPower);
    name(m_DiffSet, m_model.DiffSet);
    name(m_txtLevelDif4, m_model.txtLevelDif4);
    name(m_cmdCalc, m_model.cmdCalc);
    name(m_lblDistance, m_model.lblDistance);
    name(m_lblNrofSpeakers, m_model.lblNrofSpeakers);
    name(m_lblLevel, m_model.lblLevel);
    name(m_lblLevelDif1, m_model.lblLevelDif1);

    // The slider takes the focus as a scroll bar does; a catalogue field
    // sends the focus on to it.
    m_DiffSet->setFocusPolicy(Qt::StrongFocus);
    m_DiffSet->setTickPosition(QSlider::TicksBelow);
    m_DiffSet->setTickInterval(10);
    // Return in a field calculates; the button shows it while it is enabled.
    m_cmdCalc->setAutoDefault(false);
    m_cmdCalc->setDefault(true);
    m_lstLspTap->setMinimumContentsLength(5);
    m_lstAmpTap->setMinimumContentsLength(5);
    m_lstLsp->setMinimumContentsLength(11);
    m_FileSel->setMinimumContentsLength(12);
    m_lstLsp->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    m_FileSel->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);

    // Captions name their fields: their access keys move the focus there.
    const std::pair<int, QWidget*> buddies[] = {
        {ExpProjectDescription, m_txtDescription},
        {ExpLoudspeakerFile, m_FileSel},
        {ExpRoomLength, m_txtRoomLength},
        {ExpRoomWidth, m_txtRoomWidth},
        {ExpRoomHeight, m_txtRoomHeight},
        {ExpEarHeight, m_txtEarHeight},
        {ExpSpeakerTap, m_lstLspTap},
        {ExpAmplifierTap, m_lstAmpTap},
        {ExpOpeningAngle, m_txtAngle1},
        {ExpSensitivity, m_txtSensitivity},
        {ExpRatedPower, m_txtMaxPower},
        {ExpPattern, m_lstPattern},
        {ExpFit, m_lstFit},
    };
    for (const auto& [index, buddy] : buddies)
        expText(index)->setBuddy(buddy);
    for (int index : {ExpAt1kHz, ExpAt4kHz})
        expText(index)->setAlignment(Qt::AlignCenter);
}

// General: the project and the data file.
QGridLayout* MainWindowView::generalLayout() {
    auto* general = grid();
    general->addWidget(expText(ExpProjectDescription), 0, 0);
    general->addWidget(m_txtDescription, 0, 1);
    general->addWidget(expText(ExpLoudspeakerFile), 1, 0);
    general->addWidget(m_FileSel, 1, 1, Qt::AlignLeft);
    general->setColumnStretch(1, 1);
    return general;
}

// Room data: four dimensions in metres.
QGridLayout* MainWindowView::roomLayout() {
    auto* room = grid();
    const std::tuple<int, QLineEdit*, int> roomRows[] = {
        {ExpRoomLength, m_txtRoomLength, ExpUnitRoomLength},
        {ExpRoomWidth, m_txtRoomWidth, ExpUnitRoomWidth},
        {ExpRoomHeight, m_txtRoomHeight, ExpUnitRoomHeight},
        {ExpEarHeight, m_txtEarHeight, ExpUnitEarHeight},
    };
    int row = 0;
    for (const auto& [caption, field, unit] : roomRows) {
        room->addWidget(expText(caption), row, 0);
        room->addWidget(field, row, 1);
        room->addWidget(expText(unit), row, 2);
        ++row;
    }
    room->setRowStretch(row, 1);
    return room;
}

// Loudspeaker data: the type, then the catalogue values by octave band.
QGridLayout* MainWindowView::loudspeakerLayout() {
    auto* speaker = grid();
    speaker->addWidget(m_lstLsp, 0, 0, 1, 4);
    speaker->addWidget(expText(ExpOctaveBands), 1, 0);
    speaker->addWidget(expText(ExpAt1kHz), 1, 1);
    speaker->addWidget(expText(ExpAt4kHz), 1, 2);
    speaker->addWidget(expText(ExpOpeningAngle), 2, 0);
    speaker->addWidget(m_txtAngle1, 2, 1);
    speaker->addWidget(m_txtAngle4, 2, 2);
    speaker->addWidget(expText(ExpDegrees), 2, 3);
    speaker->addWidget(expText(ExpSensitivity), 3, 0);
    speaker->addWidget(m_txtSensitivity, 3, 1);
    speaker->addWidget(expText(ExpUnitSensitivity), 3, 2);
    speaker->addWidget(expText(ExpRatedPower), 4, 0);
    speaker->addWidget(m_txtMaxPower, 4, 1);
    speaker->addWidget(expText(ExpUnitRatedPower), 4, 2);
    speaker->setColumnStretch(3, 1);
    return speaker;
}

// Power setting: the two taps and the power they give.
QGridLayout* MainWindowView::powerLayout() {
    auto* power = grid();
    power->addWidget(expText(ExpSpeakerTap), 0, 0);
    power->addWidget(m_lstLspTap, 0, 1);
    power->addWidget(expText(ExpAmplifierTap), 1, 0);
    power->addWidget(m_lstAmpTap, 1, 1);
    power->addWidget(expText(ExpSpeakerPower), 2, 0);
    power->addWidget(m_lblPower, 2, 1);
    power->addWidget(expText(ExpUnitSpeakerPower), 2, 2);
    power->setColumnStretch(3, 1);
    return power;
}

// Difference level setting: the slider, its value and Calculate, and beside
// them how the loudspeakers hang; the frame keeps the height of the power
// setting beside it.
QGridLayout* MainWindowView::differenceLayout() {
    auto* difference = grid();
    difference->addWidget(m_DiffSet, 0, 0, 1, 5);
    difference->addWidget(m_txtLevelDif4, 1, 0);
    difference->addWidget(expText(ExpUnitLevelDif4), 1, 1);
    difference->addWidget(m_cmdCalc, 2, 0, 1, 2, Qt::AlignLeft);
    difference->addWidget(expText(ExpPattern), 1, 3);
    difference->addWidget(m_lstPattern, 1, 4);
    difference->addWidget(expText(ExpFit), 2, 3);
    difference->addWidget(m_lstFit, 2, 4);
    difference->setColumnStretch(2, 1);
    difference->setRowStretch(3, 1);
    return difference;
}

// Calculated data: two columns of results.
QGridLayout* MainWindowView::resultsLayout() {
    auto* results = grid();
    const std::tuple<int, QLabel*, int, int, int> resultCells[] = {
        {ExpMutualDistance, m_lblDistance, ExpUnitDistance, 0, 0},
        {ExpNumberOfSpeakers, m_lblNrofSpeakers, -1, 0, 3},
        {ExpSoundPressureLevel, m_lblLevel, ExpUnitLevel, 1, 0},
        {ExpDifferenceLevel, m_lblLevelDif1, ExpUnitLevelDif1, 1, 3},
    };
    for (const auto& [caption, value, unit, r, c] : resultCells) {
        results->addWidget(expText(caption), r, c);
        results->addWidget(value, r, c + 1);
        if (unit >= 0)
            results->addWidget(expText(unit), r, c + 2);
    }
    results->setColumnMinimumWidth(2, 28);
    results->setColumnStretch(2, 1);
    results->setColumnStretch(5, 1);
    return results;
}

void MainWindowView::calculateOnReturn() {
    if (m_model.cmdCalc.isEnabled())
        m_dispatcher.run([this] { m_model.cmdCalc.userClick(); });
}

void MainWindowView::createMenus() {
    auto* file = menuBar()->addMenu(QString());
    file->setObjectName(m_model.mnuFile.name());
    m_binder.bind(m_model.mnuFile, file);
    const std::pair<Control*, QKeySequence::StandardKey> fileCommands[] = {
        {&m_model.mnuNew, QKeySequence::New},
        {&m_model.mnuOpen, QKeySequence::Open},
        {&m_model.mnuRecent, QKeySequence::UnknownKey},
        {&m_model.mnuSave, QKeySequence::Save},
        {&m_model.mnuSaveAs, QKeySequence::SaveAs},
        {nullptr, QKeySequence::UnknownKey},
        {&m_model.mnuPrintSetup, QKeySequence::UnknownKey},
        {&m_model.mnuReport, QKeySequence::Print},
        {&m_model.mnuExportPdf, QKeySequence::UnknownKey},
        {&m_model.mnuPrintFile, QKeySequence::UnknownKey},
        {nullptr, QKeySequence::UnknownKey},
        {&m_model.mnuLanguage, QKeySequence::UnknownKey},
        {&m_model.mnuUnits, QKeySequence::UnknownKey},
        {nullptr, QKeySequence::UnknownKey},
        {&m_model.mnuExit, QKeySequence::Quit},
    };
    for (const auto& [control, key] : fileCommands) {
        if (!control) {
            file->addSeparator();
            continue;
        }
        if (control == &m_model.mnuUnits) {
            QMenu* units = file->addMenu(QString());
            units->setObjectName(control->name());
            m_binder.bind(*control, units);
            // One of two: shown as a radio choice.
            auto* choices = new QActionGroup(units);
            std::vector<std::pair<QAction*, Control*>> shown;
            for (Control* choice : {&m_model.mnuMetric, &m_model.mnuImperial}) {
                QAction* action = units->addAction(QString());
                choices->addAction(action);
                action->setObjectName(choice->name());
                action->setCheckable(true);
                m_binder.bind(*choice, action);
                shown.emplace_back(action, choice);
            }
            // Qt checks the entry clicked; the model may have refused the
            // change, so once the click has reached it (the binder's
            // connection comes first) the check goes back to the units in use.
            for (const auto& entry : shown) {
                connect(entry.first, &QAction::triggered, this, [shown] {
                    for (const auto& [each, model] : shown) {
                        if (model->isChecked())
                            each->setChecked(true);
                    }
                });
            }
            continue;
        }
        if (control == &m_model.mnuRecent) {
            QMenu* recent = file->addMenu(QString());
            recent->setObjectName(control->name());
            m_binder.bind(*control, recent);
            connect(recent, &QMenu::aboutToShow, this, [this, recent] { fillRecent(recent); });
            continue;
        }
        QAction* action = file->addAction(QString());
        action->setObjectName(control->name());
        if (key != QKeySequence::UnknownKey)
            action->setShortcuts(key);
        m_binder.bind(*control, action);
        if (control == &m_model.mnuPrintFile)
            createPlanEntry(file);
        if (control == &m_model.mnuSaveAs)
            createBuildingEntries(file);
    }

    auto* help = menuBar()->addMenu(QString());
    help->setObjectName(m_model.mnuHelp.name());
    m_binder.bind(m_model.mnuHelp, help);
    QAction* working = help->addAction(QString());
    working->setObjectName(m_model.mnuWorking.name());
    m_binder.bind(m_model.mnuWorking, working);
    help->addSeparator();
    QAction* about = help->addAction(QString());
    about->setObjectName(m_model.mnuAbout.name());
    m_binder.bind(m_model.mnuAbout, about);
}

void MainWindowView::fillRecent(QMenu* menu) {
    menu->clear();
    const QStringList paths = m_model.recentProjects();
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString path = paths.at(i);
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(u'&', QStringLiteral("&&"));
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        connect(action, &QAction::triggered, this,
                [this, path] { m_dispatcher.run([&] { m_model.openRecent(path); }); });
    }
    if (paths.isEmpty())
        menu->addAction(m_model.kvx.localText(1140))->setEnabled(false);
}

void MainWindowView::showModified() {
    // The caption carries Qt's marker of unsaved changes.
    setWindowModified(m_model.kvx.Modified);
}

void MainWindowView::createPlanEntry(QMenu* menu) {
    // The plan window is the program's own addition: its entry takes its
    // text straight from the string table, again whenever the menus are
    // translated.
    m_mnuPlan = menu->addAction(QString());
    m_mnuPlan->setObjectName(QStringLiteral("mnuPlan"));
    m_mnuPlan->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_L));
    const auto translate = [this] {
        m_mnuPlan->setText(m_model.kvx.localText(PlanViewText::Menu));
    };
    translate();
    connect(&m_model.mnuFile, &Control::updated, m_mnuPlan, translate);
    connect(m_mnuPlan, &QAction::triggered, this, &MainWindowView::showPlanWindow);
}

void MainWindowView::createBuildingEntries(QMenu* menu) {
    // The building window is the program's own addition, as the plan is.
    menu->addSeparator();
    QAction* newBuilding = menu->addAction(QString());
    newBuilding->setObjectName(QStringLiteral("mnuNewBuilding"));
    QAction* openBuilding = menu->addAction(QString());
    openBuilding->setObjectName(QStringLiteral("mnuOpenBuilding"));
    QMenu* recent = menu->addMenu(QString());
    recent->setObjectName(QStringLiteral("mnuRecentBuildings"));
    const auto translate = [this, newBuilding, openBuilding, recent] {
        newBuilding->setText(m_model.kvx.localText(BuildingWindowText::NewBuilding));
        openBuilding->setText(m_model.kvx.localText(BuildingWindowText::OpenBuilding));
        recent->setTitle(m_model.kvx.localText(BuildingWindowText::RecentBuildings));
    };
    translate();
    connect(&m_model.mnuFile, &Control::updated, newBuilding, translate);
    connect(newBuilding, &QAction::triggered, this, [this] { openBuildingWindow(); });
    connect(openBuilding, &QAction::triggered, this, &MainWindowView::openBuildingDialog);
    connect(recent, &QMenu::aboutToShow, this, [this, recent] { fillRecentBuildings(recent); });
}

void MainWindowView::fillRecentBuildings(QMenu* menu) {
    menu->clear();
    const QStringList paths = recentBuildings(m_model.kvx);
    for (qsizetype i = 0; i < paths.size(); ++i) {
        const QString path = paths.at(i);
        QString shown = QDir::toNativeSeparators(path);
        shown.replace(u'&', QStringLiteral("&&"));
        QAction* action = menu->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(shown));
        connect(action, &QAction::triggered, this, [this, path] {
            // A file that has gone is said by the open and leaves the list.
            if (!openBuildingWindow(path) && !QFileInfo(path).isFile())
                forgetRecentBuilding(m_model.kvx, path);
        });
    }
    if (paths.isEmpty())
        menu->addAction(m_model.kvx.localText(1140))->setEnabled(false);
}

void MainWindowView::openBuildingDialog() {
    std::optional<QString> chosen;
    m_dispatcher.run([&] {
        CommonDialog dialog;
        dialog.filter = QStringLiteral("KVX buildings (*.kvxb)|*.kvxb|All Files (*.*)|*.*");
        dialog.defaultExt = QStringLiteral("kvxb");
        dialog.flags = DialogFlags::FileMustExist | DialogFlags::HideReadOnly;
        dialog.initDir = m_model.kvx.dialogFolder(m_model.CmDialog1.fileName);
        chosen = m_model.kvx.platform.showOpenDialog(dialog);
        if (chosen)
            m_model.kvx.rememberFolder(*chosen);
    });
    if (chosen)
        openBuildingWindow(*chosen);
}

BuildingWindow* MainWindowView::openBuildingWindow(const QString& path) {
    // A building already open comes to the front instead of a second window
    // on the same file, whose saves would overwrite each other's.
    for (BuildingWindow* window : buildingWindows()) {
        if (!path.isEmpty() && QFileInfo(window->document().path()) == QFileInfo(path)) {
            window->raise();
            window->activateWindow();
            return window;
        }
    }
    Kvx1& kvx = m_model.kvx;
    const QList<LspRecord> catalogue =
        readLspFile(kvx.cataloguePath(kvx.CurrentLspFile)).value_or(QList<LspRecord>{});
    auto* window = new BuildingWindow(kvx, catalogue, m_dispatcher);
    bool opened = true;
    if (!path.isEmpty())
        m_dispatcher.run([&] { opened = window->document().open(path); });
    if (!opened) {
        delete window;
        return nullptr;
    }
    connect(window, &BuildingWindow::openProject, this, [this](const QString& project) {
        m_dispatcher.run([&] { m_model.openRecent(project); });
        raise();
        activateWindow();
    });
    m_buildingWindows.removeAll(nullptr);
    m_buildingWindows << window;
    window->show();
    return window;
}

QList<BuildingWindow*> MainWindowView::buildingWindows() const {
    QList<BuildingWindow*> windows;
    for (const QPointer<BuildingWindow>& window : m_buildingWindows) {
        if (window)
            windows << window;
    }
    return windows;
}

void MainWindowView::showPlanWindow() {
    if (!m_planWindow)
        m_planWindow = new PlanWindow(m_model, m_dispatcher, this);
    m_planWindow->show();
    m_planWindow->raise();
    m_planWindow->activateWindow();
}

PlanWindow* MainWindowView::planWindow() const {
    return m_planWindow;
}

void MainWindowView::bindControls() {
    const auto showCaption = [this] {
        const QString title = literalWindowTitle(m_model.form.text()) + QStringLiteral("[*]");
        if (windowTitle() != title)
            setWindowTitle(title);
    };
    connect(&m_model.form, &Control::updated, this, showCaption);
    showCaption();
    showModified();
    m_dispatcher.onActionDone = [this] { showModified(); };
    for (int i = 0; i < ExpTextCount; ++i)
        m_binder.bind(*m_model.ExpText.at(i), expText(i), LabelText::AccessKey);

    m_binder.bind(m_model.txtDescription, m_txtDescription);
    m_binder.bind(m_model.FileSel, m_FileSel);
    m_binder.bind(m_model.txtRoomLength, m_txtRoomLength);
    m_binder.bind(m_model.txtRoomWidth, m_txtRoomWidth);
    m_binder.bind(m_model.txtRoomHeight, m_txtRoomHeight);
    m_binder.bind(m_model.txtEarHeight, m_txtEarHeight);
    m_binder.bind(m_model.lstLsp, m_lstLsp);
    m_binder.bind(m_model.txtAngle1, m_txtAngle1);
    m_binder.bind(m_model.txtAngle4, m_txtAngle4);
    m_binder.bind(m_model.txtSensitivity, m_txtSensitivity);
    m_binder.bind(m_model.txtMaxPower, m_txtMaxPower);
    m_binder.bind(m_model.lstLspTap, m_lstLspTap);
    m_binder.bind(m_model.lstAmpTap, m_lstAmpTap);
    m_binder.bind(m_model.lblPower, m_lblPower, LabelText::AsIs);
    m_binder.bind(m_model.DiffSet, m_DiffSet);
    m_binder.bind(m_model.txtLevelDif4, m_txtLevelDif4, LabelText::AsIs);
    m_binder.bind(m_model.cmdCalc, m_cmdCalc);
    m_binder.bind(m_model.lstPattern, m_lstPattern);
    m_binder.bind(m_model.lstFit, m_lstFit);
    m_binder.bind(m_model.lblDistance, m_lblDistance, LabelText::AsIs);
    m_binder.bind(m_model.lblNrofSpeakers, m_lblNrofSpeakers, LabelText::AsIs);
    m_binder.bind(m_model.lblLevel, m_lblLevel, LabelText::AsIs);
    m_binder.bind(m_model.lblLevelDif1, m_lblLevelDif1, LabelText::AsIs);
}

void MainWindowView::arrangeTabOrder() {
    // The project, then down the left column (room, taps) and the right one
    // (loudspeaker, difference level, the layout, Calculate). A catalogue field sends the
    // focus on to the slider, so the taps come before the loudspeaker: they
    // stay within reach of the Tab key.
    QWidget* const chain[] = {
        m_txtDescription, m_FileSel,        m_txtRoomLength, m_txtRoomWidth, m_txtRoomHeight,
        m_txtEarHeight,   m_lstLspTap,      m_lstAmpTap,     m_lstLsp,       m_txtAngle1,
        m_txtAngle4,      m_txtSensitivity, m_txtMaxPower,   m_DiffSet,      m_lstPattern,
        m_lstFit,         m_cmdCalc,
    };
    for (std::size_t i = 1; i < std::size(chain); ++i)
        QWidget::setTabOrder(chain[i - 1], chain[i]);
}

void MainWindowView::applyPlacement(bool force) {
    const Control& form = m_model.form;
    if (form.width() <= 0 || form.height() <= 0)
        return;
    const QRectF model(form.left(), form.top(), form.width(), form.height());
    if (model == m_placed && !force)
        return;
    m_placed = model;
    // The model's size is the outer size: the frame that the window system
    // draws around the window is part of it.
    const QSize frameExtra = frameGeometry().size() - geometry().size();
    const QSize modelOuter(twipsToPixelsX(form.width()), twipsToPixelsY(form.height()));
    // Never smaller than the layout needs (large fonts, another language),
    // and never larger: more room would only be empty space.
    const QSize needed =
        m_content->sizeHint() + QSize(0, menuBar()->sizeHint().height()) + frameExtra;
    const QSize outer = modelOuter.expandedTo(needed);
    setMaximumSize(outer - frameExtra);
    const QScreen* screen = placementScreen();
    const QPoint origin = screen ? screen->geometry().topLeft() : QPoint();
    QPoint topLeft = origin + QPoint(twipsToPixelsX(form.left()), twipsToPixelsY(form.top()));
    // Inside the screen's free area; what does not fit there scrolls.
    QSize shown = outer;
    if (screen) {
        const QRect area = screen->availableGeometry();
        shown = outer.boundedTo(area.size());
        // Still centred where the model centred the window of its own size.
        topLeft -= QPoint((shown.width() - modelOuter.width()) / 2,
                          (shown.height() - modelOuter.height()) / 2);
        topLeft.setX(std::clamp(topLeft.x(), area.left(), area.right() + 1 - shown.width()));
        topLeft.setY(std::clamp(topLeft.y(), area.top(), area.bottom() + 1 - shown.height()));
    }
    resize(shown - frameExtra);
    move(topLeft);
}

void MainWindowView::fitFrameOnce() {
    // The frame that the window system draws is known only once the window
    // is shown (with a window manager, a little later still).
    if (m_frameFitted || !isVisible() || frameGeometry().size() == geometry().size())
        return;
    m_frameFitted = true;
    applyPlacement(true);
}

void MainWindowView::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    fitFrameOnce();
}

void MainWindowView::activateOnce() {
    m_dispatcher.run([this] { m_model.Form_Activate(); });
    // The texts of the language are in now: the window takes the size they need.
    m_content->adjustSize();
    applyPlacement(true);
    Q_EMIT activated();
}

void MainWindowView::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (event->spontaneous() || !m_activationDue)
        return;
    m_activationDue = false;
    fitFrameOnce();
    // The window comes up first; the activation (translation and a
    // calculation, which may show a message) runs right after.
    QMetaObject::invokeMethod(this, &MainWindowView::activateOnce, Qt::QueuedConnection);
}

void MainWindowView::closeEvent(QCloseEvent* event) {
    if (m_ending || m_dispatcher.programEnded()) {
        event->accept();
        return;
    }
    bool mayClose = false;
    m_dispatcher.run([&] { mayClose = m_model.Form_QueryUnload(); });
    if (mayClose || m_dispatcher.programEnded())
        event->accept();
    else
        event->ignore();
}

namespace {

// The one local file a drop carries, or nothing.
QString droppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls() || data->urls().size() != 1 ||
        !data->urls().first().isLocalFile())
        return {};
    return data->urls().first().toLocalFile();
}

} // namespace

void MainWindowView::dragEnterEvent(QDragEnterEvent* event) {
    if (!droppedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void MainWindowView::dropEvent(QDropEvent* event) {
    const QString path = droppedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // The drop ends before the question comes, so that the source program
    // is not kept waiting while the user answers.
    QMetaObject::invokeMethod(
        this, [this, path] { m_dispatcher.run([&] { m_model.openGivenProject(path); }); },
        Qt::QueuedConnection);
}

} // namespace kvx::app
