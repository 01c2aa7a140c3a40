#pragma once

// The recent-files lists of Kvx.ini (projects, buildings): one section each,
// six names at the most, the newest first, one file once however it is
// spelled.

#include <QString>
#include <QStringList>

namespace kvx {

class Kvx1;

struct RecentList {
    QString section;   // "Recent projects"
    QString keyPrefix; // "Project": keys Project1 .. Project6
};

constexpr int kRecentCount = 6;

QStringList recentFiles(const Kvx1& kvx, const RecentList& list);
// Puts path first; writes only a changed list (Kvx.ini is rewritten whole),
// and nothing when the user keeps no list or there is no Kvx.ini.
void rememberRecentFile(const Kvx1& kvx, const RecentList& list, const QString& path);
void forgetRecentFile(const Kvx1& kvx, const RecentList& list, const QString& path);

} // namespace kvx
