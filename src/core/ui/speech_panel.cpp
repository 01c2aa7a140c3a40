#include "core/ui/speech_panel.h"

#include "core/base/numbers.h"
#include "core/plan/coverage.h"
#include "core/ui/main_window.h"
#include "core/ui/numeric_filter.h"

#include <QLocale>

namespace kvx {

namespace {

QString fieldText(double value, const QLocale& locale) {
    return locale.toString(value, 'g', QLocale::FloatingPointShortest);
}

} // namespace

SpeechView speechView(const Design* design, const SpeechMap& map, const SpeechSettings& settings,
                      std::optional<double> ambient, const LocalTexts& texts, Units units) {
    SpeechView view;
    if (!design) {
        view.notes << texts.text(PlanText::CalculateFirst);
        view.mapProblem = view.notes.constFirst();
        return view;
    }
    if (map.layout && map.coverage) {
        view.speech = speechFor(*design, *map.layout, *map.coverage, settings, ambient);
    } else {
        std::optional<Layout> own;
        if (!map.layout)
            own = layoutFor(*design);
        const Layout& layout = map.layout ? *map.layout : *own;
        view.speech.emplace().figures.model = speechModelFor(*design, layout, settings, ambient);
    }
    view.groups = speechFigureGroups(view.speech->figures, texts, units);
    view.notes = speechNotes(view.speech->figures, texts);
    if (!map.coverage && !map.problem.isEmpty())
        view.notes.prepend(map.problem);
    if (view.speech->map.empty())
        view.mapProblem = view.notes.value(0);
    return view;
}

SpeechPanel::SpeechPanel(FrmKvx& window, MapOf mapOf)
    : m_window(window)
    , m_mapOf(std::move(mapOf)) {
    installHandlers();
    m_designObserver = m_window.observeDesign([this] { refresh(); });
    m_settingsObserver = m_window.observeSettings([this] { refresh(); });
    refresh();
}

SpeechPanel::~SpeechPanel() {
    m_window.unobserveDesign(m_designObserver);
    m_window.unobserveSettings(m_settingsObserver);
}

void SpeechPanel::installHandlers() {
    for (Control* field : {&txtReverberation, &txtSpeechAmbient, &txtTarget}) {
        field->onGotFocus = [this, field] { m_window.kvx.FocusText = field->text(); };
        field->onChange = [this, field] { numberEdited(*field); };
    }
}

void SpeechPanel::numberEdited(Control& field) {
    if (m_showing)
        return;
    CheckNumericEntry(m_window.kvx, field);
    const QString text = trimSpaces(field.text());
    const std::optional<double> value = readNumber(text);
    // An empty field is no setting (the target's default); a text on the way
    // to a number ("-", ",") changes nothing yet.
    if (!value && !text.isEmpty())
        return;
    if (&field == &txtSpeechAmbient) {
        SystemSettings s = m_window.systemSettings();
        s.ambient = value;
        m_window.setSystemSettings(s);
        return;
    }
    SpeechSettings s = m_window.speechSettings();
    if (&field == &txtReverberation)
        s.reverberation = value;
    else
        s.target = value.value_or(SpeechSettings{}.target);
    m_window.setSpeechSettings(s);
}

void SpeechPanel::showSettings() {
    const SpeechSettings& s = m_window.speechSettings();
    const QLocale& locale = m_window.kvx.locale;
    m_showing = true;
    // A field whose text already reads as the setting keeps it, so that what
    // the user is typing ("1," on the way to "1,5") is never rewritten.
    const auto show = [&](Control& field, const std::optional<double>& value) {
        if (readNumber(field.text()) == value && !(value && trimSpaces(field.text()).isEmpty()))
            return;
        field.setText(value ? fieldText(*value, locale) : QString());
    };
    show(txtReverberation, s.reverberation);
    show(txtSpeechAmbient, m_window.systemSettings().ambient);
    show(txtTarget, s.target);
    m_showing = false;
}

void SpeechPanel::refresh() {
    showSettings();
    const Design* design = m_window.design();
    m_view =
        speechView(design, design ? m_mapOf(*design) : SpeechMap{}, m_window.speechSettings(),
                   m_window.systemSettings().ambient, m_window.kvx.localTexts(), m_window.units());
    if (onRefresh)
        onRefresh();
}

const StiMap* SpeechPanel::map() const {
    return m_view.speech && !m_view.speech->map.empty() ? &m_view.speech->map : nullptr;
}

std::optional<double> SpeechPanel::target() const {
    return m_view.speech ? m_view.speech->figures.model.target : std::nullopt;
}

QString SpeechPanel::pointerText(std::optional<QPointF> point) const {
    const LocalTexts texts = m_window.kvx.localTexts();
    const std::optional<double> sti = point && map() ? map()->near(*point) : std::nullopt;
    if (!sti)
        return texts.text(SpeechText::PointAtMap);
    const auto fixed = [&texts](double value) { return texts.locale.toString(value, 'f', 2); };
    // The position in the units chosen; the STI as it is.
    const Units units = m_window.units();
    const auto length = [&](double metres) {
        return units == Units::Imperial ? formatFeet(metres, texts.locale) : fixed(metres);
    };
    return withLengthSymbol(texts.text(SpeechText::ValueAt), units)
        .arg(fixed(*sti), length(point->x()), length(point->y()));
}

QStringList SpeechPanel::settingLabels() const {
    return speechSettingLabels(m_window.kvx.localTexts());
}

} // namespace kvx
