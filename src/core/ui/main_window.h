#pragma once

// The main window frmKVX as a model: every control it shows, the project state
// around them, and every event handler. The handlers live in main_window/, one
// file per group, and call the domain's pure code for the arithmetic, the
// files and the texts:
//   calculation.cpp        cmdCalc_Click, Calculate, CheckInputs
//   taps.cpp               the tap lists, their events and the speaker power
//   difference_level.cpp   the slider and the set difference
//   layout_choice.cpp      the pattern and fit choices
//   field_events.cpp       the field events of the numeric text boxes
//   loudspeaker_file.cpp   the loudspeaker data file
//   catalogue_selection.cpp  the catalogue and type selection
//   project_file.cpp       reading and writing the project file
//   project_commands.cpp   New, Open, Save, Save As, Exit, recent projects, language
//   report_commands.cpp    the printed, PDF and text-file reports
//   window_load.cpp        the window's load, activation and closing, the Help menu
//   units_choice.cpp       the Units menu and the room fields that hold a length
// A view shows the controls and forwards the user's actions to them; it never
// calls a handler itself.

#include "core/base/common_dialog.h"
#include "core/base/units.h"
#include "core/ui/control.h"
#include "core/ui/kvx1.h"

#include <QFile>
#include <QString>

#include <functional>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

namespace kvx {

struct Design;
struct LayoutSettings;
struct PlanSettings;
struct ProjectSettings;
struct SpeechSettings;
struct SystemSettings;

// Positions in the ExpText label array.
enum ExpTextIndex {
    ExpProjectDescription, // 1003
    ExpLoudspeakerFile,    // 1005
    ExpRoomLength,         // 1007
    ExpRoomWidth,          // 1009
    ExpRoomHeight,         // 1011
    ExpEarHeight,          // 1013
    ExpSpeakerTap,         // 1016
    ExpAmplifierTap,       // 1018
    ExpSpeakerPower,       // 1020
    ExpDifferenceLevel,    // 1030
    ExpSoundPressureLevel, // 1033
    ExpMutualDistance,     // 1035
    ExpNumberOfSpeakers,   // 1037
    ExpOctaveBands,        // 1080
    ExpOpeningAngle,       // 1081
    ExpSensitivity,        // 1082
    ExpRatedPower,         // 1083
    ExpDegrees,            // 1084
    // Untagged labels keep their fixed texts.
    ExpAt1kHz,
    ExpAt4kHz,
    ExpUnitRoomLength,
    ExpUnitRoomWidth,
    ExpUnitRoomHeight,
    ExpUnitEarHeight,
    ExpUnitSensitivity,
    ExpUnitRatedPower,
    ExpUnitSpeakerPower,
    ExpUnitLevelDif4,
    ExpUnitDistance,
    ExpUnitLevelDif1,
    ExpUnitLevel,
    // The captions of the layout choices, with their access keys.
    ExpPattern, // 1582
    ExpFit,     // 1583
    ExpTextCount
};

class FrmKvx {
public:
    explicit FrmKvx(Kvx1& kvx);
    ~FrmKvx();
    FrmKvx(const FrmKvx&) = delete;
    FrmKvx& operator=(const FrmKvx&) = delete;

    Kvx1& kvx;

    // The window itself (caption, size and position in twips).
    Control form{ControlKind::Form, QStringLiteral("frmKVX"), QStringLiteral("1052")};

    Control Frame6{ControlKind::Frame, QStringLiteral("Frame6"), QStringLiteral("1000")};
    Control Frame1{ControlKind::Frame, QStringLiteral("Frame1"), QStringLiteral("1006")};
    Control Frame2{ControlKind::Frame, QStringLiteral("Frame2"), QStringLiteral("1015")};
    Control Frame4{ControlKind::Frame, QStringLiteral("Frame4"), QStringLiteral("1021")};
    Control Frame5{ControlKind::Frame, QStringLiteral("Frame5"), QStringLiteral("1027")};
    Control Frame3{ControlKind::Frame, QStringLiteral("Frame3"), QStringLiteral("1029")};

    QList<Control*> ExpText; // owned, see ExpTextIndex

