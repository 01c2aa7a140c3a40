#pragma once

// Loudspeaker data files (*.lsp), the catalogues of loudspeaker types. A file
// is a bare sequence of 23-byte records: no header, no separators, numbers
// little-endian, the type name in Windows-1252. A trailing piece shorter than a
// record is not a record. This header reads and writes that format; the main
// window opens the current file and lists its types in loudspeaker_file.cpp,
// reacts to the user's picks in catalogue_selection.cpp, and catalogue_csv.h
// turns a catalogue into CSV and back for the command line and the build.

#include "core/base/string_table.h"

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

// The string-table texts (English ids) of what is wrong with a catalogue's
// rows and files. The English ones are compared by scripts: keep them as they
// stand.
namespace CatalogueText {
constexpr int QuoteNotClosed = 1550; // %1 column
constexpr int TextAfterQuote = 1551; // %1 column
constexpr int Empty = 1552;          // %1 column
constexpr int NotWhole = 1553;       // %1 column, %2 value
constexpr int OutsideShort = 1554;   // %1 column, %2 value
constexpr int TooBigSingle = 1555;   // %1 column, %2 value
constexpr int NotANumber = 1556;     // %1 column, %2 value
constexpr int NotFinite = 1557;      // %1 column, %2 value
constexpr int NotUtf8 = 1558;
constexpr int NotHeader = 1559;      // %1 the header
constexpr int FieldCount = 1560;     // %1 fields found, %2 columns, %3 the header
constexpr int TooManyRecords = 1561; // %1 the most a catalogue holds
constexpr int CannotRead = 1562;     // %1 file, %2 the system's reason
constexpr int CannotWrite = 1563;    // %1 file, %2 the system's reason
constexpr int Field = 1564;          // %1 a field past the columns, counted from 1
constexpr int NameTooLong = 1565;    // %1 name, %2 its length, %3 the most
constexpr int NameBlank = 1566;
constexpr int NameControl = 1567;  // %1 name, %2 code point
constexpr int NameCodePage = 1568; // %1 name, %2 the character, %3 its code point
} // namespace CatalogueText

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
// character that Windows-1252 lacks), in the words of texts; empty when it can.
QString lspNameProblem(const QString& name, const LocalTexts& texts);
// Why a record cannot be stored (its name, or a sensitivity or rated power
// that is not a finite number); empty when it can. In English: only a caller
// that skipped its own checks meets it (the writer's refusal).
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
