#include "core/project/field_reader.h"

#include "core/base/save_file.h"

namespace kvx {

namespace {

constexpr qint64 kChunkBytes = 64 * 1024;
constexpr QChar kQuote = u'"';
constexpr QChar kSpace = u' ';
constexpr QChar kCr = u'\r';
constexpr QChar kLf = u'\n';

bool isLineEnd(QChar c) {
    return c == kCr || c == kLf;
}

FieldReadError tooLong() {
    return FieldReadError(
        FieldReadError::Kind::TooLong,
        QStringLiteral("a field is longer than %1 characters").arg(FieldReader::kMaxFieldLength));
}

FieldReadError endOfFile() {
    return FieldReadError(FieldReadError::Kind::EndOfFile, QStringLiteral("the file ends early"));
}

} // namespace

class FieldReader::TextSink : public Sink {
public:
    void append(QChar c) override {
        if (text.size() >= kMaxFieldLength)
            throw tooLong();
        text.append(c);
    }
    QString text;
};

// Keeps only what the caller wants of a field, so that an absurdly long line
// costs no memory.
class FieldReader::BracketSink : public Sink {
public:
    explicit BracketSink(qsizetype maxKept)
        : m_maxKept(maxKept) {}
    void append(QChar c) override {
        if (!m_found && c != u'[')
            return;
        m_found = true;
        if (text.size() < m_maxKept)
            text.append(c);
    }
    QString text;

private:
    qsizetype m_maxKept;
    bool m_found = false;
};

FieldReader::FieldReader(QIODevice& device)
    : m_device(device)
    , m_decoder(kCodePage)
    , m_bytes(kChunkBytes, Qt::Uninitialized) {}

bool FieldReader::fill() {
    const qint64 count = m_device.read(m_bytes.data(), kChunkBytes);
    if (count < 0)
        throw FieldReadError(FieldReadError::Kind::Device, m_device.errorString());
    // One byte is one character in this code page, so chunks decode alone.
    m_chunk = m_decoder.decode(QByteArrayView(m_bytes.constData(), count));
    m_next = m_chunk.constData();
    m_end = m_next + m_chunk.size();
    return m_next != m_end;
}

bool FieldReader::endsLine(QChar c) {
    if (!isLineEnd(c))
        return false;
    ++m_line;
    if (c == kCr && !atEnd() && peek() == kLf)
        take();
    return true;
}

void FieldReader::scanField(Sink& sink) {
    while (!atEnd() && peek() == kSpace)
        take();
    if (atEnd())
        throw endOfFile();

    if (peek() == kQuote) {
        take();
        while (!atEnd()) {
            const QChar c = take();
            if (c == kQuote)
                break;
            if (c == kLf || (c == kCr && (atEnd() || peek() != kLf)))
                ++m_line;
            sink.append(c);
        }
        while (!atEnd()) {
            if (endsField(take()))
                return;
        }
        return;
    }

    // Spaces are held back until a later character shows they are not trailing.
    qsizetype pendingSpaces = 0;
    while (!atEnd()) {
        const QChar c = take();
        if (endsField(c))
            return;
        if (c == kSpace) {
            ++pendingSpaces;
            continue;
        }
        for (; pendingSpaces > 0; --pendingSpaces)
            sink.append(kSpace);
        sink.append(c);
    }
}

QString FieldReader::readField() {
    TextSink sink;
    scanField(sink);
    return sink.text;
}

QString FieldReader::readBracketed(qsizetype maxKept) {
    BracketSink sink(maxKept);
    scanField(sink);
    return sink.text;
}

QString FieldReader::readLine() {
    QString line;
    while (!atEnd()) {
        const QChar c = take();
        if (endsLine(c))
            return line;
        if (line.size() >= kMaxFieldLength)
            throw tooLong();
        line.append(c);
    }
    throw endOfFile();
}

} // namespace kvx
