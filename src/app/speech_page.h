#pragma once

// The Speech page of the plan window: the speech settings as fields (the
// ambient noise is the System page's, shown here too), the STI map of the
// listener area with its own scale and the target marked, the value under the
// pointer, and the figures with what the estimate leaves out. The model is
// SpeechPanel, which takes the coverage map of the window's scene; this page
// only binds it. paintSpeechPage() draws the same page for the design PDF.

#include "app/binding.h"
#include "app/plan_pages.h"
#include "core/ui/speech_panel.h"

#include <functional>
#include <memory>

class QLabel;
class QPainter;
class QRectF;

namespace kvx {
class FrmKvx;
}

namespace kvx::app {

class Dispatcher;

// The STI map of the panel over the scene's room, and what lies under the pointer.
class StiCanvas : public QWidget {
    Q_OBJECT
public:
    StiCanvas(const SpeechPanel& panel, const PlanTexts& texts, QWidget* parent = nullptr);
    void showScene(const PlanScene* scene);

Q_SIGNALS:
    // The pointer is over the room at point (metres); nothing off the room.
    void pointerAt(std::optional<QPointF> point);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QRectF drawingArea() const;

    const SpeechPanel& m_panel;
    const PlanTexts& m_texts;
    const PlanScene* m_scene = nullptr;
};

class SpeechPage : public PlanWindowPage {
    Q_OBJECT
public:
    // mapOf gives the layout and coverage map of the window's scene.
    SpeechPage(FrmKvx& window, Dispatcher& dispatcher, const PlanTexts& texts,
               SpeechPanel::MapOf mapOf, QWidget* parent = nullptr);
    ~SpeechPage() override;

    QString title() const override;
    void showScene(const PlanScene* scene) override;

    SpeechPanel& panel() { return *m_panel; }
    // The widget bound to a control of the panel, or nullptr.
    QWidget* widget(const Control& control) const { return m_binder.widget(control); }
    // The figures and notes as shown (rich text).
    QString figuresText() const;

private:
    void createControls();
    void showFigures();

    FrmKvx& m_window;
    const PlanTexts& m_texts;
    Binder m_binder;
    std::unique_ptr<SpeechPanel> m_panel;
    StiCanvas* m_canvas = nullptr;
    QLabel* m_figures = nullptr;
    QLabel* m_pointer = nullptr;
};

// The design PDF's Speech page of window's project, drawn from the scene's
// map; nothing (an empty function) while no reverberation time is set.
std::function<void(QPainter&, const QRectF&)>
speechPageFor(const FrmKvx& window, const PlanScene& scene, const PlanTexts& texts);

} // namespace kvx::app
