#include "core/ui/recent_files.h"

#include "core/base/ini_file.h"
#include "core/ui/kvx1.h"

#include <QFileInfo>

namespace kvx {

namespace {

QString recentKey(const RecentList& list, int i) {
    return list.keyPrefix + QString::number(i + 1);
}

// Writes the list; a place left over is emptied only where it held a name.
void writeRecent(const Kvx1& kvx, const RecentList& list, const QStringList& paths) {
    for (int i = 0; i < kRecentCount; ++i) {
        const QString key = recentKey(list, i);
        if (i < paths.size() || ReadIniValue(list.section, key, kvx.iniPath()))
            WriteIniValue(list.section, key, paths.value(i), kvx.iniPath());
    }
}

// Two names of one file count once, whatever their spelling.
QString sameFileKey(const QString& path) {
    const QFileInfo info(path);
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

QStringList recentFiles(const Kvx1& kvx, const RecentList& list) {
    QStringList paths;
    QStringList seen;
    for (int i = 0; i < kRecentCount; ++i) {
        const QString path =
            ReadIniValue(list.section, recentKey(list, i), kvx.iniPath()).value_or(QString());
        if (path.isEmpty() || seen.contains(sameFileKey(path)))
            continue;
        seen << sameFileKey(path);
        paths << path;
    }
    return paths;
}

void rememberRecentFile(const Kvx1& kvx, const RecentList& list, const QString& path) {
    if (!kvx.keepRecentProjects || !QFileInfo(kvx.iniPath()).isFile())
        return;
    const QString full = QFileInfo(path).absoluteFilePath();
    const QStringList old = recentFiles(kvx, list);
    QStringList paths{full};
    for (const QString& p : old) {
        if (sameFileKey(p) != sameFileKey(full))
            paths << p;
    }
    if (paths.mid(0, kRecentCount) != old)
        writeRecent(kvx, list, paths);
}

void forgetRecentFile(const Kvx1& kvx, const RecentList& list, const QString& path) {
    QStringList paths = recentFiles(kvx, list);
    if (paths.removeAll(path) > 0)
        writeRecent(kvx, list, paths);
}

} // namespace kvx
