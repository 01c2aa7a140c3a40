#pragma once

// The plan window: where the loudspeakers of the current design go in the
// room and how they cover it. Non-modal, opened from the main window; it
// follows every calculation of the main window's model (observeDesign) and
// shows "Calculate first" while there is no design. Closing it changes
// nothing. The pages are built in createPages(); each one is a
// PlanWindowPage that shows the window's PlanScene.

#include "app/plan_export.h"
#include "app/plan_texts.h"

#include <QList>
#include <QWidget>

#include <optional>

class QLabel;
class QPushButton;
class QStackedWidget;
class QTabWidget;

namespace kvx {
class FrmKvx;
}

namespace kvx::app {

class CoveragePage;
class Dispatcher;
class PlanWindowPage;
class SpeechPage;
class SystemPage;
class SystemTab;

class PlanWindow : public QWidget {
    Q_OBJECT
public:
    // The dispatcher runs the System page's actions on the main window.
    PlanWindow(FrmKvx& model, Dispatcher& dispatcher, QWidget* parent = nullptr);
    ~PlanWindow() override;

    // What the pages show; nullptr while there is no design.
    const PlanScene* scene() const { return m_scene ? &*m_scene : nullptr; }
    // How many scenes, each with its coverage map, the window has made: one
    // per design and margin, which every page that needs the map shares.
    int scenesMade() const { return m_scenesMade; }
    QTabWidget* tabs() const { return m_tabs; }
    const PlanTexts& texts() const { return m_texts; }
    // The System page: the system settings and figures of the design.
    SystemPage* systemPage() const;
    // The Speech page: the STI estimate on the same map.
    SpeechPage* speechPage() const;

    // Writes the file in the format: a PNG or SVG of the page shown, the
    // design PDF, the DXF drawing or the positions as CSV. A failure is shown
    // in a message box naming the file; false then.
    bool exportTo(const QString& path, PlanFormat format);
    // Asks where to write the format, then writes it.
    void exportAs(PlanFormat format);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // The pages in tab order; a new page is one more line here.
    void createPages();
    void addPage(PlanWindowPage* page);
    // The design changed: the pages follow now when the window is shown,
    // else when it is shown next.
    void designChanged();
    // The project's settings changed (a user's change, New, Open): the
    // margin box and the map follow.
    void settingsChanged();
    // At its first showing: within the screen's free area, as the main window.
    void fitScreen();
    // The scene of the current design and margin, made when it is not yet.
    const PlanScene* currentScene();
    void rebuild();

    FrmKvx& m_model;
    Dispatcher& m_dispatcher;
    PlanTexts m_texts;
    int m_observer = -1;
    int m_unitsObserver = -1;
    int m_settingsObserver = -1;
    bool m_fitted = false;
    std::optional<PlanScene> m_scene;
    double m_sceneMargin = 0;
    int m_scenesMade = 0;

    QStackedWidget* m_stack = nullptr;
    QLabel* m_calculateFirst = nullptr;
    QTabWidget* m_tabs = nullptr;
    QList<PlanWindowPage*> m_pages;
    CoveragePage* m_coverage = nullptr;
    SystemTab* m_system = nullptr;
    SpeechPage* m_speech = nullptr;
    QPushButton* m_export = nullptr;
};

} // namespace kvx::app
