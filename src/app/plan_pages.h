#pragma once

// The pages of the plan window. Each page shows the window's PlanScene (or
// nothing) and draws with plan_drawing.h; it holds no arithmetic of its own.
//   LayoutPage    the plan to scale, its summary and the table of positions,
//                 and the offer of the kept spacing when the count stretches it
//   CoveragePage  the band and the margin, the band's figures, the colour map
//                 and the level under the mouse pointer

#include "app/plan_drawing.h"

#include <QAbstractTableModel>
#include <QWidget>

#include <optional>

class QComboBox;
class QDoubleSpinBox;
class QLabel;
class QPushButton;
class QTableView;

namespace kvx::app {

class PlanTexts;

// A page of the plan window.
class PlanWindowPage : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    // The tab's caption.
    virtual QString title() const = 0;
    // Shows the scene; nullptr shows nothing. The scene stays valid until
    // the next call.
    virtual void showScene(const PlanScene* scene) = 0;
    // What a PNG or SVG export of this page shows; nothing when the page has
    // no picture of its own.
    virtual std::optional<Sheet> picture() const { return std::nullopt; }
};

// Draws the plan or a band's map of a scene, scaled to the widget.
class PlanCanvas : public QWidget {
    Q_OBJECT
public:
    PlanCanvas(const PlanTexts& texts, QWidget* parent = nullptr);

    void showScene(const PlanScene* scene);
    // The plan, or the map of a band.
    void showPlan();
    void showCoverage(Band band);

Q_SIGNALS:
    // The pointer is over the room at point (metres), where the map of the
    // band reads level (as the legend shows it); nothing outside a map.
    void pointerAt(QPointF point, std::optional<double> level);
    void pointerLeft();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    QRectF drawingArea() const;

    const PlanTexts& m_texts;
    const PlanScene* m_scene = nullptr;
    std::optional<Band> m_band; // none: the plan
};

// The positions of a layout: number, x and y in metres.
class PositionsModel : public QAbstractTableModel {
    Q_OBJECT
public:
    PositionsModel(const PlanTexts& texts, QObject* parent = nullptr);

    void setLayout(const Layout* layout);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const PlanTexts& m_texts;
    Layout m_layout;
};

class LayoutPage : public PlanWindowPage {
    Q_OBJECT
public:
    LayoutPage(const PlanTexts& texts, QWidget* parent = nullptr);
    QString title() const override;
    void showScene(const PlanScene* scene) override;
    std::optional<Sheet> picture() const override { return Sheet::Plan; }

Q_SIGNALS:
    // The user takes the offer of the fit that keeps the calculated spacing.
    void keepSpacingWanted();

private:
    void copyPositions();

    const PlanTexts& m_texts;
    const PlanScene* m_scene = nullptr;
    QLabel* m_summary = nullptr;
    // The sentence on a layout that stretches the spacing, and its offer.
    QWidget* m_stretched = nullptr;
    QLabel* m_stretchedText = nullptr;
    QPushButton* m_keepSpacing = nullptr;
    PlanCanvas* m_canvas = nullptr;
    PositionsModel* m_positions = nullptr;
    QTableView* m_table = nullptr;
    QPushButton* m_copy = nullptr;
    QLabel* m_copied = nullptr;
};

class CoveragePage : public PlanWindowPage {
    Q_OBJECT
public:
    CoveragePage(const PlanTexts& texts, QWidget* parent = nullptr);
    QString title() const override;
    void showScene(const PlanScene* scene) override;
    std::optional<Sheet> picture() const override;

    Band band() const;
    // The margin in metres, whatever the units the box shows.
    double margin() const;
    // The box shows the margin in the units chosen now.
    void showUnits();
    // Shows the project's margin; the box's own signal stays quiet.
    void showMargin(double margin);

Q_SIGNALS:
    // The user set another margin; the window makes it the project's.
    void marginChanged(double margin);

private:
    void showBand();
    void showPointer(QPointF point, std::optional<double> level);

    const PlanTexts& m_texts;
    const PlanScene* m_scene = nullptr;
    QComboBox* m_band = nullptr;
    QDoubleSpinBox* m_margin = nullptr;
    // What the box stands for, exactly: a change of the units shown is no
    // change of the margin.
    double m_marginMetres = 0;
    QLabel* m_figures = nullptr;
    QLabel* m_note = nullptr;
    // Said only when the band's opening angle gives the model's widest beam.
    QLabel* m_widestBeam = nullptr;
    PlanCanvas* m_canvas = nullptr;
    QLabel* m_pointer = nullptr;
};

} // namespace kvx::app
