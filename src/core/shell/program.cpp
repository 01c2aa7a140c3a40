#include "core/shell/program.h"

#include "core/base/kvx_error.h"

namespace kvx {

Program::Program(Platform& platform, QString programFolder, QLocale numberLocale,
                 QString commandLine)
    : Program(platform, ProgramFolders{std::move(programFolder), std::nullopt},
              std::move(numberLocale), std::move(commandLine)) {}

Program::Program(Platform& platform, ProgramFolders folders, QLocale numberLocale,
                 QString commandLine)
    : kvx(platform, std::move(folders), std::move(numberLocale))
    , langSelect(kvx)
    , m_commandLine(std::move(commandLine)) {}

Program::~Program() = default;

bool Program::start() {
    if (langSelect.Form_Load())
        return true;
    loadMainWindow();
    return false;
}

void Program::languageChosen() {
    langSelect.OK_Key_Click();
    loadMainWindow();
}

void Program::loadMainWindow() {
    mainWindow = std::make_unique<FrmKvx>(kvx);
    try {
        mainWindow->Form_Load(m_commandLine);
    } catch (const ProgramEnded&) {
        m_ended = true;
    }
}

} // namespace kvx
