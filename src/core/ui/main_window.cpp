#include "core/ui/main_window.h"

#include "core/base/numbers.h"
#include "core/base/observers.h"
#include "core/calc/design.h"
#include "core/project/project_settings.h"
#include "core/ui/translation.h"

#include <QHash>

#include <utility>

namespace kvx {

namespace {

struct ExpTextSpec {
    const char* tag;
    const char* fixedCaption; // for the untagged labels
};

// Tagged labels take their caption from the string table; the units and the
// two column heads keep a fixed caption.
constexpr ExpTextSpec kExpTexts[ExpTextCount] = {
    {"1003", nullptr}, {"1005", nullptr}, {"1007", nullptr}, {"1009", nullptr}, {"1011", nullptr},
    {"1013", nullptr}, {"1016", nullptr}, {"1018", nullptr}, {"1020", nullptr}, {"1030", nullptr},
    {"1033", nullptr}, {"1035", nullptr}, {"1037", nullptr}, {"1080", nullptr}, {"1081", nullptr},
    {"1082", nullptr}, {"1083", nullptr}, {"1084", nullptr}, {"", "@ 1 kHz"},   {"", "@ 4 kHz"},
    {"", "(m)"},       {"", "(m)"},       {"", "(m)"},       {"", "(m)"},       {"", "(dB)"},
    {"", "(W)"},       {"", "(W)"},       {"", "(dB)"},      {"", "(m)"},       {"", "(dB)"},
    {"", "(dB)"},      {"1582", nullptr}, {"1583", nullptr},
};

} // namespace

struct FrmKvx::State {
    std::optional<Design> lastCalculation;
    Observers designObservers;
    // Within asOneRun the design's observers are told once, at its end.
    bool inRun = false;
    bool tellAfterRun = false;
    Notifying<ProjectSettings> settings;
    Observers unitsObservers;
    // The metres behind each length field's shown text: while the field shows
    // that text, it stands for these metres exactly (no rounding to 0.01 ft).
    QHash<const Control*, std::pair<QString, QString>> keptLengths;
};

FrmKvx::FrmKvx(Kvx1& kvx_)
    : kvx(kvx_)
    , m_state(std::make_unique<State>()) {
    // Design-time captions: the English texts, until the first translation.
    const auto english = [this](const QString& tag) {
        return kvx.strings.find(tag.toInt()).value_or(QString());
    };
    for (int i = 0; i < ExpTextCount; ++i) {
        const QString tag = QString::fromLatin1(kExpTexts[i].tag);
        auto* label = new Control(ControlKind::Label, QStringLiteral("ExpText(%1)").arg(i), tag);
        label->setText(kExpTexts[i].fixedCaption ? QString::fromLatin1(kExpTexts[i].fixedCaption)
                                                 : english(tag));
        ExpText.append(label);
    }
    form.setText(english(form.tag()));
    for (Control* c : {&Frame6, &Frame1, &Frame2, &Frame4, &Frame5, &Frame3, &cmdCalc})
        c->setText(english(c->tag()));

    for (const auto& [menu, id] : menuTextIds())
        menu->setText(kvx.strings.find(id).value_or(QString::number(id)));
    for (Control* sep : {&sep0, &sep1, &sep3})
        sep->setText(QStringLiteral("-"));

    DiffSet.setRange(0, 120);
    DiffSet.setSteps(1, 10);

    m_controls = {&Frame6, &Frame1, &Frame2, &Frame4, &Frame5, &Frame3};
    m_controls += ExpText;
    m_controls += {&txtDescription,  &FileSel,        &txtRoomLength, &txtRoomWidth,
                   &txtRoomHeight,   &txtEarHeight,   &lstLsp,        &txtAngle1,
                   &txtAngle4,       &txtSensitivity, &txtMaxPower,   &lstLspTap,
                   &lstAmpTap,       &lblPower,       &DiffSet,       &txtLevelDif4,
                   &cmdCalc,         &lstPattern,     &lstFit,        &lblDistance,
                   &lblNrofSpeakers, &lblLevel,       &lblLevelDif1,  &Picture1,
                   &Picture2,        &Picture3,       &mnuFile,       &mnuNew,
                   &mnuOpen,         &mnuSave,        &mnuSaveAs,     &sep0,
                   &mnuPrintSetup,   &mnuReport,      &mnuExportPdf,  &mnuPrintFile,
                   &mnuRecent,       &mnuLanguage,    &mnuUnits,      &mnuMetric,
                   &mnuImperial,     &sep1,           &mnuExit,       &mnuHelp,
                   &mnuWorking,      &sep3,           &mnuAbout};
    installHandlers();
    m_state->settings.observe([this] { showLayoutSettings(); });
    mnuMetric.setChecked(true);
}

FrmKvx::~FrmKvx() {
    qDeleteAll(ExpText);
}

Control* FrmKvx::control(const QString& name) const {
    if (name == form.name())
        return const_cast<Control*>(&form);
    for (Control* c : m_controls) {
        if (c->name() == name)
            return c;
    }
    return nullptr;
}

void FrmKvx::installHandlers() {
    txtRoomLength.onChange = [this] { txtRoomLength_Change(); };
    txtRoomWidth.onChange = [this] { txtRoomWidth_Change(); };
    txtRoomHeight.onChange = [this] { txtRoomHeight_Change(); };
    txtEarHeight.onChange = [this] { txtEarHeight_Change(); };
    txtRoomLength.onGotFocus = [this] { txtRoomLength_GotFocus(); };
    txtRoomWidth.onGotFocus = [this] { txtRoomWidth_GotFocus(); };
    txtRoomHeight.onGotFocus = [this] { txtRoomHeight_GotFocus(); };
    txtEarHeight.onGotFocus = [this] { txtEarHeight_GotFocus(); };
    txtRoomLength.onClick = [this] { txtRoomLength_Click(); };
    txtRoomWidth.onClick = [this] { txtRoomWidth_Click(); };
    txtRoomHeight.onClick = [this] { txtRoomHeight_Click(); };
    txtEarHeight.onClick = [this] { txtEarHeight_Click(); };

    txtAngle1.onChange = [this] { txtAngle1_Change(); };
    txtAngle4.onChange = [this] { txtAngle4_Change(); };
    txtSensitivity.onChange = [this] { txtSensitivity_Change(); };
    txtMaxPower.onChange = [this] { txtMaxPower_Change(); };
    for (Control* field : {&txtAngle1, &txtAngle4, &txtSensitivity, &txtMaxPower})
        field->onGotFocus = [this] { LoudspeakerField_GotFocus(); };

    txtDescription.onClick = [this] { txtDescription_Click(); };
    txtDescription.onChange = [this] { txtDescription_Change(); };

    lstLspTap.onGotFocus = [this] { lstLspTap_GotFocus(); };
    lstAmpTap.onGotFocus = [this] { lstAmpTap_GotFocus(); };
    lstLspTap.onClick = [this] { lstLspTap_Click(); };
    lstAmpTap.onClick = [this] { lstAmpTap_Click(); };
    lstLspTap.onChange = [this] { lstLspTap_Change(); };
    lstAmpTap.onChange = [this] { lstAmpTap_Change(); };
    FileSel.onClick = [this] { FileSel_Click(); };
    lstLsp.onClick = [this] { lstLsp_Click(); };
    lstLsp.onChange = [this] { lstLsp_Change(); };

    DiffSet.onChange = [this] { DiffSet_Change(); };
    txtLevelDif4.onChange = [this] { txtLevelDif4_Change(); };
    cmdCalc.onClick = [this] { cmdCalc_Click(); };
    lstPattern.onClick = [this] { lstPattern_Click(); };
    lstFit.onClick = [this] { lstFit_Click(); };

    mnuNew.onClick = [this] { mnuNew_Click(); };
    mnuOpen.onClick = [this] { mnuOpen_Click(); };
    mnuSave.onClick = [this] { mnuSave_Click(); };
    mnuSaveAs.onClick = [this] { mnuSaveAs_Click(); };
    mnuPrintSetup.onClick = [this] { mnuPrintSetup_Click(); };
    mnuReport.onClick = [this] { mnuReport_Click(); };
    mnuExportPdf.onClick = [this] { mnuExportPdf_Click(); };
    mnuPrintFile.onClick = [this] { mnuPrintFile_Click(); };
    mnuExit.onClick = [this] { mnuExit_Click(); };
    mnuLanguage.onClick = [this] { mnuLanguage_Click(); };
    mnuWorking.onClick = [this] { mnuWorking_Click(); };
    mnuMetric.onClick = [this] { mnuMetric_Click(); };
    mnuImperial.onClick = [this] { mnuImperial_Click(); };
    mnuAbout.onClick = [this] { mnuAbout_Click(); };
}

std::vector<std::pair<Control*, int>> FrmKvx::menuTextIds() {
    return {
        {&mnuFile, kMenuFileText},
        {&mnuNew, 1062},
        {&mnuOpen, 1063},
        {&mnuSave, 1064},
        {&mnuSaveAs, 1065},
        {&mnuPrintSetup, 1066},
        {&mnuReport, 1067},
        {&mnuPrintFile, 1068},
        {&mnuExit, 1069},
        {&mnuHelp, kMenuHelpText},
        {&mnuWorking, 1090},
        {&mnuAbout, kMenuAboutText},
        {&mnuExportPdf, 1130},
        {&mnuRecent, 1133},
        {&mnuLanguage, 1134},
        {&mnuUnits, UnitsText::UnitsMenu},
        {&mnuMetric, UnitsText::MetricEntry},
        {&mnuImperial, UnitsText::ImperialEntry},
    };
}

const std::optional<Design>& FrmKvx::lastCalculation() const {
    return m_state->lastCalculation;
}

const Design* FrmKvx::design() const {
    const std::optional<Design>& last = m_state->lastCalculation;
    return last && last->usable() ? &*last : nullptr;
}

int FrmKvx::observeDesign(std::function<void()> observer) {
    return m_state->designObservers.add(std::move(observer));
}

void FrmKvx::unobserveDesign(int id) {
    m_state->designObservers.remove(id);
}

void FrmKvx::setLastCalculation(std::optional<Design> design) {
    const bool tell = m_state->lastCalculation || design;
    m_state->lastCalculation = std::move(design);
    if (!tell)
        return;
    if (m_state->inRun)
        m_state->tellAfterRun = true;
    else
        m_state->designObservers.notify();
}

void FrmKvx::asOneRun(const std::function<void()>& body) {
    if (m_state->inRun) {
        body();
        return;
    }
    m_state->inRun = true;
    m_state->tellAfterRun = false;
    const auto end = [this] {
        m_state->inRun = false;
        if (std::exchange(m_state->tellAfterRun, false))
            m_state->designObservers.notify();
    };
    try {
        body();
    } catch (...) {
        end();
        throw;
    }
    end();
}

const ProjectSettings& FrmKvx::settings() const {
    return m_state->settings.value();
}

void FrmKvx::setSettings(const ProjectSettings& settings) {
    if (settings == m_state->settings.value())
        return;
    kvx.Modified = true;
    m_state->settings.set(settings);
}

void FrmKvx::replaceSettings(const ProjectSettings& settings) {
    m_state->settings.set(settings);
}

int FrmKvx::observeSettings(std::function<void()> observer) {
    return m_state->settings.observe(std::move(observer));
}

void FrmKvx::unobserveSettings(int id) {
    m_state->settings.unobserve(id);
}

const SystemSettings& FrmKvx::systemSettings() const {
    return settings().system;
}

void FrmKvx::setSystemSettings(const SystemSettings& system) {
    ProjectSettings changed = settings();
    changed.system = system;
    setSettings(changed);
}

const PlanSettings& FrmKvx::planSettings() const {
    return settings().plan;
}

void FrmKvx::setPlanSettings(const PlanSettings& plan) {
    ProjectSettings changed = settings();
    changed.plan = plan;
    setSettings(changed);
}

const LayoutSettings& FrmKvx::layoutSettings() const {
    return settings().layout;
}

void FrmKvx::setLayoutSettings(const LayoutSettings& layout) {
    ProjectSettings changed = settings();
    changed.layout = layout;
    setSettings(changed);
}

const SpeechSettings& FrmKvx::speechSettings() const {
    return settings().speech;
}

void FrmKvx::setSpeechSettings(const SpeechSettings& speech) {
    ProjectSettings changed = settings();
    changed.speech = speech;
    setSettings(changed);
}

Units FrmKvx::units() const {
    return kvx.units;
}

int FrmKvx::observeUnits(std::function<void()> observer) {
    return m_state->unitsObservers.add(std::move(observer));
}

void FrmKvx::unobserveUnits(int id) {
    m_state->unitsObservers.remove(id);
}

std::optional<QString> FrmKvx::storedLength(const Control& field) const {
    const auto kept = m_state->keptLengths.constFind(&field);
    if (kept != m_state->keptLengths.cend() && kept->first == field.text())
        return kept->second;
    return storedLengthText(field.text(), units());
}

void FrmKvx::showLength(Control& field, const QString& storedText) {
    const QString shown = shownLengthText(storedText, units(), kvx.locale);
    m_state->keptLengths.insert(&field, {shown, storedText});
    field.setText(shown);
}

bool FrmKvx::setUnits(Units chosen) {
    const auto showChoice = [this](Units shown) {
        mnuMetric.setChecked(shown == Units::Metric);
        mnuImperial.setChecked(shown == Units::Imperial);
    };
    if (chosen == units()) {
        showChoice(chosen);
        return true;
    }
    // The lengths as metres before the units change. Metres would read a
    // refused "9'12\"" as 9: the user puts the length right first.
    std::vector<std::pair<Control*, QString>> stored;
    for (Control* field : lengthFields()) {
        const std::optional<QString> metres = storedLength(*field);
        if (!metres) {
            showChoice(units());
            kvx.platform.messageBox(notALengthMessage(*field), MsgStyle::Exclamation,
                                    QStringLiteral("Input Error"));
            kvx.platform.setFocus(*field);
            return false;
        }
        stored.emplace_back(field, *metres);
    }
    showChoice(chosen);
    std::optional<double> distance;
    if (lastCalculation()) {
        distance = lastCalculation()->distance;
    } else if (!lblDistance.text().isEmpty()) {
        if (const LengthReading shown = readLength(lblDistance.text(), units()); shown.ok())
            distance = shown.metres;
    }

    // Showing the same lengths otherwise is no edit: the project stays as
    // modified as it was and the results and reports stay offered.
    const bool modified = kvx.Modified;
    const bool calc = cmdCalc.isEnabled(), print = mnuPrintFile.isEnabled(),
               report = mnuReport.isEnabled(), pdf = mnuExportPdf.isEnabled();
    const QString focusText = kvx.FocusText;
    kvx.units = chosen;
    for (const auto& [field, metres] : stored) {
        const QString before = field->text();
        showLength(*field, metres);
        if (focusText == before)
            kvx.FocusText = field->text();
    }
    if (distance)
        lblDistance.setText(shownDistance(*distance));
    for (int i : {ExpUnitRoomLength, ExpUnitRoomWidth, ExpUnitRoomHeight, ExpUnitEarHeight,
                  ExpUnitDistance})
        ExpText[i]->setText(kvx.localText(lengthLabelId(chosen)));
    kvx.Modified = modified;
    cmdCalc.setEnabled(calc);
    mnuPrintFile.setEnabled(print);
    mnuReport.setEnabled(report);
    mnuExportPdf.setEnabled(pdf);
    m_state->unitsObservers.notify();
    return true;
}

QString FrmKvx::shownDistance(double metres) const {
    return units() == Units::Imperial ? formatFeet(metres, kvx.locale, kSpacingFeetDecimals)
                                      : formatOneDecimal(metres, kvx.locale);
}
} // namespace kvx
