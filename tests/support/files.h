#pragma once

// Files that tests write into a temporary folder and read back, loudspeaker
// records to fill data files with, and a main window ready for project files.

#include "core/catalogue/lsp_record.h"
#include "core/ui/translation.h"
#include "support/harness.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include <functional>

namespace kvx::test {

inline QByteArray readBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline bool writeBytes(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Every file and folder under root with a hash of its bytes (and its time,
// to see even a file written again unchanged), to see what a run wrote.
inline QStringList snapshot(const QString& root, bool withTimes = false) {
    QStringList entries;
    for (QDirIterator it(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                         QDirIterator::Subdirectories);
         it.hasNext();) {
        const QFileInfo entry(it.next());
        entries << QDir(root).relativeFilePath(entry.filePath()) + u' ' +
                       QString::number(qHash(readBytes(entry.filePath()))) +
                       (withTimes ? entry.lastModified().toString(Qt::ISODateWithMs) : QString());
    }
    entries.sort();
    return entries;
}
// A file kept with the tests' sources, under tests/data.
inline QByteArray testData(const QString& name) {
    return readBytes(QStringLiteral(KVX_SOURCE_DIR "/tests/data/") + name);
}

// A record whose name is padded to the full length, as the file stores it.
inline LspRecord lspRecord(const QString& name, qint16 angle1, qint16 angle4, float sensitivity,
                           float maxPower) {
    return {name.leftJustified(kLspNameLength, u' '), angle1, angle4, sensitivity, maxPower};
}

// Each message as "title (style): text", to compare them all at once.
inline QStringList messageLog(const FakePlatform& platform) {
    QStringList log;
    for (const RecordedMessage& m : platform.messages)
        log << QStringLiteral("%1 (%2): %3").arg(m.title).arg(m.style).arg(m.text);
    return log;
}

// What get gives for each control, e.g. of(controls, &Control::text).
template <typename Get>
auto of(const QList<Control*>& controls, Get get) {
    QList<std::decay_t<std::invoke_result_t<Get, const Control&>>> values;
    for (const Control* c : controls)
        values << std::invoke(get, *c);
    return values;
}

// A new project in a window that speaks the given language, with the tap lists
// filled and one loudspeaker type, "Type A".
struct ProjectWindow : Harness {
    explicit ProjectWindow(int languageOffset = 0, QLocale locale = QLocale::c())
        : Harness(std::move(locale)) {
        kvx.LanguageOffset = languageOffset;
        LoadGlobalTexts(kvx, *w);
        w->FillSpeakerTapList();
        w->FillAmpTapList();
        w->FillLayoutLists();
        w->lstLsp.addItem(QStringLiteral("Type A     "));
        w->ResetProject();
        platform.clear();
    }
    // The project's fields in the order the file stores them.
    QList<Control*> fields() const {
        return {&w->txtDescription, &w->lstLsp,       &w->txtAngle1,       &w->txtAngle4,
                &w->txtSensitivity, &w->txtMaxPower,  &w->txtRoomLength,   &w->txtRoomWidth,
                &w->txtRoomHeight,  &w->txtEarHeight, &w->lstLspTap,       &w->lstAmpTap,
                &w->lblPower,       &w->lblDistance,  &w->lblNrofSpeakers, &w->lblLevelDif1,
                &w->txtLevelDif4,   &w->lblLevel};
    }
    QStringList fieldTexts() const { return of(fields(), &Control::text); }
    void setFields(const QStringList& texts) {
        for (qsizetype i = 0; i < texts.size(); ++i)
            fields()[i]->setText(texts[i]);
    }
    // The caption, the project's file ("~" for the program's folder) and Modified.
    QStringList state() const {
        return {w->form.text(), QString(w->CmDialog1.fileName).replace(dir.path(), "~"),
                kvx.Modified ? "modified" : "unmodified"};
    }
};

} // namespace kvx::test
