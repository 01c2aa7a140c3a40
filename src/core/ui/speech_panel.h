#pragma once

// The Speech page as a model: the speech settings as fields (the ambient noise
// is the System page's setting, shown on both pages), and the STI estimate of
// the current design over the coverage map that the plan window made for the
// design and margin. It follows the main window: a new calculation or new
// settings (a user's change, New, Open) refresh it, and the plan window calls
// refresh() when it makes another map. An edit goes through the main window's
// numeric filter and becomes the project's settings (which marks the project
// modified).

#include "core/speech/speech.h"
#include "core/speech/speech_texts.h"
#include "core/ui/control.h"

#include <QPointF>
#include <QStringList>

#include <functional>
#include <optional>

namespace kvx {

class FrmKvx;

// The layout and the coverage map the page shows for a design: the plan
// window's own, never a second map. Without a map, problem says why.
struct SpeechMap {
    const Layout* layout = nullptr;
    const CoverageMap* coverage = nullptr;
    QString problem;
};

// What the Speech page shows, on the screen and on paper.
struct SpeechView {
    // The estimate; nothing without a design.
    std::optional<Speech> speech;
    std::vector<FigureGroup> groups;
    // Why there is no map, the refusal, the settings that cannot be used, the
    // hints and what the estimate leaves out; "Calculate first" without a design.
    QStringList notes;
    // Why there is no STI map to show; empty when there is one.
    QString mapProblem;
};

// The page of design (nullptr: none) over map; without a map, the figures of
// the room and the loudspeakers still come.
// Lengths in units.
SpeechView speechView(const Design* design, const SpeechMap& map, const SpeechSettings& settings,
                      std::optional<double> ambient, const LocalTexts& texts,
                      Units units = Units::Metric);

class SpeechPanel {
public:
    using MapOf = std::function<SpeechMap(const Design&)>;

    SpeechPanel(FrmKvx& window, MapOf mapOf);
    ~SpeechPanel();
    SpeechPanel(const SpeechPanel&) = delete;
    SpeechPanel& operator=(const SpeechPanel&) = delete;

    Control txtReverberation{ControlKind::TextBox, QStringLiteral("txtReverberation")};
    Control txtSpeechAmbient{ControlKind::TextBox, QStringLiteral("txtSpeechAmbient")};
    Control txtTarget{ControlKind::TextBox, QStringLiteral("txtTarget")};

    // What the page shows of the current design.
    const SpeechView& view() const { return m_view; }
    // The STI map; nullptr when there is none.
    const StiMap* map() const;
    // The target to mark on the map's scale, when it is usable.
    std::optional<double> target() const;
    // The value under the pointer at a point of the room, or the hint.
    QString pointerText(std::optional<QPointF> point) const;
    // The names of the settings, in the order of the fields.
    QStringList settingLabels() const;

    // Called after every refresh, for the view.
    std::function<void()> onRefresh;

    // Estimates again and shows the settings.
    void refresh();

private:
    void installHandlers();
    void numberEdited(Control& field);
    void showSettings();

    FrmKvx& m_window;
    MapOf m_mapOf;
    SpeechView m_view;
    bool m_showing = false;
    int m_designObserver = -1;
    int m_settingsObserver = -1;
};

} // namespace kvx
