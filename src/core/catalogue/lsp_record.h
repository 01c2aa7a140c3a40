#pragma once

// Loudspeaker data files (*.lsp), the catalogues of loudspeaker types. A file
// is a bare sequence of 23-byte records: no header, no separators, numbers
// little-endian, the type name in Windows-1252. A trailing piece shorter than a
// record is not a record. This header reads and writes that format; the main
// window opens the current file and lists its types in loudspeaker_file.cpp,
// reacts to the user's picks in catalogue_selection.cpp, and catalogue_csv.h
// turns a catalogue into CSV and back for the command line and the build.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

namespace kvx {

constexpr int kLspRecordSize = 23;
constexpr int kLspNameLength = 11;
// Record numbers are 16-bit, so later records cannot be addressed.
constexpr int kMaxLspRecords = 32767;

// One loudspeaker type as stored in a data file. A default record is the
// zeroed record: eleven NUL characters and zero numbers.
struct LspRecord {
    // Always all 11 characters: padding spaces are part of the name.
    QString TypeName = QString(kLspNameLength, QChar(0));
    qint16 Angle1 = 0;     // opening angle at 1 kHz, degrees
    qint16 Angle4 = 0;     // opening angle at 4 kHz, degrees
    float Sensitivity = 0; // dB at 1 kHz, 1 W, 1 m
    float MaxPower = 0;    // rated power on a 100 V line, W

    friend bool operator==(const LspRecord&, const LspRecord&) = default;
};

// The record at the start of bytes; nothing when fewer than 23 bytes are given.
std::optional<LspRecord> decodeLspRecord(QByteArrayView bytes);

// The 23 bytes of a record whose name is padded on the right with spaces.
// The record must be storable (lspRecordProblem() empty).
QByteArray encodeLspRecord(const LspRecord& record);

// Why a name cannot be stored (too long, blank, a control character or a
// character that Windows-1252 lacks); empty when it can.
QString lspNameProblem(const QString& name);
// Why a record cannot be stored (its name, or a sensitivity or rated power
// that is not a finite number); empty when it can.
QString lspRecordProblem(const LspRecord& record);

// Record recordNumber (counted from 1) of an open file. A number outside the
// file, or a read that does not give the whole record, gives the zeroed record.
LspRecord readLspRecord(QIODevice& file, qint64 recordNumber);

// The type names of the file's whole records in file order, at most limit.
QStringList readLspTypeNames(QIODevice& file, int limit = kMaxLspRecords);

// Every whole record of the file at path; nothing, and the reason in whyNot,
// when the file cannot be read.
std::optional<QList<LspRecord>> readLspFile(const QString& path, QString* whyNot = nullptr);

// Writes a catalogue atomically. Refuses, with the reason in whyNot, a record
// that cannot be stored, more records than can be addressed, or a failed
// write; the file at path is then left as it was.
bool writeLspFile(const QString& path, const QList<LspRecord>& records, QString* whyNot = nullptr);

} // namespace kvx