    Control txtDescription{ControlKind::TextBox, QStringLiteral("txtDescription"),
                           QStringLiteral("1004")};
    Control FileSel{ControlKind::ComboBox, QStringLiteral("FileSel")};
    Control txtRoomLength{ControlKind::TextBox, QStringLiteral("txtRoomLength"),
                          QStringLiteral("1008")};
    Control txtRoomWidth{ControlKind::TextBox, QStringLiteral("txtRoomWidth"),
                         QStringLiteral("1010")};
    Control txtRoomHeight{ControlKind::TextBox, QStringLiteral("txtRoomHeight"),
                          QStringLiteral("1012")};
    Control txtEarHeight{ControlKind::TextBox, QStringLiteral("txtEarHeight"),
                         QStringLiteral("1014")};
    Control lstLsp{ControlKind::ComboBox, QStringLiteral("lstLsp"), QStringLiteral("1022")};
    Control txtAngle1{ControlKind::TextBox, QStringLiteral("txtAngle1"), QStringLiteral("1023")};
    Control txtAngle4{ControlKind::TextBox, QStringLiteral("txtAngle4"), QStringLiteral("1025")};
    Control txtSensitivity{ControlKind::TextBox, QStringLiteral("txtSensitivity"),
                           QStringLiteral("1024")};
    Control txtMaxPower{ControlKind::TextBox, QStringLiteral("txtMaxPower"),
                        QStringLiteral("1026")};
    Control lstLspTap{ControlKind::ComboBox, QStringLiteral("lstLspTap"), QStringLiteral("1017")};
    Control lstAmpTap{ControlKind::ComboBox, QStringLiteral("lstAmpTap"), QStringLiteral("1019")};
    Control lblPower{ControlKind::Label, QStringLiteral("lblPower")};
    Control DiffSet{ControlKind::HScrollBar, QStringLiteral("DiffSet")};
    Control txtLevelDif4{ControlKind::Label, QStringLiteral("txtLevelDif4")};
    Control cmdCalc{ControlKind::CommandButton, QStringLiteral("cmdCalc"), QStringLiteral("1028")};
    // How the loudspeakers hang and how the rows are fitted into the room:
    // lists of the pattern and fit names, showing the project's LayoutSettings.
    Control lstPattern{ControlKind::ComboBox, QStringLiteral("lstPattern"), QStringLiteral("1580")};
    Control lstFit{ControlKind::ComboBox, QStringLiteral("lstFit"), QStringLiteral("1581")};
    Control lblDistance{ControlKind::Label, QStringLiteral("lblDistance")};
    Control lblNrofSpeakers{ControlKind::Label, QStringLiteral("lblNrofSpeakers")};
    Control lblLevel{ControlKind::Label, QStringLiteral("lblLevel")};
    Control lblLevelDif1{ControlKind::Label, QStringLiteral("lblLevelDif1")};
    Control Picture1{ControlKind::PictureBox, QStringLiteral("Picture1")};
    Control Picture2{ControlKind::PictureBox, QStringLiteral("Picture2")};
    Control Picture3{ControlKind::PictureBox, QStringLiteral("Picture3")};

    Control mnuFile{ControlKind::Menu, QStringLiteral("mnuFile")};
    Control mnuNew{ControlKind::Menu, QStringLiteral("mnuNew")};
    Control mnuOpen{ControlKind::Menu, QStringLiteral("mnuOpen")};
    Control mnuSave{ControlKind::Menu, QStringLiteral("mnuSave")};
    Control mnuSaveAs{ControlKind::Menu, QStringLiteral("mnuSaveAs")};
    Control sep0{ControlKind::Menu, QStringLiteral("sep0")};
    Control mnuPrintSetup{ControlKind::Menu, QStringLiteral("mnuPrintSetup")};
    Control mnuReport{ControlKind::Menu, QStringLiteral("mnuReport")};
    Control mnuExportPdf{ControlKind::Menu, QStringLiteral("mnuExportPdf")};
    Control mnuPrintFile{ControlKind::Menu, QStringLiteral("mnuPrintFile")};
    // The last few projects (kept in Kvx.ini) and the language of later starts.
    Control mnuRecent{ControlKind::Menu, QStringLiteral("mnuRecent")};
    Control mnuLanguage{ControlKind::Menu, QStringLiteral("mnuLanguage")};
    // Metres or feet: a submenu of two choices, the chosen one checked.
    Control mnuUnits{ControlKind::Menu, QStringLiteral("mnuUnits")};
    Control mnuMetric{ControlKind::Menu, QStringLiteral("mnuMetric")};
    Control mnuImperial{ControlKind::Menu, QStringLiteral("mnuImperial")};
    Control sep1{ControlKind::Menu, QStringLiteral("sep1")};
    Control mnuExit{ControlKind::Menu, QStringLiteral("mnuExit")};
    Control mnuHelp{ControlKind::Menu, QStringLiteral("mnuHelp")};
    Control mnuWorking{ControlKind::Menu, QStringLiteral("mnuWorking")};
    Control sep3{ControlKind::Menu, QStringLiteral("sep3")};
    Control mnuAbout{ControlKind::Menu, QStringLiteral("mnuAbout")};

