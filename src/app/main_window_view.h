#pragma once

// The main window frmKVX on screen: six frames of fields, three banner
// pictures, the File and Help menus. It shows the FrmKvx model and forwards
// the user's actions to it; translation, enabling and every result are the
// model's, the view only binds. Size and position come from the model in
// twips (its load sets the size and centres the window).

#include "app/binding.h"

#include <QMainWindow>
#include <QPointer>
#include <QRectF>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QScrollArea;
class QSlider;

namespace kvx {
class FrmKvx;
}

namespace kvx::app {

class BuildingWindow;
class Dispatcher;
class PlanWindow;

class MainWindowView : public QMainWindow {
    Q_OBJECT
public:
    MainWindowView(FrmKvx& model, Dispatcher& dispatcher, QWidget* parent = nullptr);
    ~MainWindowView() override;

    FrmKvx& model() const { return m_model; }
    Binder& binder() { return m_binder; }

    // The program is ending: the window closes without asking the model.
    void setEnding() { m_ending = true; }

    // The widget bound to a control of the model, or nullptr.
    QWidget* widget(const Control& control) const { return m_binder.widget(control); }

    // Opens the plan window (made on first use), or brings it to the front.
    void showPlanWindow();
    // The plan window; nullptr until it was first opened.
    PlanWindow* planWindow() const;

    // Opens a building window on a new building, or on the file's (nothing
    // when the file cannot be read: it is said in a message box).
    BuildingWindow* openBuildingWindow(const QString& path = {});
    // The building windows open now.
    QList<BuildingWindow*> buildingWindows() const;

Q_SIGNALS:
    // The first activation (Form_Activate) has run.
    void activated();

protected:
    void showEvent(QShowEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    // A project file dropped on the window opens as Open does.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // The widgets, then the layout of each frame, then the window's.
    void createControls();
    void createFields();
    QGridLayout* generalLayout();
    QGridLayout* roomLayout();
    QGridLayout* loudspeakerLayout();
    QGridLayout* powerLayout();
    QGridLayout* differenceLayout();
    QGridLayout* resultsLayout();
    void createMenus();
    void createPlanEntry(QMenu* menu);
    void createBuildingEntries(QMenu* menu);
    void fillRecentBuildings(QMenu* menu);
    void openBuildingDialog();
    void bindControls();
    void arrangeTabOrder();
    // Places the window where the model says, when the model's geometry has
    // changed since it was last applied (or always, when forced): a caption
    // change does not move a window that the user has moved.
    void applyPlacement(bool force = false);
    void fitFrameOnce();
    void activateOnce();
    void calculateOnReturn();
    void fillRecent(QMenu* menu);
    void showModified();

    QLabel* expText(int index);
    QLabel* resultLabel();
    QLineEdit* numberField();

    FrmKvx& m_model;
    Dispatcher& m_dispatcher;
    Binder m_binder;
    bool m_activationDue = true;
    bool m_ending = false;
    QRectF m_placed;            // the model's geometry last applied, in twips
    bool m_frameFitted = false; // sized again once the window frame was known
    QAction* m_mnuPlan = nullptr;
    QPointer<PlanWindow> m_planWindow;
    QList<QPointer<BuildingWindow>> m_buildingWindows;

    QWidget* m_content = nullptr;
    QScrollArea* m_scroll = nullptr;
    QList<QLabel*> m_expText;
    QLineEdit* m_txtDescription = nullptr;
    QComboBox* m_FileSel = nullptr;
    QLineEdit* m_txtRoomLength = nullptr;
    QLineEdit* m_txtRoomWidth = nullptr;
    QLineEdit* m_txtRoomHeight = nullptr;
    QLineEdit* m_txtEarHeight = nullptr;
    QComboBox* m_lstLsp = nullptr;
    QLineEdit* m_txtAngle1 = nullptr;
    QLineEdit* m_txtAngle4 = nullptr;
    QLineEdit* m_txtSensitivity = nullptr;
    QLineEdit* m_txtMaxPower = nullptr;
    QComboBox* m_lstLspTap = nullptr;
    QComboBox* m_lstAmpTap = nullptr;
    QLabel* m_lblPower = nullptr;
    QSlider* m_DiffSet = nullptr;
    QLabel* m_txtLevelDif4 = nullptr;
    QPushButton* m_cmdCalc = nullptr;
    QComboBox* m_lstPattern = nullptr;
    QComboBox* m_lstFit = nullptr;
    QLabel* m_lblDistance = nullptr;
    QLabel* m_lblNrofSpeakers = nullptr;
    QLabel* m_lblLevel = nullptr;
    QLabel* m_lblLevelDif1 = nullptr;
};

} // namespace kvx::app
