#include "core/ui/offered_name.h"

#include "core/ui/kvx1.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace kvx {

namespace {

constexpr qsizetype kMaxNameLength = 100;

} // namespace

QString fileNameOf(const QString& text) {
    QString name;
    for (const QChar c : text) {
        // What Windows refuses in a name, and the separators of every system.
        const bool refused =
            c.category() == QChar::Other_Control || QStringView(u"\\/:*?\"<>|").contains(c);
        name += refused ? QChar(u' ') : c;
    }
    name = name.simplified().left(kMaxNameLength);
    while (!name.isEmpty() && (name.endsWith(u'.') || name.endsWith(u' ')))
        name.chop(1);
    while (!name.isEmpty() && (name.startsWith(u'.') || name.startsWith(u' ')))
        name.remove(0, 1);
    static const QRegularExpression device(
        QStringLiteral("^(CON|PRN|AUX|NUL|COM[1-9]|LPT[1-9])(\\..*)?$"),
        QRegularExpression::CaseInsensitiveOption);
    if (device.match(name).hasMatch())
        name += u'_';
    return name;
}

QString offeredName(const Kvx1& kvx, const QString& currentFile, const QString& description) {
    // A new project's description field holds the prompt to type one: no name.
    const bool described = description != kvx.texts.DescriptionPrompt;
    QString name = !currentFile.isEmpty() ? QFileInfo(currentFile).completeBaseName()
                   : described            ? fileNameOf(description)
                                          : QString();
    return name.isEmpty() ? fileNameOf(kvx.localText(kUntitledText)) : name;
}

QString offeredPath(const Kvx1& kvx, const QString& currentFile, const QString& description,
                    const QString& extension) {
    return QDir(kvx.dialogFolder(currentFile))
        .filePath(offeredName(kvx, currentFile, description) + u'.' + extension);
}

} // namespace kvx
