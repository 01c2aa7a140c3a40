#pragma once

// The System page as a model: the settings as fields, the figures of the
// current design, and the advice with the command that takes it. It follows
// the main window: a new calculation or new settings (a user's change, New,
// Open) refresh it. An edit goes through the main window's numeric filter and
// becomes the project's settings (which marks the project modified); taking
// the advice picks the taps in the main window as a user would.

#include "core/system/system.h"
#include "core/system/system_texts.h"
#include "core/ui/control.h"

#include <QStringList>

#include <functional>
#include <optional>

namespace kvx {

class FrmKvx;

class SystemPanel {
public:
    // The quietest relative 1 kHz level of a design's listener area; by
    // default on a map of the project's margin.
    using QuietestLevel = std::function<std::optional<double>(const Design&)>;

    explicit SystemPanel(FrmKvx& window, QuietestLevel quietest = {});
    ~SystemPanel();
    SystemPanel(const SystemPanel&) = delete;
    SystemPanel& operator=(const SystemPanel&) = delete;

    Control txtAmbient{ControlKind::TextBox, QStringLiteral("txtAmbient")};
    Control txtAbove{ControlKind::TextBox, QStringLiteral("txtAbove")};
    Control txtAmplifier{ControlKind::TextBox, QStringLiteral("txtAmplifier")};
    Control txtCableLength{ControlKind::TextBox, QStringLiteral("txtCableLength")};
    Control lstCrossSection{ControlKind::ComboBox, QStringLiteral("lstCrossSection")};
    Control lstLoad{ControlKind::ComboBox, QStringLiteral("lstLoad")};
    Control txtDropLimit{ControlKind::TextBox, QStringLiteral("txtDropLimit")};
    // The listener area's margin from the walls: the project's plan setting,
    // the one the Coverage page shows, as the level check looks at it.
    Control txtMargin{ControlKind::TextBox, QStringLiteral("txtMargin")};
    Control cmdTakeAdvice{ControlKind::CommandButton, QStringLiteral("cmdTakeAdvice")};

    // The figures of the current design; nothing when there is none.
    const std::optional<SystemFigures>& figures() const { return m_figures; }
    std::vector<FigureGroup> groups() const;
    // The issues of the settings and the hints, or "Calculate first".
    QStringList notes() const;
    // The names of the settings, in the order of the fields, the margin last.
    QStringList settingLabels() const;

    // Picks the advised taps in the main window; nothing without advice.
    void cmdTakeAdvice_Click();

    // Called after every refresh, for the view.
    std::function<void()> onRefresh;

    // Recomputes the figures and shows the settings.
    void refresh();

private:
    void installHandlers();
    void numberEdited(Control& field, std::optional<double> SystemSettings::*optional,
                      double SystemSettings::*required);
    void marginEdited();
    void showSettings();
    // The cable length, typed and shown in the chosen units.
    void cableLengthEdited();

    FrmKvx& m_window;
    QuietestLevel m_quietest;
    std::optional<SystemFigures> m_figures;
    bool m_showing = false;
    int m_designObserver = -1;
    int m_settingsObserver = -1;
    int m_unitsObserver = -1;
};

} // namespace kvx
