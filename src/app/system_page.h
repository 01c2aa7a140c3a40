#pragma once

// The System page of the plan window: the system settings as fields, the
// figures of the current design with their states in colour and in words, and
// the button that takes the tap advice. The model is SystemPanel; this page
// only binds it. paintSystemPage() draws the same figures on a printed page.

#include "app/binding.h"
#include "core/ui/system_panel.h"

#include <QList>
#include <QWidget>

#include <memory>

class QLabel;
class QPainter;
class QPushButton;
class QRectF;

namespace kvx {
class FrmKvx;
}

namespace kvx::app {

class Dispatcher;
struct PlanScene;

class SystemPage : public QWidget {
    Q_OBJECT
public:
    SystemPage(FrmKvx& window, Dispatcher& dispatcher, QWidget* parent = nullptr,
               SystemPanel::QuietestLevel quietest = {});
    ~SystemPage() override;

    SystemPanel& panel() { return *m_panel; }
    // The widget bound to a control of the panel, or nullptr.
    QWidget* widget(const Control& control) const { return m_binder.widget(control); }
    // The figures as shown (rich text).
    QString figuresText() const;

private:
    void createControls();
    void showFigures();

    FrmKvx& m_window;
    Binder m_binder;
    std::unique_ptr<SystemPanel> m_panel;
    QLabel* m_figures = nullptr;
    QList<QLabel*> m_lengthUnits; // cable length and margin: "m" or "ft", as the units are
    QList<QLabel*> m_labels;
};

// The figures and notes as rich text, states in colour and in words.
QString systemFiguresHtml(const std::vector<FigureGroup>& groups, const QStringList& notes);

// Draws the system page of a design onto area of a page: the title, the
// settings and every figure. For the design PDF; draws "Calculate first"
// without a usable design. The quietest listener is looked for on the scene's
// map, the one the plan's pages show.
void paintSystemPage(QPainter& painter, const QRectF& area, const FrmKvx& window,
                     const PlanScene& scene);
// The same without a scene: the quietest listener of the project's listener
// area, on a map of its own.
void paintSystemPage(QPainter& painter, const QRectF& area, const FrmKvx& window);

} // namespace kvx::app
