#include "core/ui/replace_guard.h"

#include "core/building/building_file.h"
#include "core/ui/kvx1.h"

#include <QDir>

namespace kvx {

namespace {

// "%1 holds a KVX project. Replace the project with the report?" and the
// same of any other file.
constexpr int kReplaceWithReport = 1144;
constexpr int kReplaceWithExport = 1511;
// "%1 holds a project or a building. Replace it?"
constexpr int kReplaceWhole = 1846;

// The question in the user's language, else in English: a string table of
// its own (a test's, an old one) must not stop the guard.
QString question(const Kvx1& kvx, int id) {
    if (const auto text = kvx.strings.find(id + kvx.LanguageOffset))
        return *text;
    return kvx.strings.find(id).value_or(
        QStringLiteral("%1 holds a KVX project. Replace the project with this file?"));
}

} // namespace

bool mayReplace(const Kvx1& kvx, const QString& path, const QString& title, Replacement with) {
    if (!holdsProjectOrBuilding(path, kvx.strings))
        return true;
    const int id = with == Replacement::Report   ? kReplaceWithReport
                   : with == Replacement::Export ? kReplaceWithExport
                                                 : kReplaceWhole;
    const MsgResult answer =
        kvx.platform.messageBox(question(kvx, id).arg(QDir::toNativeSeparators(path)),
                                MsgStyle::YesNoQuestion | MsgStyle::DefaultButton2, title);
    return answer == MsgResult::Yes;
}

} // namespace kvx
