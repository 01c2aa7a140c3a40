#include "core/ui/system_panel.h"

#include "core/base/numbers.h"
#include "core/calc/power.h"
#include "core/plan/plan_settings.h"
#include "core/project/project_settings.h"
#include "core/system/listener_level.h"
#include "core/ui/main_window.h"
#include "core/ui/numeric_filter.h"

#include <QLocale>

namespace kvx {

namespace {

QString fieldText(double value, const QLocale& locale) {
    return locale.toString(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

SystemPanel::SystemPanel(FrmKvx& window, QuietestLevel quietest)
    : m_window(window)
    , m_quietest(quietest ? std::move(quietest) : QuietestLevel([this](const Design& d) {
        return quietestRelative1k(d, m_window.planSettings().margin);
    })) {
    for (const CrossSection& c : listedCrossSections())
        lstCrossSection.addItem(crossSectionText(c, window.kvx.locale));
    lstLoad.addItems(
        {window.kvx.localText(SystemText::FarEnd), window.kvx.localText(SystemText::Spread)});
    cmdTakeAdvice.setText(window.kvx.localText(SystemText::TakeAdvice));
    installHandlers();
    m_designObserver = m_window.observeDesign([this] { refresh(); });
    m_settingsObserver = m_window.observeSystemSettings([this] { refresh(); });
    m_unitsObserver = m_window.observeUnits([this] { refresh(); });
    refresh();
}

SystemPanel::~SystemPanel() {
    m_window.unobserveDesign(m_designObserver);
    m_window.unobserveSystemSettings(m_settingsObserver);
    m_window.unobserveUnits(m_unitsObserver);
}

void SystemPanel::installHandlers() {
    for (Control* field : {&txtAmbient, &txtAbove, &txtAmplifier, &txtCableLength, &txtDropLimit,
                           &txtMargin, &lstCrossSection, &lstLoad}) {
        field->onGotFocus = [this, field] { m_window.kvx.FocusText = field->text(); };
    }
    txtAmbient.onChange = [this] { numberEdited(txtAmbient, &SystemSettings::ambient, nullptr); };
    txtAbove.onChange = [this] { numberEdited(txtAbove, nullptr, &SystemSettings::above); };
    txtAmplifier.onChange = [this] {
        numberEdited(txtAmplifier, &SystemSettings::amplifier, nullptr);
    };
    txtCableLength.onChange = [this] { cableLengthEdited(); };
    txtDropLimit.onChange = [this] {
        numberEdited(txtDropLimit, nullptr, &SystemSettings::dropLimit);
    };
    txtMargin.onChange = [this] { marginEdited(); };
    lstCrossSection.onChange = [this] {
        if (m_showing)
            return;
        SystemSettings s = m_window.systemSettings();
        const QString text = trimSpaces(lstCrossSection.text());
        // A name that is not listed is kept as typed: the figures say what is wrong.
        const auto listed = findCrossSection(text);
        s.crossSection = listed ? listed->name : text;
        m_window.setSystemSettings(s);
    };
    lstLoad.onClick = [this] {
        SystemSettings s = m_window.systemSettings();
        s.load = lstLoad.listIndex() == 1 ? CableLoad::Spread : CableLoad::FarEnd;
        m_window.setSystemSettings(s);
    };
    cmdTakeAdvice.onClick = [this] { cmdTakeAdvice_Click(); };
}

void SystemPanel::numberEdited(Control& field, std::optional<double> SystemSettings::*optional,
                               double SystemSettings::*required) {
    if (m_showing)
        return;
    CheckNumericEntry(m_window.kvx, field);
    const QString text = trimSpaces(field.text());
    const std::optional<double> value = readNumber(text);
    SystemSettings s = m_window.systemSettings();
    if (optional) {
        // An empty field is no setting; a text on the way to a number ("-", ",")
        // changes nothing yet.
        if (text.isEmpty())
            (s.*optional).reset();
        else if (value)
            s.*optional = value;
    } else if (value) {
        s.*required = *value;
    } else if (text.isEmpty()) {
        s.*required = SystemSettings{}.*required;
    }
    m_window.setSystemSettings(s);
}

void SystemPanel::cableLengthEdited() {
    if (m_window.units() == Units::Metric) {
        numberEdited(txtCableLength, &SystemSettings::cableLength, nullptr);
        return;
    }
    if (m_showing)
        return;
    CheckNumericEntry(m_window.kvx, txtCableLength, true, Units::Imperial);
    const QString text = trimSpaces(txtCableLength.text());
    SystemSettings s = m_window.systemSettings();
    if (text.isEmpty()) {
        s.cableLength.reset();
    } else if (const LengthReading length = readLength(text, Units::Imperial); length.ok()) {
        // Kept as a file keeps lengths typed in feet: metres to 0.1 mm.
        s.cableLength = readNumber(metresFileText(length.metres));
    }
    m_window.setSystemSettings(s);
}

void SystemPanel::marginEdited() {
    if (m_showing)
        return;
    const Units units = m_window.units();
    CheckNumericEntry(m_window.kvx, txtMargin, true, units);
    const QString text = trimSpaces(txtMargin.text());
    std::optional<double> value;
    if (units == Units::Metric)
        value = readNumber(text);
    else if (const LengthReading length = readLength(text, Units::Imperial); length.ok())
        value = readNumber(metresFileText(length.metres)); // metres to 0.1 mm, as a file keeps it
    // An empty field is the whole room; below zero the listener area would
    // reach beyond the walls, so such a text changes nothing.
    PlanSettings plan = m_window.planSettings();
    if (text.isEmpty())
        plan.margin = 0;
    else if (value && *value >= 0)
        plan.margin = *value;
    m_window.setPlanSettings(plan);
}

void SystemPanel::showSettings() {
    const SystemSettings& s = m_window.systemSettings();
    const QLocale& locale = m_window.kvx.locale;
    m_showing = true;
    // A field whose text already reads as the setting keeps it, so that what
    // the user is typing ("55," on the way to "55,5") is never rewritten.
    const auto show = [&](Control& field, const std::optional<double>& value) {
        if (readNumber(field.text()) == value && !(value && trimSpaces(field.text()).isEmpty()))
            return;
        field.setText(value ? fieldText(*value, locale) : QString());
    };
    show(txtAmbient, s.ambient);
    show(txtAbove, s.above);
    show(txtAmplifier, s.amplifier);
    // A length in feet keeps the text typed while it stands for the same
    // metres (to the file's 0.1 mm).
    const auto showLength = [&](Control& field, const std::optional<double>& metres) {
        if (m_window.units() == Units::Metric) {
            show(field, metres);
            return;
        }
        const LengthReading typed = readLength(field.text(), Units::Imperial);
        const bool same = metres ? typed.ok() && !trimSpaces(field.text()).isEmpty() &&
                                       metresFileText(typed.metres) == metresFileText(*metres)
                                 : trimSpaces(field.text()).isEmpty();
        if (!same)
            field.setText(metres ? shownLengthText(metresFileText(*metres), Units::Imperial, locale)
                                 : QString());
    };
    showLength(txtCableLength, s.cableLength);
    show(txtDropLimit, s.dropLimit);
    showLength(txtMargin, m_window.planSettings().margin);
    const auto listed = findCrossSection(s.crossSection);
    const QString section = crossSectionSettingText(s.crossSection, locale);
    const auto typed = findCrossSection(lstCrossSection.text());
    if (!(listed && typed && typed->name == listed->name) && lstCrossSection.text() != section)
        lstCrossSection.setText(section);
    const int load = s.load == CableLoad::Spread ? 1 : 0;
    if (lstLoad.text() != lstLoad.items().value(load))
        lstLoad.setText(lstLoad.items().value(load));
    m_showing = false;
}

void SystemPanel::refresh() {
    showSettings();
    m_figures.reset();
    if (const Design* design = m_window.design()) {
        m_figures = systemFiguresFor(*design, m_window.systemSettings(), m_quietest(*design));
    }
    cmdTakeAdvice.setEnabled(m_figures && m_figures->advice && m_figures->advice->taps);
    if (onRefresh)
        onRefresh();
}

std::vector<FigureGroup> SystemPanel::groups() const {
    if (!m_figures)
        return {};
    return systemFigureGroups(*m_figures, m_window.kvx.localTexts(), m_window.units());
}

QStringList SystemPanel::notes() const {
    if (!m_figures)
        return {m_window.kvx.localText(SystemText::CalculateFirst)};
    return systemNotes(*m_figures, m_window.systemSettings(), m_window.planSettings().margin,
                       m_window.kvx.localTexts(), m_window.units());
}

QStringList SystemPanel::settingLabels() const {
    const LocalTexts texts = m_window.kvx.localTexts();
    return systemSettingLabels(texts) << texts.text(PlanSettingsText::Margin).remove(u'&');
}

void SystemPanel::cmdTakeAdvice_Click() {
    if (!m_figures || !m_figures->advice || !m_figures->advice->taps)
        return;
    const TapChoice taps = *m_figures->advice->taps;
    int speaker = -1;
    int amplifier = -1;
    const QStringList& speakerItems = m_window.lstLspTap.items();
    for (qsizetype i = 0; i < speakerItems.size(); ++i) {
        if (tapDivisor(speakerItems[i]) == taps.divisor)
            speaker = int(i);
    }
    const QStringList& amplifierItems = m_window.lstAmpTap.items();
    for (qsizetype i = 0; i < amplifierItems.size(); ++i) {
        if (tapVoltage(amplifierItems[i]) == taps.voltage)
            amplifier = int(i);
    }
    if (speaker < 0 || amplifier < 0)
        return;
    // As a user picks them: each pick recalculates, and this panel follows.
    if (m_window.lstLspTap.text() != speakerItems[speaker]) {
        m_window.lstLspTap.userFocus();
        m_window.lstLspTap.userPick(speaker);
    }
    if (m_window.lstAmpTap.text() != amplifierItems[amplifier]) {
        m_window.lstAmpTap.userFocus();
        m_window.lstAmpTap.userPick(amplifier);
    }
}

} // namespace kvx
