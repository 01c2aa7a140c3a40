#pragma once

#include <QString>

namespace kvx {

// The main window's one common dialog. The project commands, the text-file
// report and the printer setup each set only some of these settings; the
// others carry over from the dialog's last use. fileName is the path of the
// current project file (empty for a new project).
struct CommonDialog {
    // Filter in the dialog's own notation: "Description|pattern|Description|pattern".
    QString filter;
    int filterIndex = 1;
    QString defaultExt;
    QString initDir;
    int flags = 0;
    QString fileName;
    // The dialog's title; empty for the platform's own ("Open", "Save As").
    QString title;
};

// Option flags of the common dialog that the program uses.
namespace DialogFlags {
constexpr int OverwritePrompt = 2;
constexpr int HideReadOnly = 4;
constexpr int PrintSetup = 64;
constexpr int PathMustExist = 2048;
constexpr int FileMustExist = 4096;
} // namespace DialogFlags

} // namespace kvx