    CommonDialog CmDialog1;
    // The Save As dialog of the PDF export, apart from CmDialog1 so that the
    // project's path stays untouched.
    CommonDialog PdfDialog;

    // Every control in window order, for the translation walk (the form excluded).
    ControlList controls() const { return m_controls; }
    Control* control(const QString& name) const;
    // The menu commands with the ids of their texts.
    std::vector<std::pair<Control*, int>> menuTextIds();

    // The open loudspeaker data file; empty when none is open.
    std::unique_ptr<QFile> LspFile;

    // The last calculation that ran to its end, unrounded (a search that did
    // not settle included); none after ClearResults or a refused or failed run.
    const std::optional<Design>& lastCalculation() const;
    // The design the plan and everything after it work on: the last
    // calculation when it gave a usable grid, else nullptr.
    const Design* design() const;
    // Observers of the calculation: called once after each run (whatever its
    // outcome, when there was or is a design) and when ClearResults drops it.
    // The returned id removes the observer again.
    int observeDesign(std::function<void()> observer);
    void unobserveDesign(int id);

    // The project's settings beyond the fields (the system settings, ...):
    // New resets them, Open reads them from the project file.
    const ProjectSettings& settings() const;
    // A change the user makes: marks the project modified and tells the
    // observers of the settings.
    void setSettings(const ProjectSettings& settings);
    // Called whenever any setting changes (a user's change, New, Open).
    int observeSettings(std::function<void()> observer);
    void unobserveSettings(int id);
    // The system settings (amplifier, cable, ambient noise) of settings(),
    // and a user's change of them as setSettings() makes it.
    const SystemSettings& systemSettings() const;
    void setSystemSettings(const SystemSettings& settings);
    int observeSystemSettings(std::function<void()> observer) {
        return observeSettings(std::move(observer));
    }
    void unobserveSystemSettings(int id) { unobserveSettings(id); }
    // The listener area's margin of settings(), and a user's change of it.
    const PlanSettings& planSettings() const;
    void setPlanSettings(const PlanSettings& plan);
    // The pattern and fit of settings(), and a user's change of them.
    const LayoutSettings& layoutSettings() const;
    void setLayoutSettings(const LayoutSettings& layout);
    // The speech settings (reverberation time, STI target) of settings(), and
    // a user's change of them; the ambient noise is the system settings'.
    const SpeechSettings& speechSettings() const;
    void setSpeechSettings(const SpeechSettings& settings);
    // How many calculation runs have started, refused ones included: a caller
    // that moved the slider can tell whether that already recalculated.
    int calculationRuns() const { return m_calculationRuns; }

    // --- calculation, taps, slider
    void cmdCalc_Click();
    void Calculate();
    bool CheckInputs();
    void FillAmpTapList();
    void FillSpeakerTapList();
    // Throws KvxError when the taps or the rated power give no usable power.
    void ShowSpeakerPower();
    void lstAmpTap_GotFocus();
    void lstLspTap_GotFocus();
    void lstAmpTap_Click();
    void lstLspTap_Click();
    // A tap typed into its box is project data too: it marks the project modified.
    void lstAmpTap_Change();
    void lstLspTap_Change();
    void DiffSet_Change();
    void txtLevelDif4_Change();

    // --- pattern and fit
    // The two lists in the current language, showing the project's settings.
    void FillLayoutLists();
    // A pick sets the project's pattern or fit and recalculates, as a tap pick does.
    void lstPattern_Click();
    void lstFit_Click();

    // --- field events
    void ClearResults();
    void txtRoomLength_Change();
    void txtRoomWidth_Change();
    void txtRoomHeight_Change();
    void txtEarHeight_Change();
    void txtAngle1_Change();
    void txtAngle4_Change();
    void txtSensitivity_Change();
    void txtMaxPower_Change();
    void txtRoomLength_GotFocus();
    void txtRoomWidth_GotFocus();
    void txtRoomHeight_GotFocus();
    void txtEarHeight_GotFocus();
    void txtRoomLength_Click();
    void txtRoomWidth_Click();
    void txtRoomHeight_Click();
    void txtEarHeight_Click();
    // Focus rule of the four loudspeaker fields.
    void LoudspeakerField_GotFocus();

    // --- loudspeaker file and catalogue selection
    void OpenLoudspeakerFile();
    void FillLoudspeakerList();
    void ShowLoudspeakerData(qint16 recordNumber);
    void SetUserTypeFields(bool userType);
    void FileSel_Click();
    void lstLsp_Click();
    // The loudspeaker fields look as the type box says: editable (white) for
    // the user type, catalogue data (light yellow) otherwise.
    void lstLsp_Change();

