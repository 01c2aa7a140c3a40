#pragma once

#include <QString>
#include <stdexcept>

namespace kvx {

// A run-time error of the program: raised where an operation cannot go on and
// caught by the guard of the command or window that started it, which shows
// the message. The message is the user-facing text.
class KvxError : public std::runtime_error {
public:
    explicit KvxError(const QString& message)
        : std::runtime_error(message.toStdString())
        , m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

// Raised after the platform was told to end the program, so that the handler
// that asked for it stops at once; the view's dispatcher swallows it.
struct ProgramEnded {};

} // namespace kvx
