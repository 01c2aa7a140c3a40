#pragma once

// The rules every file this program writes shares: the code page of its text
// and the write that replaces an old file only by a complete new one.

#include <QByteArray>
#include <QString>

class QSaveFile;

namespace kvx {

// The code page of project, catalogue, configuration and report files.
inline constexpr const char* kCodePage = "windows-1252";

// Commits an open QSaveFile. The write buffer is flushed first: commit() alone
// misses a failed flush (a full disk) and would put a cut-off file in place.
// On failure the new file is dropped, the old one stays, and reason (when
// given) says why.
bool commitSaveFile(QSaveFile& file, QString* reason = nullptr);

// Writes bytes to the open file and commits it as commitSaveFile does.
bool writeSaveFile(QSaveFile& file, const QByteArray& bytes, QString* reason = nullptr);

} // namespace kvx
