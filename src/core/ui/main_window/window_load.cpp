#include "core/base/kvx_error.h"
#include "core/base/program_folders.h"
#include "core/base/string_table.h"
#include "core/ui/main_window.h"
#include "core/ui/translation.h"
#include "core/ui/window_placement.h"

#include <QFileInfo>

#include <stdexcept>

namespace kvx {

namespace {

const QString kFormLoadError = QStringLiteral("Form Load Error");

// A data file list holds the first name and at most 50 more.
constexpr int kMaxDataFiles = 51;

// Runs one step of the load: a failure is shown and the load goes on with the
// next step. Ending the program, and programming faults, are not load failures.
template <typename Step>
void loadStep(Platform& platform, bool& failed, Step&& step) {
    try {
        step();
    } catch (const KvxError& error) {
        failed = true;
        platform.messageBox(error.message(), MsgStyle::OkOnly, kFormLoadError);
    } catch (const std::logic_error&) {
        throw;
    } catch (const std::exception& error) {
        failed = true;
        platform.messageBox(QString::fromLocal8Bit(error.what()), MsgStyle::OkOnly, kFormLoadError);
    }
}

} // namespace

void FrmKvx::Form_Load(const QString& commandLine) {
    Platform& platform = kvx.platform;
    loadFailed = false;
    const auto step = [this, &platform](auto&& body) { loadStep(platform, loadFailed, body); };

    step([this] { form.setSize(form.width(), 7850); });
    step([this] { form.setSize(7680, form.height()); });
    step([this] {
        kvx.CurrentLspFile =
            kvx.readSetting(Configuration::DataFileSection, Configuration::DataFileKey)
                .value_or(QString());
    });
    QString language;
    step([this, &language] {
        language = kvx.readSetting(Configuration::LanguageSection, Configuration::LanguageKey)
                       .value_or(QString());
    });
    step([this, &language] { kvx.LanguageOffset = languageOffsetOf(language); });
    step([this] { LoadGlobalTexts(kvx, *this); });
    step([this] {
        // Kept as the menu wrote it; anything else is the default, metres.
        setUnits(kvx.unitsOverride ? *kvx.unitsOverride
                                   : readUnits(kvx.readSetting(Configuration::LanguageSection,
                                                               Configuration::UnitsKey)
                                                   .value_or(QString()))
                                         .value_or(Units::Metric));
    });
    step([this] { FileSel.setText(kvx.CurrentLspFile); });
    step([this] { DiffSet.setValue(60); });
    step([this] {
        for (const QString& name : catalogueNames(kvx.catalogueFolders(), kMaxDataFiles))
            FileSel.addItem(name);
    });
    step([this] { OpenLoudspeakerFile(); });
    step([this, &platform] { CentreWindow(platform, form); });
    step([this] { FillLoudspeakerList(); });
    step([this] { FillSpeakerTapList(); });
    step([this] { FillAmpTapList(); });
    step([this] { FillLayoutLists(); });
    step([this] { ResetProject(); });
    step([this] { SetUserTypeFields(false); });
    step([this, &platform, &commandLine] {
        if (commandLine.isEmpty())
            return;
        // The whole argument text is one path. The full path is remembered so
        // that Save writes back to this file wherever the program was started.
        const QFileInfo projectFile(commandLine);
        if (projectFile.isFile()) {
            // Named before the read: a file that turns out to be of another
            // language resets to a new project, which forgets the name again,
            // so a later Save cannot overwrite that file unasked.
            const QString path = projectFile.absoluteFilePath();
            const QString previous = CmDialog1.fileName;
            CmDialog1.fileName = path;
            try {
                if (!ReadProjectFile(path))
                    loadFailed = true;
            } catch (...) {
                CmDialog1.fileName = previous;
                throw;
            }
            if (!CmDialog1.fileName.isEmpty())
                rememberRecent(path);
        } else {
            loadFailed = true;
            platform.messageBox(QStringLiteral("Project file: ") + commandLine +
                                    QStringLiteral(" does not exist"),
                                MsgStyle::Information, QStringLiteral("File specification error"));
        }
    });
    step([this] { cmdCalc.setEnabled(false); });
    step([this] {
        // The results are current: the report commands are offered.
        mnuPrintFile.setEnabled(true);
        mnuReport.setEnabled(true);
        mnuExportPdf.setEnabled(true);
    });
}

void FrmKvx::Form_Activate() {
    TranslateControls(kvx, *this);
    // The translation gave the caption the bare title: the project's name
    // comes back, and the field colours follow the type box.
    showProjectCaption();
    lstLsp_Change();
    cmdCalc_Click();
    // Results carry no Tag: only their tooltips follow the language.
    lblDistance.setToolTip(kvx.localText(1036));
    lblNrofSpeakers.setToolTip(kvx.localText(1038));
    lblLevelDif1.setToolTip(kvx.localText(1031));
    lblLevel.setToolTip(kvx.localText(1034));
    txtLevelDif4.setToolTip(kvx.localText(1032));
}

bool FrmKvx::Form_QueryUnload() {
    // Closing by the frame asks about unsaved changes just as Exit does.
    if (!kvx.Modified)
        return true;
    const MsgResult answer = askSaveBeforeExit();
    switch (answer) {
    case MsgResult::Yes:
        try {
            mnuSave_Click();
        } catch (const KvxError& error) {
            // Not saved: the window stays open with the project still modified.
            kvx.platform.messageBox(error.message(), MsgStyle::Critical);
            return false;
        }
        return !kvx.Modified;
    case MsgResult::No:
        kvx.Modified = false;
        return true;
    default:
        return false;
    }
}

void FrmKvx::mnuAbout_Click() {
    kvx.platform.showAbout();
    Form_Activate();
}

void FrmKvx::mnuWorking_Click() {
    kvx.platform.showWorking();
    Form_Activate();
}

} // namespace kvx