    // --- project file and project commands
    void ResetProject();
    void WriteProjectFile(const QString& path);
    // False when a section header is none of a project file's, in any
    // language: the message is shown and a new project started. Throws
    // KvxError when the file cannot be read.
    bool ReadProjectFile(const QString& path);
    void mnuNew_Click();
    void mnuOpen_Click();
    void mnuSave_Click();
    void mnuSaveAs_Click();
    void mnuExit_Click();
    void txtDescription_Click();
    void txtDescription_Change();
    // The caption: the program title and the project's file name, or the
    // new-project name when the project has no file.
    void showProjectCaption();
    // The projects last opened or saved, newest first (full paths).
    QStringList recentProjects() const;
    // Opens one of recentProjects() as Open does, without the dialog; a file
    // that has gone is reported and dropped from the list.
    void openRecent(const QString& path);
    // A project handed to the running window (a file dropped on it, a second
    // start with a file name): opened as Open does, without the dialog.
    void openGivenProject(const QString& path);
    // Puts a project opened or saved at the top of recentProjects(); kept only
    // when kvx.keepRecentProjects is set and the configuration file exists.
    void rememberRecent(const QString& path);
    // Asks for the language of later starts and stores it in Kvx.ini.
    void mnuLanguage_Click();

    // --- units (units_choice.cpp)
    // The units lengths are shown and typed in; Form_Load takes them from Kvx.ini.
    Units units() const;
    // Shows every length in these units at once (the fields keep the metres
    // they held, the labels name the unit) and tells the units' observers;
    // Kvx.ini is left alone. False when a room field holds a text that is no
    // length in the units shown: that is an input error naming the field, and
    // the units stay, so that the text is never read as something else.
    bool setUnits(Units units);
    int observeUnits(std::function<void()> observer);
    void unobserveUnits(int id);
    // The menu's choices: setUnits, kept in Kvx.ini for later starts.
    void mnuMetric_Click();
    void mnuImperial_Click();
    // The four room fields that hold a length.
    QList<Control*> lengthFields();
    bool isLengthField(const Control& field) const;
    // The text a project file keeps for a length field (metres); nothing when
    // the field's text is no length in the chosen units.
    std::optional<QString> storedLength(const Control& field) const;
    // Shows storedText (metres, as a file keeps it) in a length field in the
    // chosen units, remembering the metres so that the unchanged text gives
    // them back exactly.
    void showLength(Control& field, const QString& storedText);
    // A length field's value in metres as a calculation takes it: metric
    // reads it as every field (ParseDecimal, which throws KvxError for a
    // number too large); imperial throws KvxError naming the field for a text
    // that is no length.
    double lengthMetres(const Control& field) const;
    // The spacing as the results show it: metres or feet, one decimal.
    QString shownDistance(double metres) const;
    // The input error naming the field for a text that is no length in feet.
    QString notALengthMessage(const Control& field) const;

    // --- report commands
    void mnuReport_Click();
    void mnuExportPdf_Click();
    void mnuPrintFile_Click();
    void mnuPrintSetup_Click();

    // --- window load, activation, closing, Help menu
    // The window's load; commandLine is the whole argument text, empty for none.
    void Form_Load(const QString& commandLine = {});
    // The last Form_Load showed a failure: a step failed, or the project it
    // was given was not found or not read.
    bool loadFailed = false;
    void Form_Activate();
    // Closing by the window frame: true when the window may close.
    bool Form_QueryUnload();
    void mnuAbout_Click();
    void mnuWorking_Click();

private:
    struct State;

    void installHandlers();
    // Exit and closing by the frame: save the modified project first?
    MsgResult askSaveBeforeExit();
    // New, Open, a recent or a given project replace the one in the window:
    // a modified project is offered to be saved first (Yes saves, No goes
    // on, Cancel stops). False when the command must stop: Cancel, or a save
    // that failed or was cancelled.
    bool maySetProjectAside();
    // A new project without asking: ResetProject and the calculation.
    void startNewProject();
    // The one place the last calculation changes. Its observers hear of it
    // when there was or is a design; within asOneRun once, at its end.
    void setLastCalculation(std::optional<Design> design);
    void asOneRun(const std::function<void()>& body);
    // The program's own change of the settings (New, Open): the project is
    // not modified by it.
    void replaceSettings(const ProjectSettings& settings);
    // The lists show the project's pattern and fit.
    void showLayoutSettings();

    std::unique_ptr<State> m_state;
    // Bare name of the project's file; empty for a new project.
    QString m_projectName;
    int m_calculationRuns = 0;
    ControlList m_controls;
};

} // namespace kvx
