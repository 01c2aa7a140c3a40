#pragma once

// Sequential reading of a Windows-1252 text file field by field, with the
// field and line rules that project files were always read with. The file is
// read in chunks, so a huge file costs time in proportion to what is read,
// never memory in proportion to its size.

#include "core/base/kvx_error.h"

#include <QByteArray>
#include <QIODevice>
#include <QString>
#include <QStringDecoder>

namespace kvx {

// Raised when the file cannot give what the reader was asked for. The message
// is the reason alone; the caller names the file and the place.
class FieldReadError : public KvxError {
public:
    enum class Kind {
        EndOfFile, // the file ends before a field starts or before a line's end
        TooLong,   // a field longer than FieldReader::kMaxFieldLength
        Device,    // the device failed to read; the message is its error text
    };
    FieldReadError(Kind kind, const QString& message)
        : KvxError(message)
        , m_kind(kind) {}
    Kind kind() const { return m_kind; }

private:
    Kind m_kind;
};

class FieldReader {
public:
    // Longer texts than a text box holds are a damaged file, not a project.
    static constexpr qsizetype kMaxFieldLength = 65535;

    explicit FieldReader(QIODevice& device);

    // True when no character is left.
    bool atEnd() { return m_next == m_end && !fill(); }

    // The number of the line the next character stands on, from 1.
    qint64 lineNumber() const { return m_line; }

    // One field. Leading spaces are skipped. A field that starts with a double
    // quote runs to the next double quote, which is not part of it; whatever
    // follows up to the next comma or line end is passed over. Any other field
    // runs to the next comma or line end and loses its trailing spaces. The
    // comma or the line end (CR, LF, or CR LF together) is consumed.
    QString readField();

    // A field read as readField() does, of which only the text from the first
    // "[" on is kept, at most maxKept characters. Empty when the field holds
    // no "[".
    QString readBracketed(qsizetype maxKept);

    // The characters up to the next line end (CR, LF or CR LF), which is
    // consumed. A file that ends before the line end is an error.
    QString readLine();

private:
    // Receives the characters of a field as the field rule gives them.
    class Sink {
    public:
        virtual ~Sink() = default;
        virtual void append(QChar c) = 0;
    };
    class TextSink;
    class BracketSink;

    void scanField(Sink& sink);
    bool fill();
    QChar take() { return *m_next++; }
    QChar peek() const { return *m_next; }
    // True when c begins a line end; the rest of it (LF after CR) is consumed.
    bool endsLine(QChar c);
    // True when c ends a field: a comma or a line end.
    bool endsField(QChar c) { return c == u',' || endsLine(c); }

    QIODevice& m_device;
    QStringDecoder m_decoder;
    QByteArray m_bytes;
    QString m_chunk;
    const QChar* m_next = nullptr;
    const QChar* m_end = nullptr;
    qint64 m_line = 1;
};

} // namespace kvx
